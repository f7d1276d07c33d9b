// Runs the built tessik-cli as a script would and checks its output and exit status.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "support/test_support.h"

extern char** environ;

namespace {

struct CliRun {
  int Exit = -1;
  std::string Out;
  std::string Err;
};

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::string LastLine(const std::string& text) {
  std::vector<std::string> lines = Lines(text);
  return lines.empty() ? std::string("<none>") : lines.back();
}

class CliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    tree.WriteFile("one.txt", "the cat sat\n");
    tree.WriteFile("two.txt", "a dog ran\n");
    tree.WriteFile("notes.doc", "cat\n");
    tree.WriteFile("sub/three.txt", "kat\n");
  }

  CliRun Run(std::vector<std::string> args) {
    args.insert(args.begin(), TESSIK_CLI);
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    std::string outPath = output.Path("out"), errPath = output.Path("err");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    CliRun run;
    pid_t pid;
    if (posix_spawn(&pid, TESSIK_CLI, &actions, nullptr, argv.data(), environ) == 0) {
      int status = 0;
      waitpid(pid, &status, 0);
      run.Exit = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    posix_spawn_file_actions_destroy(&actions);
    run.Out = ReadWholeFile(outPath);
    run.Err = ReadWholeFile(errPath);
    return run;
  }

  TempTree tree;
  TempTree output;
};

TEST_F(CliTest, ListsTheFilesOfOneDirectory) {
  CliRun run = Run({tree.Path("*.txt")});
  EXPECT_EQ(run.Exit, 0);
  std::vector<std::string> lines = Lines(run.Out);
  std::sort(lines.begin(), lines.end());
  EXPECT_EQ(lines, (std::vector<std::string>{tree.Path("one.txt"), tree.Path("two.txt")}));
  EXPECT_EQ(run.Err, "Completed:  Found 2 file(s) matching specification.\n");
}

TEST_F(CliTest, SubdirectoriesOptionInBothSpellingsAndAnyPlace) {
  for (std::vector<std::string> args :
       {std::vector<std::string>{"-s", tree.Path("*.txt")},
        std::vector<std::string>{tree.Path("*.txt"), "--subdirs"}}) {
    CliRun run = Run(args);
    EXPECT_EQ(run.Exit, 0);
    EXPECT_EQ(Lines(run.Out).size(), 3u);
    EXPECT_EQ(LastLine(run.Err), "Completed:  Found 3 file(s) matching specification.");
  }
}

TEST_F(CliTest, QueryWordsAreJoinedIntoOneExpression) {
  CliRun run = Run({tree.Path("*.txt"), "cat", "O", "dog"});
  EXPECT_EQ(run.Exit, 0) << run.Err;
  std::vector<std::string> lines = Lines(run.Out);
  std::sort(lines.begin(), lines.end());
  EXPECT_EQ(lines, (std::vector<std::string>{tree.Path("one.txt"), tree.Path("two.txt")}));
  EXPECT_EQ(LastLine(run.Err), "Completed:  2 file(s) searched. 2 file(s) matched expression.");
}

TEST_F(CliTest, NoFilesPrintsTheMessageThenTheStatusAndExitsWithOne) {
  CliRun run = Run({tree.Path("*.none")});
  EXPECT_EQ(run.Exit, 1);
  EXPECT_EQ(run.Out, "");
  EXPECT_EQ(run.Err,
            "No files were found that correspond to   \nthe search pattern that you entered\n"
            "as the 'Search in:' string. Please\ncheck the filename and/or directory.\nReady\n");
}

TEST_F(CliTest, DoubleDashLetsASpecificationBeginWithADash) {
  CliRun run = Run({"--", "-missing/*.txt"});
  EXPECT_EQ(run.Exit, 1);
  EXPECT_EQ(LastLine(run.Err), "Ready");
}

TEST_F(CliTest, UsageErrorsExitWithTwo) {
  const std::vector<std::vector<std::string>> cases = {
      {},
      {"-s"},
      {"-x", tree.Path("*.txt")},
      {tree.Path("*.txt"), "--log"},
      {"--explain"},
      {"--explain", "cat", tree.Path("*.txt")},
      {"--explain", "cat", "-s"},
  };
  for (const std::vector<std::string>& args : cases) {
    CliRun run = Run(args);
    EXPECT_EQ(run.Exit, 2) << (args.empty() ? "" : args[0]);
    EXPECT_NE(run.Err.find("usage: tessik-cli"), std::string::npos);
    EXPECT_EQ(run.Out, "");
  }
}

TEST_F(CliTest, LogIsWrittenAfterTheSearch) {
  std::string log = output.Path("search.log");
  CliRun run = Run({"--log", log, tree.Path("*.txt")});
  EXPECT_EQ(run.Exit, 0);
  std::string content = ReadWholeFile(log);
  EXPECT_EQ(content.rfind("********************** Search results", 0), 0u);
  EXPECT_NE(content.find(tree.Path("one.txt") + "\r\n"), std::string::npos);
}

TEST_F(CliTest, LogThatCannotBeCreatedIsExitOneWithItsMessageBeforeTheStatus) {
  CliRun run = Run({"--log", output.Path("no/such/dir/search.log"), tree.Path("*.txt")});
  EXPECT_EQ(run.Exit, 1);
  EXPECT_EQ(Lines(run.Out).size(), 2u);
  EXPECT_EQ(run.Err,
            " System error.\n File could not be created. \n"
            "Completed:  Found 2 file(s) matching specification.\n");
}

TEST_F(CliTest, ExplainPrintsTheWordsAnalysis) {
  CliRun run = Run({"--explain", "Michel"});
  EXPECT_EQ(run.Exit, 0);
  EXPECT_EQ(Lines(run.Out).front(), "normalised\tmichel");
  EXPECT_EQ(LastLine(run.Out), "keys\tm240 m324");
}

}  // namespace

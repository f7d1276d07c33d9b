// Runs the built tessik-cli as a script would and checks its output and exit status.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
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

// Where the program's standard output goes.
struct Output {
  enum Kind { Captured, AppendedTo, DevFull, Closed } Where = Captured;
  std::string Path;  // for AppendedTo
};

// The lines of `text` that contain `part`.
std::size_t CountLinesWith(const std::string& text, const std::string& part) {
  std::vector<std::string> lines = Lines(text);
  return static_cast<std::size_t>(std::count_if(
      lines.begin(), lines.end(),
      [&part](const std::string& line) { return line.find(part) != std::string::npos; }));
}

class CliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    tree.WriteFile("one.txt", "the cat sat\n");
    tree.WriteFile("two.txt", "a dog ran\n");
    tree.WriteFile("notes.doc", "cat\n");
    tree.WriteFile("sub/three.txt", "kat\n");
  }

  CliRun Run(std::vector<std::string> args, const Output& where = {}) {
    args.insert(args.begin(), TESSIK_CLI);
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    std::string outPath = output.Path("out"), errPath = output.Path("err");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    switch (where.Where) {
      case Output::Captured:
        posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0600);
        break;
      case Output::AppendedTo:
        posix_spawn_file_actions_addopen(&actions, 1, where.Path.c_str(),
                                         O_WRONLY | O_CREAT | O_APPEND, 0600);
        break;
      case Output::DevFull:
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/full", O_WRONLY, 0);
        break;
      case Output::Closed:
        posix_spawn_file_actions_addclose(&actions, 1);
        break;
    }
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    CliRun run;
    pid_t pid;
    if (posix_spawn(&pid, TESSIK_CLI, &actions, nullptr, argv.data(), environ) == 0) {
      // A program that hangs is ended after a minute and counts as killed, so that a hang
      // fails its test instead of stopping the suite.
      struct sigaction interrupt = {};
      interrupt.sa_handler = [](int) {};
      sigaction(SIGALRM, &interrupt, nullptr);  // no SA_RESTART: the wait is interrupted
      alarm(60);
      int status = 0;
      if (waitpid(pid, &status, 0) != pid) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
        ADD_FAILURE() << "tessik-cli did not end within a minute";
      }
      alarm(0);
      run.Exit = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    posix_spawn_file_actions_destroy(&actions);
    run.Out = where.Where == Output::Captured ? ReadWholeFile(outPath) : std::string();
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
      // Longer than a search reads of "Search in:" and "Search for:": not a shorter search.
      {tree.Root() + std::string(256 - tree.Root().size(), 'x')},
      {tree.Path("*.txt"), std::string(256, 'c')},
      {tree.Path("*.txt"), std::string(200, 'c'), "O", std::string(53, 'd')},
  };
  for (const std::vector<std::string>& args : cases) {
    CliRun run = Run(args);
    EXPECT_EQ(run.Exit, 2) << (args.empty() ? "" : args[0]);
    EXPECT_NE(run.Err.find("usage: tessik-cli"), std::string::npos);
    EXPECT_EQ(run.Out, "");
  }
}

TEST_F(CliTest, SpecAndQueryOf255CharactersAreSearched) {
  std::string spec = tree.Root() + std::string(255 - tree.Root().size(), 'x');
  CliRun run = Run({spec, std::string(200, 'c'), "O", std::string(52, 'd')});
  EXPECT_EQ(run.Exit, 1);  // the search ran, and found no file
  EXPECT_EQ(LastLine(run.Err), "Ready");
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

// A FIFO as the log would hold the program until a reader came: it is refused at once.
TEST_F(CliTest, LogIntoAFifoIsRefusedAtOnce) {
  std::string fifo = output.Path("search.log");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  CliRun run = Run({"--log", fifo, tree.Path("*.txt"), "cat"});
  EXPECT_EQ(run.Exit, 1);
  EXPECT_EQ(run.Err.rfind(" System error.\n File could not be created. \n", 0), 0u) << run.Err;
}

TEST_F(CliTest, ExplainPrintsTheWordsAnalysis) {
  CliRun run = Run({"--explain", "Michel"});
  EXPECT_EQ(run.Exit, 0);
  EXPECT_EQ(Lines(run.Out).front(), "normalised\tmichel");
  EXPECT_EQ(LastLine(run.Out), "keys\tm240 m324");
}

// --- standard output that is a searched file, full, or closed ---

TEST_F(CliTest, OutputFileInTheSearchedFolderIsNotSearched) {
  for (std::vector<std::string> query :
       {std::vector<std::string>{"cat"}, std::vector<std::string>{"cat", "O", "kat"}}) {
    const std::string out = tree.Path("out.txt");
    tree.WriteFile("out.txt", "cat\n");  // it would match, were it read
    std::vector<std::string> args = {tree.Path("*.txt")};
    args.insert(args.end(), query.begin(), query.end());
    CliRun run = Run(args, {Output::AppendedTo, out});
    EXPECT_EQ(run.Exit, 3) << query.size();
    EXPECT_NE(run.Err.find("tessik-cli: " + out + ": not searched: it is the standard output\n"),
              std::string::npos)
        << run.Err;
    std::string written = ReadWholeFile(out);
    EXPECT_EQ(CountLinesWith(written, "one.txt"), 1u) << written;
    EXPECT_EQ(CountLinesWith(written, "out.txt"), 0u) << written;
  }
}

TEST_F(CliTest, OutputThatCannotBeWrittenIsOneLineAndExitFour) {
  for (Output::Kind where : {Output::DevFull, Output::Closed}) {
    for (std::vector<std::string> args :
         {std::vector<std::string>{tree.Path("*.txt"), "cat"},
          std::vector<std::string>{tree.Path("*.txt")}, std::vector<std::string>{"--help"},
          std::vector<std::string>{"--explain", "cat"}}) {
      CliRun run = Run(args, {where, ""});
      EXPECT_EQ(run.Exit, 4) << args[0];
      EXPECT_EQ(CountLinesWith(run.Err, "could not write to standard output"), 1u) << run.Err;
      EXPECT_EQ(LastLine(run.Err).rfind("tessik-cli: could not write to standard output: ", 0), 0u);
    }
  }
}

TEST_F(CliTest, SearchStopsAtTheFirstFailedWrite) {
  // More result lines than one buffer of standard output holds.
  std::string many;
  for (int i = 0; i < 50000; ++i) many += "cat\n";
  tree.WriteFile("many/many.txt", many);
  const std::string log = output.Path("search.log");
  for (Output::Kind where : {Output::DevFull, Output::Closed}) {
    CliRun run = Run({"--log", log, tree.Path("many/*.txt"), "cat"}, {where, ""});
    EXPECT_EQ(run.Exit, 4);
    // Nothing after the failure: no status line, and no log, which comes after the search.
    EXPECT_EQ(Lines(run.Err).size(), 1u) << run.Err;
    struct stat info;
    EXPECT_NE(stat(log.c_str(), &info), 0);
  }
}

TEST_F(CliTest, EmptyResultToAClosedOutputIsNoFailure) {
  CliRun run = Run({tree.Path("*.none"), "cat"}, {Output::Closed, ""});
  EXPECT_EQ(run.Exit, 1);
  EXPECT_EQ(LastLine(run.Err), "Ready");
}

// --- what a search leaves out ---

struct LeftOutCase {
  const char* Label;
  std::vector<std::string> Query;
  int Exit;
  const char* UnopenedBeyond;  // failed openings of 1,030 unopenable files beyond the 1,024
};

void PrintTo(const LeftOutCase& c, std::ostream* out) { *out << c.Label; }

class LeftOutTest : public CliTest, public ::testing::WithParamInterface<LeftOutCase> {
 protected:
  CliRun RunOver(const std::string& spec, bool subdirs = false) {
    std::vector<std::string> args = {spec};
    if (subdirs) args.insert(args.begin(), "-s");
    args.insert(args.end(), GetParam().Query.begin(), GetParam().Query.end());
    return Run(args);
  }
  // The folder part of SPEC and a file name that together pass 255 characters.
  std::string LongFolder() const { return std::string(200 - tree.Root().size(), 'd'); }
};

TEST_P(LeftOutTest, FileThatCannotBeOpenedIsNamedOnce) {
  ASSERT_EQ(mkfifo(tree.Path("fifo.txt").c_str(), 0600), 0);
  CliRun run = RunOver(tree.Path("*.txt"));
  EXPECT_EQ(run.Exit, GetParam().Exit);
  const std::string line = "tessik-cli: " + tree.Path("fifo.txt") + ": could not be opened";
  EXPECT_EQ(CountLinesWith(run.Err, line), GetParam().Query.empty() ? 0u : 1u) << run.Err;
  EXPECT_EQ(LastLine(run.Err).rfind("Completed:", 0), 0u);
}

TEST_P(LeftOutTest, UnopenedFilesBeyondTheListAreCounted) {
  if (GetParam().Query.empty()) GTEST_SKIP() << "a listing opens no file";
  for (int i = 0; i < 1030; ++i) {
    ASSERT_EQ(mkfifo(tree.Path("p" + std::to_string(1000 + i) + ".txt").c_str(), 0600), 0);
  }
  CliRun run = RunOver(tree.Path("p*.txt"));
  EXPECT_EQ(run.Exit, GetParam().Exit);
  EXPECT_EQ(CountLinesWith(run.Err, ": could not be opened"), 1024u);
  EXPECT_EQ(CountLinesWith(run.Err, std::string("tessik-cli: ") + GetParam().UnopenedBeyond +
                                        " more failed opening(s) not listed: the list of "
                                        "unopened files was full (1024)"),
            1u)
      << LastLine(run.Err);
}

TEST_P(LeftOutTest, PathsAndFolderSpecificationsOver255CharactersAreCounted) {
  tree.WriteFile(LongFolder() + "/" + std::string(60, 'f') + ".txt", "cat\n");
  tree.WriteFile(LongFolder() + "/" + std::string(60, 'g') + "/a.txt", "cat\n");
  CliRun run = RunOver(tree.Path("*.txt"), true);
  EXPECT_EQ(run.Exit, 3);
  EXPECT_EQ(CountLinesWith(run.Err,
                           "tessik-cli: 1 file(s) left out: path longer than 255 "
                           "characters"),
            1u)
      << run.Err;
  EXPECT_EQ(CountLinesWith(run.Err,
                           "tessik-cli: 1 folder(s) not entered: specification "
                           "longer than 255 characters"),
            1u);
}

TEST_P(LeftOutTest, ResultLinesBeyondTheListAreCounted) {
  if (GetParam().Query.size() != 1) GTEST_SKIP() << "only a word search lists occurrences";
  std::string many;
  for (int i = 0; i < 61450; ++i) many += "cat\n";
  tree.WriteFile("many/many.txt", many);
  CliRun run = RunOver(tree.Path("many/*.txt"));
  EXPECT_EQ(run.Exit, 3);
  EXPECT_EQ(Lines(run.Out).size(), 61450u);
  EXPECT_EQ(CountLinesWith(run.Err,
                           "tessik-cli: 10 result line(s) beyond the 61440 the "
                           "result list holds"),
            1u)
      << run.Err;
}

INSTANTIATE_TEST_SUITE_P(Modes, LeftOutTest,
                         ::testing::Values(LeftOutCase{"word", {"cat"}, 3, "6"},
                                           // each term tries every file that is not matching
                                           LeftOutCase{
                                               "expression", {"cat", "O", "kat"}, 3, "1036"},
                                           LeftOutCase{"listing", {}, 0, ""}),
                         [](const auto& info) { return std::string(info.param.Label); });

// --- names with control characters ---

TEST_F(CliTest, ControlCharactersInNamesAreEscaped) {
  tree.WriteFile("new\nline.txt", "cat\n");
  tree.WriteFile("tab\tand\x1b]0;title\x07.txt", "cat\n");
  ASSERT_EQ(mkfifo(tree.Path("fifo\r.txt").c_str(), 0600), 0);
  const std::string newLine = "new\\x0aline.txt";
  const std::string tabEscape = "tab\\x09and\\x1b]0;title\\x07.txt";
  struct Case {
    std::vector<std::string> Query;
    std::vector<std::string> Expected;  // the lines naming the two files, in any order
  };
  const std::vector<Case> cases = {
      {{"cat"},
       {"cat\t" + newLine + "\t1 (75.0%)\t0 K", "cat\ttab\\x09and\\x1b]0;tit...\t1 (75.0%)\t0 K"}},
      {{"cat", "A", "cat"}, {tree.Root() + newLine, tree.Root() + tabEscape}},
      {{}, {tree.Root() + newLine, tree.Root() + tabEscape}},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = {tree.Path("*.txt")};
    args.insert(args.end(), c.Query.begin(), c.Query.end());
    CliRun run = Run(args);
    std::vector<std::string> lines = Lines(run.Out);
    std::vector<std::string> named;
    for (const std::string& line : lines) {
      if (line.find("line.txt") != std::string::npos || line.find("tab") != std::string::npos)
        named.push_back(line);
    }
    std::vector<std::string> expected = c.Expected;
    std::sort(named.begin(), named.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(named, expected) << run.Out;
    // Nothing raw: a line of output is a line of the search.
    EXPECT_EQ(run.Out.find('\x1b'), std::string::npos);
    EXPECT_EQ(run.Err.find('\r'), std::string::npos);
    if (!c.Query.empty()) {
      EXPECT_EQ(CountLinesWith(run.Err, tree.Root() + "fifo\\x0d.txt: could not be opened"), 1u)
          << run.Err;
    }
  }
}

}  // namespace

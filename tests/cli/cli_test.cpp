// Runs the built tessik-cli as a script would and checks its output and exit status.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
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

// Where the program's standard error goes: a file, a pipe, or a terminal (the slave of
// a pseudo-terminal of 60 columns, whose master the test reads).
enum class ErrorsTo { File, Pipe, Terminal };

constexpr int kTerminalColumns = 60;

// What there is to read from `fd`: up to its end, or, when it does not block, up to
// what has been written so far.
std::string ReadAll(int fd) {
  std::string text;
  char buffer[4096];
  for (;;) {
    ssize_t got = read(fd, buffer, sizeof buffer);
    if (got <= 0) break;
    text.append(buffer, static_cast<std::size_t>(got));
  }
  return text;
}

// The lines of `text` that contain `part`.
std::size_t CountLinesWith(const std::string& text, const std::string& part) {
  std::vector<std::string> lines = Lines(text);
  return static_cast<std::size_t>(std::count_if(
      lines.begin(), lines.end(),
      [&part](const std::string& line) { return line.find(part) != std::string::npos; }));
}

// Whether `text` holds `part`; the text is shown when it does not.
::testing::AssertionResult Holds(const std::string& text, const std::string& part) {
  if (text.find(part) != std::string::npos) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "no \"" << part << "\" in:\n" << text;
}

class CliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    tree.WriteFile("one.txt", "the cat sat\n");
    tree.WriteFile("two.txt", "a dog ran\n");
    tree.WriteFile("notes.doc", "cat\n");
    tree.WriteFile("sub/three.txt", "kat\n");
  }

  struct OutputCase {
    std::vector<std::string> Args;
    std::string Out;
  };
  // Each run ends with status 0 and prints its Out.
  void ExpectOutputs(const std::vector<OutputCase>& cases) {
    for (const OutputCase& c : cases) {
      CliRun run = Run(c.Args);
      EXPECT_EQ(run.Exit, 0) << c.Args[0] << run.Err;
      EXPECT_EQ(run.Out, c.Out) << ::testing::PrintToString(c.Args);
    }
  }

  CliRun Run(std::vector<std::string> args, const Output& where = {},
             ErrorsTo errors = ErrorsTo::File) {
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
    int errorEnds[2] = {-1, -1};  // what the test reads, what the program writes
    switch (errors) {
      case ErrorsTo::File:
        posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0600);
        break;
      case ErrorsTo::Pipe:
        EXPECT_EQ(pipe(errorEnds), 0);
        break;
      case ErrorsTo::Terminal: {
        errorEnds[0] = posix_openpt(O_RDWR | O_NOCTTY);
        EXPECT_GE(errorEnds[0], 0);
        EXPECT_EQ(grantpt(errorEnds[0]), 0);
        EXPECT_EQ(unlockpt(errorEnds[0]), 0);
        errorEnds[1] = open(ptsname(errorEnds[0]), O_RDWR | O_NOCTTY);
        EXPECT_GE(errorEnds[1], 0);
        winsize size{};
        size.ws_row = 24;
        size.ws_col = kTerminalColumns;
        EXPECT_EQ(ioctl(errorEnds[1], TIOCSWINSZ, &size), 0);
        break;
      }
    }
    if (errors != ErrorsTo::File) {
      posix_spawn_file_actions_adddup2(&actions, errorEnds[1], 2);
      posix_spawn_file_actions_addclose(&actions, errorEnds[0]);
    }
    CliRun run;
    pid_t pid;
    if (posix_spawn(&pid, TESSIK_CLI, &actions, nullptr, argv.data(), environ) == 0) {
      // A program that hangs is ended after a minute and counts as killed, so that a hang
      // fails its test instead of stopping the suite.
      struct sigaction interrupt = {};
      interrupt.sa_handler = [](int) {};
      sigaction(SIGALRM, &interrupt, nullptr);  // no SA_RESTART: the wait is interrupted
      alarm(60);
      // A pipe is read to its end while the program runs; the terminal's master holds
      // what the program wrote (a little: the progress line and a few lines) until read.
      if (errors == ErrorsTo::Pipe) {
        close(errorEnds[1]);
        errorEnds[1] = -1;
        run.Err = ReadAll(errorEnds[0]);
        const unsigned left = alarm(0);
        if (left == 0) {  // the minute ran out while the pipe was read
          kill(pid, SIGKILL);
          ADD_FAILURE() << "tessik-cli did not end within a minute";
        }
        alarm(left);
      }
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
    if (errors == ErrorsTo::File) run.Err = ReadWholeFile(errPath);
    if (errors == ErrorsTo::Terminal) {
      fcntl(errorEnds[0], F_SETFL, O_NONBLOCK);
      run.Err = ReadAll(errorEnds[0]);
    }
    for (int end : errorEnds) {
      if (end >= 0) close(end);
    }
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
      {"--json", "--vimgrep", tree.Path("*.txt"), "cat"},
      {"--explain", "cat", "--json"},
      {"--method=daitch", tree.Path("*.txt"), "cat"},
      {tree.Path("*.txt"), "cat", "--method"},
      {"--encoding=utf8", tree.Path("*.txt"), "cat"},
      {"--sort=score", tree.Path("*.txt"), "cat"},  // the program's own method has no scores
      {"--method=scored", "--sort=name", tree.Path("*.txt"), "cat"},
      {"--method=scored", "--explain", "cat", "dog", "bird"},
      {"--method=scored", "--explain", "cat", "dog", "--sort=score"},
      {"--method=dm", "--explain", "cat", "dog"},
      {"-j0", tree.Path("*.txt"), "cat"},
      {"-j", "257", tree.Path("*.txt"), "cat"},
      {"--threads=2x", tree.Path("*.txt"), "cat"},
      {"--threads=", tree.Path("*.txt"), "cat"},
      {"-j-1", tree.Path("*.txt"), "cat"},
      {tree.Path("*.txt"), "cat", "-j"},
  };
  for (const std::vector<std::string>& args : cases) {
    CliRun run = Run(args);
    EXPECT_EQ(run.Exit, 2) << (args.empty() ? "" : args[0]);
    EXPECT_NE(run.Err.find("usage: tessik-cli"), std::string::npos);
    EXPECT_EQ(run.Out, "");
  }
}

// Every way of giving the number of threads runs the same search, with the same output.
TEST_F(CliTest, ThreadCountsGiveTheSameOutput) {
  const CliRun one = Run({"-j1", "-s", tree.Path("*.txt"), "cat"});
  ASSERT_EQ(one.Exit, 0) << one.Err;
  ASSERT_FALSE(one.Out.empty());
  const std::vector<std::vector<std::string>> cases = {
      {"-s", tree.Path("*.txt"), "cat"},
      {"-j", "2", "-s", tree.Path("*.txt"), "cat"},
      {"--threads=3", "-s", tree.Path("*.txt"), "cat"},
      {"-s", tree.Path("*.txt"), "cat", "--threads", "256"},
  };
  for (const std::vector<std::string>& args : cases) {
    const CliRun run = Run(args);
    EXPECT_EQ(run.Exit, 0) << args[0];
    EXPECT_EQ(run.Out, one.Out) << args[0];
    EXPECT_EQ(run.Err, one.Err) << args[0];
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

// The method in both spellings and any place; the program's own method is the default
// and can be named.
TEST_F(CliTest, MethodOptionChoosesHowWordsAreHeard) {
  tree.WriteFile("names.txt", "Zajac\nSajac\n");
  const std::string names = tree.Path("names.txt");
  struct Case {
    std::vector<std::string> Args;
    std::string Out;
  } cases[] = {
      {{names, "Zajac"}, "Zajac\tnames.txt\t1 (41.7%)\t0 K\n"},
      {{"--method=soundex", names, "Zajac"}, "Zajac\tnames.txt\t1 (41.7%)\t0 K\n"},
      {{"--method=dm", names, "Zajac"},
       "Zajac\tnames.txt\t1 (41.7%)\t0 K\nSajac\tnames.txt\t2 (91.7%)\t0 K\n"},
      {{names, "Zajac", "--method", "dm"},
       "Zajac\tnames.txt\t1 (41.7%)\t0 K\nSajac\tnames.txt\t2 (91.7%)\t0 K\n"},
      {{"--method=dm", "--vimgrep", names, "Zajac"}, names + ":1:1:Zajac\n" + names + ":2:1:Sajac\n"},
      {{"--method=dm", names, "zajac", "A", "jackson"}, ""},
      {{"--method=dm", "--explain", "Jackson"}, "word\tjackson\ncodes\t145460 154600 445460 454600\n"},
      {{"--method=dm", "--explain", "Kohn"}, "word\tkohn\ncodes\t560000\n"},
  };
  for (const Case& c : cases) {
    CliRun run = Run(c.Args);
    EXPECT_EQ(run.Exit, 0) << c.Args[0] << run.Err;
    EXPECT_EQ(run.Out, c.Out) << c.Args[0] << " " << c.Args[1];
  }
  // A log names the method; the JSON gives the code the word has.
  const std::string log = output.Path("dm.log");
  CliRun run = Run({"--method=dm", "--json", "--log", log, names, "Zajac"});
  EXPECT_EQ(run.Exit, 0);
  EXPECT_NE(run.Out.find("\"word\":\"Sajac\",\"variant\":null,\"key\":\"414000\""), std::string::npos)
      << run.Out;
  EXPECT_NE(ReadWholeFile(log).find("Search string: Zajac.\r\nMethod: Daitch-Mokotoff Soundex.\r\n"),
            std::string::npos);
}

// The scored method shows each word's score in its line and in the JSON, --sort=score
// prints the best first, and --explain WORD OTHER gives the same score with its reasons.
TEST_F(CliTest, ScoredMethodShowsSortsAndExplainsScores) {
  tree.WriteFile("names.txt", "Jansen Johnson\nJonson Smith\nJohnsonn\n");
  const std::string names = tree.Path("names.txt");
  auto scoreOf = [](const std::string& line) {
    const std::size_t open = line.find(" ("), close = line.find(")\t");
    return open == std::string::npos || close == std::string::npos ? -1 : std::stoi(line.substr(open + 2, close - open - 2));
  };
  CliRun found = Run({"--method=scored", names, "Johnson"});
  ASSERT_EQ(found.Exit, 0) << found.Err;
  const std::vector<std::string> lines = Lines(found.Out);
  std::vector<std::string> words;
  for (const std::string& line : lines) words.push_back(line.substr(0, line.find(' ')));
  EXPECT_EQ(words, (std::vector<std::string>{"Jansen", "Johnson", "Jonson", "Johnsonn"})) << found.Out;
  CliRun explained = Run({"--method=scored", "--explain", "Johnson", "Jonson"});
  ASSERT_EQ(explained.Exit, 0) << explained.Err;
  const std::vector<std::string> explanation = Lines(explained.Out);
  ASSERT_GE(explanation.size(), 6u);
  EXPECT_EQ(explanation[0], "query\tjohnson");
  EXPECT_EQ(explanation[1], "word\tjonson");
  EXPECT_EQ(explanation[2], "alignment\tjohnson");
  EXPECT_EQ(explanation[3], "alignment\tjo nson");
  EXPECT_EQ(explanation[4].rfind("operation\tleave out\th\t-\tmiddle\tcost ", 0), 0u) << explanation[4];
  EXPECT_EQ(explanation.back(), "matches\tyes");
  const std::string scoreLine = "score\t" + std::to_string(scoreOf(lines[2]));
  EXPECT_NE(std::find(explanation.begin(), explanation.end(), scoreLine), explanation.end()) << explained.Out;

  CliRun sorted = Run({"--method=scored", "--sort=score", names, "Johnson"});
  ASSERT_EQ(sorted.Exit, 0);
  std::vector<int> scores;
  for (const std::string& line : Lines(sorted.Out)) scores.push_back(scoreOf(line));
  ASSERT_EQ(scores.size(), 4u);
  EXPECT_TRUE(std::is_sorted(scores.rbegin(), scores.rend())) << sorted.Out;
  EXPECT_EQ(Lines(sorted.Out)[0].rfind("Johnson (", 0), 0u);
  EXPECT_EQ(LastLine(sorted.Err), LastLine(found.Err));

  const std::string log = output.Path("scored.log");
  CliRun json = Run({"--method=scored", "--json", "--sort=score", "--log", log, names, "Johnson"});
  ASSERT_EQ(json.Exit, 0);
  EXPECT_TRUE(Holds(json.Out, "\"word\":\"Johnson\",\"variant\":null,\"key\":\"" +
                                  std::to_string(scores[0]) +
                                  "\",\"score\":" + std::to_string(scores[0]) + "}"));
  EXPECT_TRUE(Holds(ReadWholeFile(log), "Search string: Johnson.\r\nMethod: scored"));

  // An expression lists the files whose words reach each term's threshold.
  tree.WriteFile("jonson.txt", "Jonson\n");
  CliRun expression = Run({"--method=scored", tree.Path("*.txt"), "Johnson", "A", "Smyth"});
  EXPECT_EQ(expression.Out, names + "\n") << expression.Err;

  // Names in today's letters are scored on their folded letters, in the search and here.
  tree.WriteFile("u8.txt", "M\xc3\xbcller\n");
  CliRun folded = Run({"--method=scored", "--encoding=auto", "--explain", "Muller", "M\xc3\xbcller"});
  ASSERT_EQ(folded.Exit, 0) << folded.Err;
  EXPECT_EQ(Lines(folded.Out)[0], "folded\tmuller");
  EXPECT_EQ(LastLine(folded.Out), "matches\tyes");
  CliRun accented = Run({"--method=scored", "--encoding=auto", tree.Path("u8.txt"), "Muller"});
  EXPECT_EQ(accented.Out.rfind("M\xc3\xbcller (", 0), 0u) << accented.Out;
}

// --encoding=auto reads UTF-8, UTF-16 and Windows-1252 and folds letters; the default
// reads the letters A-Z alone. Words are shown in UTF-8, columns stay byte columns.
TEST_F(CliTest, EncodingOptionReadsNamesAsTheyAreWrittenToday) {
  tree.WriteFile("u8.txt", "M\xc3\xbcller\nMuller\n");
  tree.WriteFile("u16.txt", std::string("\xff\xfe\x18\x04\x32\x04\x30\x04\x3d\x04\x3e\x04\x32\x04\n\0", 16));
  tree.WriteFile("cp.txt", "M\xfcller\n");
  tree.WriteFile("ocr.txt", "Gri\xef\xac\x83th \xef\xac\x81scher \xef\xbc\xad\xef\xbd\x95ller\n");
  struct Case {
    std::vector<std::string> Args;
    std::string Out;
  } cases[] = {
      {{tree.Path("u8.txt"), "Muller"}, "Muller\tu8.txt\t2 (93.3%)\t0 K\n"},
      {{"--encoding=ascii", tree.Path("u8.txt"), "Muller"}, "Muller\tu8.txt\t2 (93.3%)\t0 K\n"},
      {{"--encoding=auto", tree.Path("u8.txt"), "Muller"},
       "M\xc3\xbcller\tu8.txt\t1 (46.7%)\t0 K\nMuller\tu8.txt\t2 (93.3%)\t0 K\n"},
      {{"--encoding", "auto", tree.Path("u8.txt"), "M\xc3\xbcller"},
       "M\xc3\xbcller\tu8.txt\t1 (46.7%)\t0 K\nMuller\tu8.txt\t2 (93.3%)\t0 K\n"},
      {{"--encoding=auto", "--vimgrep", tree.Path("u16.txt"), "Ivanov"},
       tree.Path("u16.txt") + ":1:1:\xd0\x98\xd0\xb2\xd0\xb0\xd0\xbd\xd0\xbe\xd0\xb2\n"},
      {{"--encoding=auto", tree.Path("cp.txt"), "Muller"}, "M\xc3\xbcller\tcp.txt\t1 (85.7%)\t0 K\n"},
      // Ligatures and full-width letters are their letters, in a file and in the query.
      {{"--encoding=auto", tree.Path("ocr.txt"), "Griffith", "A", "Fischer", "A", "M\xc3\xbcller"},
       tree.Path("ocr.txt") + "\n"},
      {{"--encoding=auto", tree.Path("ocr.txt"), "\xef\xac\x81scher"},
       "\xef\xac\x81scher\tocr.txt\t1 (58.6%)\t0 K\n"},
      {{"--encoding=auto", "--explain", "\xd0\x98\xd0\xb2\xd0\xb0\xd0\xbd\xd0\xbe\xd0\xb2"},
       "folded\tivanov\nnormalised\tivanov\nvariant\tivanov\t0151\nkeys\t0151\n"},
  };
  for (const Case& c : cases) {
    CliRun run = Run(c.Args);
    EXPECT_EQ(run.Exit, 0) << c.Args[0] << run.Err;
    EXPECT_EQ(run.Out, c.Out) << c.Args[0] << " " << c.Args[1];
  }
  // A character that is no letter is refused as before; 255 letters that read as four
  // letters a-z each are searched whole.
  CliRun refused = Run({"--encoding=auto", tree.Path("u8.txt"), "M\xc3\xbcller\xe2\x80\x94"});
  EXPECT_EQ(refused.Exit, 1);
  EXPECT_NE(refused.Err.find("contains invalid characters"), std::string::npos) << refused.Err;
  std::string shch;
  for (int i = 0; i < 255; ++i) shch += "\xd1\x89";
  CliRun longest = Run({"--encoding=auto", tree.Path("u8.txt"), shch});
  EXPECT_EQ(longest.Exit, 0) << longest.Err;
}

// With --encoding=auto, --vimgrep and --json give the column an editor gives the word once
// it has read the file into UTF-8; the default reading keeps the columns of the bytes.
TEST_F(CliTest, DecodedColumnsAreThoseOfTheLineInUtf8) {
  // "H\u00e9l\u00e8ne M\u00fcller" in Windows-1252, UTF-8 with its mark, UTF-16 LE with its.
  tree.WriteFile("cp.txt", "x\nH\xe9l\xe8ne M\xfcller Muller\n");
  tree.WriteFile("u8.txt", "\xef\xbb\xbfH\xc3\xa9l\xc3\xa8ne M\xc3\xbcller\n");
  std::string le = "\xff\xfe";
  for (char16_t c : std::u16string(u"H\u00e9l\u00e8ne M\u00fcller\n")) {
    le += static_cast<char>(c & 0xff), le += static_cast<char>(c >> 8);
  }
  tree.WriteFile("le.txt", le);
  const std::string muller = "M\xc3\xbcller";
  auto vimgrep = [&](const char* file) {
    return Run({"--encoding=auto", "--vimgrep", tree.Path(file), muller}).Out;
  };
  EXPECT_EQ(vimgrep("cp.txt"), tree.Path("cp.txt") + ":2:10:" + muller + "\n" +
                                   tree.Path("cp.txt") + ":2:18:Muller\n");
  EXPECT_EQ(vimgrep("u8.txt"), tree.Path("u8.txt") + ":1:10:" + muller + "\n");
  EXPECT_EQ(vimgrep("le.txt"), tree.Path("le.txt") + ":1:10:" + muller + "\n");
  CliRun json = Run({"--encoding=auto", "--json", tree.Path("cp.txt"), "Muller"});
  EXPECT_TRUE(Holds(json.Out, "\"line\":2,\"column\":10,\"offset\":9,"));
  CliRun bytes = Run({"--vimgrep", tree.Path("cp.txt"), "Muller"});
  EXPECT_EQ(bytes.Out, tree.Path("cp.txt") + ":2:15:Muller\n");
}

std::string Repeated(const std::string& text, int times) {
  std::string repeated;
  for (int i = 0; i < times; ++i) repeated += text;
  return repeated;
}

// QUERY holds 255 characters in whatever letters, counted as characters, and the search
// and its log read all of it.
TEST_F(CliTest, QueryOf255CharactersInAnyLettersIsSearchedAndLoggedWhole) {
  const std::string shevchenko = "\xd0\xa8\xd0\xb5\xd0\xb2\xd1\x87\xd0\xb5\xd0\xbd\xd0\xba\xd0\xbe";
  const std::string smirnova = "\xd0\xa1\xd0\xbc\xd0\xb8\xd1\x80\xd0\xbd\xd0\xbe\xd0\xb2\xd0\xb0";
  tree.WriteFile("shevchenko.txt", shevchenko + "\n");
  // 208 characters, 280 bytes: the last name begins past the 255th byte.
  const std::string query = Repeated(smirnova + " O Kuznetsova O ", 8) + "Smith O " + shevchenko;
  const std::string log = output.Path("search.log");
  CliRun run = Run({"--encoding=auto", "--log", log, tree.Path("*.txt"), query});
  EXPECT_EQ(run.Exit, 0) << run.Err;
  EXPECT_EQ(run.Out, tree.Path("shevchenko.txt") + "\n");
  EXPECT_TRUE(Holds(
      ReadWholeFile(log),
      "Search expression: " + query + ".\r\nReading: Accented, Cyrillic and Greek letters.\r\n"));

  const std::string sharpS = "\xc3\x9f";
  const struct {
    std::string Query;
    int Exit;
  } limits[] = {
      {Repeated("M\xc3\xbcller Kowalski \xd0\x98\xd0\xb2\xd0\xb0\xd0\xbd\xd0\xbe\xd0\xb2 ", 9) +
           "M\xc3\xbcller Kowalski",  // 229 characters, 299 bytes
       0},
      {Repeated(sharpS, 255), 0},
      {Repeated(sharpS, 256), 2},
  };
  for (const auto& c : limits) {
    CliRun limit = Run({"--encoding=auto", tree.Path("*.txt"), c.Query});
    EXPECT_EQ(limit.Exit, c.Exit) << c.Query.size() << limit.Err;
    if (c.Exit == 2) {
      EXPECT_TRUE(Holds(limit.Err, "QUERY is longer than 255 characters"));
    }
  }
}

// The file column shows a name's first 14 characters: letters of two bytes in UTF-8 are not
// cut in two, and a name in a code page of one byte per character is cut as ever.
TEST_F(CliTest, FileColumnCutsANameBetweenItsCharacters) {
  const struct {
    std::string Name, Shown;
  } names[] = {
      {"a\xd0\x9c\xd0\xb5\xd1\x82\xd1\x80\xd0\xb8\xd0\xba\xd0\xb8_1899.txt",
       "a\xd0\x9c\xd0\xb5\xd1\x82\xd1\x80\xd0\xb8\xd0\xba\xd0\xb8_1899...."},
      {"\xd0\x9c\xd0\xb5\xd1\x82\xd1\x80\xd0\xb8\xd0\xba\xd0\xb8.txt",  // 11 characters
       "\xd0\x9c\xd0\xb5\xd1\x82\xd1\x80\xd0\xb8\xd0\xba\xd0\xb8.txt"},
      {"r\xe9sum\xe9_of_1899.txt", "r\xe9sum\xe9_of_1899..."},
      {"abcdefghijklm\xd0.txt", "abcdefghijklm\xd0..."},
      {"abcdefghij.txt", "abcdefghij.txt..."},
  };
  for (const auto& c : names) {
    TempTree folder;
    folder.WriteFile(c.Name, "Ivanov\n");
    CliRun run = Run({folder.Path("*.txt"), "Ivanov"});
    EXPECT_EQ(run.Out, "Ivanov\t" + c.Shown + "\t1 (85.7%)\t0 K\n") << c.Name;
  }
}

// --given-names: a given name finds its nicknames, names and Latin forms by their sound and
// its abbreviations as written; --explain lists the family, --json the equivalent, the log
// names the switch, and a line of the user's file that cannot be read is named and left out.
TEST_F(CliTest, GivenNamesFindTheFamilyOfAName) {
  tree.WriteFile("register.txt", "Gulielmus\nWilliam\nWm. Wmson\nBill\nWalter\n");
  const std::string names = tree.Path("register.txt");
  ExpectOutputs({
      {{names, "William"}, "William\tregister.txt\t2 (42.5%)\t0 K\n"},
      {{"--given-names", names, "William"},
       "Gulielmus\tregister.txt\t1 (22.5%)\t0 K\nWilliam\tregister.txt\t2 (42.5%)\t0 K\n"
       "Wm\tregister.txt\t3 (50.0%)\t0 K\nBill\tregister.txt\t4 (80.0%)\t0 K\n"},
      {{"--given-names", names, "Wm"},
       "Gulielmus\tregister.txt\t1 (22.5%)\t0 K\nWilliam\tregister.txt\t2 (42.5%)\t0 K\n"
       "Wm\tregister.txt\t3 (50.0%)\t0 K\nBill\tregister.txt\t4 (80.0%)\t0 K\n"},
      {{"--given-names", "--method=dm", names, "gulielmi"},
       "Gulielmus\tregister.txt\t1 (22.5%)\t0 K\nWilliam\tregister.txt\t2 (42.5%)\t0 K\n"
       "Wm\tregister.txt\t3 (50.0%)\t0 K\nBill\tregister.txt\t4 (80.0%)\t0 K\n"},
      {{"--given-names", names, "Walter", "A", "Gulielmi"}, names + "\n"},
  });
  const std::string explained = Run({"--given-names", "--explain", "Wm"}).Out;
  EXPECT_EQ(explained.substr(0, explained.find("family")),
            Run({"--explain", "Wm"}).Out);  // the word's own keys first, as without the switch
  for (const char* line : {"\nfamily\twilliam\tname\tw450\n", "\nfamily\tgulielmi\tlatin\tg445\n",
                           "\nfamily\twillm\tabbreviation\tas written\n"})
    EXPECT_TRUE(Holds(explained, line));

  const std::string log = output.Path("given.log");
  CliRun json = Run({"--given-names", "--json", "--log", log, names, "William"});
  EXPECT_TRUE(Holds(json.Out,
                    "\"word\":\"William\",\"variant\":\"wiliam\",\"key\":\"w450\","
                    "\"equivalent\":null,\"equivalent_kind\":null}"));
  EXPECT_TRUE(Holds(json.Out,
                    "\"word\":\"Gulielmus\",\"variant\":\"gulielmus\",\"key\":\"g445\","
                    "\"equivalent\":\"gulielmus\",\"equivalent_kind\":\"latin\"}"));
  EXPECT_TRUE(Holds(json.Out,
                    "\"word\":\"Wm\",\"variant\":null,\"key\":null,"
                    "\"equivalent\":\"wm\",\"equivalent_kind\":\"abbreviation\"}"));
  EXPECT_TRUE(Holds(ReadWholeFile(log),
                    "Search string: William.\r\nGiven names: with their nicknames, "
                    "abbreviations and Latin forms.\r\n"));

  // The user's own lines, from the settings folder; a bad line is named and left out.
  tree.WriteFile("config/tessik/given-names.txt",
                 "# mine\nhamish: james =jas\nwalter: walt wat.\nnell: ellen\n");
  const char* old = std::getenv("XDG_CONFIG_HOME");
  const std::string kept = old != nullptr ? old : "";
  setenv("XDG_CONFIG_HOME", tree.Path("config").c_str(), 1);
  CliRun own = Run({"--given-names", names, "Wat"});
  setenv("XDG_CONFIG_HOME", kept.c_str(), 1);
  EXPECT_EQ(own.Exit, 0) << own.Err;
  EXPECT_EQ(own.Out, "Walter\tregister.txt\t5 (97.5%)\t0 K\n");
  EXPECT_EQ(Lines(own.Err).front(),
            "tessik-cli: " + tree.Path("config/tessik/given-names.txt") +
                ":2: the equivalent \"=jas\" is not a word of 2 to 62 letters A-Z; the line is "
                "left out");
}

// --records: a GEDCOM file in ANSEL is read in its set, its CONC lines joined; the result
// line gives the file's line, --vimgrep its line and column in UTF-8, --json the record too,
// and the log names the switch. Without it the file reads as any file.
TEST_F(CliTest, RecordsReadAGedcomFileInItsCharacterSet) {
  tree.WriteFile("tree.ged",
                 "0 HEAD\r\n1 CHAR ANSEL\r\n0 @I12@ INDI\r\n1 NAME Hans /M\xE8uller/\r\n"
                 "1 NOTE the Sch\r\n2 CONC midt farm\r\n0 TRLR\r\n");
  const std::string ged = tree.Path("tree.ged");
  ExpectOutputs({
      {{ged, "Muller"}, ""},
      {{"--records", ged, "Muller"}, "Mu\xCC\x88ller\ttree.ged\t4 (62.1%)\t0 K\n"},
      {{"--records", "--vimgrep", ged, "Schmidt"}, ged + ":5:12:Schmidt\n"},
      {{"--records", "--encoding=auto", "--vimgrep", ged, "Muller"},
       ged + ":4:14:Mu\xCC\x88ller\n"},
      {{"--records", ged, "Schmidt", "A", "Hans"}, ged + "\n"},
  });
  const std::string log = output.Path("records.log");
  CliRun json = Run({"--records", "--json", "--log", log, ged, "Schmidt"});
  EXPECT_TRUE(Holds(json.Out, "\"line\":5,\"column\":12,"));
  EXPECT_TRUE(Holds(json.Out,
                    "\"word\":\"Schmidt\",\"variant\":\"schmidt\",\"key\":\"s253\","
                    "\"record\":\"@I12@\"}"));
  EXPECT_TRUE(Holds(ReadWholeFile(log),
                    "Search string: Schmidt.\r\nReading: GEDCOM records and "
                    "documents (.docx, .odt, .epub) as their text.\r\n"));
  EXPECT_EQ(Run({"--json", ged, "Hans"}).Out.find("record"), std::string::npos);
  // Held back to be sorted by score, a word keeps its record after its file was read.
  CliRun sorted = Run({"--records", "--method=scored", "--sort=score", "--json", ged, "Schmidt"});
  EXPECT_TRUE(Holds(sorted.Out, "\"record\":\"@I12@\""));
}

// A document that cannot be read is named on standard error with why, and in --json's
// summary; the search completes with exit status 3, as for any file left out.
TEST_F(CliTest, RecordsRefuseABrokenDocumentWithItsReason) {
  tree.WriteFile("letter.docx", "PK\x03\x04 cut short");
  const std::string docx = tree.Path("letter.docx");
  CliRun run = Run({"--records", tree.Path("*.docx"), "Muller"});
  EXPECT_EQ(run.Exit, 3);
  EXPECT_TRUE(
      Holds(run.Err, "tessik-cli: " + docx +
                         ": refused: not a readable archive of its kind, or a part of it is "
                         "damaged\n"));
  CliRun json = Run({"--records", "--json", tree.Path("*.docx"), "Muller"});
  EXPECT_TRUE(Holds(json.Out, "\"reason\":\"refused: not a readable archive"));
  // Without the switch it is a file like any other.
  EXPECT_EQ(Run({tree.Path("*.docx"), "Muller"}).Exit, 0);
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

// Words of 3 to 12 letters, and lines of as many widths, so that the ends of the blocks the output is
// gathered in fall inside lines and between them, in every form of output.
TEST_F(CliTest, ManyLinesComeOutWholeAndInOrder) {
  std::string many;
  constexpr int kLines = 30000;
  for (int i = 0; i < kLines; ++i) many += "Cat" + std::string(i % 10, 't') + "\n";
  tree.WriteFile("many/many.txt", many);
  for (std::vector<std::string> form : {std::vector<std::string>{}, {"--json"}, {"--vimgrep"}}) {
    std::vector<std::string> args = form;
    args.insert(args.end(), {tree.Path("many/*.txt"), "cat"});
    CliRun run = Run(args);
    const std::vector<std::string> lines = Lines(run.Out);
    std::size_t line = 0;
    for (const std::string& text : lines) {
      // The first word of each result line is that of the next line of the file.
      const std::size_t word = text.find("Cat");
      if (word == std::string::npos) continue;
      ASSERT_LT(line, static_cast<std::size_t>(kLines)) << text;
      EXPECT_EQ(text.substr(word, 3 + line % 10), "Cat" + std::string(line % 10, 't')) << text;
      EXPECT_NE(text[word + 3 + line % 10], 't') << text;
      ++line;
    }
    EXPECT_EQ(line, static_cast<std::size_t>(kLines)) << (form.empty() ? "lines" : form[0]);
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

TEST_P(LeftOutTest, ResultLinesBeyondTheListCountOnlyForALog) {
  if (GetParam().Query.size() != 1) GTEST_SKIP() << "only a word search lists occurrences";
  std::string many;
  for (int i = 0; i < 61450; ++i) many += "cat\n";
  tree.WriteFile("many/many.txt", many);
  const std::string beyond = "tessik-cli: 10 result line(s) beyond the 61440 the result list holds";
  // Standard output prints every line whole: only the log loses file names.
  for (const bool withLog : {false, true}) {
    std::vector<std::string> args = {tree.Path("many/*.txt"), "cat"};
    if (withLog) args.insert(args.begin(), {"--log", tree.Path("search.log")});
    CliRun run = Run(args);
    EXPECT_EQ(run.Exit, withLog ? 3 : 0) << run.Err;
    EXPECT_EQ(Lines(run.Out).size(), 61450u);
    EXPECT_EQ(CountLinesWith(run.Err, beyond), withLog ? 1u : 0u) << run.Err;
  }
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

// Files whose shown names hold control bytes between files whose names hold none, each
// with two occurrences: every line is escaped as its own file's name asks, whether printed
// as found or held back and sorted by score; a control byte beyond the shown characters is
// not shown.
TEST_F(CliTest, EachResultLineIsEscapedAsItsOwnFilesName) {
  tree.WriteFile("a plain.txt", "cat cat\n");
  tree.WriteFile("b\tcat.txt", "cat cat\n");
  tree.WriteFile("c plain.txt", "cat cat\n");
  tree.WriteFile("d\x7f.txt", "cat cat\n");
  tree.WriteFile("e long name of\x01.txt", "cat cat\n");
  const std::vector<std::string> shown = {"a plain.txt", "b\\x09cat.txt", "c plain.txt",
                                          "d\\x7f.txt", "e long name of..."};
  struct Case {
    std::vector<std::string> Options;
    std::string Word;  // the word column of every line
  };
  const Case cases[] = {{{}, "cat"}, {{"-j1"}, "cat"}, {{"--method=scored", "--sort=score"}, "cat (189)"}};
  for (const Case& c : cases) {
    std::vector<std::string> args = c.Options;
    args.push_back(tree.Path("*.txt"));
    args.push_back("cat");
    CliRun run = Run(args);
    std::vector<std::string> expected;
    for (const std::string& name : shown) {
      for (const char* place : {"\t1 (37.5%)\t0 K", "\t1 (87.5%)\t0 K"})
        expected.push_back(c.Word + "\t" + name + place);
    }
    std::vector<std::string> lines;
    for (const std::string& line : Lines(run.Out)) {
      if (line.find("\tone.txt\t") == std::string::npos) lines.push_back(line);  // the tree's own
    }
    std::sort(lines.begin(), lines.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(lines, expected) << run.Out;
  }
}

// --- --vimgrep, progress, the folder hint, --version ---

// "PATH:LINE:COLUMN:WORD" for an occurrence at `offset` of `content`.
std::string VimgrepLine(const std::string& path, const std::string& content, std::size_t offset,
                        const std::string& word) {
  const auto line = 1 + std::count(content.begin(), content.begin() + offset, '\n');
  const std::size_t lineFeed = offset == 0 ? std::string::npos : content.rfind('\n', offset - 1);
  const std::size_t column = offset - (lineFeed == std::string::npos ? 0 : lineFeed + 1) + 1;
  return path + ":" + std::to_string(line) + ":" + std::to_string(column) + ":" + word;
}

// Occurrences where a scanner may lose its place: at the start of the file, in the middle
// of a line, after a CR LF, across the end of the first 65,536-byte read and as the first
// byte of the third.
TEST_F(CliTest, VimgrepGivesTheFullPathLineAndColumnOfEachWord) {
  std::string content;
  std::vector<std::size_t> offsets;
  std::vector<std::string> words;
  auto put = [&](const std::string& word) {
    offsets.push_back(content.size());
    words.push_back(word);
    content += word;
  };
  auto padTo = [&](std::size_t size) {
    while (content.size() < size) content += content.size() % 80 == 79 ? '\n' : ' ';
  };
  put("Catherine");
  content += " and  ";
  put("Katharine");
  content += ",\r\n";
  put("Kathryn");
  content += "\r\n\r\n  ";
  put("CATHERINE");
  content += '\n';
  padTo(65531);
  put("Catherine");  // letters 65531 to 65539
  content += '\n';
  padTo(131072);
  put("Katherine");
  content += "\n";
  tree.WriteFile("placed/records.txt", content);

  CliRun run = Run({"--vimgrep", tree.Path("placed/*.txt"), "Catherine"});
  EXPECT_EQ(run.Exit, 0) << run.Err;
  std::vector<std::string> expected;
  for (std::size_t i = 0; i < offsets.size(); ++i) {
    expected.push_back(VimgrepLine(tree.Path("placed/records.txt"), content, offsets[i], words[i]));
  }
  EXPECT_EQ(Lines(run.Out), expected);
  EXPECT_EQ(LastLine(run.Err), "Completed:  1 file(s) searched. Found 6 item(s) in 1 file(s).");
}

// Paths in the order the window lists them, with control bytes escaped as everywhere.
TEST_F(CliTest, VimgrepListsTheFilesOfAListingOrAnExpressionAsTheWindowDoes) {
  tree.WriteFile("new\nline.txt", "cat\n");
  for (std::vector<std::string> query :
       {std::vector<std::string>{}, std::vector<std::string>{"cat", "O", "dog"}}) {
    std::vector<std::string> args = {"-s", tree.Path("*.txt")};
    args.insert(args.end(), query.begin(), query.end());
    CliRun lines = Run(args);
    args.insert(args.begin(), "--vimgrep");
    CliRun vimgrep = Run(args);
    EXPECT_EQ(vimgrep.Out, lines.Out);
    EXPECT_EQ(vimgrep.Err, lines.Err);
    EXPECT_EQ(CountLinesWith(vimgrep.Out, tree.Root() + "new\\x0aline.txt"), 1u) << vimgrep.Out;
  }
  CliRun words = Run({"--vimgrep", tree.Path("*.txt"), "cat"});
  std::vector<std::string> lines = Lines(words.Out);
  std::sort(lines.begin(), lines.end());
  EXPECT_EQ(lines, (std::vector<std::string>{tree.Root() + "new\\x0aline.txt:1:1:cat",
                                             tree.Path("one.txt") + ":1:5:cat"}));
}

// The log reads every line back: the lines are kept for it, and printed as without it.
TEST_F(CliTest, ResultLinesAreTheSameWithALogThatHoldsThemAll) {
  std::string many;
  for (int i = 0; i < 61450; ++i) many += i % 2 == 0 ? "cat\n" : "Kat\n";
  tree.WriteFile("many/many.txt", many);
  const std::string log = output.Path("search.log");
  CliRun plain = Run({tree.Path("many/*.txt"), "cat"});
  CliRun logged = Run({"--log", log, tree.Path("many/*.txt"), "cat"});
  EXPECT_EQ(logged.Out, plain.Out);
  EXPECT_EQ(LastLine(logged.Err), LastLine(plain.Err));
  const std::string written = ReadWholeFile(log);
  EXPECT_EQ(CountLinesWith(written, "cat\t\t\t"), 30725u);
  EXPECT_EQ(CountLinesWith(written, "Kat\t\t\t"), 30725u);
  EXPECT_EQ(CountLinesWith(written, "\t\t\tFile name not known"), 10u);
}

TEST_F(CliTest, ProgressNeverReachesAFileOrAPipe) {
  for (int i = 0; i < 50; ++i) tree.WriteFile("more/f" + std::to_string(i) + ".txt", "cat\n");
  CliRun toFile = Run({"-s", tree.Path("*.*"), "cat"});
  CliRun toPipe = Run({"-s", tree.Path("*.*"), "cat"}, {}, ErrorsTo::Pipe);
  EXPECT_EQ(toPipe.Exit, 0);
  EXPECT_EQ(toPipe.Err, toFile.Err);
  EXPECT_EQ(toPipe.Err, "Completed:  54 file(s) searched. Found 53 item(s) in 53 file(s).\n");
}

// The first file is drawn at once; later ones only after a tenth of a second, which a
// test does not wait for.
TEST_F(CliTest, ProgressOnATerminalFitsItsLineAndIsClearedBeforeTheStatus) {
  const std::string name = std::string(100, 'n') + ".txt";
  tree.WriteFile(name, "cat\n");
  CliRun run = Run({tree.Path(name), "cat"}, {}, ErrorsTo::Terminal);
  EXPECT_EQ(run.Exit, 0);
  const std::size_t status = run.Err.find("Completed:  1 file(s) searched.");
  ASSERT_NE(status, std::string::npos) << run.Err;
  const std::string before = run.Err.substr(0, status);
  // "\r" and the drawing, then "\r", blanks over it and "\r".
  ASSERT_EQ(std::count(before.begin(), before.end(), '\r'), 3) << before;
  const std::size_t second = before.find('\r', 1);
  const std::string drawing = before.substr(1, second - 1);
  EXPECT_EQ(drawing.rfind("Searching  ...", 0), 0u) << drawing;
  EXPECT_EQ(drawing.size(), static_cast<std::size_t>(kTerminalColumns - 1));
  EXPECT_EQ(drawing.substr(drawing.size() - 10), "nnnnnn.txt");
  EXPECT_EQ(before.substr(second), "\r" + std::string(drawing.size(), ' ') + "\r");
}

TEST_F(CliTest, FolderAsSpecGetsAHintAndTheSearchItNames) {
  const std::string folder = tree.Root().substr(0, tree.Root().size() - 1);
  struct Case {
    std::string Spec;
    int Exit;
    std::string Rest;  // what follows the hint on standard error
  };
  const std::vector<Case> cases = {
      // The folder above is searched for files named like it: it is one, but not a file.
      {folder, 0, "Completed:  0 file(s) searched. 0 file(s) matched expression.\n"},
      // The folder itself, for files with an empty name.
      {tree.Root(), 1,
       "No files were found that correspond to   \nthe search pattern that you entered\n"
       "as the 'Search in:' string. Please\ncheck the filename and/or directory.\nReady\n"}};
  for (const Case& c : cases) {
    CliRun run = Run({c.Spec, "cat"});
    EXPECT_EQ(run.Exit, c.Exit);
    EXPECT_EQ(run.Out, "");
    EXPECT_EQ(run.Err, "tessik-cli: " + c.Spec + " is a folder; to search the files in it, give '" +
                           folder + "/*'\n" + c.Rest);
  }
  // A file, a pattern or nothing gets no hint.
  for (const std::string& spec : {tree.Path("one.txt"), tree.Path("none"), tree.Path("*")}) {
    EXPECT_EQ(Run({spec}).Err.find("is a folder"), std::string::npos) << spec;
  }
}

TEST_F(CliTest, VersionIsTheProjectsAndEndsTheReading) {
  for (std::vector<std::string> args :
       {std::vector<std::string>{"--version"}, std::vector<std::string>{"-s", "--version", "-x"}}) {
    CliRun run = Run(args);
    EXPECT_EQ(run.Exit, 0);
    EXPECT_EQ(run.Out, "tessik-cli (Tessik) " TESSIK_VERSION "\n");
    EXPECT_EQ(run.Err, "");
  }
}

}  // namespace

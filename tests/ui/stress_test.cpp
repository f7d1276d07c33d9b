// Go, Pause, Resume, Stop and Save at random moments, over and over, on a real tree of
// thousands of files: no command hangs, a log saved while a search adds to the lists is
// whole, and after every search the list holds what the status line says it holds.
// TESSIK_STRESS=N runs N rounds instead of the default.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>
#include <string>

#include "ui/window_search.h"
#include "window_fixture.h"

namespace ui_test {
namespace {

int Rounds() {
  const char* wanted = std::getenv("TESSIK_STRESS");
  int rounds = wanted != nullptr ? std::atoi(wanted) : 0;
  return rounds > 0 ? rounds : 250;
}

// Three folders of files, and one file that cannot be opened, which every search records:
// so Save stays enabled from one search into the next, and can be pressed while it runs.
constexpr int kFolders = 3;
constexpr int kFilesPerFolder = 700;
constexpr int kFiles = kFolders * kFilesPerFolder + 1;

enum class Query { Listing, Word, Expression };

struct QueryCase {
  const char* Text;
  Query Kind;
};

const QueryCase kQueries[] = {
    {"", Query::Listing},
    {"smith", Query::Word},
    {"smith A jones", Query::Expression},
    {"jones O smyth N brown", Query::Expression},
};

class StressTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    const char* contents[] = {"smith went home\nand smith came back\n", "jones\n",
                              "smith and jones\nbrown\n", "nobody here\n"};
    for (int folder = 0; folder < kFolders; ++folder) {
      for (int i = 0; i < kFilesPerFolder; ++i) {
        char name[40];
        std::snprintf(name, sizeof name, "d%d/f%03d.txt", folder, i);
        tree_.WriteFile(name, contents[(i + folder) % 4]);
      }
    }
    unopenable_ = std::make_unique<UnopenableFile>(tree_.Path("d1/unopenable.txt"));
    ASSERT_TRUE(unopenable_->Made());
    SetControlText(kSearchInEdit, (tree_.Root() + "*.txt").c_str());
    HeadlessSetCheck(kIncludeSubdirsCheck, 1);
  }

  // A Stop (identifier 1 while a search runs) must come back promptly.
  void ClickTimed(int id) {
    auto start = std::chrono::steady_clock::now();
    HeadlessClick(id);
    auto took = std::chrono::steady_clock::now() - start;
    ASSERT_LT(took, std::chrono::seconds(5)) << "a command hung";
  }

  // Save while the worker may still be adding to the lists: the log is written whole.
  void SaveNow(int round) {
    if (!HeadlessIsEnabled(kSaveButton)) return;
    std::string log = tree_.Path("round" + std::to_string(round) + ".log");
    HeadlessScriptDialog(true, log);
    ClickTimed(kSaveButton);
    std::string content = ReadWholeFile(log);
    EXPECT_TRUE(content.starts_with("********************** Search results")) << round;
    EXPECT_TRUE(content.ends_with("End of search log ********************\r\n")) << round;
    ++saves_;
  }

  void Sleep(std::mt19937& random, int maxMicroseconds) {
    std::uniform_int_distribution<int> pick(0, maxMicroseconds);
    std::this_thread::sleep_for(std::chrono::microseconds(pick(random)));
  }

  // What a user would do to get back to idle: resume a search held at its very end, and
  // wait until the window shows "&Go" again.
  bool BackToIdle() {
    bool idle = WaitFor([] {
      if (HeadlessControlText(kPauseButton) == "&Resume") HeadlessClick(kPauseButton);
      return WindowSearchState().SearchRunning == 0 && HeadlessControlText(kGoButton) == "&Go";
    });
    if (!idle) return false;
    JoinWorker();
    return true;
  }

  void CheckAgreement(Query kind, int round) {
    SCOPED_TRACE("round " + std::to_string(round) + ", status \"" + StatusWords() + "\"");
    int lines = Lines();
    EXPECT_EQ(static_cast<int>(WindowSearchState().ResultList.Count), lines);
    EXPECT_EQ(Status().size(), 90u);
    EXPECT_EQ(HeadlessControlText(kPauseButton), "&Pause");
    EXPECT_FALSE(HeadlessIsEnabled(kPauseButton));
    EXPECT_EQ(WindowSearchState().SearchPaused, 0);
    EXPECT_EQ(WindowSearchState().FileSet.Count, 0u);
    EXPECT_EQ(WindowSearchState().ReadBuffer.load(), nullptr);
    EXPECT_EQ(WindowSearchState().ScanFileHandle.load(), kNoFile);
    EXPECT_EQ(WindowSearchState().PatternFindHandle.load(), kNoFind);
    EXPECT_EQ(WindowSearchState().SubdirFindHandle.load(), kNoFind);

    std::string status = StatusWords();
    int a = -1, b = -1, c = -1;
    if (std::sscanf(status.c_str(), "Completed:  Found %d file(s) matching specification.", &a) ==
        1) {
      EXPECT_EQ(kind, Query::Listing);
      EXPECT_EQ(a, lines);
      EXPECT_EQ(a, kFiles);
    } else if (std::sscanf(status.c_str(),
                           "Completed:  %d file(s) searched. Found %d item(s) in %d file(s).", &a,
                           &b, &c) == 3) {
      EXPECT_EQ(kind, Query::Word);
      EXPECT_LE(a, kFiles);
      EXPECT_EQ(b, lines);
      EXPECT_LE(c, a);
      EXPECT_LE(c, b);
      EXPECT_EQ(c == 0, b == 0);
    } else if (std::sscanf(status.c_str(),
                           "Completed:  %d item(s) found. %d file(s) couldn't be opened.", &a,
                           &b) == 2) {
      EXPECT_EQ(kind, Query::Word);
      EXPECT_EQ(a, lines);
      EXPECT_EQ(b, 1);
    } else if (std::sscanf(status.c_str(),
                           "Completed:  %d file(s) searched. %d file(s) matched expression.", &a,
                           &b) == 2) {
      EXPECT_EQ(kind, Query::Expression);
      EXPECT_EQ(b, lines);
      EXPECT_EQ(a, kFiles);
    } else if (std::sscanf(status.c_str(), "Inerrupted:  %d intermediate file(s) match expression.",
                           &a) == 1) {
      // Stopped before the first term was taken, or an expression stopped on the way.
      if (kind == Query::Expression) {
        EXPECT_EQ(a, lines);
      } else {
        EXPECT_EQ(a, 0);
        if (kind == Query::Word) {
          EXPECT_EQ(lines, 0);
        }
      }
    } else {
      ADD_FAILURE() << "not a summary";
    }
  }

  TempTree tree_;
  std::unique_ptr<UnopenableFile> unopenable_;
  int saves_ = 0;
};

TEST_F(StressTest, RandomCommandsNeverHangAndTheListAgreesWithTheStatus) {
  unsigned seed = static_cast<unsigned>(std::random_device{}());
  std::mt19937 random(seed);
  SCOPED_TRACE("seed " + std::to_string(seed));
  int rounds = Rounds();
  for (int round = 0; round < rounds; ++round) {
    const QueryCase& query = kQueries[random() % std::size(kQueries)];
    SetControlText(kSearchForEdit, query.Text);
    ClickTimed(kGoButton);
    Sleep(random, 3000);
    switch (random() % 5) {
      case 0:  // let it run to its end
        break;
      case 4:  // save while it runs, then stop
        SaveNow(round);
        Sleep(random, 1000);
        ClickTimed(kGoButton);
        break;
      case 1:
        ClickTimed(kGoButton);
        break;
      case 2:  // stop while paused
        ClickTimed(kPauseButton);
        Sleep(random, 1000);
        ClickTimed(kGoButton);
        break;
      default:
        ClickTimed(kPauseButton);
        Sleep(random, 1000);
        ClickTimed(kPauseButton);
        Sleep(random, 1000);
        ClickTimed(kGoButton);
        break;
    }
    ASSERT_TRUE(BackToIdle()) << "round " << round << " did not come back to idle";
    CheckAgreement(query.Kind, round);
    if (HasFailure()) break;
  }
  EXPECT_GT(saves_, 0) << "Save was never enabled during a search";
}

}  // namespace
}  // namespace ui_test

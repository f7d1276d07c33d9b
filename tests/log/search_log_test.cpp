// The search log in both layouts, byte for byte, and its failures.
#include "log/search_log.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "engine/search_state.h"
#include "support/test_search_state.h"
#include "support/test_support.h"

namespace {

// The expected texts are assembled from the banner lengths, so a miscounted banner shows.
const std::string kRule60 = std::string(22, '*') + " Search results " + std::string(22, '*');
const std::string kEnd =
    "\r\n" + std::string(20, '*') + " End of search log " + std::string(20, '*') + "\r\n";

// The line a log of a search by another method than the program's own has under its text.
const std::string kDmLine = "Method: Daitch-Mokotoff Soundex.\r\n";
// And the line of a search that read the letters of today's encodings.
const std::string kLettersLine = "Reading: Accented, Cyrillic and Greek letters.\r\n";

std::string WordHeader(const std::string& text, int searched, int words, int files,
                       const std::string& methodLine = "") {
  return kRule60 + "\r\n\r\nSearch string: " + text + ".\r\n" + methodLine + "Searched " +
         std::to_string(searched) + " file(s).\r\nFound: " + std::to_string(words) +
         " word(s) in " + std::to_string(files) + " file(s).\r\n" + std::string(38, '+') +
         "\r\nWord:\t\t\t\tFile:\r\n" + std::string(55, '-') + "\r\n";
}

std::string ExpressionHeader(const std::string& text, int searched, int found,
                             const std::string& methodLine = "") {
  return kRule60 + "\r\n\r\nSearch expression: " + text + ".\r\n" + methodLine + "Searched " +
         std::to_string(searched) + " file(s).\r\nFound " + std::to_string(found) +
         " matching file(s).\r\n" + std::string(38, '+') + "\r\nFiles:\r\n" + std::string(45, '-') +
         "\r\n";
}

std::string UnopenedHeader(int count) {
  return "\r\n" + std::string(44, '+') + "\r\nThe following " + std::to_string(count) +
         " files could not be opened for searching.\r\nYou can try searching them again "
         "later.\r\n" +
         std::string(47, '-') + "\r\n";
}

// The lines of a result list, as the window's list box would give them to the log.
class ListedLines final : public ShownLines {
 public:
  int Count() const override { return static_cast<int>(Lines.size()); }
  int Text(int index, char* buffer, int size) const override {
    if (index < 0 || index >= Count() || size <= 0) return -1;
    const std::string& line = Lines[static_cast<std::size_t>(index)];
    const std::size_t length = std::min(line.size(), static_cast<std::size_t>(size - 1));
    std::memcpy(buffer, line.data(), length);
    buffer[length] = '\0';
    return static_cast<int>(length);
  }

  std::vector<std::string> Lines;
};

class SearchLogTest : public testing::Test {
 protected:
  void SetUp() override {
    ClearSearchLists(TestSearchState());
    TestSearchState().LastTermType = 0;
    TestSearchState().FilesSearched = 0;
    TestSearchState().MatchedFiles = 0;
  }
  void TearDown() override { ClearSearchLists(TestSearchState()); }

  void SetSearchText(const std::string& text) { searchText_ = text; }
  void SetMethod(const SoundMethod& method) { method_ = &method; }
  void AddLines(const std::vector<std::string>& lines) {
    lines_.Lines.insert(lines_.Lines.end(), lines.begin(), lines.end());
  }
  static void AddResults(const std::vector<std::string>& paths) {
    for (const std::string& path : paths)
      ASSERT_GE(TestSearchState().ResultList.Add(path.c_str()), 0);
  }
  static void AddUnopened(const std::vector<std::string>& paths) {
    for (const std::string& path : paths)
      ASSERT_GE(TestSearchState().UnopenedFiles.Add(path.c_str()), 0);
  }
  int Save(const std::string& path) {
    SearchRequest request = MakeSearchRequest("", searchText_.c_str(), false);
    request.Method = method_;
    request.ReadUnicode = readUnicode_;
    return SaveSearchLog(path.c_str(), SummaryOfSearch(TestSearchState(), SearchEnding::QueryAnswered),
                         request, lines_);
  }
  std::string Saved() {
    const std::string path = tree_.Path("results.log");
    EXPECT_EQ(Save(path), kLogWritten);
    return ReadWholeFile(path);
  }

  TempTree tree_;
  std::string searchText_;
  const SoundMethod* method_ = &DefaultSoundMethod();
  bool readUnicode_ = false;
  ListedLines lines_;
};

// What the user is told of a log that was not written, as the window's message box and
// tessik-cli show it.
void ExpectFailure(int result, const char* text) {
  const LogFailure failure = LogFailureMessage(result);
  EXPECT_STREQ(failure.Title, " Error");
  EXPECT_STREQ(failure.Text, text);
}

const char kCreateFailed[] = " System error.\n File could not be created. ";
const char kWriteFailed[] = " System error.\n Could not write to file. ";

TEST_F(SearchLogTest, WordLayoutListsTheWordColumnWithTheFileOfEachLine) {
  TestSearchState().LastTermType = 1;
  SetSearchText("Catherine");
  TestSearchState().FilesSearched = 12;
  TestSearchState().MatchedFiles = 3;
  AddLines({"Katherine\tnotes.txt\t4 (10%)\t120", "cathryn\tdiary.txt\t9 (99%)\t5", "no tab at all",
            "\tleading tab", "Kathryn\tlost.txt\t1 (1%)\t7"});
  AddResults({"/home/a/notes.txt", "/home/a/diary.txt", "/x/y", "/z"});
  AddUnopened({"/home/a/locked.txt", "/home/a/fifo"});
  const std::string expected = WordHeader("Catherine", 12, 5, 3) +
                               "Katherine\t\t\t/home/a/notes.txt\r\n" +
                               "cathryn\t\t\t/home/a/diary.txt\r\n" + "\t\t\t/x/y\r\n" +
                               "\t\t\t/z\r\n" + "Kathryn\t\t\tFile name not known\r\n" +
                               UnopenedHeader(2) + "/home/a/locked.txt\r\n/home/a/fifo\r\n" + kEnd;
  EXPECT_EQ(Saved(), expected);
}

TEST_F(SearchLogTest, ExpressionLayoutEndsUnopenedFilesWithLineFeedsAlone) {
  TestSearchState().LastTermType = 110;
  SetSearchText("cat A dog");
  TestSearchState().FilesSearched = 40;
  TestSearchState().MatchedFiles = 3;
  // One line was deleted: the count follows the list box, the paths the result list.
  AddLines({"/d/one.txt", "/d/two.txt"});
  AddResults({"/d/one.txt", "/d/two.txt"});
  AddUnopened({"/d/a", "/d/b"});
  EXPECT_EQ(Saved(), ExpressionHeader("cat A dog", 40, 2) + "/d/one.txt\r\n/d/two.txt\r\n" +
                         UnopenedHeader(2) + "/d/a\n/d/b\n" + kEnd);
}

TEST_F(SearchLogTest, EmptySearchesGiveTheHeaderAndTheBanner) {
  EXPECT_EQ(Saved(), ExpressionHeader("", 0, 0) + kEnd);
  TestSearchState().LastTermType = 1;
  SetSearchText("cat");
  EXPECT_EQ(Saved(), WordHeader("cat", 0, 0, 0) + kEnd);
}

// The lines under the search text name the switches that were on, and only those.
class SwitchLinesTest : public SearchLogTest, public testing::WithParamInterface<int> {};

TEST_P(SwitchLinesTest, HeaderNamesTheSwitchesInBothLayouts) {
  const bool dm = (GetParam() & 1) != 0;
  readUnicode_ = (GetParam() & 2) != 0;
  SetMethod(dm ? DaitchMokotoffMethod() : DefaultSoundMethod());
  const std::string lines = (dm ? kDmLine : "") + (readUnicode_ ? kLettersLine : "");
  SetSearchText("Kohn");
  TestSearchState().LastTermType = 1;
  TestSearchState().FilesSearched = 2;
  TestSearchState().MatchedFiles = 1;
  AddLines({"Cohn\tnotes.txt\t1 (50%)\t1"});
  AddResults({"/d/notes.txt"});
  EXPECT_EQ(Saved(), WordHeader("Kohn", 2, 1, 1, lines) + "Cohn\t\t\t/d/notes.txt\r\n" + kEnd);
  TestSearchState().LastTermType = 110;
  SetSearchText("kohn O cohen");
  EXPECT_EQ(Saved(), ExpressionHeader("kohn O cohen", 2, 1, lines) + "/d/notes.txt\r\n" + kEnd);
}

INSTANTIATE_TEST_SUITE_P(Switches, SwitchLinesTest, testing::Range(0, 4));

TEST_F(SearchLogTest, LongestTextsAreWrittenWhole) {
  TestSearchState().LastTermType = 1;
  const std::string text(255, 'w');
  std::string path(255, 'p');
  path[0] = '/';
  const std::string word(62, 'k');
  SetSearchText(text);
  AddLines({word + "\t" + std::string(200, 'n') + "\t1 (100%)\t4294967296"});
  AddResults({path});
  AddUnopened({path});
  EXPECT_EQ(Saved(), WordHeader(text, 0, 1, 0) + word + "\t\t\t" + path + "\r\n" +
                         UnopenedHeader(1) + path + "\r\n" + kEnd);
}

TEST_F(SearchLogTest, ReplacesAnExistingFile) {
  const std::string path = tree_.Path("results.log");
  tree_.WriteFile("results.log", std::string(5000, 'x'));
  EXPECT_EQ(Saved(), ExpressionHeader("", 0, 0) + kEnd);
}

TEST_F(SearchLogTest, FileThatCannotBeCreatedIsReported) {
  const std::string path = tree_.Path("no/such/dir/results.log");
  const int result = Save(path);
  EXPECT_EQ(result, kLogNotCreated);
  ExpectFailure(result, kCreateFailed);
}

// A FIFO, a device and a short write, made on demand where the system offers a way.
#ifndef _WIN32
TEST_F(SearchLogTest, AFifoOrADeviceIsRefusedAsAFileThatCannotBeCreated) {
  AddResults({"/d/one.txt"});
  const std::string fifo = tree_.Path("results.log");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  signal(SIGALRM, [](int) { _exit(3); });  // a writer held by the FIFO ends the test
  alarm(10);
  const std::string targets[] = {fifo, "/dev/full"};
  for (const std::string& path : targets) EXPECT_EQ(Save(path), kLogNotCreated) << path;
  alarm(0);
}

// Logs written while files may grow to a limit only.
class SizeLimitedLogTest : public SearchLogTest {
 protected:
  // Saves the log to `path` with files limited to `limit` bytes: SaveSearchLog's answer,
  // or 0 when the limit could not be set.
  int SaveWithSizeLimit(const std::string& path, rlim_t limit) {
    struct rlimit old;
    if (getrlimit(RLIMIT_FSIZE, &old) != 0) return 0;
    struct rlimit cut = old;
    cut.rlim_cur = limit;
    signal(SIGXFSZ, SIG_IGN);
    if (setrlimit(RLIMIT_FSIZE, &cut) != 0) return 0;
    const int result = Save(path);
    setrlimit(RLIMIT_FSIZE, &old);
    signal(SIGXFSZ, SIG_DFL);
    return result;
  }
};

TEST_F(SizeLimitedLogTest, ShortWriteIsReportedAndWhatWasWrittenStays) {
  TestSearchState().LastTermType = 110;
  AddLines({"/d/one.txt"});
  AddResults({"/d/one.txt"});
  const std::string full = ExpressionHeader("", 0, 1) + "/d/one.txt\r\n" + kEnd;
  const std::string path = tree_.Path("short.log");
  // A file size limit three bytes short of the whole log cuts the last write short.
  const rlim_t limit = full.size() - 3;
  const int result = SaveWithSizeLimit(path, limit);
  EXPECT_EQ(result, kLogNotWritten);
  ExpectFailure(result, kWriteFailed);
  EXPECT_EQ(ReadWholeFile(path), full.substr(0, limit));
}

// A log of many blocks: lines of every length meet the blocks' ends; a write cut short in
// a middle block fails the save and leaves exactly what the file could take.
TEST_F(SizeLimitedLogTest, LongLogIsWrittenWholeOrReportedWhereItWasCut) {
  TestSearchState().LastTermType = 1;
  SetSearchText("cat");
  std::string expected;
  for (int i = 0; i < 5000; ++i) {
    const std::string word(1 + i % 62, 'c');
    const std::string path = "/d/" + std::string(i % 240, 'p') + std::to_string(i);
    AddLines({word + "\tname\t1 (1%)\t3"});
    AddResults({path});
    expected += word + "\t\t\t" + path + "\r\n";
  }
  expected = WordHeader("cat", 0, 5000, 0) + expected + kEnd;
  ASSERT_GT(expected.size(), 8u * 65536);
  EXPECT_EQ(Saved(), expected);

  const std::string path = tree_.Path("cut.log");
  const rlim_t limit = 3 * 65536 + 1000;
  EXPECT_EQ(SaveWithSizeLimit(path, limit), kLogNotWritten);
  EXPECT_EQ(ReadWholeFile(path), expected.substr(0, limit));
}
#endif

TEST(FindFirstTab, GivesTheIndexOfTheFirstTabOrZero) {
  const struct {
    const char* Text;
    int Index;
  } cases[] = {{"", 0}, {"word", 0}, {"\tword", 0}, {"cat\tfile\t1", 3}, {"a\t\t", 1}};
  for (const auto& c : cases) EXPECT_EQ(FindFirstTab(c.Text), c.Index) << c.Text;
}

}  // namespace

// The file scanner over real files: words, lines, percentages, result lines, the
// first-match mode, files that cannot be opened, and a stop between reads, as a sink that
// shows lines as the window does is told them.
#include "engine/file_scanner.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "engine/search_state.h"
#include "engine/sound_method.h"
#include "engine/soundex_method.h"
#include "phonetic/phonetic_key.h"
#include "phonetic/prepared_term.h"
#include "platform/files.h"
#include "platform/memory.h"
#include "platform/thread.h"
#include "platform/thread_testing.h"
#include "query/term_codes.h"
#include "support/recording_sink.h"
#include "support/test_search_state.h"
#include "support/test_support.h"

namespace {

// The tests run twice (tests/CMakeLists.txt): with every file read, and with every file
// looked at in place as large files are, TESSIK_VIEW_EVERY_FILE set.
bool ViewingEveryFile() { return std::getenv("TESSIK_VIEW_EVERY_FILE") != nullptr; }

// A scan on a real worker thread, for the stops: the file, the term and sink it uses, and
// what it answered.
struct WorkerScan {
  std::string Path;
  const HeardTerm* Term = nullptr;
  WordReading* Reading = nullptr;
  RecordingSink* Sink = nullptr;
  bool StopFirst = false;
  bool Found = false;
};
WorkerScan workerScan;

int ScanOnWorker() {
  if (workerScan.StopFirst) RequestStop();
  workerScan.Sink->SearchingFile(workerScan.Path.c_str(), kSingleWord);
  workerScan.Found =
      ScanFile(TestSearchState(), workerScan.Path.c_str(), ScanMode::ListEveryOccurrence, false,
               *workerScan.Term, *workerScan.Reading, *workerScan.Sink);
  return 0;
}

class ScannerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ViewFilesFrom(ViewingEveryFile() ? 0 : -1);
    InitialisePhonetics();
    ClearSearchLists(TestSearchState());
    TestSearchState().FilesSearched = 0;
    TestSearchState().ReadBuffer = static_cast<std::uint8_t*>(AllocateZeroed(kReadChunkSize));
  }
  void TearDown() override {
    ViewFilesFrom(kViewFilesFrom);
    TestSearchState().FirstLineNumber = 1;
    ResetSearchState(TestSearchState());
    ClearSearchLists(TestSearchState());
  }

  // The term of a query word, prepared as the search prepares it.
  void UseTerm(const char* word) { term = DefaultSoundMethod().Hear(word); }

  // A term of exactly these keys.
  void UseKeys(const std::vector<std::string>& keys) {
    std::vector<PhoneticKey> table(keys.size());
    for (std::size_t i = 0; i < keys.size(); ++i) std::memcpy(table[i].Bytes, keys[i].data(), 4);
    term = HearSoundexKeys(table.data(), static_cast<std::uint32_t>(table.size()));
  }

  // Scans `path` as the single-word pass does: the sink hears of the file first.
  bool ScanPath(const std::string& path, ScanMode mode = ScanMode::ListEveryOccurrence) {
    sink.SearchingFile(path.c_str(), kSingleWord);
    return ScanFile(TestSearchState(), path.c_str(), mode, false, *term, *reading, sink);
  }

  // Writes `content` to `name` and scans it.
  bool Scan(const std::string& name, const std::string& content,
            ScanMode mode = ScanMode::ListEveryOccurrence) {
    tree.WriteFile(name, content);
    return ScanPath(tree.Path(name), mode);
  }

  // Scans `path` on a worker, which requests a stop first when `stopFirst`.
  void StartScanOnWorker(const std::string& path, bool stopFirst) {
    workerScan = {path, term.get(), reading.get(), &sink, stopFirst, false};
    ASSERT_EQ(StartWorker(ScanOnWorker), 0);
  }

  const std::vector<std::string>& Lines() const { return sink.Lines; }

  TempTree tree;
  std::unique_ptr<HeardTerm> term;
  std::unique_ptr<WordReading> reading = MakeByteReading();
  RecordingSink sink;
};

// --- words and where they end ---

struct WordCase {
  const char* Label;
  const char* Term;
  std::string Content;
  std::vector<std::string> Expected;  // the result lines, with the file name t.txt
};

void PrintTo(const WordCase& c, std::ostream* out) { *out << c.Label; }

class WordTest : public ScannerTest, public ::testing::WithParamInterface<WordCase> {};

TEST_P(WordTest, ListsExactlyTheseLines) {
  const WordCase& c = GetParam();
  UseTerm(c.Term);
  bool found = Scan("t.txt", c.Content);
  EXPECT_EQ(Lines(), c.Expected);
  EXPECT_EQ(found, !c.Expected.empty());
  EXPECT_EQ(TestSearchState().ResultList.Count.load(), c.Expected.size());
  EXPECT_EQ(TestSearchState().FilesSearched.load(), 1);
  EXPECT_EQ(TestSearchState().ScanFileHandle.load(), kNoFile);
}

const std::string k70Letters = "Robertsonianism" + std::string(55, 'x');

INSTANTIATE_TEST_SUITE_P(
    Words, WordTest,
    ::testing::Values(
        WordCase{"plain", "robert", "Robert\n", {"Robert\tt.txt\t1 (85.7%)\t0 K"}},
        WordCase{"upper_case",
                 "robert",
                 "ROBERT rupert\n",
                 {"ROBERT\tt.txt\t1 (42.9%)\t0 K", "rupert\tt.txt\t1 (92.9%)\t0 K"}},
        // Digits and ^ _ ` spoil the word they touch and keep the next letters from
        // starting one.
        WordCase{"joiners",
                 "robert",
                 "1robert robert2 x_robert robert_x robert^ ^robert `robert robert`\n",
                 {}},
        WordCase{
            "joiner_then_separator", "robert", "4th robert\n", {"robert\tt.txt\t1 (90.9%)\t0 K"}},
        WordCase{"fourth", "th", "4th abc1 x_y a^b\n", {}},
        WordCase{"fourth_control", "th", "th\n", {"th\tt.txt\t1 (66.7%)\t0 K"}},
        WordCase{"apostrophe", "it", "it's\n", {"it\tt.txt\t1 (40.0%)\t0 K"}},
        WordCase{"one_letter_is_no_word", "s", "it's s\n", {}},
        WordCase{"high_bytes_separate",
                 "robert",
                 "caf\xe9robert\xff"
                 "\x80rupert\x80",
                 {"robert\tt.txt\t1 (52.6%)\t0 K", "rupert\tt.txt\t1 (94.7%)\t0 K"}},
        WordCase{
            "twelve_letters", "robert", "Robertsonian\n", {"Robertsonian\tt.txt\t1 (92.3%)\t0 K"}},
        WordCase{"thirteen_letters",
                 "robert",
                 "Robertsonians\n",
                 {"Robertsonians...\tt.txt\t1 (92.9%)\t0 K"}},
        WordCase{"seventy_letters",
                 "robert",
                 k70Letters + "\n",
                 {"Robertsoniani...\tt.txt\t1 (98.6%)\t0 K"}},
        WordCase{
            "crlf_lines", "robert", "one\r\ntwo\r\nrobert\r\n", {"robert\tt.txt\t3 (88.9%)\t0 K"}},
        WordCase{
            "carriage_return_alone", "robert", "one\rrobert\n", {"robert\tt.txt\t1 (90.9%)\t0 K"}},
        WordCase{"line_feed_ends_word_on_its_line",
                 "robert",
                 "\n\nrobert\nx",
                 {"robert\tt.txt\t3 (80.0%)\t0 K"}},
        // A word at the very end of the file is a word like any other.
        WordCase{"last_word_without_line_feed",
                 "robert",
                 "x robert",
                 {"robert\tt.txt\t1 (100.0%)\t0 K"}},
        WordCase{
            "last_word_with_line_feed", "robert", "x robert\n", {"robert\tt.txt\t1 (88.9%)\t0 K"}},
        WordCase{"joiner_at_the_end_spoils_it", "robert", "x robert1", {}}),
    [](const ::testing::TestParamInfo<WordCase>& info) { return std::string(info.param.Label); });

// --- the file side's spelling reductions and the second key of "ps" ---

struct KeyCase {
  const char* Word;
  const char* Key;
  bool Matches;
};

void PrintTo(const KeyCase& c, std::ostream* out) { *out << c.Word << " " << c.Key; }

class KeyTest : public ScannerTest, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(KeyTest, WordMatchesKey) {
  const KeyCase& c = GetParam();
  UseKeys({c.Key});
  EXPECT_EQ(Scan("k.txt", std::string(c.Word) + "\n"), c.Matches);
  EXPECT_EQ(Lines().size(), c.Matches ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, KeyTest,
    ::testing::Values(KeyCase{"psalm", "p245", true},     // primary key
                      KeyCase{"Psalm", "s450", true},     // second key, without the p
                      KeyCase{"Philip", "f410", true},    // ph codes as f
                      KeyCase{"Jackson", "j225", true},   // ck -> k
                      KeyCase{"Jackson", "j222", false},  //
                      KeyCase{"Science", "s520", true},   // sci -> si
                      KeyCase{"excess", "0220", true},    // xce -> xe
                      KeyCase{"Coxswain", "c250", true},  // xs -> x
                      KeyCase{"Ellen", "0450", true},     // a vowel gives 0
                      KeyCase{"Uwe", "0000", true},       // u as well
                      KeyCase{"Whitney", "w350", true}),  // h and w keep their letter
    [](const ::testing::TestParamInfo<KeyCase>& info) {
      return std::string(info.param.Word) + "_" + info.param.Key;
    });

TEST_F(ScannerTest, ComparesEveryKeyOfTheTerm) {
  UseKeys({"c523", "k523", "r163"});
  EXPECT_TRUE(Scan("k.txt", "Robert\n"));
}

// --- file names in the result line ---

struct NameCase {
  const char* File;
  const char* Shown;
};

void PrintTo(const NameCase& c, std::ostream* out) { *out << c.File; }

class NameTest : public ScannerTest, public ::testing::WithParamInterface<NameCase> {};

TEST_P(NameTest, ShowsTheNameCut) {
  UseTerm("robert");
  ASSERT_TRUE(Scan(GetParam().File, "robert\n"));
  EXPECT_EQ(Lines(), std::vector<std::string>{std::string("robert\t") + GetParam().Shown +
                                              "\t1 (85.7%)\t0 K"});
}

INSTANTIATE_TEST_SUITE_P(Names, NameTest,
                         ::testing::Values(NameCase{"abcdefghi.txt", "abcdefghi.txt"},
                                           NameCase{"abcdefghij.txt", "abcdefghij.txt..."},
                                           NameCase{"longfilename.txt", "longfilename.t..."},
                                           NameCase{"sub/dir/n.txt", "n.txt"}));

// --- what the sink is told of an occurrence ---

// The word as it stands, where it starts, and the key of the term it sounds like with the
// first spelling of that key; a term of bare keys has no spelling.
TEST_F(ScannerTest, OccurrenceTellsWhereTheWordStandsAndWhichSpellingItSoundsLike) {
  UseTerm("catherine");
  ASSERT_TRUE(Scan("o.txt", "a Katherine\n  catherine, x"));
  const std::string path = tree.Path("o.txt");
  EXPECT_EQ(sink.Occurrences,
            (std::vector<RecordedOccurrence>{{path, "Katherine", 1, 3, 2, "k365", "katherine"},
                                             {path, "catherine", 2, 3, 14, "c365", "catherine"}}));
  UseKeys({"k365"});
  sink.Occurrences.clear();
  ASSERT_TRUE(Scan("o.txt", "Katherine"));
  EXPECT_EQ(sink.Occurrences,
            (std::vector<RecordedOccurrence>{{path, "Katherine", 1, 1, 0, "k365", ""}}));
}

// --- reads of 64 KiB ---

TEST_F(ScannerTest, WordAcrossTheReadBoundaryIsOneWord) {
  UseTerm("robert");
  std::string content(65533, ' ');
  content += "Robert\n";  // bytes 65533 to 65538, its separator at 65539
  content += std::string(100000 - content.size(), '.');
  ASSERT_TRUE(Scan("b.txt", content));
  EXPECT_EQ(Lines(), std::vector<std::string>{"Robert\tb.txt\t1 (65.5%)\t97 K"});
}

TEST_F(ScannerTest, WordAcrossAWindowOfAViewIsOneWord) {
  UseTerm("robert");
  std::string content(kViewWindowSize - 3, ' ');
  content += "Robert\n";
  content += std::string(100, '.');
  ASSERT_TRUE(Scan("w.txt", content));
  const std::string sizeK = std::to_string(content.size() / 1024) + " K";
  EXPECT_EQ(Lines(), std::vector<std::string>{"Robert\tw.txt\t1 (100.0%)\t" + sizeK});
}

// Another program cuts the file short while it is scanned: the scan ends where the file
// now ends, with the lines found before, and the file counts as searched. On Windows the
// file is shared for reading only while it is scanned, so it cannot be cut, and the scan
// reads it whole.
TEST_F(ScannerTest, FileCutShortWhileScannedEndsThere) {
  UseTerm("robert");
  std::string content = "Robert\n" + std::string(300000, ' ') + "Robert\n";
  tree.WriteFile("cut.txt", content);
  const std::string path = tree.Path("cut.txt");
  bool cut = false;
  sink.BeforeLine = [&](const std::string&) {
    std::error_code error;
    std::filesystem::resize_file(path, 100, error);
    cut = cut || !error;
  };
  EXPECT_TRUE(ScanPath(path));
#ifdef _WIN32
  EXPECT_FALSE(cut);
  EXPECT_EQ(Lines().size(), 2u);
#else
  EXPECT_TRUE(cut);
  EXPECT_EQ(Lines(), std::vector<std::string>{"Robert\tcut.txt\t1 (0.0%)\t292 K"});
#endif
  EXPECT_EQ(TestSearchState().FilesSearched.load(), 1);
  EXPECT_EQ(TestSearchState().UnopenedFiles.Count.load(), 0u);
}

// The second read begins inside a word that cannot match, or right after a joiner: what
// follows is no word of its own.
TEST_F(ScannerTest, ReadBoundaryInsideAWordStartsNoWord) {
  UseTerm("robert");
  EXPECT_FALSE(Scan("x.txt", std::string(65533, ' ') + "xxxrobert\n"));
  EXPECT_FALSE(Scan("j.txt", std::string(65535, ' ') + "1robert\n"));
  EXPECT_TRUE(Scan("s.txt", std::string(65536, ' ') + "robert\n"));
  EXPECT_EQ(Lines().size(), 1u);
}

TEST_F(ScannerTest, FileOfThreeReads) {
  UseTerm("rob");
  // A word that runs over both boundaries, then a line in the third read and a last word
  // that ends the file.
  std::string content = "rob\n";
  content += "Ro" + std::string(140000, 'b') + "\n";
  content += std::string(2000, '\n');
  content += "ROB\nrob";
  ASSERT_TRUE(Scan("three.txt", content));
  const double size = static_cast<double>(content.size());
  char second[64], third[64];
  std::snprintf(second, sizeof second, "2 (%.1f%%)", (4 + 2 + 140000) * 100.0 / size);
  std::snprintf(third, sizeof third, "2003 (%.1f%%)", (content.size() - 4) * 100.0 / size);
  EXPECT_EQ(Lines(), (std::vector<std::string>{
                         "rob\tthree.txt\t1 (0.0%)\t138 K",
                         std::string("Robbbbbbbbbbb...\tthree.txt\t") + second + "\t138 K",
                         std::string("ROB\tthree.txt\t") + third + "\t138 K",
                         "rob\tthree.txt\t2004 (100.0%)\t138 K"}));
}

// --- the same results as reading every word ---

// The plain reading: every byte through the three word states, every word coded.
std::vector<std::string> ReadEveryWord(const std::string& content, const std::string& name,
                                       const PreparedTerm& term) {
  auto isLetter = [](unsigned char b) { return (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z'); };
  auto isJoiner = [](unsigned char b) {
    return (b >= '0' && b <= '9') || b == '^' || b == '_' || b == '`';
  };
  std::vector<std::string> lines;
  std::string word;
  enum { Outside, Inside, Blocked } state = Outside;
  int line = 1;
  auto evaluate = [&](std::size_t offset) {
    if (word.size() < 2) return;
    std::string w;
    for (char c : word) w += static_cast<char>(c | 0x20);
    std::string r(1, w[0] == 'p' && w[1] == 'h' ? 'f' : w[0]);
    for (std::size_t i = 1; i < w.size(); ++i) {
      char c = w[i], prev = w[i - 1], next = i + 1 < w.size() ? w[i + 1] : 0;
      if (c == 'c' && next == 'k') continue;
      if (c == 'c' && (prev == 's' || prev == 'x') && (next == 'e' || next == 'i' || next == 'y'))
        continue;
      if (c == 's' && prev == 'x') continue;
      r += c;
    }
    bool match = false;
    for (std::uint32_t k = 0; k < term.KeyCount; ++k) {
      const PhoneticKey& key = term.KeyTable[k];
      match = match || ComputePhoneticKey(r.c_str()) == key ||
              (r.rfind("ps", 0) == 0 && ComputePhoneticKey(r.c_str() + 1) == key);
    }
    if (!match) return;
    char text[256];
    std::string shown = word.size() >= 13 ? word.substr(0, 13) + "..." : word;
    std::snprintf(text, sizeof text, "%s\t%s\t%d (%.1f%%)\t%d K", shown.c_str(), name.c_str(), line,
                  offset * 100.0 / content.size(), static_cast<int>(content.size() / 1024));
    lines.push_back(text);
  };
  for (std::size_t at = 0; at < content.size(); ++at) {
    unsigned char b = content[at];
    if (isLetter(b)) {
      if (state == Outside)
        word.assign(1, static_cast<char>(b)), state = Inside;
      else if (state == Inside && word.size() < 62)
        word += static_cast<char>(b);
    } else if (isJoiner(b)) {
      state = Blocked;
    } else {
      if (state == Inside) evaluate(at);
      state = Outside;
      if (b == '\n') ++line;
    }
  }
  if (state == Inside) evaluate(content.size());
  return lines;
}

// Text of words of 1 to 70 letters between all kinds of bytes, over three reads.
std::string RandomText(unsigned seed) {
  std::mt19937 random(seed);
  const std::string letters = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZphsckxyPSCK";
  const std::string others = "  \n\r\n.,;'-0123456789^_`\x80\xe9\xff\t";
  std::string text;
  while (text.size() < 3 * 65536 + 5000) {
    int length = random() % 8 == 0 ? 1 + random() % 70 : 1 + random() % 9;
    for (int i = 0; i < length; ++i) text += letters[random() % letters.size()];
    int gap = 1 + random() % 2;
    for (int i = 0; i < gap; ++i) text += others[random() % others.size()];
  }
  if (seed % 2 == 0) text += "Psalm";  // a word that ends the file
  return text;
}

class SameAsEveryWordTest : public ScannerTest,
                            public ::testing::WithParamInterface<const char*> {};

TEST_P(SameAsEveryWordTest, ListsWhatReadingEveryWordLists) {
  UseTerm(GetParam());
  for (unsigned seed = 1; seed <= 4; ++seed) {
    const std::string content = RandomText(seed);
    tree.WriteFile("r.txt", content);
    PreparedTerm prepared;
    PrepareTerm(GetParam(), &prepared);
    std::vector<std::string> expected = ReadEveryWord(content, "r.txt", prepared);
    sink.Lines.clear();
    EXPECT_EQ(ScanPath(tree.Path("r.txt")), !expected.empty());
    EXPECT_EQ(Lines(), expected) << "seed " << seed;
    EXPECT_EQ(ScanPath(tree.Path("r.txt"), ScanMode::StopAtFirstMatch), !expected.empty());
  }
}

// Terms whose keys begin with a consonant, with f (ph), with s (ps), and with 0.
INSTANTIATE_TEST_SUITE_P(Terms, SameAsEveryWordTest,
                         ::testing::Values("robert", "philip", "salm", "ellen", "catherine",
                                           "xenia", "ab"));

// --- the two modes ---

TEST_F(ScannerTest, CollectAllListsEveryOccurrence) {
  UseTerm("robert");
  ASSERT_TRUE(Scan("three.txt", "robert\nrupert robert\n"));
  EXPECT_EQ(Lines().size(), 3u);
  ASSERT_EQ(TestSearchState().ResultList.Count.load(), 3u);
  for (std::uint32_t i = 0; i < 3; ++i) {
    EXPECT_EQ(std::string(TestSearchState().ResultList.Get(i)), tree.Path("three.txt"));
    EXPECT_EQ(TestSearchState().ResultList.Flag(i), 0);
  }
  EXPECT_EQ(TestSearchState().FilesSearched.load(), 1);
}

TEST_F(ScannerTest, FirstMatchStopsAtTheFirstAndListsNothing) {
  UseTerm("robert");
  EXPECT_TRUE(Scan("three.txt", "robert\nrupert robert\n", ScanMode::StopAtFirstMatch));
  EXPECT_FALSE(Scan("none.txt", "cat\n", ScanMode::StopAtFirstMatch));
  EXPECT_TRUE(Scan("last.txt", "cat robert", ScanMode::StopAtFirstMatch));
  EXPECT_TRUE(Lines().empty());
  EXPECT_EQ(TestSearchState().ResultList.Count.load(), 0u);
  EXPECT_EQ(TestSearchState().FilesSearched.load(), 0);
  EXPECT_EQ(TestSearchState().ScanFileHandle.load(), kNoFile);
}

TEST_F(ScannerTest, FileWithoutHitsCountsAsSearched) {
  UseTerm("robert");
  EXPECT_FALSE(Scan("n.txt", "cat\n"));
  EXPECT_EQ(TestSearchState().FilesSearched.load(), 1);
}

TEST_F(ScannerTest, EmptyFileIsNeitherSearchedNorUnopened) {
  UseTerm("robert");
  EXPECT_FALSE(Scan("empty.txt", ""));
  EXPECT_EQ(TestSearchState().FilesSearched.load(), 0);
  EXPECT_EQ(TestSearchState().UnopenedFiles.Count.load(), 0u);
  EXPECT_EQ(TestSearchState().ScanFileHandle.load(), kNoFile);
}

// --- files that cannot be opened ---

TEST_F(ScannerTest, FilesThatCannotBeOpenedAreRecordedOnce) {
  UseTerm("robert");
  tree.MakeDirectory("dir.txt");
  UnopenableFile unopenable(tree.Path("fifo.txt"));  // must not block
  ASSERT_TRUE(unopenable.Made());
  const std::vector<std::string> paths = {tree.Path("missing.txt"), tree.Path("dir.txt"),
                                          tree.Path("fifo.txt")};
  for (ScanMode mode : {ScanMode::ListEveryOccurrence, ScanMode::StopAtFirstMatch}) {
    TestSearchState().UnopenedFiles.Clear();
    sink.NotOpened.clear();
    for (const std::string& path : paths) EXPECT_FALSE(ScanPath(path, mode)) << path;
    ASSERT_EQ(TestSearchState().UnopenedFiles.Count.load(), 3u);
    for (std::uint32_t i = 0; i < 3; ++i)
      EXPECT_EQ(std::string(TestSearchState().UnopenedFiles.Get(i)), paths[i]);
    EXPECT_EQ(sink.NotOpened, paths);
  }
  EXPECT_EQ(TestSearchState().FilesSearched.load(), 0);
  EXPECT_EQ(TestSearchState().ScanFileHandle.load(), kNoFile);
}

TEST_F(ScannerTest, The1025thUnopenedFileIsDropped) {
  UseTerm("robert");
  const std::string missing = tree.Path("missing.txt");
  for (int i = 0; i < 1025; ++i) ScanPath(missing);
  EXPECT_EQ(TestSearchState().UnopenedFiles.Count.load(), 1024u);
  EXPECT_EQ(TestSearchState().UnopenedFiles.NonEmpty.load(), 1);
  // The sink hears of each file that was listed, and of the one that was not.
  EXPECT_EQ(sink.NotOpened.size(), 1024u);
  EXPECT_EQ(sink.LeftOutCount(LeftOutKind::UnopenedNotListed), 1u);
}

TEST_F(ScannerTest, LinesBeyondAFullResultListAreShownAndCounted) {
  UseTerm("robert");
  for (std::uint32_t i = 0; i < kFlaggedListCapacity; ++i)
    TestSearchState().ResultList.Add("earlier");
  EXPECT_TRUE(Scan("r.txt", "robert\nrobert\n"));
  EXPECT_EQ(Lines().size(), 2u);
  EXPECT_EQ(TestSearchState().ResultList.Count.load(), kFlaggedListCapacity);
  EXPECT_EQ(sink.LeftOutCount(LeftOutKind::LineWithoutEntry), 2u);
}

// --- line numbers beyond 32 bits ---

struct LineCase {
  std::int64_t First;
  const char* Expected;  // the result line of "robert" on the third line of l.txt (its last
                         // line feed must still be counted)
};

void PrintTo(const LineCase& c, std::ostream* out) { *out << "first line " << c.First; }

class LineNumberTest : public ScannerTest, public ::testing::WithParamInterface<LineCase> {};

TEST_P(LineNumberTest, CountsOnWithoutWrapping) {
  UseTerm("robert");
  TestSearchState().FirstLineNumber = GetParam().First;
  ASSERT_TRUE(Scan("l.txt", "\n\nrobert\n"));
  EXPECT_EQ(Lines(), std::vector<std::string>{GetParam().Expected});
}

INSTANTIATE_TEST_SUITE_P(
    Lines, LineNumberTest,
    ::testing::Values(LineCase{1, "robert\tl.txt\t3 (88.9%)\t0 K"},
                      LineCase{2147483646, "robert\tl.txt\t2147483648 (88.9%)\t0 K"},
                      LineCase{4294967295, "robert\tl.txt\t4294967297 (88.9%)\t0 K"},
                      LineCase{9223372036854775804,
                               "robert\tl.txt\t9223372036854775806 (88.9%)\t0 K"}));

TEST_F(ScannerTest, WithoutReadBufferTheFileCountsAsUnopened) {
  UseTerm("robert");
  tree.WriteFile("r.txt", "robert\n");
  FreeBlock(TestSearchState().ReadBuffer.exchange(nullptr));
  EXPECT_FALSE(ScanPath(tree.Path("r.txt")));
  EXPECT_EQ(TestSearchState().UnopenedFiles.Count.load(), 1u);
  EXPECT_EQ(sink.NotOpened, std::vector<std::string>{tree.Path("r.txt")});
  EXPECT_TRUE(Lines().empty());
}

// --- a stop between reads ---

// Files over 4 GB keep their size; the file is sparse, and the stop after the first line
// keeps the scan from reading it all. The worker is held at its first checkpoint, the one
// after the first read, which holds the line, and stopped there.
TEST_F(ScannerTest, StopAfterALineEndsTheScanAndKeepsA64BitSize) {
  UseTerm("robert");
  tree.WriteFile("huge.txt", "robert\n");
  std::error_code failed;
  std::filesystem::resize_file(tree.Path("huge.txt"), 5000000000LL, failed);
  ASSERT_FALSE(failed) << failed.message();
  HoldWorkerAtNextCheckpoint();
  StartScanOnWorker(tree.Path("huge.txt"), false);
  const bool held = WaitUntilWorkerHeld();
  RequestStop();
  JoinWorker();
  ASSERT_TRUE(held);
  EXPECT_FALSE(workerScan.Found);
  EXPECT_EQ(Lines(), std::vector<std::string>{"robert\thuge.txt\t1 (0.0%)\t4882812 K"});
  EXPECT_EQ(TestSearchState().ResultList.Count.load(), 1u);
  EXPECT_EQ(TestSearchState().FilesSearched.load(), 0);
  EXPECT_EQ(TestSearchState().ScanFileHandle.load(), kNoFile);
}

// A sparse file's holes are zero bytes: they end a word and count no line, whether they
// are read or passed over.
TEST_F(ScannerTest, SparseFileGivesTheLinesOfItsZeroBytes) {
  UseTerm("robert");
  const std::string path = tree.Path("huge.txt");
  tree.WriteFile("huge.txt", "Robert");
  std::error_code failed;
  std::filesystem::resize_file(path, 5000000000LL, failed);
  ASSERT_FALSE(failed) << failed.message();
  {
    std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
    file.seekp(1073741824LL);
    file << "x\nrobert\n";
    file.seekp(5000000000LL - 7);
    file << "\nrobert";
    ASSERT_TRUE(file.good());
  }
  EXPECT_TRUE(ScanPath(path));
  EXPECT_EQ(Lines(), (std::vector<std::string>{"Robert\thuge.txt\t1 (0.0%)\t4882812 K",
                                               "robert\thuge.txt\t2 (21.5%)\t4882812 K",
                                               "robert\thuge.txt\t4 (100.0%)\t4882812 K"}));
  EXPECT_EQ(TestSearchState().FilesSearched.load(), 1);
}

// After a stop the scanner leaves the window alone: no line, and no entry without a line.
TEST_F(ScannerTest, StoppedScanListsNothing) {
  UseTerm("robert");
  tree.WriteFile("r.txt", "robert\n" + std::string(200000, ' ') + "robert\n");
  StartScanOnWorker(tree.Path("r.txt"), true);
  JoinWorker();
  EXPECT_FALSE(workerScan.Found);
  EXPECT_TRUE(Lines().empty());
  EXPECT_EQ(TestSearchState().ResultList.Count.load(), 0u);
  EXPECT_EQ(sink.LeftOutCount(LeftOutKind::LineWithoutEntry), 0u);
  EXPECT_EQ(TestSearchState().FilesSearched.load(), 0);
}

}  // namespace

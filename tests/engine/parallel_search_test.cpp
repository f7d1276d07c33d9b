// Searches whose files are read by several threads give exactly what one thread gives:
// the same lines, occurrences (with their records, percentages, scores and equivalents),
// files told, files not opened and refused, left-out items, counts and result, whatever the
// number of threads; and Pause and Stop reach every thread. Run under ThreadSanitizer too.
#include <gtest/gtest.h>

#include <cstdio>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/search_driver.h"
#include "engine/search_state.h"
#include "engine/sound_method.h"
#include "phonetic/phonetic_key.h"
#include "platform/files.h"
#include "platform/thread.h"
#include "platform/thread_testing.h"
#include "support/document_writing.h"
#include "support/recording_sink.h"
#include "support/test_support.h"

namespace {

// Keeps, beside what the recording sink keeps, what else each occurrence shows and each
// document refused.
class DetailSink : public RecordingSink {
 public:
  int OccurrenceFound(const FoundOccurrence& occurrence) override {
    const int shown = RecordingSink::OccurrenceFound(occurrence);
    char detail[160];
    std::snprintf(detail, sizeof detail, "%.17g %lld %d %d %s %s", occurrence.Percentage,
                  static_cast<long long>(occurrence.SizeK), occurrence.ColumnDecoded ? 1 : 0,
                  occurrence.Score,
                  occurrence.Equivalent != nullptr ? occurrence.Equivalent : "-",
                  occurrence.Record != nullptr ? occurrence.Record : "-");
    if (shown == 0) Details.push_back(detail);
    return shown;
  }
  void FileRefused(const char* path, const char* reason) override {
    Details.push_back(std::string("refused ") + path + " " + reason);
  }
  std::vector<std::string> Details;
};

struct Outcome {
  std::vector<std::string> Lines;  // the lines shown, then the ResultList entries
  std::vector<RecordedOccurrence> Occurrences;
  std::vector<std::string> Details;
  std::vector<std::pair<std::string, std::int32_t>> Searched;
  std::vector<std::string> NotOpened;
  std::vector<std::uint32_t> LeftOut;
  std::vector<std::int32_t> Counts;  // files searched, matched, unopened, result entries
  int Result = 0;
  bool operator==(const Outcome&) const = default;
};

Outcome OutcomeOf(SearchState& state, const DetailSink& sink, int result) {
  Outcome outcome;
  outcome.Result = result;
  outcome.Lines = sink.Lines;
  outcome.Occurrences = sink.Occurrences;
  outcome.Details = sink.Details;
  outcome.Searched = sink.Searched;
  outcome.NotOpened = sink.NotOpened;
  for (int kind = 0; kind < 6; ++kind)
    outcome.LeftOut.push_back(sink.LeftOutCount(static_cast<LeftOutKind>(kind)));
  outcome.Counts = {state.FilesSearched.load(), state.MatchedFiles.load(),
                    static_cast<std::int32_t>(state.UnopenedFiles.Count.load()),
                    static_cast<std::int32_t>(state.ResultList.Count.load())};
  for (std::uint32_t i = 0; i < state.ResultList.Count; ++i)
    outcome.Lines.push_back(std::string("entry ") + state.ResultList.Get(i));
  return outcome;
}

Outcome Search(SearchRequest request, int threads) {
  request.Threads = threads;
  const auto state = std::make_unique<SearchState>();
  DetailSink sink;
  const int result = RunSearch(*state, request, sink);
  Outcome outcome = OutcomeOf(*state, sink, result);
  ClearSearchLists(*state);
  return outcome;
}

// One tree for every case: in t/, many small files in folders, empty files, a file that
// cannot be opened, UTF-8 and UTF-16 text and a file that can be read in pieces; in folders
// of their own, a file with more occurrences than the result list holds, a file of one line
// of 100 MB and the file read in pieces; in r/, GEDCOM files, documents, documents that are
// refused and text files, for the switch of records and documents.
class ParallelTree {
 public:
  ParallelTree() {
    for (int i = 0; i < 60; ++i) {
      std::string text;
      for (int line = 0; line <= i % 9; ++line) {
        text += line % 3 == i % 3 ? "Moses spake unto Aaron in Egypt\n" : "and Pharaoh said\n";
        if (i % 5 == 0) text += "Mozes M\xc3\xbcller William Bill Jackson\n";
      }
      std::string name = "t/d";
      name.append(std::to_string(i % 4)).append("/f").append(std::to_string(i)).append(".txt");
      tree.WriteFile(name, i % 11 == 3 ? std::string() : text);
    }
    tree.WriteFile("t/d1/utf16.txt", std::string("\xff\xfeM\0\xfc\0l\0l\0e\0r\0\n\0M\0o\0s\0e\0s\0", 26));
    std::string many;
    for (int i = 0; i < 62000; ++i) many += i % 100 == 0 ? "Moses Aaron\n" : "Moses ";
    tree.WriteFile("many/many.txt", many);
    // Files of more occurrences than a record holds, one after another: the search, waiting
    // for one, reads the next ahead and gives it up when its record fills.
    for (int i = 0; i < 24; ++i) {
      std::string text;
      for (int line = 0; line < 150 + i; ++line) text += line % 7 ? "Moses and Moses\n" : "Aaron\n";
      tree.WriteFile("full/f" + std::to_string(i) + ".txt", text);
    }
    // Words up to the longest length, each unlike the one before, in letters of one and of
    // two bytes: a record's letters fill before its occurrences do, in files one after
    // another and in a file's pieces.
    for (bool cyrillic : {false, true}) {
      std::string text;
      for (int line = 0; line < 90; ++line) {
        text += LongMoses(cyrillic, line) + " and " + LongMoses(cyrillic, line + 7) + "\n";
      }
      std::string name = cyrillic ? "longwords/u" : "longwords/b";
      for (int i = 0; i < 8; ++i)
        tree.WriteFile(std::string(name).append(1, char('0' + i)).append(".txt"), text);
      while (text.size() < 3 * kPiece) text += text;
      tree.WriteFile(name.append("big.txt"), text);
    }
    unopenable = std::make_unique<UnopenableFile>(tree.Path("t/d3/fifo.txt"));
    tree.WriteFile("pieces/big.txt", PiecedText());
    tree.WriteFile("letters/plain.txt", LetterText());
    tree.WriteFile("letters/bom.txt", "\xef\xbb\xbf" + LetterText());
    std::string utf16 = "\xff\xfe";  // large enough to be split, but read whole
    for (char c : PiecedText().substr(0, 3 * kPiece)) utf16.append(1, c).append(1, '\0');
    tree.WriteFile("letters/utf16.txt", utf16);
    tree.WriteFile("t/d2/big.txt", PiecedText());
    std::string line(100 << 20, 'a');
    for (std::size_t at = 0; at + 8 < line.size(); at += 3 << 20) line.replace(at, 7, " Moses ");
    tree.WriteFile("long/line.txt", line);
    WriteRecords();
  }

  // GEDCOM files in ANSEL (one of more matches than a record holds, with CONC lines that cut
  // a word), UTF-8 with CR LF and ANSI, one with a damaged header; documents of runs that
  // cut a word (one of more paragraphs than a record holds), one refused for each reason;
  // an empty document, one that cannot be opened, text files and a file read in pieces.
  void WriteRecords() {
    std::string ansel = "0 HEAD\n1 CHAR ANSEL\n";
    for (int i = 1; i <= 300; ++i) {
      ansel += "0 @I" + std::to_string(i) + "@ INDI\n1 NAME Hans /M\xE8uller/\n";
      if (i % 7 == 0) ansel += "1 NOTE Met Moses and Mu\n2 CONC ller of \xA1odz\n";
      if (i % 11 == 0) ansel += "1 NAME William /Schmi\n2 CONC dt/\n2 NICK Bill\n";
    }
    tree.WriteFile("r/ansel.ged", ansel + "0 TRLR\n");
    std::string utf8 = "0 HEAD\r\n1 CHAR UTF-8\r\n";
    for (int i = 1; i <= 40; ++i) {
      utf8 += "0 @F" + std::to_string(i) + "@ FAM\r\n1 NOTE M\xC3\xBCller\r\n2 CONC  Moses\r\n";
    }
    tree.WriteFile("r/crlf.ged", utf8 + "0 TRLR\r\n");
    tree.WriteFile("r/ansi.ged", "0 HEAD\n1 CHAR ANSI\n0 @I9@ INDI\n1 NAME Karl /M\xFCller/\n");
    tree.WriteFile("r/damaged.ged", "0 HEAD\n1 CHAR\n0 @I1@ INDI\n1 NAME M\xC3\xBCller Moses\n");
    for (int i = 0; i < 6; ++i) {
      std::string body;
      for (int p = 0; p < (i == 2 ? 200 : 3 + i); ++p) {
        body += WordParagraph({"Herr M\xC3\xBCl", "ler und Schmi", "dt"});
        if (p % 3 == i % 3) body += WordParagraph({"Mo", "ses and Bill"});
      }
      WriteZip(tree.Path("r/d" + std::to_string(i) + ".docx"), Word(body));
    }
    WriteZip(tree.Path("r/minutes.odt"),
             {{"content.xml",
               "<?xml version=\"1.0\"?><office:document-content "
               "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\" "
               "xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\"><office:body>"
               "<office:text><text:p>Mr <text:span>M\xC3\xBC</text:span>ller</text:p><text:p>"
               "Moses</text:p></office:text></office:body></office:document-content>"}});
    tree.WriteFile("r/broken.docx", "Muller Muller Moses\n");
    WriteZip(tree.Path("r/secret.docx"),
             {{"word/document.xml", WordPart("document", WordParagraph({"Muller"})), "secret"}});
    WriteZip(tree.Path("r/entities.docx"),
             {{"word/document.xml",
               "<?xml version=\"1.0\"?><!DOCTYPE d [<!ENTITY a \"Muller\">]><w:document " +
                   std::string(kW) + "><w:p><w:t>&a;</w:t></w:p></w:document>"}});
    WriteZip(tree.Path("r/outside.docx"),
             {{"word/document.xml", WordPart("document", WordParagraph({"Muller"}))},
              {"../../evil.txt", "Muller"}});
    WriteZip(tree.Path("r/bomb.docx"), Word(WordParagraph({"Muller"}) +
                                            std::string(3 << 20, ' ') +
                                            WordParagraph({"Muller"})));
    tree.WriteFile("r/empty.docx", "");
    unopenableRecords = std::make_unique<UnopenableFile>(tree.Path("r/fifo.ged"));
    tree.WriteFile("r/notes.txt", "Muller and Moses\nM\xC3\xBCller\n0 HEAD\n");
    tree.WriteFile("r/big.txt", PiecedText());
  }

  // Over 1 MiB, so that it is viewed and can be read in pieces of kPiece bytes: lines of
  // every length, a Moses across every piece's boundary, lines that end just before a
  // boundary, a line over several pieces, and a last word that ends the file.
  static std::string PiecedText() {
    std::string text;
    for (int i = 0; text.size() < (3u << 19); ++i) {
      text += std::string(static_cast<std::size_t>(i % 97), i % 2 ? 'b' : 'c');
      text += i % 13 == 0 ? " Moses spake unto Aaron\n" : " and Pharaoh said\n";
      if (i == 500) text += std::string(3 * kPiece, 'd') + " Moses\n";
    }
    for (std::size_t at = kPiece; at + 8 < text.size(); at += kPiece) {
      if ((at / kPiece) % 5 == 2) {
        text[at - 1] = '\n';  // the boundary begins a line
      } else if ((at / kPiece) % 3 != 1) {
        text.replace(at - 3, 7, " Moses ");
      }
    }
    text += "Egypt and Moses";
    return text;
  }
  // Large enough that a piece holds more Pharaohs than a piece's record.
  // The same in today's letters: accented, Cyrillic and Greek names, some across the
  // pieces' boundaries and some cut there inside a letter; the text begins with a letter
  // beyond ASCII.
  static std::string LetterText() {
    const std::string greek = "\xce\xa0\xce\xb1\xcf\x80\xce\xb1\xce\xb4\xcf\x8c\xcf\x80"
                              "\xce\xbf\xcf\x85\xce\xbb\xce\xbf\xcf\x82";  // Papadopoulos
    const std::string cyrillic = "\xd0\x9c\xd1\x8e\xd0\xbb\xd0\xbb\xd0\xb5\xd1\x80";  // Muller
    std::string text = "\xc3\x89mile M\xc3\xbcller\n";
    for (int i = 0; text.size() < (3u << 19); ++i) {
      text += std::string(static_cast<std::size_t>(i % 89), i % 2 ? 'b' : 'c');
      text += i % 11 == 0   ? " M\xc3\xbcller spake unto " + greek + "\n"
              : i % 7 == 0 ? " Moses " + cyrillic + " Mu\xcc\x88ller\n"
                           : " and \xc5\x81ukasz said\n";
    }
    for (std::size_t at = kPiece; at + 16 < text.size(); at += kPiece) {
      const std::size_t kind = (at / kPiece) % 4;
      if (kind == 0) text.replace(at - 4, 9, " M\xc3\xbcller ");    // the boundary after its u
      if (kind == 1) text.replace(at - 3, 9, " M\xc3\xbcller ");    // inside its u
      if (kind == 2) text.replace(at - 7, 14, " " + cyrillic + " ");  // inside a letter
      if (kind == 3) text.replace(at - 1, 14, "\n" + cyrillic + " ");  // a line begins there
    }
    return text;
  }
  // Moses, then s and a as many as `n` tells, up to the longest word, in Latin or Cyrillic
  // letters: heard as Moses.
  static std::string LongMoses(bool cyrillic, int n) {
    std::string word = cyrillic ? "\xd0\x9c\xd0\xbe\xd1\x81\xd0\xb5" : "Mose";
    const std::uint32_t letters = kMaxWordLetters - static_cast<std::uint32_t>(n % 23);
    for (std::uint32_t i = 4; i < letters; ++i) {
      const bool s = static_cast<int>(i) < 8 + n % 29;
      word += cyrillic ? (s ? "\xd1\x81" : "\xd0\xb0") : (s ? "s" : "a");
    }
    return word;
  }
  static constexpr std::size_t kPiece = 256 << 10;

  TempTree tree;
  std::unique_ptr<UnopenableFile> unopenable;
  std::unique_ptr<UnopenableFile> unopenableRecords;
};

ParallelTree* sharedTree = nullptr;

struct Case {
  const char* Name;
  const char* Spec;  // under the tree
  const char* Query;
  bool Unicode;
  const char* Method;  // nullptr: the program's own
  bool GivenNames;
  std::int64_t PieceSize = kDefaultPieceSize;
  bool Viewed = true;  // false: large files are read, not viewed, as on Windows
  bool Records = false;  // the switch of records and documents
};

void PrintTo(const Case& c, std::ostream* out) { *out << c.Name; }

class ParallelSearchTest : public testing::TestWithParam<Case> {
 protected:
  static void SetUpTestSuite() {
    InitialisePhonetics();
    sharedTree = new ParallelTree;
  }
  static void TearDownTestSuite() {
    delete sharedTree;
    sharedTree = nullptr;
  }

  static SearchRequest RequestOf(const Case& c) {
    const std::string spec = sharedTree->tree.Path(c.Spec);
    SearchRequest request = MakeSearchRequest(spec.c_str(), c.Query, true);
    request.ReadUnicode = c.Unicode;
    if (c.Method != nullptr) request.Method = FindSoundMethod(c.Method);
    request.GivenNames = c.GivenNames;
    request.PieceSize = c.PieceSize;
    request.ReadRecords = c.Records;
    return request;
  }
};

TEST_P(ParallelSearchTest, EveryThreadCountGivesWhatOneThreadGives) {
  ASSERT_TRUE(sharedTree->unopenable->Made());
  ASSERT_TRUE(sharedTree->unopenableRecords->Made());
  struct Views {
    explicit Views(bool viewed) { ViewFilesFrom(viewed ? kViewFilesFrom : -1); }
    ~Views() { ViewFilesFrom(kViewFilesFrom); }
  } views(GetParam().Viewed);
  const SearchRequest request = RequestOf(GetParam());
  const Outcome one = Search(request, 1);
  ASSERT_FALSE(one.Searched.empty());
  for (int threads : {2, 3, 8}) {
    const Outcome many = Search(request, threads);
    // Compared piece by piece first, for a readable failure.
    ASSERT_EQ(many.Occurrences.size(), one.Occurrences.size()) << threads << " threads";
    ASSERT_EQ(many.Lines.size(), one.Lines.size()) << threads << " threads";
    for (std::size_t i = 0; i < one.Lines.size(); ++i)
      ASSERT_EQ(many.Lines[i], one.Lines[i]) << "line " << i << ", " << threads << " threads";
    EXPECT_EQ(many, one) << threads << " threads";
  }
}

INSTANTIATE_TEST_SUITE_P(
    Searches, ParallelSearchTest,
    testing::Values(Case{"word", "t/*.txt", "Moses", false, nullptr, false},
                    Case{"word_in_few_files", "t/f1?.txt", "Egypt", false, nullptr, false},
                    Case{"and", "t/*.txt", "Moses A Aaron", false, nullptr, false},
                    Case{"or_not_xor", "t/*.txt", "Pharaoh O Egypt N Bill X Jackson", false,
                         nullptr, false},
                    Case{"sole_not", "t/*.txt", "N Moses", false, nullptr, false},
                    Case{"letters", "t/*.txt", "M\xc3\xbcller", true, nullptr, false},
                    Case{"letters_expression", "t/*.txt", "Muller A Moses", true, "dm", false},
                    Case{"daitch_mokotoff", "t/*.txt", "Moses", false, "dm", false},
                    Case{"scored", "t/*.txt", "Moses", false, "scored", false},
                    Case{"given_names", "t/*.txt", "William", true, nullptr, true},
                    Case{"more_occurrences_than_the_list_holds", "many/*.txt", "Moses", false,
                         nullptr, false},
                    Case{"files_of_more_occurrences_than_a_record", "full/*.txt", "Moses",
                         false, nullptr, false},
                    Case{"files_of_longer_words_than_a_record_holds", "longwords/??.txt",
                         "Moses", true, nullptr, false},
                    Case{"pieces_of_longer_words_than_a_record_holds", "longwords/*.txt",
                         "Moses", true, nullptr, false, ParallelTree::kPiece},
                    Case{"one_line_of_100_mb", "long/*.txt", "Moses", false, nullptr, false},
                    Case{"pieces", "pieces/*.txt", "Moses", false, nullptr, false,
                         ParallelTree::kPiece},
                    Case{"pieces_scored", "pieces/*.txt", "Moses", false, "scored", false,
                         ParallelTree::kPiece},
                    Case{"pieces_of_more_occurrences_than_a_record", "pieces/*.txt", "Pharaoh",
                         false, nullptr, false, ParallelTree::kPiece},
                    Case{"pieces_first_match", "pieces/*.txt", "Egypt A Moses O Aaron", false,
                         nullptr, false, ParallelTree::kPiece},
                    Case{"pieces_none", "pieces/*.txt", "Jackson", false, nullptr, false,
                         ParallelTree::kPiece},
                    Case{"pieces_of_letters", "pieces/*.txt", "Moses", true, "dm", false,
                         ParallelTree::kPiece},
                    Case{"pieces_in_tree", "t/*.txt", "Moses", false, nullptr, false,
                         ParallelTree::kPiece},
                    Case{"pieces_of_accented_letters", "letters/*.txt", "Muller", true, nullptr,
                         false, ParallelTree::kPiece},
                    Case{"pieces_of_greek_letters", "letters/*.txt", "Papadopoulos O Moses", true,
                         "dm", false, ParallelTree::kPiece},
                    Case{"pieces_read", "pieces/*.txt", "Moses", false, nullptr, false,
                         ParallelTree::kPiece, false},
                    Case{"pieces_of_letters_read", "letters/*.txt", "Muller", true, nullptr,
                         false, ParallelTree::kPiece, false},
                    Case{"records", "r/*.*", "Muller", false, nullptr, false,
                         kDefaultPieceSize, true, true},
                    Case{"records_in_letters", "r/*.*", "Muller", true, "dm", false,
                         kDefaultPieceSize, true, true},
                    Case{"records_given_names", "r/*.*", "William", true, nullptr, true,
                         kDefaultPieceSize, true, true},
                    Case{"records_expression", "r/*.*", "Muller A Moses O Schmidt", false,
                         nullptr, false, kDefaultPieceSize, true, true},
                    Case{"records_not", "r/*.*", "N Muller X Bill", false, nullptr, false,
                         kDefaultPieceSize, true, true},
                    Case{"records_and_pieces", "r/*.*", "Moses", false, nullptr, false,
                         ParallelTree::kPiece, true, true},
                    Case{"records_and_pieces_read", "r/*.*", "Moses O Muller", false, nullptr,
                         false, ParallelTree::kPiece, false, true}),
    [](const testing::TestParamInfo<Case>& info) { return std::string(info.param.Name); });

// Pause and Stop, asked for while the helpers read: the search is caught at its first line;
// over text files, and over GEDCOM files and documents with their switch.
class ParallelControlTest : public ParallelSearchTest {
 protected:
  // Runs the search of the case (read in pieces) on the worker with 3 threads; `atFirstLine` runs on the
  // search's thread before its first line is shown.
  int RunOnWorker(DetailSink& sink, SearchState& state, const std::function<void()>& atFirstLine,
                  const std::function<void()>& meanwhile) {
    SearchRequest request = RequestOf(GetParam());
    request.Threads = 3;
    bool first = true;
    sink.BeforeLine = [&](const std::string&) {
      if (first) atFirstLine();
      first = false;
    };
    if (StartWorker([&] { return RunSearch(state, request, sink); }) != 0) return 99;
    meanwhile();
    return JoinWorker();
  }
};

TEST_P(ParallelControlTest, PauseHoldsEveryThreadAndTheSearchGoesOnAsBefore) {
  const Outcome one = Search(RequestOf(GetParam()), 1);
  const auto state = std::make_unique<SearchState>();
  DetailSink sink;
  bool allPaused = false;
  const int result = RunOnWorker(
      sink, *state, [] { RequestPause(); },
      [&] {
        allPaused = WaitUntilWorkerPaused();
        RequestResume();
      });
  EXPECT_TRUE(allPaused);
  EXPECT_EQ(OutcomeOf(*state, sink, result), one);
  ClearSearchLists(*state);
}

TEST_P(ParallelControlTest, StopWithAThreadHeldEndsTheSearchWithLinesAndEntriesInStep) {
  const Outcome one = Search(RequestOf(GetParam()), 1);
  const auto state = std::make_unique<SearchState>();
  DetailSink sink;
  bool held = false;
  std::mutex mutex;
  std::condition_variable changed;
  bool holdAsked = false;
  const int result = RunOnWorker(
      sink, *state,
      [&] {
        HoldWorkerAtNextCheckpoint();
        std::lock_guard<std::mutex> lock(mutex);
        holdAsked = true;
        changed.notify_all();
      },
      [&] {
        {
          std::unique_lock<std::mutex> lock(mutex);
          changed.wait(lock, [&] { return holdAsked; });
        }
        held = WaitUntilWorkerHeld();
        RequestStop();
      });
  EXPECT_TRUE(held);
  EXPECT_EQ(result, -1);
  EXPECT_TRUE(WorkerSawStop());
  // Every line shown has its entry, and nothing was shown after the stop.
  EXPECT_EQ(sink.Lines.size(), state->ResultList.Count.load());
  // Once held, the search shows at most what its records held: far from all the text files'
  // (a GEDCOM file that the search reads itself may be shown whole before its next check).
  if (!GetParam().Records) {
    EXPECT_LT(sink.Lines.size(), one.Occurrences.size() / 2);
  }
  EXPECT_LT(sink.Lines.size(), one.Occurrences.size());
  ResetSearchState(*state);
  ClearSearchLists(*state);
}

INSTANTIATE_TEST_SUITE_P(
    Searches, ParallelControlTest,
    testing::Values(
        Case{"text", "t/*.txt", "Moses", false, nullptr, false, ParallelTree::kPiece},
        Case{"records", "r/*.ged", "Muller", false, nullptr, false, ParallelTree::kPiece, true, true}),
    [](const testing::TestParamInfo<Case>& info) { return std::string(info.param.Name); });

}  // namespace

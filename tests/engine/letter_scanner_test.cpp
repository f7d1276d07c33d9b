// The word reading of today's encodings against a plain reading of the whole file at once
// (tests/support/reference_letters.h): random texts in every encoding cut into reads of any
// size, with and without holes, in both modes; and the places where the two readings inside
// it hand a word to each other, cut at every byte.
#include "engine/letter_scanner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <ostream>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "engine/sound_method.h"
#include "engine/word_starts.h"
#include "phonetic/phonetic_key.h"
#include "support/reference_letters.h"
#include "support/scan_in_reads.h"

void PrintTo(const ReferenceFind& find, std::ostream* out) {
  *out << "{\"" << find.Letters << "\" " << find.Start << "-" << find.End << " line " << find.Line
       << " at " << find.LineStart << " key " << find.Key << "}";
}

namespace {

// Scans `text` in reads whose sizes `nextSize` chooses; runs of zero bytes are given as holes
// when `holes` is true. Returns the outcome of the last step.
int ScanInReads(const HeardTerm& term, bool listAll, const std::string& text,
                const std::function<std::size_t()>& nextSize, bool holes, Collected* collected) {
  static LetterScan scan;  // as the search keeps it: not on a small stack
  scan.Start(term, listAll, 1, CollectFind, collected);
  return FeedInReads(scan, text, nextSize, holes);
}

// A query word as a search hears it, and as the plain reading does.
struct TestTerm {
  TestTerm(const char* word, const SoundMethod& method)
      : Reference(&method == &ScoredMethod() ? MakeScoredReferenceTerm(word)
                                             : MakeReferenceTerm(word, &method == &DaitchMokotoffMethod())) {
    Search = method.Hear(word);
  }
  std::unique_ptr<HeardTerm> Search;
  ReferenceTerm Reference;
};

std::vector<ReferenceFind> Expected(const TestTerm& term, const std::string& text) {
  return ReferenceLetterFinds(text, term.Reference);
}

// Both modes and both ways of giving zero runs, in reads that `sizes` makes (made afresh for
// each scan), against the plain reading.
void ExpectPlainReading(const TestTerm& term, const std::string& text,
                        const std::function<std::function<std::size_t()>()>& sizes,
                        const std::string& what) {
  const std::vector<ReferenceFind> expected = Expected(term, text);
  for (bool holes : {false, true}) {
    Collected listed;
    EXPECT_EQ(ScanInReads(*term.Search, true, text, sizes(), holes, &listed), kScanGoOn) << what;
    EXPECT_EQ(listed.Finds, expected) << what << (holes ? " with holes" : "");
    Collected none;
    EXPECT_EQ(ScanInReads(*term.Search, false, text, sizes(), holes, &none),
              expected.empty() ? kScanGoOn : kScanMatchFound)
        << what << (holes ? " with holes" : "");
    EXPECT_TRUE(none.Finds.empty());
  }
}

// ---- Random texts in every encoding -------------------------------------------------------

enum class Encoding { Utf8, Utf8Mark, Utf16Le, Utf16Be, Windows1252 };

const char* Name(Encoding encoding) {
  switch (encoding) {
    case Encoding::Utf8:
      return "Utf8";
    case Encoding::Utf8Mark:
      return "Utf8WithMark";
    case Encoding::Utf16Le:
      return "Utf16Le";
    case Encoding::Utf16Be:
      return "Utf16Be";
    default:
      return "Windows1252";
  }
}

// A piece of text: code points, or (Raw) a fault the encoding may hold: a stray byte in
// UTF-8, a lone surrogate in UTF-16.
struct Piece {
  std::u32string Text;
  bool Raw = false;
};

const char32_t* const kWords[] = {
    U"Moses",    U"Muller",    U"Müller",       U"Mueller",     U"MÜLLER",   U"Mu\u0308ller",
    U"Ivanov",   U"Иванов",    U"ИВАНОВ",       U"Іванов",      U"Ioannis",  U"Ιωάννης",
    U"Γιάννης",  U"Μπάμπης",   U"Ευάγγελος",    U"αυτός",       U"café",     U"Straße",
    U"Søren",    U"Łukasz",    U"Éric",         U"naïve",       U"Пётр",     U"съезд",
    U"Київ",     U"Ўладзімір", U"and",          U"the",         U"Peterson", U"Petersen",
    U"Петерсон", U"e\u0301",   U"\u0301Muller", U"x_y",         U"4th",      U"é1",
    U"Мария2",   U"1\u0301Mo", U"Mül_ler",      U"Jørgensen",   U"Ørsted",   U"Œuvre",
    U"ǅemal",    U"Ḿuller",    U"ъИванов",      U"Muller\u0301", U"Жуков",   U"Евгений",
    U"Эвген",    U"Геннадій",  U"Ντίνος",       U"Μπάμπης",     U"Ѣванов",   U"Ѡиванов",
    U"Жук\u0482Иванов",        U"ƒИванов",       U"Ж_\u0301Иванов", U"γκρίζος"};

// Between the words: ASCII, and characters of two bytes and more that separate (among the
// Latin, Greek and Cyrillic letters too), so that two words touch with no ASCII between them.
const char32_t* const kBetween[] = {
    U" ", U" ", U" ",      U"\n",          U"\r\n",    U"\t",     U", ",     U"-",
    U"—", U"\u00A0", U"€", U"\U0001F600", U"\uFEFF",  U"×",      U"«",      U"\u0387",
    U"÷", U"\u0482", U"\u03F6", U"\u0375",   U"\u2019", U"\u00B7"};

std::vector<Piece> RandomPieces(std::mt19937& random, std::size_t count) {
  std::vector<Piece> pieces;
  const std::u32string alphabet =
      U"abcdefghijklmnopqrstuvwxyzéüßøłабвгдеёжзийклмнопрстуфхцчшщъыьэюяαβγδεζηθικλμνξοπρστυφχψω"
      U"\u0301";
  while (pieces.size() < count) {
    const unsigned pick = random() % 100;
    Piece piece;
    if (pick < 70) {
      piece.Text = kWords[random() % std::size(kWords)];
    } else if (pick < 75) {
      piece.Text = U"M";
      const std::size_t length = 60 + random() % 20;
      for (std::size_t i = 0; i < length; ++i) piece.Text += alphabet[random() % alphabet.size()];
    } else if (pick < 80) {
      piece.Text.assign(1 + random() % 6, U'\0');
    } else if (pick < 88) {
      piece.Raw = true;
    } else {
      piece.Text = char32_t(random() % 0x500);
    }
    pieces.push_back(piece);
    pieces.push_back({kBetween[random() % std::size(kBetween)]});
  }
  return pieces;
}

void PutUnit(std::string& out, char32_t unit, bool little) {
  const char low = static_cast<char>(unit & 0xFF);
  const char high = static_cast<char>(unit >> 8);
  out += little ? low : high;
  out += little ? high : low;
}

std::string Encode(const std::vector<Piece>& pieces, Encoding encoding, std::mt19937& random) {
  static const char* const kStrayBytes[] = {"\xE9",         "\xC3", "\x80",     "\xF0\x9F",
                                            "\xED\xA0\x80", "\xFF", "\xC0\xAF", "\xE2\x82"};
  std::string out;
  const bool utf16 = encoding == Encoding::Utf16Le || encoding == Encoding::Utf16Be;
  const bool little = encoding == Encoding::Utf16Le;
  if (encoding == Encoding::Utf8Mark) out = "\xEF\xBB\xBF";
  if (utf16) out = little ? "\xFF\xFE" : "\xFE\xFF";
  for (const Piece& piece : pieces) {
    if (piece.Raw) {
      if (utf16) {
        PutUnit(out, random() % 2 == 0 ? 0xD83D : 0xDE00, little);
      } else if (encoding == Encoding::Windows1252) {
        out += static_cast<char>(0x80 + random() % 0x20);
      } else {
        out += kStrayBytes[random() % std::size(kStrayBytes)];
      }
      continue;
    }
    for (char32_t c : piece.Text) {
      if (utf16) {
        if (c >= 0x10000) {
          PutUnit(out, 0xD800 + ((c - 0x10000) >> 10), little);
          PutUnit(out, 0xDC00 + ((c - 0x10000) & 0x3FF), little);
        } else {
          PutUnit(out, c, little);
        }
      } else if (encoding == Encoding::Windows1252) {
        // What Windows-1252 can hold: Latin-1 and a few of its own (Œ Š Ž € — ‚ ...).
        if (c < 0x80 || (c >= 0xA0 && c < 0x100)) {
          out += static_cast<char>(c);
        } else if (c == U'€') {
          out += '\x80';
        } else if (c == U'Œ') {
          out += '\x8C';
        } else if (c == U'—') {
          out += '\x97';
        }
      } else {
        out += Utf8Of(std::u32string(1, c));
      }
    }
  }
  if (utf16 && random() % 4 == 0) out += 'M';  // a last odd byte
  return out;
}

std::function<std::function<std::size_t()>()> RandomSizes(std::mt19937& random) {
  return [&random] {
    return [&random]() -> std::size_t {
      // Reads longer than 64 KiB are taken in parts.
      const std::size_t sizes[] = {1, 2, 3, 7, 64, 100, 4096, 65536, 200000};
      return sizes[random() % std::size(sizes)];
    };
  };
}

const char* Name(ScanInstructions set) {
  switch (set) {
    case ScanInstructions::Avx2:
      return "Avx2";
    case ScanInstructions::Sse2:
      return "Sse2";
    default:
      return "Portable";
  }
}

// Each encoding with each instruction set the processor has: the maps of a read's bytes are
// made with AVX2 where it can, a byte at a time elsewhere.
class EncodingTest : public ::testing::TestWithParam<std::tuple<Encoding, ScanInstructions>> {
 protected:
  void SetUp() override {
    if (!UseScanInstructions(std::get<1>(GetParam()))) {
      GTEST_SKIP() << "this processor has no " << Name(std::get<1>(GetParam()));
    }
  }
  void TearDown() override { UseScanInstructions(best_); }

 private:
  ScanInstructions best_ = CurrentScanInstructions();
};

TEST_P(EncodingTest, RandomTextsCutIntoAnyReadsGiveThePlainReadingsMatches) {
  const Encoding encoding = std::get<0>(GetParam());
  std::mt19937 random(static_cast<unsigned>(encoding) * 3 +
                      static_cast<unsigned>(std::get<1>(GetParam())) + 17);
  const std::pair<const char*, const SoundMethod*> terms[] = {
      {"Muller", &SoundexMethod()},        {"Ivanov", &SoundexMethod()},
      {"Ioannis", &SoundexMethod()},       {"Moses", &SoundexMethod()},
      {"Peterson", &SoundexMethod()},      {"Muller", &DaitchMokotoffMethod()},
      {"Ivanov", &DaitchMokotoffMethod()}, {"Ioannis", &DaitchMokotoffMethod()},
      {"Muller", &ScoredMethod()},         {"Ivanov", &ScoredMethod()},
      {"Yevgeny", &SoundexMethod()},       {"Gennadiy", &DaitchMokotoffMethod()},
      {"Dinos", &SoundexMethod()},         {"Bambis", &DaitchMokotoffMethod()},
      {"Zhukov", &SoundexMethod()}};
  std::size_t found = 0;
  for (const auto& [word, method] : terms) {
    const TestTerm term(word, *method);
    for (int round = 0; round < 3; ++round) {
      const std::vector<Piece> pieces = RandomPieces(random, round < 2 ? 60 : 20000);
      const std::string text = Encode(pieces, encoding, random);
      found += Expected(term, text).size();
      ExpectPlainReading(term, text, RandomSizes(random),
                         std::string(word) + (method == &SoundexMethod() ? "" : method == &ScoredMethod() ? " (scored)" : " (dm)") +
                             " round " + std::to_string(round));
    }
  }
  EXPECT_GT(found, 100u);  // the names are found, so the comparison means something
}

// A piece of a file is read by a reading of its own, which tells the line it stands on after
// its reads: the next piece's lines are counted on from there, so it must be every line feed
// read, whichever of the scan's two readings had it.
TEST_P(EncodingTest, TheLineAfterTheReadsCountsEveryLineFeed) {
  const Encoding encoding = std::get<0>(GetParam());
  std::mt19937 random(static_cast<unsigned>(encoding) + 101);
  const TestTerm term("Ivanov", SoundexMethod());
  for (int round = 0; round < 6; ++round) {
    const std::string text = Encode(RandomPieces(random, round < 4 ? 80 : 20000), encoding, random);
    int unitSize = 0;
    const std::vector<ReferenceCodePoint> points = ReferenceDecode(text, &unitSize);
    const auto lineFeeds = std::count_if(points.begin(), points.end(), [](const auto& point) {
      return point.CodePoint == U'\n';
    });
    for (bool holes : {false, true}) {
      static LetterScan scan;
      Collected listed;
      scan.Start(*term.Search, true, 1, CollectFind, &listed);
      ASSERT_EQ(FeedInReads(scan, text, RandomSizes(random)(), holes), kScanGoOn);
      EXPECT_EQ(scan.LineAfterReads(), 1 + lineFeeds)
          << "round " << round << (holes ? " with holes" : "");
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Encodings, EncodingTest,
    ::testing::Combine(::testing::Values(Encoding::Utf8, Encoding::Utf8Mark, Encoding::Utf16Le,
                                         Encoding::Utf16Be, Encoding::Windows1252),
                       ::testing::Values(ScanInstructions::Portable, ScanInstructions::Avx2)),
    [](const auto& info) {
      return std::string(Name(std::get<0>(info.param))) + Name(std::get<1>(info.param));
    });

// ---- Texts cut at every byte --------------------------------------------------------------

std::string Utf16(const std::u32string& text, bool little) {
  std::string out = little ? "\xFF\xFE" : "\xFE\xFF";
  for (char32_t c : text) {
    if (c >= 0x10000) {
      PutUnit(out, 0xD800 + ((c - 0x10000) >> 10), little);
      PutUnit(out, 0xDC00 + ((c - 0x10000) & 0x3FF), little);
    } else {
      PutUnit(out, c, little);
    }
  }
  return out;
}

// A literal's code points, U+0000 included.
template <std::size_t N>
std::u32string Text(const char32_t (&literal)[N]) {
  return std::u32string(literal, N - 1);
}

std::string Repeat(const std::u32string& piece, int times) {
  std::u32string text;
  for (int i = 0; i < times; ++i) text += piece;
  return Utf8Of(text);
}

struct CutCase {
  const char* Name;
  std::string Bytes;
  const char* Term;
  const SoundMethod* Method;
  std::vector<std::string> Found;  // the words the plain reading finds, as shown
};

void PrintTo(const CutCase& test, std::ostream* out) { *out << test.Name; }

// The words are coded with the letter table the program fills at start-up: without it
// every key is its first letter and 000, and a case would match words the program does not.
class CutTest : public ::testing::TestWithParam<CutCase> {
 protected:
  void SetUp() override { InitialisePhonetics(); }
};

TEST_P(CutTest, EveryCutGivesThePlainReadingsMatches) {
  const CutCase& test = GetParam();
  const TestTerm term(test.Term, *test.Method);
  // The plain reading is checked too, so that a case means what its name says.
  std::vector<std::string> shown;
  for (const ReferenceFind& find : Expected(term, test.Bytes)) shown.push_back(find.Letters);
  EXPECT_EQ(shown, test.Found);

  const std::string& text = test.Bytes;
  const auto whole = [] { return [] { return std::size_t{65536}; }; };
  ExpectPlainReading(term, text, whole, "one read");
  const auto bytes = [] { return [] { return std::size_t{1}; }; };
  ExpectPlainReading(term, text, bytes, "reads of one byte");
  // Two reads, cut at every byte of a short text and at many of a long one.
  for (std::size_t cut = 1; cut < text.size(); cut += cut < 300 ? 1 : 97) {
    const auto twoReads = [cut] {
      return [cut, first = true]() mutable {
        const std::size_t size = first ? cut : 65536;
        first = false;
        return size;
      };
    };
    ExpectPlainReading(term, text, twoReads, "cut at " + std::to_string(cut));
    if (::testing::Test::HasFailure()) break;
  }
}

const CutCase kCutCases[] = {
    {"Utf8LettersOfTwoThreeAndFourBytes",
     Utf8Of(U"Müller, Ḿuller\U0001F600Mueller und MULLER."),
     "Muller",
     &SoundexMethod(),
     {"Müller", "Ḿuller", "Mueller", "MULLER"}},
    {"Utf8WithMark",
     "\xEF\xBB\xBF" + Utf8Of(U"Иванов\nIvanov ИВАНОВ"),
     "Ivanov",
     &SoundexMethod(),
     {"Иванов", "Ivanov", "ИВАНОВ"}},
    {"Utf16LeSurrogatePairs",
     Utf16(U"Müller\U0001F600Иванов \U0001D400Muller\r\nMüller", true),
     "Muller",
     &SoundexMethod(),
     {"Müller", "Muller", "Müller"}},
    {"Utf16BeSurrogatePairs",
     Utf16(U"Ιωάννης\U0001F600Ioannis\nΓιάννης", false),
     "Ioannis",
     &SoundexMethod(),
     {"Ιωάννης", "Ioannis"}},
    {"Utf16LoneSurrogatesSeparate",
     Utf16(U"Mu", true) + std::string("\x00\xD8", 2) + Utf16(U"ller Mul", true).substr(2) +
         std::string("\x00\xDC", 2) + Utf16(U"ler", true).substr(2),
     "Muller",
     &SoundexMethod(),
     {}},
    {"OnlyAByteOrderMark", "\xEF\xBB\xBF", "Muller", &SoundexMethod(), {}},
    {"OnlyAUtf16Mark", "\xFF\xFE", "Muller", &SoundexMethod(), {}},
    {"AnOddByteAfterAUtf16Mark",
     "\xFF\xFE"
     "M",
     "Muller",
     &SoundexMethod(),
     {}},
    {"AnOddLastByteEndsAUtf16Word",
     Utf16(U"Muller", true) + "M",
     "Muller",
     &SoundexMethod(),
     {"Muller"}},
    {"Windows1252",
     "M\xFCller, M\xDCLLER \x80Muller\x85 \x8Cuvre",
     "Muller",
     &SoundexMethod(),
     {"Müller", "MÜLLER", "Muller"}},
    {"StrayBytesInUtf8",
     "M\xC3ller Mu\xE2\x82ler \xF0\x9FMuller \xED\xA0\x80"
     "Muller",
     "Muller",
     &SoundexMethod(),
     {Utf8Of(U"MÃller"), "Muller"}},
    {"AWordOf5000AccentedLetters",
     Utf8Of(U"a Muller") + Repeat(U"é", 5000) + " Muller",
     "Muller",
     &SoundexMethod(),
     {Utf8Of(U"Muller") + Repeat(U"é", 56), "Muller"}},
    {"ThousandsOfMarksAndHardSignsBeforeTheLetters",
     "M" + Repeat(U"\u0301", 3000) + "uller " + Repeat(U"ъ", 3000) + "Muller",
     "Muller",
     &SoundexMethod(),
     {"M" + Repeat(U"\u0301", 61), Repeat(U"ъ", 62)}},
    {"AUkrainianLetterFarIntoAWordDecidesItsReading",
     Utf8Of(U"Г") + Repeat(U"а", 300) + Utf8Of(U"і Г") + Repeat(U"а", 300) + " " + Utf8Of(U"Г") +
         Repeat(U"а", 300) + Utf8Of(U"ў"),
     "Ha",
     &SoundexMethod(),
     {Utf8Of(U"Г") + Repeat(U"а", 61), Utf8Of(U"Г") + Repeat(U"а", 61)}},
    {"AnAsciiReadAfterAnAccentedWordThatGoesOnIntoIt",
     Utf8Of(U"x Mül") + "ler and Muller" + std::string(70, ' ') + Utf8Of(U"Mü") + "ller" +
         std::string(5000, 'e') + " Muller",
     "Muller",
     &SoundexMethod(),
     {Utf8Of(U"Müller"), "Muller", Utf8Of(U"Müller") + std::string(56, 'e'), "Muller"}},
    {"AsciiWordsTouchingAccentsAreOneWord",
     Utf8Of(U"Mullerß ßMuller Muller Mull\u0301er 1\u0301Muller Mu_ller Muller1 Mulleré"),
     "Muller",
     &SoundexMethod(),
     {"Muller", Utf8Of(U"Mull\u0301er"), "Muller", Utf8Of(U"Mulleré")}},
    // The byte reading sees "Muller" in both; they are one word with what comes before.
    {"AFragmentAfterAnAccentIsNoWord",
     Utf8Of(U"xéMuller und éMuller"),
     "Muller",
     &SoundexMethod(),
     {}},
    {"AWordThatBeginsWithAnAccentedLetter",
     Utf8Of(U"Øster, Oster und ØSTER; Ôsterby Ælse"),
     "Oster",
     &SoundexMethod(),
     {Utf8Of(U"Øster"), "Oster", Utf8Of(U"ØSTER"), Utf8Of(U"Ôsterby")}},
    // A dialytika among the marks after an upsilon parts it from the vowel before: zeus, where
    // the pair reads zefs.
    {"ADialytikaAfterAnotherMark",
     Utf8Of(U"Ζευ\u0301\u0308ς Ζευς"),
     "Zeus",
     &DaitchMokotoffMethod(),
     {Utf8Of(U"Ζευ\u0301\u0308ς")}},
    {"AMarkWithNoLetterBeforeItSeparates",
     Utf8Of(U"\u0301Muller \u0301\u0301Ivanov"),
     "Muller",
     &SoundexMethod(),
     {"Muller"}},
    {"GreekByDaitchMokotoff",
     Utf8Of(U"Ιωάννης Ioannis Γιάννης"),
     "Ioannis",
     &DaitchMokotoffMethod(),
     {"Ιωάννης", "Ioannis"}},
    {"CyrillicByDaitchMokotoff",
     Utf8Of(U"Иванов и Ivanov, Іванов"),
     "Ivanov",
     &DaitchMokotoffMethod(),
     {"Иванов", "Ivanov", "Іванов"}},
    // No ASCII between the words: the characters that part them are of two bytes, a mark after
    // a joiner, or a letter that begins a word of its own (f).
    {"TwoByteSeparatorsPartCyrillicWords",
     Utf8Of(U"Жук×Иванов«Иванов»\u0482Иванов ƒИванов Ж_\u0301Иванов Жуков\u00A0Иванов"),
     "Ivanov",
     &SoundexMethod(),
     {"Иванов", "Иванов", "Иванов", "Иванов", "Иванов"}},
    // A word whose first letter reads two ways by the letters after it: Greek nu-tau d,
    // Cyrillic e ye, ghe h in a Ukrainian word.
    {"FirstLettersThatReadTwoWays",
     Utf8Of(U"Ντίνος Νίκος «Ντίνος» Евгений Эвген Дінос"),
     "Dinos",
     &SoundexMethod(),
     {"Ντίνος", "Ντίνος", "Дінос"}},
    // Cyrillic e reads ye at the start, ghe h in a Ukrainian word (Yevhen is not Yevgeny).
    {"CyrillicEAndGheReadByTheirWords",
     Utf8Of(U"Эвген×Евгений Євген Yevgen"),
     "Yevgeny",
     &SoundexMethod(),
     {"Эвген", "Евгений", "Yevgen"}},
    {"ZeroBytesEndWords",
     Utf8Of(Text(U"Mu\0ller Mül\0\0\0ler Muller\0Müller")),
     "Muller",
     &SoundexMethod(),
     {"Muller", Utf8Of(U"Müller")}},
    // The last zero byte of three pairs with the byte after it: U+0400, a letter.
    {"ZeroBytesInUtf16PairWithTheByteAfterThem",
     Utf16(Text(U"Ev\0anov Иванов"), true) + std::string(3, '\0') + "\x04" +
         Utf16(U"ванов", true).substr(2) + std::string(1, '\0'),
     "Evanov",
     &SoundexMethod(),
     {Utf8Of(U"Иванов"), Utf8Of(U"Ѐванов")}},
};

INSTANTIATE_TEST_SUITE_P(Cases, CutTest, ::testing::ValuesIn(kCutCases),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(LetterScannerTest, AListenerThatStopsEndsTheScanAtOnce) {
  const std::unique_ptr<HeardTerm> term = DefaultSoundMethod().Hear("Muller");
  for (const std::string& text :
       {std::string("Muller and muller\nand MULLER.\n"), Utf8Of(U"Müller и Müller\nи Müller\n")}) {
    Collected collected;
    collected.StopAfter = 2;
    const auto sizes = [] { return std::size_t{7}; };
    EXPECT_EQ(ScanInReads(*term, true, text, sizes, false, &collected), kScanStopped);
    EXPECT_EQ(collected.Finds.size(), 2u);
  }
}

}  // namespace

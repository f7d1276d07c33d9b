// Searches with the switch of records and documents: GEDCOM files in each character set a
// header may name, CONC and CONT lines, line ends, damaged headers, and the record a word
// stands in; with the switch off the same files read as any file.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/records_search.h"

namespace {

class RecordsSearch : public RecordsSearchTest {
 protected:
  // Writes `bytes` as the file `name` and searches it.
  std::vector<Found> Read(const std::string& bytes, const char* query, bool records = true,
                          const char* name = "family.ged") {
    tree.WriteFile(name, bytes);
    return Search(name, query, records);
  }
};

std::string Utf16(const std::string& ascii, bool littleEndian, bool mark) {
  std::string out;
  if (mark) out += littleEndian ? "\xFF\xFE" : "\xFE\xFF";
  for (unsigned char c : ascii) {
    // The test's texts hold ü as the byte 0xFC, which is U+00FC.
    out += littleEndian ? std::string{static_cast<char>(c), '\0'}
                        : std::string{'\0', static_cast<char>(c)};
  }
  return out;
}

struct GedcomCase {
  const char* Label;
  std::string Bytes;
  const char* Query;
  std::vector<Found> Expected;
};
void PrintTo(const GedcomCase& c, std::ostream* out) { *out << c.Label; }

// A person's record whose name is written in `name` (bytes), in a file whose header names
// `charset`.
std::string Person(const char* charset, const std::string& name) {
  return std::string("0 HEAD\n1 CHAR ") + charset + "\n0 @I12@ INDI\n1 NAME " + name + "\n0 TRLR\n";
}

// A case whose one occurrence is on line 4, in the record `record`.
GedcomCase OnLine4(const char* label, const std::string& bytes, const char* query, const char* word,
                   std::int64_t column, const char* record = "@I12@") {
  return {label, bytes, query, {{word, 4, column, record}}};
}

class GedcomFile : public RecordsSearch, public ::testing::WithParamInterface<GedcomCase> {};

// In the character set its header names, with its CONC and CONT lines.
TEST_P(GedcomFile, FindsEachWordWhereItBeginsInItsRecord) {
  const GedcomCase& c = GetParam();
  EXPECT_EQ(Read(c.Bytes, c.Query), c.Expected);
  EXPECT_TRUE(sink.NotOpened.empty());
}

const std::string kUtf16Text = "0 HEAD\n1 CHAR UNICODE\n0 @I7@ INDI\n1 NAME Hans /M\xFCller/\n";

INSTANTIATE_TEST_SUITE_P(
    Charsets, GedcomFile,
    ::testing::Values(
        // ANSEL: the mark before its letter is folded onto it, shown after it.
        OnLine4("AnselMark", Person("ANSEL", "Hans /M\xE8uller/"), "Muller", "Mu\xCC\x88ller", 14),
        OnLine4("AnselTwoMarks", Person("ANSEL", "Nguy\xE2\xE3\x65n /Tr\xE1\x61n/"), "Nguyen",
                "Nguye\xCC\x81\xCC\x82n", 8),
        OnLine4("AnselCapitalStroke", Person("ANSEL", "\xA1ukasz /Nowak/"), "Lukasz",
                "\xC5\x81ukasz", 8),
        OnLine4("AnselSmallStroke", Person("ANSEL", "Jan /W\xB1odek/"), "Wlodek", "W\xC5\x82odek",
                13),
        OnLine4("AnselSlashedO", Person("ANSEL", "\xA2ystein /Kj\xB2lsen/"), "Kjolsen",
                "Kj\xC3\xB8lsen", 18),
        OnLine4("AnselDStroke", Person("ANSEL", "\xA3uro /\xB3uri\xE2\x63/"), "Duro", "\xC4\x90uro",
                8),
        OnLine4("AnselThornAndAsh", Person("ANSEL", "\xA4orunn /\xA5lfr\xB5\x64/"), "Thorunn",
                "\xC3\x9Eorunn", 8),
        GedcomCase{"AnselOe",
                   Person("ANSEL", "Fran\xF0\x63ois /C\xB6ur/"),
                   "Coeur",
                   {{"CHAR", 2, 3, ""}, {"C\xC5\x93ur", 4, 20, "@I12@"}}},
        OnLine4("AnselDotlessI", Person("ANSEL", "Ay\xB8\x65 /Y\xB8lmaz/"), "Yilmaz",
                "Y\xC4\xB1lmaz", 15),
        OnLine4("Ansi", Person("ANSI", "Hans /M\xFCller/"), "Muller", "M\xC3\xBCller", 14),
        OnLine4("Utf8", Person("UTF-8", "Hans /M\xC3\xBCller/"), "Muller", "M\xC3\xBCller", 14),
        OnLine4("Utf8WithMark", "\xEF\xBB\xBF" + Person("UTF-8", "Hans /M\xC3\xBCller/"), "Muller",
                "M\xC3\xBCller", 14),
        OnLine4("UnicodeLittleEndian", Utf16(kUtf16Text, true, true), "Muller", "M\xC3\xBCller", 14,
                "@I7@"),
        OnLine4("UnicodeBigEndian", Utf16(kUtf16Text, false, true), "Muller", "M\xC3\xBCller", 14,
                "@I7@"),
        OnLine4("UnicodeWithoutMark", Utf16(kUtf16Text, true, false), "Muller", "M\xC3\xBCller", 14,
                "@I7@"),
        OnLine4("Ascii", Person("ASCII", "Hans /Mueller/"), "Mueller", "Mueller", 14),
        OnLine4("IbmPc", Person("IBMPC", "Hans /M\x81ller/"), "Muller", "M\xC3\xBCller", 14),
        OnLine4("Macintosh", Person("MACINTOSH", "Hans /M\x9Fller/"), "Muller", "M\xC3\xBCller",
                14),
        // Damaged or missing CHAR lines: UTF-8, with stray bytes as Windows-1252.
        OnLine4("UnknownCharset", Person("KLINGON", "Hans /M\xC3\xBCller/"), "Muller",
                "M\xC3\xBCller", 14),
        OnLine4("EmptyCharLine", Person("", "Hans /M\xFCller/"), "Muller", "M\xC3\xBCller", 14),
        GedcomCase{"HeaderWithoutLevels",
                   "0 HEAD\nCHAR ANSEL\n@I1@ INDI\nNAME M\xFCller\n",
                   "Muller",
                   {{"M\xC3\xBCller", 4, 6, ""}}},
        GedcomCase{"MarkAtTheVeryEnd",
                   "0 HEAD\n1 CHAR ANSEL\n1 NAME Muller \xE8",
                   "Muller",
                   {{"Muller", 3, 8, ""}}},
        GedcomCase{"OnlyTheHead", "0 HEAD", "Head", {{"HEAD", 1, 3, ""}}}));

std::string Note(const std::string& lines, const char* end) {
  std::string text = "0 HEAD\n1 CHAR ASCII\n0 @F3@ FAM\n1 NOTE " + lines + "\n0 TRLR\n";
  std::string out;
  for (char ch : text) {
    if (ch == '\n') {
      out += end;
    } else {
      out += ch;
    }
  }
  return out;
}

INSTANTIATE_TEST_SUITE_P(
    ConcAndCont, GedcomFile,
    ::testing::Values(
        OnLine4("InsideAWord", Note("the Sch\n2 CONC midt family", "\n"), "Schmidt", "Schmidt", 12,
                "@F3@"),
        OnLine4("InsideAWordCrLf", Note("the Sch\n2 CONC midt family", "\r\n"), "Schmidt",
                "Schmidt", 12, "@F3@"),
        OnLine4("InsideAWordCr", Note("the Sch\n2 CONC midt family", "\r"), "Schmidt", "Schmidt",
                12, "@F3@"),
        OnLine4("ThreePieces", Note("S\n2 CONC chmi\n2 CONC dt", "\n"), "Schmidt", "Schmidt", 8,
                "@F3@"),
        // A word that begins on the CONC line is found there, after the tag.
        GedcomCase{"AtTheStartOfConc",
                   Note("the\n2 CONC  Schmidt family", "\n"),
                   "Schmidt",
                   {{"Schmidt", 5, 9, "@F3@"}}},
        OnLine4("WholeBeforeConc", Note("Schmidt\n2 CONC  was here", "\n"), "Schmidt", "Schmidt", 8,
                "@F3@"),
        // Without a blank on either side the words run into one.
        OnLine4("JoinsWithoutBlank", Note("Smith\n2 CONC son", "\n"), "Smithson", "Smithson", 8,
                "@F3@"),
        GedcomCase{"ContIsANewLine", Note("the Sch\n2 CONT midt family", "\n"), "Schmidt", {}},
        GedcomCase{"ContLineWord",
                   Note("the\n2 CONT Schmidt family", "\n"),
                   "Schmidt",
                   {{"Schmidt", 5, 8, "@F3@"}}},
        OnLine4("ConcAtTheEnd", "0 HEAD\n0 @F3@ FAM\n1 NOTE x\n2 CONC y the Schmi\n2 CONC dt",
                "Schmidt", "Schmidt", 14, "@F3@"),
        // Words after a record with no identifier name none.
        GedcomCase{"RecordWithoutIdentifier",
                   "0 HEAD\n1 NOTE Schmidt\n",
                   "Schmidt",
                   {{"Schmidt", 2, 8, ""}}}));

TEST_F(RecordsSearch, SwitchOffReadsTheFileAsAnyFile) {
  const std::string bytes = Person("ANSEL", "Hans /M\xE8uller/") + "1 NOTE Sch\n2 CONC midt\n";
  // Read as bytes, the name's mark splits it; CONC splits Schmidt; no record is named.
  for (const Found& found : Read(bytes, "Muller", false)) EXPECT_NE(found.Line, 4) << found.Word;
  EXPECT_EQ(Read(bytes, "Schmidt", false), std::vector<Found>{});
  EXPECT_EQ(Read(bytes, "Hans", false), (std::vector<Found>{{"Hans", 4, 8, ""}}));
}

TEST_F(RecordsSearch, ALargeFileIsReadWholeAcrossItsReads) {
  std::string bytes = "0 HEAD\r\n1 CHAR ANSEL\r\n";
  for (int i = 0; i < 6000; ++i) bytes += "0 @I" + std::to_string(i) + "@ INDI\r\n1 SEX M\r\n";
  bytes += "1 NOTE Hans M\xE8ul\r\n2 CONC ler\r\n";
  EXPECT_GT(bytes.size(), 65536u * 2);
  EXPECT_EQ(Read(bytes, "Muller"), (std::vector<Found>{{"Mu\xCC\x88ller", 12003, 13, "@I5999@"}}));
}

TEST_F(RecordsSearch, AFileThatIsNoGedcomReadsAsToday) {
  // "0 HEADS" is not the header record; so its stray ü byte is no letter.
  EXPECT_EQ(Read("0 HEADS\n1 NAME M\xFCller\n", "Muller"), std::vector<Found>{});
  EXPECT_EQ(Read("x 0 HEAD\nSchmidt\n", "Schmidt", true, "a.txt"),
            (std::vector<Found>{{"Schmidt", 2, 1, ""}}));
}

TEST_F(RecordsSearch, AnExpressionFindsTheFile) {
  tree.WriteFile("b.ged", Person("ANSEL", "Hans /M\xE8uller/"));
  tree.WriteFile("c.ged", Person("ANSEL", "Hans /Schmidt/"));
  Search("*.ged", "Muller A Hans");
  ASSERT_EQ(sink.Lines.size(), 1u);
  EXPECT_NE(sink.Lines[0].find("b.ged"), std::string::npos);
}

}  // namespace

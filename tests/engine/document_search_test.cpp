// Searches with the switch of records and documents over .docx, .odt and .epub files written
// here with minizip: one line per paragraph, a word cut into runs or spans found whole, the
// parts in their order; and every archive that must be refused (damaged, encrypted, a zip
// bomb, an entry outside the archive, XML entities) is refused with its reason, never read.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "support/document_writing.h"
#include "support/records_search.h"

namespace {

constexpr const char* kOdfText =
    "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\" "
    "xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\"";

std::string OdfPart(const char* root, const std::string& inner) {
  return std::string("<?xml version=\"1.0\"?><office:") + root + " " + kOdfText + ">" + inner +
         "</office:" + root + ">";
}

std::vector<ZipEntry> Epub(const std::vector<std::pair<std::string, std::string>>& chapters,
                        const std::string& spine) {
  std::string manifest;
  for (std::size_t i = 0; i < chapters.size(); ++i) {
    manifest += "<item id=\"c" + std::to_string(i + 1) + "\" href=\"" + chapters[i].first +
                "\" media-type=\"application/xhtml+xml\"/>";
  }
  std::vector<ZipEntry> entries{
      {"mimetype", "application/epub+zip"},
      {"META-INF/container.xml",
       "<?xml version=\"1.0\"?><container version=\"1.0\" "
       "xmlns=\"urn:oasis:names:tc:opendocument:xmlns:container\"><rootfiles><rootfile "
       "full-path=\"OEBPS/content.opf\" media-type=\"application/oebps-package+xml\"/>"
       "</rootfiles></container>"},
      {"OEBPS/content.opf",
       "<?xml version=\"1.0\"?><package xmlns=\"http://www.idpf.org/2007/opf\" version=\"3.0\">"
       "<manifest>" +
           manifest + "</manifest><spine>" + spine + "</spine></package>"}};
  for (const auto& [name, body] : chapters) {
    if (name.find("..") != std::string::npos) continue;
    std::string entryName;  // the package names it with %20 for a blank
    for (std::size_t i = 0; i < name.size(); ++i) {
      const bool blank = name.compare(i, 3, "%20") == 0;
      entryName.push_back(blank ? ' ' : name[i]);
      if (blank) i += 2;
    }
    entries.push_back({"OEBPS/" + entryName,
                       "<?xml version=\"1.0\" encoding=\"utf-8\"?><!DOCTYPE html><html "
                       "xmlns=\"http://www.w3.org/1999/xhtml\"><head><title>Title Muller</title>"
                       "<style>p { Muller: 1 }</style></head><body>" +
                           body + "</body></html>"});
  }
  return entries;
}

using DocumentSearch = RecordsSearchTest;

struct DocumentCase {
  const char* Label;
  const char* Name;
  std::vector<ZipEntry> Entries;
  const char* Query;
  std::vector<Found> Expected;
};
void PrintTo(const DocumentCase& c, std::ostream* out) { *out << c.Label; }

class EveryDocument : public DocumentSearch, public ::testing::WithParamInterface<DocumentCase> {};

TEST_P(EveryDocument, FindsWordsByParagraph) {
  const DocumentCase& c = GetParam();
  ASSERT_TRUE(WriteZip(tree.Path(c.Name), c.Entries));
  EXPECT_EQ(Search(c.Name, c.Query), c.Expected);
  EXPECT_TRUE(sink.NotOpened.empty());
  EXPECT_TRUE(sink.Refused.empty());
  // Without the switch the archive's compressed bytes hold none of it.
  EXPECT_EQ(Search(c.Name, c.Query, false), std::vector<Found>{});
}

std::vector<ZipEntry> WordWithParts() {
  std::vector<ZipEntry> entries =
      Word(WordParagraph({"The first"}) + "<w:p/>" +
           WordParagraph({"Herr M\xC3\xBCl", "ler und ", "Schmi", "dt"}) + "<w:tbl><w:tr><w:tc>" +
           WordParagraph({"In a cell Miller"}) + "</w:tc></w:tr></w:tbl>");
  entries.push_back({"word/header1.xml", WordPart("hdr", WordParagraph({"Header Muller"}))});
  entries.push_back({"word/footer2.xml", WordPart("ftr", WordParagraph({"Footer Mueller"}))});
  entries.push_back(
      {"word/footnotes.xml",
       WordPart("footnotes", "<w:footnote>" + WordParagraph({"Note Moller"}) + "</w:footnote>")});
  entries.push_back(
      {"word/comments.xml",
       WordPart("comments", "<w:comment>" + WordParagraph({"Said Mahler"}) + "</w:comment>")});
  entries.push_back(
      {"word/settings.xml", WordPart("settings", WordParagraph({"Settings Muller"}))});
  entries.push_back({"word/media/header9.png", "Muller"});
  return entries;
}

INSTANTIATE_TEST_SUITE_P(
    Documents, EveryDocument,
    ::testing::Values(
        DocumentCase{"WordRunsAndParts",
                     "letter.docx",
                     WordWithParts(),
                     "Muller",
                     {{"M\xC3\xBCller", 3, 6},
                      {"Miller", 4, 11},
                      {"Muller", 5, 8},
                      {"Mueller", 6, 8},
                      {"Moller", 7, 6},
                      {"Mahler", 8, 6}}},
        DocumentCase{
            "WordSplitWord", "letter.docx", WordWithParts(), "Schmidt", {{"Schmidt", 3, 18}}},
        DocumentCase{
            "WordTabAndBreak",
            "TAB.DOCX",
            Word("<w:p><w:r><w:t>one</w:t><w:tab/><w:t>Muller</w:t><w:br/><w:t>Miller</w:t>"
                 "<w:delText>Moller</w:delText><w:instrText>Mahler</w:instrText></w:r></w:p>"),
            "Muller",
            {{"Muller", 1, 5}, {"Miller", 1, 12}}},
        DocumentCase{
            "OpenDocument",
            "minutes.odt",
            {{"mimetype", "application/vnd.oasis.opendocument.text"},
             {"content.xml",
              OdfPart("document-content",
                      "<office:body><office:text><text:h>Minutes</text:h><text:p>Mr "
                      "<text:span>M\xC3\xBC</text:span>ller<text:s/>and<text:tab/>Miller"
                      "</text:p><text:p/><text:list><text:list-item><text:p>Item "
                      "Moller</text:p></text:list-item></text:list></office:text></office:body>")},
             {"styles.xml", OdfPart("document-styles",
                                    "<office:master-styles><text:p>Page Muller</text:p>"
                                    "</office:master-styles>")}},
            "Muller",
            {{"M\xC3\xBCller", 2, 4}, {"Miller", 2, 16}, {"Moller", 4, 6}, {"Muller", 5, 6}}},
        DocumentCase{
            "EpubInSpineOrder",
            "book.epub",
            Epub({{"one.xhtml", "<h1>One</h1><p>Mr <b>M\xC3\xBC</b>ller&nbsp;said</p>"},
                  {"Chapter%20two.xhtml", "<div><p>Miller</p><p>x<br/>Moller</p></div>"}},
                 "<itemref idref=\"c2\"/><itemref idref=\"c1\"/><itemref idref=\"nope\"/>"),
            "Muller",
            {{"Miller", 1, 1}, {"Moller", 3, 1}, {"M\xC3\xBCller", 5, 4}}}));

// How an archive written here is damaged afterwards, in its entry word/document.xml: its
// CRC, its expanded size stated one too small or one too large (in both of its headers, as
// an archive that was written so), or a byte of its compressed data.
enum class Damage { kNone, kCrc, kSizeSmaller, kSizeLarger, kData };

struct RefusalCase {
  const char* Label;
  const char* Name;
  std::vector<ZipEntry> Entries;  // none: the bytes below
  std::string Bytes;
  const char* Reason;
  Damage Damaged = Damage::kNone;
};

std::uint32_t Get32(const std::string& bytes, std::size_t at) {
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = value << 8 | static_cast<std::uint8_t>(bytes[at + i]);
  return value;
}

void Put32(std::string& bytes, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i));
}

// Damages the entry `name` of the archive `zip` (its local header and its central one).
void DamageEntry(std::string& zip, const std::string& name, Damage damage) {
  // The offsets of the CRC and the expanded size in a local header, and in a central one.
  const struct {
    const char* Signature;
    std::size_t Crc, Expanded, NameLength, Name;
  } headers[] = {{"PK\x03\x04", 14, 22, 26, 30}, {"PK\x01\x02", 16, 24, 28, 46}};
  for (const auto& header : headers) {
    for (std::size_t at = zip.find(header.Signature); at != std::string::npos;
         at = zip.find(header.Signature, at + 1)) {
      const std::size_t length = Get32(zip, at + header.NameLength) & 0xFFFF;
      if (zip.compare(at + header.Name, length, name) != 0) continue;
      if (damage == Damage::kCrc) Put32(zip, at + header.Crc, Get32(zip, at + header.Crc) ^ 1);
      if (damage == Damage::kSizeSmaller || damage == Damage::kSizeLarger) {
        const std::uint32_t size = Get32(zip, at + header.Expanded);
        Put32(zip, at + header.Expanded, damage == Damage::kSizeSmaller ? size - 1 : size + 1);
      }
      if (damage == Damage::kData && header.Name == 30) {
        const std::size_t extra = Get32(zip, at + 28) & 0xFFFF;
        zip[at + header.Name + length + extra + 10] ^= 0x55;
      }
    }
  }
}
void PrintTo(const RefusalCase& c, std::ostream* out) { *out << c.Label; }

class Refusals : public DocumentSearch, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(Refusals, AreToldAndNeverRead) {
  const RefusalCase& c = GetParam();
  if (c.Entries.empty()) {
    tree.WriteFile(c.Name, c.Bytes);
  } else {
    ASSERT_TRUE(WriteZip(tree.Path(c.Name), c.Entries));
  }
  if (!c.Bytes.empty() && !c.Entries.empty()) {
    // The archive cut short at that many bytes.
    const std::string whole = ReadWholeFile(tree.Path(c.Name));
    tree.WriteFile(c.Name, whole.substr(0, whole.size() * 2 / 3));
  }
  if (c.Damaged != Damage::kNone) {
    std::string whole = ReadWholeFile(tree.Path(c.Name));
    DamageEntry(whole, "word/document.xml", c.Damaged);
    tree.WriteFile(c.Name, whole);
  }
  EXPECT_EQ(Search(c.Name, "Muller"), std::vector<Found>{});
  EXPECT_EQ(sink.NotOpened, std::vector<std::string>{tree.Path(c.Name)});
  ASSERT_EQ(sink.Refused.size(), 1u);
  EXPECT_NE(sink.Refused[0].find(c.Reason), std::string::npos) << sink.Refused[0];
  EXPECT_EQ(TestSearchState().UnopenedFiles.Count.load(), 1u);
}

std::string Spaces(std::size_t count) { return std::string(count, ' '); }

INSTANTIATE_TEST_SUITE_P(
    Documents, Refusals,
    ::testing::Values(
        RefusalCase{
            "NotAnArchive", "a.docx", {}, "Muller Muller Muller\n", "not a readable archive"},
        RefusalCase{"CutShort", "a.docx", Word(WordParagraph({"Muller"}) + Spaces(20000)), "cut",
                    "not a readable archive"},
        RefusalCase{"NoDocumentPart",
                    "a.docx",
                    {{"word/other.xml", "<x>Muller</x>"}},
                    "",
                    "not a readable archive"},
        RefusalCase{"BadXml", "a.docx", Word("<w:p><w:t>Muller</w:p>"), "",
                    "not a readable archive"},
        RefusalCase{"EpubWithoutContainer",
                    "a.epub",
                    {{"mimetype", "application/epub+zip"}},
                    "",
                    "not a readable archive"},
        RefusalCase{
            "Encrypted",
            "a.docx",
            {{"word/document.xml", WordPart("document", WordParagraph({"Muller"})), "secret"}},
            "",
            "encrypted"},
        RefusalCase{"Bomb", "a.docx",
                    Word(WordParagraph({"Muller"}) + Spaces(3 << 20) + WordParagraph({"Muller"})),
                    "", "expands beyond"},
        RefusalCase{"EntryOutside",
                    "a.docx",
                    {{"word/document.xml", WordPart("document", WordParagraph({"Muller"}))},
                     {"../../evil.txt", "Muller"}},
                    "",
                    "outside the archive"},
        RefusalCase{"EntryFromTheRoot",
                    "a.odt",
                    {{"content.xml", OdfPart("document-content", "<text:p>Muller</text:p>")},
                     {"/etc/evil", "Muller"}},
                    "",
                    "outside the archive"},
        RefusalCase{"SpineOutside", "a.epub",
                    Epub({{"../../x.xhtml", "<p>Muller</p>"}}, "<itemref idref=\"c1\"/>"), "",
                    "outside the archive"},
        RefusalCase{"Entities",
                    "a.docx",
                    {{"word/document.xml",
                      "<?xml version=\"1.0\"?><!DOCTYPE d [<!ENTITY a \"Muller Muller\"><!ENTITY b "
                      "\"&a;&a;&a;&a;&a;&a;&a;&a;\">]><w:document " +
                          std::string(kW) + "><w:p><w:t>&b;&b;&b;</w:t></w:p></w:document>"}},
                    "",
                    "entities"},
        RefusalCase{"WrongCrc", "a.docx", Word(WordParagraph({"Muller"})), "",
                    "not a readable archive", Damage::kCrc},
        RefusalCase{"ExpandsPastItsStatedSize", "a.docx", Word(WordParagraph({"Muller"})), "",
                    "not a readable archive", Damage::kSizeSmaller},
        RefusalCase{"ExpandsShortOfItsStatedSize", "a.docx", Word(WordParagraph({"Muller"})), "",
                    "not a readable archive", Damage::kSizeLarger},
        RefusalCase{"DamagedData", "a.docx",
                    Word(WordParagraph({"Muller"}) + WordParagraph({"Mueller Miller"})), "",
                    "not a readable archive", Damage::kData}));

TEST_F(DocumentSearch, ARefusedDocumentLeavesTheOthersAndTheGedcomFilesSearched) {
  ASSERT_TRUE(WriteZip(tree.Path("a.docx"), Word(WordParagraph({"Muller"}))));
  tree.WriteFile("b.docx", "broken");
  tree.WriteFile("c.ged", "0 HEAD\n1 CHAR ANSEL\n1 NAME M\xE8uller\n");
  tree.WriteFile("d.txt", "Muller\n");
  const std::vector<Found> found = Search("*.*", "Muller");
  EXPECT_EQ(found.size(), 3u);
  EXPECT_EQ(sink.NotOpened, std::vector<std::string>{tree.Path("b.docx")});
  // An expression reads each document's text once and scans it for each term; the refused
  // one is refused for each.
  tree.WriteFile("e.txt", "Schmidt\n");
  struct {
    const char* Query;
    std::size_t Files, Refused;  // a term that reads the refused file again refuses it again
  } cases[] = {{"Muller A Muller", 3, 1},
               {"Muller N Smith", 3, 1},
               {"Schmidt O Muller", 4, 2},
               {"Schmidt X Muller", 4, 2},
               {"Smith A Muller", 0, 1}};
  for (const auto& c : cases) {
    Search("*.*", c.Query);
    EXPECT_EQ(sink.Lines.size(), c.Files) << c.Query;
    EXPECT_EQ(sink.Refused.size(), c.Refused) << c.Query;
  }
}

}  // namespace

// The paragraphs read from the XML of each kind of document: texts joined across runs, the
// references of XML replaced, CDATA read as text, line ends inside a paragraph read as
// blanks; and XML that is not well formed, that declares entities, or that names an entity
// no DTD declares where XML does not allow it, refused with its reason and no text.
#include "engine/xml_paragraphs.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <thread>

#include "engine/document_refusal.h"

namespace {

struct ParagraphCase {
  const char* Label;
  XmlDialect Dialect;
  std::string Xml;
  int Result;
  std::string Text;  // the lines appended, when read
};

void PrintTo(const ParagraphCase& c, std::ostream* out) { *out << c.Label; }

std::string Word(const std::string& body, const std::string& before = "") {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>" + before +
         "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\">"
         "<w:body>" +
         body + "</w:body></w:document>";
}

std::string Chapter(const std::string& body,
                    const std::string& declaration = "<?xml version=\"1.0\"?>") {
  return declaration +
         "<html xmlns=\"http://www.w3.org/1999/xhtml\"><head><title>T</title>"
         "<style>p{}</style></head><body>" +
         body + "</body></html>";
}

std::string Utf16Le(const std::string& ascii) {
  std::string out = "\xFF\xFE";
  for (char c : ascii) {
    out.push_back(c);
    out.push_back('\0');
  }
  return out;
}

class Paragraphs : public ::testing::TestWithParam<ParagraphCase> {};

TEST_P(Paragraphs, ReadAsTheXmlSays) {
  const ParagraphCase& c = GetParam();
  std::string xml = c.Xml;
  std::string text = "before\n";
  EXPECT_EQ(AppendXmlParagraphs(c.Dialect, xml.data(), xml.size(), &text), c.Result);
  EXPECT_EQ(text, "before\n" + (c.Result == kDocumentRead ? c.Text : std::string()));
}

constexpr XmlDialect kWord = XmlDialect::kWordprocessing;
constexpr XmlDialect kOdf = XmlDialect::kOpenDocument;
constexpr XmlDialect kXhtml = XmlDialect::kXhtml;
constexpr int kRead = kDocumentRead;

INSTANTIATE_TEST_SUITE_P(
    Xml, Paragraphs,
    ::testing::Values(
        ParagraphCase{"RunsJoinedTabsAndBreaks", kWord,
                      Word("<w:p><w:r><w:t>Mul</w:t></w:r><w:r><w:rPr><w:b/></w:rPr><w:t>ler</w:t>"
                           "<w:tab/><w:t>a</w:t><w:br/><w:t>b</w:t></w:r></w:p><w:p/>"
                           "<w:p><w:r><w:t xml:space=\"preserve\"> </w:t></w:r></w:p>"),
                      kRead, "Muller\ta b\n\n \n"},
        // A paragraph's tab stops are no tabs, and nothing in the properties of paragraphs,
        // runs, tables and sections is text; read alike whether the part holds references
        // (every element walked) or not.
        ParagraphCase{"PropertiesHoldNoText", kWord,
                      Word("<w:tbl><w:tblPr><w:tblW w:w=\"0\"/></w:tblPr><w:tblGrid><w:gridCol/>"
                           "</w:tblGrid><w:tr><w:trPr><w:cantSplit/></w:trPr><w:tc><w:tcPr>"
                           "<w:tcW w:w=\"1\"/></w:tcPr><w:p><w:pPr><w:tabs><w:tab w:val=\"left\""
                           " w:pos=\"720\"/><w:tab w:val=\"left\" w:pos=\"1440\"/></w:tabs><w:rPr>"
                           "<w:b/></w:rPr></w:pPr><w:r><w:rPr><w:rFonts w:ascii=\"C\"/></w:rPr>"
                           "<w:t>Mul</w:t></w:r><w:r><w:rPr><w:b/></w:rPr><w:t>ler</w:t><w:tab/>"
                           "<w:t>b</w:t></w:r></w:p></w:tc></w:tr></w:tbl><w:p><w:pPr><w:sectPr>"
                           "<w:pgSz w:w=\"1\"/></w:sectPr></w:pPr></w:p>"),
                      kRead, "Muller\tb\n\n"},
        ParagraphCase{"PropertiesHoldNoTextInAPartOfReferences", kWord,
                      Word("<w:p><w:pPr><w:tabs><w:tab w:val=\"left\" w:pos=\"720\"/></w:tabs>"
                           "<w:rPr><w:b/></w:rPr></w:pPr><w:r><w:rPr><w:rFonts w:ascii=\"&amp;\"/>"
                           "</w:rPr><w:t>a&amp;b</w:t><w:tab/><w:t>c</w:t></w:r></w:p>"),
                      kRead, "a&b\tc\n"},
        ParagraphCase{"PropertiesOfABadReference", kWord,
                      Word("<w:p><w:r><w:rPr><w:rFonts w:ascii=\"&nbsp;\"/></w:rPr><w:t>a</w:t>"
                           "</w:r></w:p>"),
                      kDocumentBroken, ""},
        // References are looked for where an ampersand stands: in the start tag of the
        // element before the next node, below properties not walked, to the part's end, in
        // a text moved by the parser, and everywhere in a part it converted.
        ParagraphCase{"BadReferenceInPropertiesAfterAGoodOne", kWord,
                      Word("<w:p><w:r><w:t>a&amp;b</w:t></w:r><w:r><w:rPr><w:x w:v=\"1\"/>"
                           "<w:y w:v=\"&nbsp;\"/></w:rPr><w:t>c</w:t></w:r></w:p>"),
                      kDocumentBroken, ""},
        ParagraphCase{"BadReferenceInATextBelowProperties", kWord,
                      Word("<w:p><w:r><w:rPr><w:t>&nbsp;</w:t></w:rPr><w:t>c</w:t></w:r></w:p>"),
                      kDocumentBroken, ""},
        ParagraphCase{"BadReferenceInTheLastElement", kWord,
                      Word("<w:p><w:r><w:t>a</w:t></w:r></w:p><w:sectPr><w:pgSz w:w=\"&x;\"/>"
                           "</w:sectPr>"),
                      kDocumentBroken, ""},
        ParagraphCase{"BadReferenceInAStartTagBeforeItsText", kWord,
                      Word("<w:p><w:r><w:t w:x=\"&x;\">a</w:t></w:r></w:p>"), kDocumentBroken,
                      ""},
        ParagraphCase{"BadReferenceAfterACarriageReturn", kWord,
                      Word("<w:p><w:r><w:t>a\r\nb&</w:t></w:r></w:p>"), kDocumentBroken, ""},
        ParagraphCase{"AmpersandInACommentOnly", kWord,
                      Word("<w:p><!-- & --><w:r><w:rPr><w:b/></w:rPr><w:t>a</w:t></w:r></w:p>"),
                      kRead, "a\n"},
        ParagraphCase{"BadReferenceInPropertiesOfAConvertedPart", kWord,
                      "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><w:document><w:p><w:pPr>"
                      "<w:x w:v=\"&x;\"/></w:pPr><w:t>M\xFCller</w:t></w:p></w:document>",
                      kDocumentBroken, ""},
        ParagraphCase{"LineEndsAmongEightLetters", kWord,
                      Word("<w:p><w:r><w:t>abcdefg\nhijklmnop\rqrstuvwxyz0123456\n</w:t></w:r>"
                           "</w:p>"),
                      kRead, "abcdefg hijklmnop qrstuvwxyz0123456 \n"},
        ParagraphCase{"TextOutsideRunsIsNotRead", kWord,
                      Word("<w:p><w:r><w:instrText>PAGE</w:instrText><w:t>x</w:t></w:r></w:p>"),
                      kRead, "x\n"},
        ParagraphCase{"UppercaseHexReference", kWord, Word("<w:p><w:t>&#X4d;</w:t></w:p>"),
                      kDocumentBroken, ""},
        ParagraphCase{"ReferencesOfCharacters", kWord,
                      Word("<w:p><w:r><w:t>&lt;a&amp;b&gt; &quot;&apos; &#233;&#x4D;&#x1F600;"
                           "</w:t></w:r></w:p>"),
                      kRead, "<a&b> \"' \xC3\xA9M\xF0\x9F\x98\x80\n"},
        ParagraphCase{"CdataIsText", kWord,
                      Word("<w:p><w:r><w:t><![CDATA[a<b &amp;]]></w:t></w:r></w:p>"), kRead,
                      "a<b &amp;\n"},
        ParagraphCase{"LineEndsInsideAParagraph", kWord,
                      Word("<w:p><w:r><w:t>a\r\nb\rc\nd&#13;e&#10;f</w:t></w:r></w:p>"), kRead,
                      "a b c d e f\n"},
        ParagraphCase{"LineEndsInTextAndCdataOfAPartWithoutReferences", kWord,
                      Word("<w:p><w:r><w:t>a\r\nb<![CDATA[c\rd\r\ne]]>f\n</w:t></w:r></w:p>"),
                      kRead, "a bc d ef \n"},
        // Text read after the last paragraph of a part ends a line of its own, unless it is
        // blank.
        ParagraphCase{"TextAfterTheLastParagraph", kWord,
                      Word("<w:p><w:r><w:t>a</w:t></w:r></w:p><w:r><w:t>b</w:t><w:tab/></w:r>"),
                      kRead, "a\nb\t\n"},
        ParagraphCase{"BlankAfterTheLastParagraph", kWord,
                      Word("<w:p><w:r><w:t>a</w:t></w:r></w:p><w:r><w:t> </w:t><w:tab/></w:r>"),
                      kRead, "a\n"},
        ParagraphCase{"CommentsAndInstructionsAreNotText", kWord,
                      Word("<w:p><w:r><w:t>a<!-- b --><?x c?>d</w:t></w:r></w:p>"), kRead, "ad\n"},
        ParagraphCase{"UndeclaredEntityWithoutDtd", kWord,
                      Word("<w:p><w:r><w:t>a&nbsp;b</w:t></w:r></w:p>"), kDocumentBroken, ""},
        ParagraphCase{"UndeclaredEntityInAnAttribute", kWord,
                      Word("<w:p><w:r><w:t w:x=\"&nbsp;\">a</w:t></w:r></w:p>"), kDocumentBroken,
                      ""},
        ParagraphCase{"UndeclaredEntityOfAnExternalDtd", kWord,
                      "<!DOCTYPE w:document SYSTEM \"w.dtd\"><w:document><w:p><w:t>a&nbsp;b"
                      "</w:t></w:p></w:document>",
                      kRead, "a b\n"},
        ParagraphCase{"EntityDeclared", kWord,
                      Word("<w:p><w:r><w:t>&a;</w:t></w:r></w:p>",
                           "<!DOCTYPE w:document [<!ENTITY a \"Muller\">]>"),
                      kDocumentEntities, ""},
        ParagraphCase{"ParameterEntityDeclared", kWord,
                      Word("<w:p/>", "<!DOCTYPE w:document [<!ENTITY % a \"x\">]>"),
                      kDocumentEntities, ""},
        ParagraphCase{"DocumentTypeWithoutEntities", kWord,
                      Word("<w:p><w:r><w:t>a</w:t></w:r></w:p>",
                           "<!DOCTYPE w:document [<!ELEMENT w:document ANY>]>"),
                      kRead, "a\n"},
        ParagraphCase{"CharacterOutsideXml", kWord, Word("<w:p><w:t>&#1;</w:t></w:p>"),
                      kDocumentBroken, ""},
        ParagraphCase{"CharacterNumberTooLarge", kWord, Word("<w:p><w:t>&#1114112;</w:t></w:p>"),
                      kDocumentBroken, ""},
        ParagraphCase{"Surrogate", kWord, Word("<w:p><w:t>&#xD800;</w:t></w:p>"), kDocumentBroken,
                      ""},
        ParagraphCase{"ReferenceWithoutDigits", kWord, Word("<w:p><w:t>&#x;</w:t></w:p>"),
                      kDocumentBroken, ""},
        ParagraphCase{"AmpersandAlone", kWord, Word("<w:p><w:t>a & b</w:t></w:p>"), kDocumentBroken,
                      ""},
        ParagraphCase{"NotUtf8", kWord, Word("<w:p><w:t>M\xFCller</w:t></w:p>"), kDocumentBroken,
                      ""},
        ParagraphCase{"ControlCharacter", kWord, Word("<w:p><w:t>a\x01</w:t></w:p>"),
                      kDocumentBroken, ""},
        ParagraphCase{"Latin1Declared", kWord,
                      "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><w:document><w:p><w:t>"
                      "M\xFCller</w:t></w:p></w:document>",
                      kRead, "M\xC3\xBCller\n"},
        ParagraphCase{"Utf16", kWord,
                      Utf16Le("<w:document><w:p><w:t>Muller</w:t></w:p></w:document>"), kRead,
                      "Muller\n"},
        ParagraphCase{"TagsMismatched", kWord, Word("<w:p><w:t>Muller</w:p>"), kDocumentBroken, ""},
        ParagraphCase{"CutShort", kWord, "<w:document><w:p><w:t>Muller", kDocumentBroken, ""},
        ParagraphCase{"TwoRoots", kWord, "<w:document/><w:document/>", kDocumentBroken, ""},
        ParagraphCase{"Empty", kWord, "", kDocumentBroken, ""},
        ParagraphCase{"OpenDocument", kOdf,
                      "<office:document-content xmlns:office=\"o\" xmlns:text=\"t\"><office:body>"
                      "<text:p>a<text:span>b</text:span><text:s/>c<text:tab/>d<text:line-break/>e"
                      "</text:p><text:h>H</text:h><text:p/><text:list><text:list-item><text:p>"
                      "i</text:p></text:list-item></text:list></office:body>"
                      "</office:document-content>",
                      kRead, "ab c\td e\nH\n\ni\n"},
        ParagraphCase{"XhtmlBlocks", kXhtml,
                      Chapter("<h1>Title</h1><p>a <b>b</b><br/>c</p><div><p> </p>d</div>"
                              "<ul><li>e</li></ul>"),
                      kRead, "Title\na b\nc\nd\ne\n"},
        ParagraphCase{"XhtmlEntitiesOfItsDtd", kXhtml, Chapter("<p>a&nbsp;b&eacute;</p>"), kRead,
                      "a b \n"},
        ParagraphCase{"XhtmlStandalone", kXhtml,
                      Chapter("<p>a&nbsp;b</p>", "<?xml version=\"1.0\" standalone=\"yes\"?>"),
                      kDocumentBroken, ""},
        ParagraphCase{"XhtmlDocumentType", kXhtml,
                      "<!DOCTYPE html><html><body><p>a&nbsp;b</p>tail</body></html>", kRead,
                      "a b\ntail\n"}));

// An element whose attribute holds a reference XML does not allow is never handed on, and
// the part is refused.
TEST(XmlElements, NoneVisitedWithAReferenceNotAllowed) {
  std::string xml =
      "<package><manifest><item id=\"a\" href=\"x&;y\"/><item id=\"b\"/></manifest>"
      "</package>";
  int visited = 0;
  EXPECT_EQ(VisitXmlElements(
                xml.data(), xml.size(), {"item", {"id", "href", nullptr}},
                [](void* count, const std::string*) { ++*static_cast<int*>(count); }, &visited),
            kDocumentBroken);
  EXPECT_EQ(visited, 0);
}

// The trees of parts read one after another, and on two threads at once, are built in the
// same memory given back and taken again: each part reads as it does alone.
TEST(XmlParagraphs, PartsReadAtOnceOnTwoThreads) {
  std::string body;
  for (int i = 0; i < 400; ++i)
    body +=
        "<w:p><w:r><w:rPr><w:b/></w:rPr><w:t>Muller " + std::to_string(i) + "</w:t></w:r></w:p>";
  const std::string part = Word(body);
  std::string alone;
  std::string xml = part;
  ASSERT_EQ(AppendXmlParagraphs(kWord, xml.data(), xml.size(), &alone), kRead);
  const auto readAll = [&](std::string* text) {
    for (int i = 0; i < 20; ++i) {
      std::string copy = part;
      if (AppendXmlParagraphs(kWord, copy.data(), copy.size(), text) != kRead) return;
    }
  };
  std::string first, second;
  std::thread other(readAll, &second);
  readAll(&first);
  other.join();
  std::string expected;
  for (int i = 0; i < 20; ++i) expected += alone;
  EXPECT_EQ(first, expected);
  EXPECT_EQ(second, expected);
}

}  // namespace

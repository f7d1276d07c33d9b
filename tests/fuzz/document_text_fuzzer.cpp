// The readers of documents over any bytes: the first byte chooses a dialect of XML read
// directly (a word processor's, OpenDocument's, XHTML), or a kind of archive (.docx, .odt,
// .epub) the rest is read as. Whatever the bytes, the answer is a known one, a refused
// document leaves no text, and the text read is whole lines of valid UTF-8 without a
// carriage return.
#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/document_refusal.h"
#include "engine/document_text.h"
#include "engine/record_text.h"
#include "engine/xml_paragraphs.h"
#include "utf8_lines.h"

namespace {

void CheckLines(const std::string& text) {
  CheckUtf8Lines(text);
  Check(text.find('\r') == std::string::npos);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const int mode = data[0] % 6;
  const auto* rest = data + 1;
  const std::size_t count = size - 1;
  if (mode < 3) {
    const XmlDialect dialects[] = {XmlDialect::kWordprocessing, XmlDialect::kOpenDocument,
                                   XmlDialect::kXhtml};
    std::string text = "kept\n";
    std::string xml(reinterpret_cast<const char*>(rest), count);  // parsed in place
    const int read = AppendXmlParagraphs(dialects[mode], xml.data(), xml.size(), &text);
    Check(read == kDocumentRead || read == kDocumentBroken || read == kDocumentEntities ||
          read == kDocumentNoMemory);
    Check(text.compare(0, 5, "kept\n") == 0);
    if (read != kDocumentRead) Check(text == "kept\n");
    CheckLines(text);
    return 0;
  }
  const DocumentKind kinds[] = {DocumentKind::kWord, DocumentKind::kOpenDocument,
                                DocumentKind::kEpub};
  RecordText text;
  const int read = ReadDocumentText(kinds[mode - 3], rest, count, &text);
  Check(read <= kDocumentRead && read >= kDocumentNoMemory);
  if (read != kDocumentRead) Check(text.Text.empty());
  Check(text.Anchors.empty() && text.Records.empty());
  CheckLines(text.Text);
  return 0;
}

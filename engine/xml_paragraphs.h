// The paragraphs of an XML part of a document, read with pugixml: the runs of text of each
// paragraph joined as they stand (a word that a word processor cut into runs or spans reads
// as one word), each paragraph a line of the text. A part that declares entities is refused
// before any of them can expand. One thread at a time (the search worker; tests and fuzzers
// any one thread).
#pragma once

#include <cstddef>
#include <string>

enum class XmlDialect {
  kWordprocessing,  // .docx: w:p paragraphs of w:t texts, w:tab, w:br
  kOpenDocument,    // .odt: text:p and text:h, text:s, text:tab, text:line-break
  kXhtml,           // .epub chapters: the block elements of the body, br
};

// Appends the paragraphs of `xml[0..count)` to `text`, each ended by a line feed (a word
// processor's empty paragraphs too; XHTML's blocks only when they hold text). A line feed or
// carriage return inside a paragraph reads as a blank. kDocumentRead, kDocumentBroken for
// XML that is not well formed, kDocumentEntities (engine/document_refusal.h).
// The part is parsed in place: its bytes are changed.
int AppendXmlParagraphs(XmlDialect dialect, char* xml, std::size_t count, std::string* text);

// The elements of `xml[0..count)` whose local name is query.Element, in document order, each
// passed to `visit` with the values of up to three of its attributes (by local name; empty
// when absent): what an e-book's container and package files say. kDocumentRead or a
// refusal, as above; the bytes are parsed in place.
struct XmlElementQuery {
  const char* Element;
  const char* Attributes[3];
};
int VisitXmlElements(char* xml, std::size_t count, const XmlElementQuery& query,
                     void (*visit)(void* context, const std::string* values), void* context);

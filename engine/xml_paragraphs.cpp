#include "engine/xml_paragraphs.h"

#include <expat.h>

#include <cstring>

#include "engine/document_refusal.h"

namespace {

// Names reach the handlers as written, "w:p": the parser does no namespace processing, which
// took a third of its time, and a name is known by its local part. The prefixes are the
// formats' own (w, text); no element the readers look at has another meaning under another
// prefix in these files.
const char* LocalName(const char* name) {
  const char* local = name;
  for (const char* c = name; *c != '\0'; ++c) {
    if (*c == ':') local = c + 1;
  }
  return local;
}

bool Is(const char* local, const char* want) { return std::strcmp(local, want) == 0; }

// A block of XHTML: it begins and ends a paragraph.
bool IsXhtmlBlock(const char* local) {
  static const char* const kBlocks[] = {
      "p",          "div",     "h1",      "h2",         "h3",     "h4",     "h5",    "h6",
      "li",         "dt",      "dd",      "blockquote", "pre",    "td",     "th",    "caption",
      "figcaption", "address", "section", "article",    "header", "footer", "aside", "tr",
      "title",      "body",    "ul",      "ol",         "table",  "hr",     "nav",   "figure"};
  for (const char* block : kBlocks) {
    if (Is(local, block)) return true;
  }
  return false;
}

struct Reading {
  XML_Parser Parser;
  XmlDialect Dialect;
  std::string* Text;
  std::string Paragraph;
  int TextDepth = 0;     // inside a w:t, or a text:p / text:h
  int SkippedDepth = 0;  // inside XHTML's head, script or style
  bool Entities = false;
};

void EndParagraph(Reading& r, bool evenEmpty) {
  if (!evenEmpty) {
    bool blank = true;
    for (char c : r.Paragraph) blank = blank && (c == ' ' || c == '\t');
    if (blank) {
      r.Paragraph.clear();
      return;
    }
  }
  r.Text->append(r.Paragraph);
  r.Text->push_back('\n');
  r.Paragraph.clear();
}

void XMLCALL StartElement(void* data, const XML_Char* name, const XML_Char** attributes) {
  Reading& r = *static_cast<Reading*>(data);
  const char* local = LocalName(name);
  switch (r.Dialect) {
    case XmlDialect::kWordprocessing:
      if (Is(local, "t")) {
        ++r.TextDepth;
      } else if (Is(local, "tab")) {
        r.Paragraph.push_back('\t');
      } else if (Is(local, "br") || Is(local, "cr")) {
        r.Paragraph.push_back(' ');
      }
      break;
    case XmlDialect::kOpenDocument:
      if (Is(local, "p") || Is(local, "h")) {
        ++r.TextDepth;
      } else if (r.TextDepth > 0 && (Is(local, "s") || Is(local, "line-break"))) {
        r.Paragraph.push_back(' ');
      } else if (r.TextDepth > 0 && Is(local, "tab")) {
        r.Paragraph.push_back('\t');
      }
      break;
    case XmlDialect::kXhtml:
      if (Is(local, "head") || Is(local, "script") || Is(local, "style")) {
        ++r.SkippedDepth;
      } else if (Is(local, "br")) {
        EndParagraph(r, false);
      } else if (IsXhtmlBlock(local)) {
        EndParagraph(r, false);
      }
      break;
  }
  (void)attributes;
}

void XMLCALL EndElement(void* data, const XML_Char* name) {
  Reading& r = *static_cast<Reading*>(data);
  const char* local = LocalName(name);
  switch (r.Dialect) {
    case XmlDialect::kWordprocessing:
      if (Is(local, "t") && r.TextDepth > 0) {
        --r.TextDepth;
      } else if (Is(local, "p")) {
        EndParagraph(r, true);
      }
      break;
    case XmlDialect::kOpenDocument:
      if ((Is(local, "p") || Is(local, "h")) && r.TextDepth > 0) {
        --r.TextDepth;
        EndParagraph(r, true);
      }
      break;
    case XmlDialect::kXhtml:
      if (Is(local, "head") || Is(local, "script") || Is(local, "style")) {
        if (r.SkippedDepth > 0) --r.SkippedDepth;
      } else if (IsXhtmlBlock(local)) {
        EndParagraph(r, false);
      }
      break;
  }
}

void XMLCALL CharacterData(void* data, const XML_Char* characters, int length) {
  Reading& r = *static_cast<Reading*>(data);
  const bool wanted = r.Dialect == XmlDialect::kXhtml ? r.SkippedDepth == 0 : r.TextDepth > 0;
  if (!wanted) return;
  const std::size_t start = r.Paragraph.size();
  r.Paragraph.append(characters, static_cast<std::size_t>(length));
  for (std::size_t i = start; i < r.Paragraph.size(); ++i) {
    if (r.Paragraph[i] == '\n' || r.Paragraph[i] == '\r') r.Paragraph[i] = ' ';
  }
}

// An entity is refused where it is declared, before it can be used.
void XMLCALL EntityDeclaration(void* data, const XML_Char*, int, const XML_Char*, int,
                               const XML_Char*, const XML_Char*, const XML_Char*, const XML_Char*) {
  Reading& r = *static_cast<Reading*>(data);
  r.Entities = true;
  XML_StopParser(r.Parser, XML_FALSE);
}

// An entity of an external DTD that is not read (XHTML's &nbsp;) reads as a blank.
void XMLCALL SkippedEntity(void* data, const XML_Char*, int) {
  Reading& r = *static_cast<Reading*>(data);
  if (r.Dialect == XmlDialect::kXhtml ? r.SkippedDepth == 0 : r.TextDepth > 0)
    r.Paragraph.push_back(' ');
}

// Parses in pieces, since expat takes an int count.
int Parse(XML_Parser parser, const char* xml, std::size_t count, const bool* entities) {
  constexpr std::size_t kPiece = 1 << 20;
  std::size_t done = 0;
  do {
    const std::size_t piece = count - done < kPiece ? count - done : kPiece;
    const bool last = done + piece == count;
    const XML_Status status = XML_Parse(parser, xml + done, static_cast<int>(piece), last);
    if (*entities) return kDocumentEntities;
    if (status != XML_STATUS_OK) return kDocumentBroken;
    done += piece;
  } while (done < count);
  return kDocumentRead;
}

}  // namespace

int AppendXmlParagraphs(XmlDialect dialect, const char* xml, std::size_t count, std::string* text) {
  XML_Parser parser = XML_ParserCreate(nullptr);
  if (parser == nullptr) return kDocumentNoMemory;
  Reading reading;
  reading.Parser = parser;
  reading.Dialect = dialect;
  reading.Text = text;
  XML_SetUserData(parser, &reading);
  XML_SetElementHandler(parser, StartElement, EndElement);
  XML_SetCharacterDataHandler(parser, CharacterData);
  XML_SetEntityDeclHandler(parser, EntityDeclaration);
  XML_SetSkippedEntityHandler(parser, SkippedEntity);
  XML_SetParamEntityParsing(parser, XML_PARAM_ENTITY_PARSING_NEVER);
  // As if XHTML's DTD were named (and not read): its entities, &nbsp; and the like, are
  // skipped rather than errors in a chapter that does not name it.
  if (dialect == XmlDialect::kXhtml) XML_UseForeignDTD(parser, XML_TRUE);
  const std::size_t before = text->size();
  int result = Parse(parser, xml, count, &reading.Entities);
  XML_ParserFree(parser);
  if (result == kDocumentRead && !reading.Paragraph.empty()) EndParagraph(reading, false);
  if (result != kDocumentRead) text->resize(before);
  return result;
}

namespace {

struct Visiting {
  XML_Parser Parser;
  const XmlElementQuery* Query;
  void (*Visit)(void*, const std::string*);
  void* Context;
  bool Entities = false;
};

void XMLCALL VisitStart(void* data, const XML_Char* name, const XML_Char** attributes) {
  Visiting& v = *static_cast<Visiting*>(data);
  if (!Is(LocalName(name), v.Query->Element)) return;
  std::string values[3];
  for (int i = 0; attributes[i] != nullptr; i += 2) {
    for (int a = 0; a < 3; ++a) {
      if (v.Query->Attributes[a] != nullptr && Is(LocalName(attributes[i]), v.Query->Attributes[a]))
        values[a] = attributes[i + 1];
    }
  }
  v.Visit(v.Context, values);
}

void XMLCALL VisitEntityDeclaration(void* data, const XML_Char*, int, const XML_Char*, int,
                                    const XML_Char*, const XML_Char*, const XML_Char*,
                                    const XML_Char*) {
  Visiting& v = *static_cast<Visiting*>(data);
  v.Entities = true;
  XML_StopParser(v.Parser, XML_FALSE);
}

}  // namespace

int VisitXmlElements(const char* xml, std::size_t count, const XmlElementQuery& query,
                     void (*visit)(void* context, const std::string* values), void* context) {
  XML_Parser parser = XML_ParserCreate(nullptr);
  if (parser == nullptr) return kDocumentNoMemory;
  Visiting visiting{parser, &query, visit, context};
  XML_SetUserData(parser, &visiting);
  XML_SetStartElementHandler(parser, VisitStart);
  XML_SetEntityDeclHandler(parser, VisitEntityDeclaration);
  XML_SetParamEntityParsing(parser, XML_PARAM_ENTITY_PARSING_NEVER);
  const int result = Parse(parser, xml, count, &visiting.Entities);
  XML_ParserFree(parser);
  return result;
}

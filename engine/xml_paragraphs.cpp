#include "engine/xml_paragraphs.h"

#include <cstdint>
#include <cstring>
#include <pugixml.hpp>
#include <vector>

#include "engine/document_refusal.h"
#include "engine/record_text.h"
#include "engine/text_decoding.h"
#include "engine/xml_memory.h"

namespace {

// The part is parsed in place into a tree, then walked in document order. The parser keeps
// CDATA sections (their text reads as text), blanks-only text (a run of one blank is a
// word's end), the document type (to see entity declarations) and the XML declaration
// (standalone), joins a carriage return and line feed into a line feed, and turns the
// blanks of attribute values into spaces, as XML does. References are left as written and
// replaced here, so an entity no DTD read declares is told from an escaped ampersand.
constexpr unsigned kParseOptions = pugi::parse_cdata | pugi::parse_eol | pugi::parse_ws_pcdata |
                                   pugi::parse_wconv_attribute | pugi::parse_doctype |
                                   pugi::parse_declaration;

// Names are read as written, "w:p", without namespace processing: a name is known by its
// local part. The prefixes are the formats' own (w, text); no element the readers look at
// has another meaning under another prefix in these files.
struct LocalName {
  const char* Name;
  std::size_t Length;
  bool Is(const char* want) const {
    return std::strlen(want) == Length && std::memcmp(Name, want, Length) == 0;
  }
};

LocalName LocalPart(const char* name) {
  const char* local = name;
  const char* c = name;
  for (; *c != '\0'; ++c) {
    if (*c == ':') local = c + 1;
  }
  return {local, static_cast<std::size_t>(c - local)};
}

bool Is(const char* name, const char* want) { return LocalPart(name).Is(want); }

bool IsXmlCharacter(char32_t c) {
  return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) ||
         (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
}

bool IsNameByte(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
         c == ':' || c == '-' || c == '.' || c >= 0x80;
}

// How the references of a part's text read: an entity no DTD read declares reads as
// skipped (a blank in text, nothing in an attribute) where a DTD is named but not read
// (XHTML's, or a document type's external one) and the document is not standalone;
// elsewhere it is an error of the XML.
struct References {
  bool SkipUndeclared = false;
  // The part's bytes, and its first ampersand (nullptr: none, and so no reference to look
  // for in its texts and attributes).
  const char* Begin = nullptr;
  const char* End = nullptr;
  const char* FirstAmpersand = nullptr;
};

// Appends `raw` (text or an attribute's value as written) to `out` (nullptr: only checks
// it) with its references replaced: the five of XML by their characters, a character's
// number by it in UTF-8, an undeclared entity by `skipped` (0: nothing) where it may be
// skipped. false where XML does not allow the reference.
bool AppendDecoded(const char* raw, const References& references, char skipped, std::string* out) {
  for (;;) {
    const char* amp = raw;
    while (*amp != '\0' && *amp != '&') ++amp;
    if (*amp == '\0') {
      if (out != nullptr) out->append(raw, static_cast<std::size_t>(amp - raw));
      return true;
    }
    if (out != nullptr) out->append(raw, static_cast<std::size_t>(amp - raw));
    const char* p = amp + 1;
    if (*p == '#') {
      ++p;
      const bool hex = *p == 'x';
      if (hex) ++p;
      char32_t value = 0;
      const char* digits = p;
      for (;; ++p) {
        int digit;
        if (*p >= '0' && *p <= '9') {
          digit = *p - '0';
        } else if (hex && *p >= 'a' && *p <= 'f') {
          digit = *p - 'a' + 10;
        } else if (hex && *p >= 'A' && *p <= 'F') {
          digit = *p - 'A' + 10;
        } else {
          break;
        }
        value = value * (hex ? 16 : 10) + static_cast<char32_t>(digit);
        if (value > 0x10FFFF) value = 0x110000;  // stays out of range, never wraps
      }
      if (p == digits || *p != ';' || !IsXmlCharacter(value)) return false;
      if (out != nullptr) AppendUtf8(*out, value);
      raw = p + 1;
      continue;
    }
    const char* name = p;
    if (*p >= '0' && *p <= '9') return false;
    while (IsNameByte(static_cast<unsigned char>(*p))) ++p;
    if (p == name || *p != ';') return false;
    const std::size_t length = static_cast<std::size_t>(p - name);
    const auto named = [&](const char* want) {
      return std::strlen(want) == length && std::memcmp(name, want, length) == 0;
    };
    char c = 0;
    if (named("lt")) {
      c = '<';
    } else if (named("gt")) {
      c = '>';
    } else if (named("amp")) {
      c = '&';
    } else if (named("apos")) {
      c = '\'';
    } else if (named("quot")) {
      c = '"';
    } else if (!references.SkipUndeclared) {
      return false;
    } else {
      c = skipped;
    }
    if (out != nullptr && c != 0) out->push_back(c);
    raw = p + 1;
  }
}

// Whether text[0..count) is UTF-8 of characters XML allows but the carriage return, which
// the readers never leave in a line.
bool IsXmlText(const char* text, std::size_t count) {
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(text);
  std::size_t i = 0;
  while (i < count) {
    if (count - i >= 8) {
      // Eight letters at a time while they are ASCII at or above the space.
      std::uint64_t word;
      std::memcpy(&word, bytes + i, 8);
      constexpr std::uint64_t kOnes = 0x0101010101010101u, kHigh = 0x8080808080808080u;
      // A byte below 0x80 with its high bit set stays at or above it after 0x20 is taken
      // away exactly when it is at or above the space; no borrow crosses into the next.
      if ((word & kHigh) == 0 && (((word | kHigh) - kOnes * 0x20) & kHigh) == kHigh) {
        i += 8;
        continue;
      }
    }
    const std::uint8_t b = bytes[i];
    if (b >= 0x20 && b < 0x80) {
      ++i;
      continue;
    }
    if (b < 0x80) {
      if (b != '\t' && b != '\n') return false;
      ++i;
      continue;
    }
    char32_t c;
    const std::size_t left = count - i;
    const int length = Utf8Sequence(bytes + i, left > 4 ? 4 : static_cast<std::uint32_t>(left), &c);
    if (length <= 0 || !IsXmlCharacter(c)) return false;
    i += static_cast<std::size_t>(length);
  }
  return true;
}

// The parsed part: its tree, or the refusal of its XML. How its references read follows
// from its declaration and document type.
int Load(pugi::xml_document& document, char* xml, std::size_t count, bool foreignDtd,
         References* references) {
  // Looked for again in the bytes as parsed: the parser moves a text that held a carriage
  // return.
  const bool anyAmpersand = std::memchr(xml, '&', count) != nullptr;
  const pugi::xml_parse_result parsed =
      document.load_buffer_inplace(xml, count, kParseOptions, pugi::encoding_auto);
  references->Begin = xml;
  references->End = xml + count;
  references->FirstAmpersand =
      anyAmpersand ? static_cast<const char*>(std::memchr(xml, '&', count)) : nullptr;
  bool externalDtd = foreignDtd, standalone = false;
  int elements = 0;
  for (pugi::xml_node node = document.first_child(); node; node = node.next_sibling()) {
    if (node.type() == pugi::node_element) {
      ++elements;
    } else if (node.type() == pugi::node_declaration) {
      standalone = std::strcmp(node.attribute("standalone").value(), "yes") == 0;
    } else if (node.type() == pugi::node_doctype) {
      if (elements > 0) return kDocumentBroken;
      // An entity is refused where it is declared, before it can be used.
      const char* type = node.value();
      if (std::strstr(type, "<!ENTITY") != nullptr) return kDocumentEntities;
      const char* subset = std::strchr(type, '[');
      const std::size_t head =
          subset != nullptr ? static_cast<std::size_t>(subset - type) : std::strlen(type);
      const std::string declared(type, head);
      if (declared.find("SYSTEM") != std::string::npos ||
          declared.find("PUBLIC") != std::string::npos)
        externalDtd = true;
    }
  }
  if (parsed.status == pugi::status_out_of_memory) return kDocumentNoMemory;
  if (parsed.status != pugi::status_ok || elements != 1) return kDocumentBroken;
  references->SkipUndeclared = externalDtd && !standalone;
  return kDocumentRead;
}

// Whether the references of the attributes of `element` are allowed.
bool AttributesRead(const pugi::xml_node& element, const References& references) {
  for (pugi::xml_attribute a = element.first_attribute(); a; a = a.next_attribute()) {
    const char* value = a.value();
    const char* c = value;
    while (*c != '\0' && *c != '&') ++c;
    if (*c == '&' && !AppendDecoded(value, references, 0, nullptr)) return false;
  }
  return true;
}

// Whether the references of the attributes of `element` and of every element and text
// below it (but CDATA sections) are allowed.
bool SubtreeRead(const pugi::xml_node& element, const References& references) {
  if (!AttributesRead(element, references)) return false;
  for (pugi::xml_node node = element.first_child(); node; node = node.next_sibling()) {
    if (node.type() == pugi::node_element) {
      if (!SubtreeRead(node, references)) return false;
    } else if (node.type() == pugi::node_pcdata &&
               !AppendDecoded(node.value(), references, 0, nullptr)) {
      return false;
    }
  }
  return true;
}

// The ampersands of a part, met in document order. The parser leaves the names and texts of
// a part in its own bytes, in the order of the document, so every ampersand between a node
// and the next node walked is in the first one's start tag or content (or in a comment or
// instruction between them, which costs a needless look): the attributes of an element,
// and the elements and texts below it that were not walked, need looking at only where one
// stands there, and a text only where one stands in it. A part the parser had to convert
// from another encoding is read from a copy: there every element and text is looked at.
class Ampersands {
 public:
  Ampersands(const References& references, const char* root)
      : next_(references.FirstAmpersand), begin_(references.Begin), end_(references.End) {
    if (next_ == nullptr) return;
    if (root < begin_ || root >= end_) {
      everywhere_ = true;
    } else {
      Before(root);
    }
  }

  // Whether an ampersand stands between the last node met and `position`, where the next
  // node is (or the part's end); then the next one is looked for from there.
  bool Before(const char* position) {
    if (everywhere_) return true;
    if (next_ == nullptr) return false;
    if (position == end_) {
      next_ = nullptr;
      return true;
    }
    if (position < begin_ || position > end_) {
      everywhere_ = true;  // a node the parser holds elsewhere: no telling where it stands
      return true;
    }
    if (next_ >= position) return false;
    next_ = static_cast<const char*>(
        std::memchr(position, '&', static_cast<std::size_t>(end_ - position)));
    return true;
  }
  // Whether one stands in text[0..length), a node met.
  bool Within(const char* text, std::size_t length) const {
    return everywhere_ || (next_ != nullptr && next_ < text + length);
  }

 private:
  const char* next_;
  const char* begin_;
  const char* end_;
  bool everywhere_ = false;
};

// What a visitor's Start says of an element whose elements and texts it has no use for:
// they are not walked, only looked at for references where an ampersand stands in them.
constexpr std::uint8_t kNothingBelow = 0x80;

// Walks the elements and texts of the root element in document order: visitor.Start for
// each element (with its name), visitor.End with what Start said of it when it ends (right
// after Start for an empty one, or one whose content is not walked), visitor.Characters for
// each text (with its length, and whether its references are to be replaced: false for a
// CDATA section or a text without an ampersand; false from it: the text is not allowed).
// false when a text or an attribute was not. The attributes of an element are looked at
// before its Start where the visitor says kAttributesBeforeStart, else when the next node
// is met.
// Every step is a call into the parser, so each node costs as few as it can: below the root
// the parser keeps only elements, which have names, and texts and CDATA sections, which have
// none, so a node's type is asked only where a text holds an ampersand; the elements open
// are kept here rather than asked for by parent. A part without an ampersand (kLooked
// false) is walked without looking for any.
template <bool kLooked, typename Visitor>
bool WalkFrom(const pugi::xml_node& root, const References& references, Visitor& visitor) {
  Ampersands ampersands(references, root.name());
  // The element met last, whose start tag (and content, when not walked) is looked at once
  // the next node is met.
  pugi::xml_node last = root;
  bool lastMet = false, lastWalkedBelow = true;
  const auto lastRead = [&](const char* next) {
    if (!kLooked || !ampersands.Before(next) || !lastMet) return true;
    return lastWalkedBelow ? AttributesRead(last, references) : SubtreeRead(last, references);
  };
  struct Open {
    pugi::xml_node Element;
    std::uint8_t Said;  // what visitor.Start said of it, for its End
  };
  std::vector<Open> open;
  pugi::xml_node node = root;
  for (;;) {
    const char* name = node.name();
    if (*name != '\0') {
      if (!lastRead(name)) return false;
      if (kLooked && Visitor::kAttributesBeforeStart && !AttributesRead(node, references))
        return false;
      const std::uint8_t said = visitor.Start(node, name);
      last = node;
      lastMet = true;
      lastWalkedBelow = (said & kNothingBelow) == 0;
      if (lastWalkedBelow) {
        if (const pugi::xml_node child = node.first_child()) {
          open.push_back({node, said});
          node = child;
          continue;
        }
      }
      visitor.End(said);
    } else {
      const char* value = node.value();
      if (!lastRead(value)) return false;
      lastMet = false;
      const std::size_t length = std::strlen(value);
      const bool decoded =
          kLooked && ampersands.Within(value, length) && node.type() == pugi::node_pcdata;
      if (!visitor.Characters(value, length, decoded)) return false;
    }
    // On to the next sibling, or to that of the nearest element open that has one.
    for (;;) {
      if (open.empty()) return lastRead(references.End);  // the root element's end
      if (const pugi::xml_node next = node.next_sibling()) {
        node = next;
        break;
      }
      node = open.back().Element;
      visitor.End(open.back().Said);
      open.pop_back();
    }
  }
}

template <typename Visitor>
bool Walk(const pugi::xml_document& document, const References& references, Visitor& visitor) {
  pugi::xml_node root = document.first_child();
  while (root && root.type() != pugi::node_element) root = root.next_sibling();
  if (!root) return true;
  return references.FirstAmpersand != nullptr ? WalkFrom<true>(root, references, visitor)
                                              : WalkFrom<false>(root, references, visitor);
}

// The elements the paragraphs are read by, by their local names in each dialect.
enum class Element : std::uint8_t {
  kOther,
  kText,       // w:t; text:p and text:h
  kParagraph,  // w:p
  kTab,        // w:tab; text:tab
  kBlank,      // w:br and w:cr; text:s and text:line-break
  kBreak,      // XHTML's br
  kSkipped,    // XHTML's head, script and style
  kBlock,      // a block of XHTML: it begins and ends a paragraph
  kProperties,  // w:pPr, w:rPr and the other properties of Word's paragraphs, runs, tables
                // and sections: they hold no text (a w:tab in them is a tab stop)
};

// The elements of Word's parts, by their local names, from the most frequent.
[[gnu::always_inline]] inline Element ClassifyWord(const LocalName& local) {
  const char* n = local.Name;
  switch (local.Length) {
    case 1:
      if (n[0] == 't') return Element::kText;
      if (n[0] == 'p') return Element::kParagraph;
      break;
    case 2:
      if (n[1] == 'r' && (n[0] == 'b' || n[0] == 'c')) return Element::kBlank;
      break;
    case 3:
      if (n[1] == 'P' && n[2] == 'r' && (n[0] == 'r' || n[0] == 'p')) return Element::kProperties;
      if (local.Is("tab")) return Element::kTab;
      break;
    case 4:
      if (local.Is("tcPr") || local.Is("trPr")) return Element::kProperties;
      break;
    case 5:
      if (local.Is("tblPr")) return Element::kProperties;
      break;
    case 6:
      if (local.Is("sectPr")) return Element::kProperties;
      break;
    case 7:
      if (local.Is("tblGrid") || local.Is("tblPrEx")) return Element::kProperties;
      break;
    default:
      break;
  }
  return Element::kOther;
}

Element Classify(XmlDialect dialect, const char* name) {
  const LocalName local = LocalPart(name);
  if (local.Length > 10) return Element::kOther;
  switch (dialect) {
    case XmlDialect::kWordprocessing:
      return ClassifyWord(local);
    case XmlDialect::kOpenDocument:
      if (local.Is("p") || local.Is("h")) return Element::kText;
      if (local.Is("tab")) return Element::kTab;
      if (local.Is("s") || local.Is("line-break")) return Element::kBlank;
      return Element::kOther;
    case XmlDialect::kXhtml:
      break;
  }
  if (local.Is("br")) return Element::kBreak;
  if (local.Is("head") || local.Is("script") || local.Is("style")) return Element::kSkipped;
  static const char* const kBlocks[] = {
      "p",          "div",     "h1",      "h2",         "h3",     "h4",     "h5",    "h6",
      "li",         "dt",      "dd",      "blockquote", "pre",    "td",     "th",    "caption",
      "figcaption", "address", "section", "article",    "header", "footer", "aside", "tr",
      "title",      "body",    "ul",      "ol",         "table",  "hr",     "nav",   "figure"};
  for (const char* block : kBlocks) {
    if (local.Is(block)) return Element::kBlock;
  }
  return Element::kOther;
}

// Turns the line feeds and carriage returns of text[0..count) into blanks.
void BlankLineBreaks(char* text, std::size_t count) {
  std::size_t i = 0;
  for (; i + 8 <= count; i += 8) {
    // Eight bytes at a time while none is below 0x0E, as a line break is.
    std::uint64_t word;
    std::memcpy(&word, text + i, 8);
    constexpr std::uint64_t kOnes = 0x0101010101010101u, kHigh = 0x8080808080808080u;
    if (((word - kOnes * 0x0E) & ~word & kHigh) == 0) continue;
    for (std::size_t j = i; j < i + 8; ++j) {
      if (text[j] == '\n' || text[j] == '\r') text[j] = ' ';
    }
  }
  for (; i < count; ++i) {
    if (text[i] == '\n' || text[i] == '\r') text[i] = ' ';
  }
}

// The paragraph being read is written where it goes, at the end of the lines, and ended
// there by its line feed, or taken back when it is to be left out.
struct Paragraphs {
  static constexpr bool kAttributesBeforeStart = false;
  XmlDialect Dialect;
  References Refs;
  std::string* Lines;
  std::size_t ParagraphStart;  // where the paragraph being read begins in Lines
  int TextDepth = 0;           // inside a w:t, or a text:p / text:h
  int SkippedDepth = 0;        // inside XHTML's head, script or style
  int PropertiesDepth = 0;     // inside Word's properties

  bool InParagraph() const { return Lines->size() > ParagraphStart; }

  void EndParagraph(bool evenEmpty) {
    if (!evenEmpty) {
      bool blank = true;
      for (std::size_t i = ParagraphStart; i < Lines->size() && blank; ++i)
        blank = (*Lines)[i] == ' ' || (*Lines)[i] == '\t';
      if (blank) {
        Lines->resize(ParagraphStart);
        return;
      }
    }
    Lines->push_back('\n');
    ParagraphStart = Lines->size();
  }

  // Word's elements, the most of all, are told apart here; the others' in StartOther.
  std::uint8_t Start(const pugi::xml_node&, const char* name) {
    if (Dialect != XmlDialect::kWordprocessing) return StartOther(Classify(Dialect, name));
    const Element e = ClassifyWord(LocalPart(name));
    if (e == Element::kProperties) {
      ++PropertiesDepth;
      return static_cast<std::uint8_t>(e) | kNothingBelow;
    }
    if (PropertiesDepth > 0) return static_cast<std::uint8_t>(Element::kOther);
    if (e == Element::kText) {
      ++TextDepth;
    } else if (e == Element::kTab) {
      Lines->push_back('\t');
    } else if (e == Element::kBlank) {
      Lines->push_back(' ');
    }
    return static_cast<std::uint8_t>(e);
  }

  std::uint8_t StartOther(Element e) {
    switch (Dialect) {
      case XmlDialect::kWordprocessing:
        break;
      case XmlDialect::kOpenDocument:
        if (e == Element::kText) {
          ++TextDepth;
        } else if (TextDepth > 0 && e == Element::kBlank) {
          Lines->push_back(' ');
        } else if (TextDepth > 0 && e == Element::kTab) {
          Lines->push_back('\t');
        }
        break;
      case XmlDialect::kXhtml:
        if (e == Element::kSkipped) {
          ++SkippedDepth;
        } else if (e == Element::kBreak || e == Element::kBlock) {
          EndParagraph(false);
        }
        break;
    }
    return static_cast<std::uint8_t>(e);
  }

  void End(std::uint8_t said) {
    const auto e = static_cast<Element>(said & ~kNothingBelow);
    switch (Dialect) {
      case XmlDialect::kWordprocessing:
        if (e == Element::kProperties) {
          --PropertiesDepth;
        } else if (e == Element::kText && TextDepth > 0) {
          --TextDepth;
        } else if (e == Element::kParagraph) {
          EndParagraph(true);
        }
        break;
      case XmlDialect::kOpenDocument:
        if (e == Element::kText && TextDepth > 0) {
          --TextDepth;
          EndParagraph(true);
        }
        break;
      case XmlDialect::kXhtml:
        if (e == Element::kSkipped) {
          if (SkippedDepth > 0) --SkippedDepth;
        } else if (e == Element::kBlock) {
          EndParagraph(false);
        }
        break;
    }
  }

  // A line feed or carriage return inside a paragraph reads as a blank, and so does an
  // entity skipped.
  bool Characters(const char* characters, std::size_t length, bool decoded) {
    const bool wanted = Dialect == XmlDialect::kXhtml ? SkippedDepth == 0
                                                      : TextDepth > 0 && PropertiesDepth == 0;
    if (!wanted && !decoded) return true;
    const std::size_t start = Lines->size();
    if (!decoded) {
      Lines->append(characters, length);
      // The parser has made every carriage return of a text or CDATA section a line feed.
      char* end = Lines->data() + Lines->size();
      for (char* c = Lines->data() + start;
           (c = static_cast<char*>(std::memchr(c, '\n', static_cast<std::size_t>(end - c)))) !=
           nullptr;)
        *c++ = ' ';
    } else if (!AppendDecoded(characters, Refs, ' ', wanted ? Lines : nullptr)) {
      return false;
    } else {
      BlankLineBreaks(Lines->data() + start, Lines->size() - start);  // &#13; is a reference
    }
    return true;
  }
};

}  // namespace

int AppendXmlParagraphs(XmlDialect dialect, char* xml, std::size_t count, std::string* text) {
  KeepXmlMemory();
  pugi::xml_document document;
  Paragraphs reading{dialect, {}, text, text->size()};
  // As if XHTML's DTD were named (and not read): its entities, &nbsp; and the like, are
  // skipped rather than errors in a chapter that does not name it.
  int result = Load(document, xml, count, dialect == XmlDialect::kXhtml, &reading.Refs);
  if (result != kDocumentRead) return result;
  const std::size_t before = text->size();
  if (!Walk(document, reading.Refs, reading)) result = kDocumentBroken;
  if (result == kDocumentRead && reading.InParagraph()) reading.EndParagraph(false);
  if (result == kDocumentRead && !IsXmlText(text->data() + before, text->size() - before))
    result = kDocumentBroken;
  if (result != kDocumentRead) text->resize(before);
  return result;
}

namespace {

struct Visiting {
  static constexpr bool kAttributesBeforeStart = true;  // Start hands their values on
  const XmlElementQuery* Query;
  References Refs;
  void (*Visit)(void*, const std::string*);
  void* Context;

  std::uint8_t Start(const pugi::xml_node& element, const char* name) {
    if (!Is(name, Query->Element)) return 0;
    std::string values[3];
    for (pugi::xml_attribute a = element.first_attribute(); a; a = a.next_attribute()) {
      for (int i = 0; i < 3; ++i) {
        if (Query->Attributes[i] != nullptr && Is(a.name(), Query->Attributes[i])) {
          values[i].clear();
          AppendDecoded(a.value(), Refs, 0, &values[i]);  // checked before Start
        }
      }
    }
    Visit(Context, values);
    return 0;
  }
  void End(std::uint8_t) {}
  bool Characters(const char* characters, std::size_t, bool decoded) {
    return !decoded || AppendDecoded(characters, Refs, 0, nullptr);
  }
};

}  // namespace

int VisitXmlElements(char* xml, std::size_t count, const XmlElementQuery& query,
                     void (*visit)(void* context, const std::string* values), void* context) {
  KeepXmlMemory();
  pugi::xml_document document;
  Visiting visiting{&query, {}, visit, context};
  const int result = Load(document, xml, count, false, &visiting.Refs);
  if (result != kDocumentRead) return result;
  if (!Walk(document, visiting.Refs, visiting)) return kDocumentBroken;
  return kDocumentRead;
}

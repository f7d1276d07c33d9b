#include "engine/document_text.h"

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "engine/document_refusal.h"
#include "engine/xml_paragraphs.h"
#include "engine/zip_archive.h"

namespace {

bool EndsWith(const char* path, const char* extension) {
  const std::size_t length = std::strlen(path);
  const std::size_t want = std::strlen(extension);
  if (length < want) return false;
  for (std::size_t i = 0; i < want; ++i) {
    char c = path[length - want + i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != extension[i]) return false;
  }
  return true;
}

int AppendPart(ZipArchive& zip, const std::string& name, XmlDialect dialect, std::string* part,
               std::string* text) {
  const int read = zip.Read(name, part);
  if (read != kDocumentRead) return read;
  return AppendXmlParagraphs(dialect, part->data(), part->size(), text);
}

bool StartsWith(const std::string& name, const char* prefix) {
  return name.compare(0, std::strlen(prefix), prefix) == 0;
}

int ReadWord(ZipArchive& zip, std::string* text) {
  if (!zip.Has("word/document.xml")) return kDocumentBroken;
  std::vector<std::string> parts{"word/document.xml"};
  std::vector<std::string> headers, footers;
  zip.ForEachName([&](const std::string& name) {
    if (name.find('/', 5) != std::string::npos || !EndsWith(name.c_str(), ".xml")) return;
    if (StartsWith(name, "word/header")) headers.push_back(name);
    if (StartsWith(name, "word/footer")) footers.push_back(name);
  });
  parts.insert(parts.end(), headers.begin(), headers.end());
  parts.insert(parts.end(), footers.begin(), footers.end());
  for (const char* name : {"word/footnotes.xml", "word/endnotes.xml", "word/comments.xml"}) {
    if (zip.Has(name)) parts.push_back(name);
  }
  std::string part;
  for (const std::string& name : parts) {
    const int read = AppendPart(zip, name, XmlDialect::kWordprocessing, &part, text);
    if (read != kDocumentRead) return read;
  }
  return kDocumentRead;
}

int ReadOpenDocument(ZipArchive& zip, std::string* text) {
  if (!zip.Has("content.xml")) return kDocumentBroken;
  std::string part;
  int read = AppendPart(zip, "content.xml", XmlDialect::kOpenDocument, &part, text);
  if (read == kDocumentRead && zip.Has("styles.xml"))
    read = AppendPart(zip, "styles.xml", XmlDialect::kOpenDocument, &part, text);
  return read;
}

// "a%20b.xhtml#c" in the folder "OEBPS/" as the archive's entry name, "" when it leads out of
// the archive.
bool ResolveHref(const std::string& folder, const std::string& href, std::string* name) {
  std::string decoded;
  for (std::size_t i = 0; i < href.size() && href[i] != '#'; ++i) {
    const auto hex = [](char c) {
      return c >= '0' && c <= '9'   ? c - '0'
             : c >= 'a' && c <= 'f' ? c - 'a' + 10
             : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                    : -1;
    };
    if (href[i] == '%' && i + 2 < href.size() && hex(href[i + 1]) >= 0 && hex(href[i + 2]) >= 0) {
      decoded.push_back(static_cast<char>(hex(href[i + 1]) * 16 + hex(href[i + 2])));
      i += 2;
    } else {
      decoded.push_back(href[i]);
    }
  }
  if (!decoded.empty() && decoded[0] == '/') return false;
  std::vector<std::string> pieces;
  const std::string whole = folder + decoded;
  std::size_t start = 0;
  while (start <= whole.size()) {
    std::size_t end = whole.find('/', start);
    if (end == std::string::npos) end = whole.size();
    const std::string piece = whole.substr(start, end - start);
    if (piece == "..") {
      if (pieces.empty()) return false;
      pieces.pop_back();
    } else if (!piece.empty() && piece != ".") {
      pieces.push_back(piece);
    }
    start = end + 1;
  }
  name->clear();
  for (const std::string& piece : pieces) {
    if (!name->empty()) name->push_back('/');
    name->append(piece);
  }
  return true;
}

struct Package {
  std::string RootFile;
  std::map<std::string, std::pair<std::string, std::string>> Manifest;  // id: href, type
  std::vector<std::string> Spine;
};

int ReadEpub(ZipArchive& zip, std::string* text) {
  std::string xml;
  int read = zip.Read("META-INF/container.xml", &xml);
  if (read != kDocumentRead) return read;
  Package package;
  read = VisitXmlElements(
      xml.data(), xml.size(), {"rootfile", {"full-path", nullptr, nullptr}},
      [](void* context, const std::string* values) {
        auto& p = *static_cast<Package*>(context);
        if (p.RootFile.empty()) p.RootFile = values[0];
      },
      &package);
  if (read != kDocumentRead) return read;
  std::string rootName;
  if (package.RootFile.empty() || !ResolveHref("", package.RootFile, &rootName))
    return kDocumentBroken;
  read = zip.Read(rootName, &xml);
  if (read != kDocumentRead) return read;
  std::string spine = xml;  // each reading parses its bytes in place
  read = VisitXmlElements(
      xml.data(), xml.size(), {"item", {"id", "href", "media-type"}},
      [](void* context, const std::string* values) {
        auto& p = *static_cast<Package*>(context);
        p.Manifest.emplace(values[0], std::make_pair(values[1], values[2]));
      },
      &package);
  if (read == kDocumentRead)
    read = VisitXmlElements(
        spine.data(), spine.size(), {"itemref", {"idref", nullptr, nullptr}},
        [](void* context, const std::string* values) {
          static_cast<Package*>(context)->Spine.push_back(values[0]);
        },
        &package);
  if (read != kDocumentRead) return read;
  const std::size_t slash = rootName.rfind('/');
  const std::string folder = slash == std::string::npos ? "" : rootName.substr(0, slash + 1);
  std::string part, name;
  for (const std::string& id : package.Spine) {
    const auto item = package.Manifest.find(id);
    if (item == package.Manifest.end()) continue;
    const std::string& type = item->second.second;
    if (type != "application/xhtml+xml" && type != "text/html") continue;
    if (!ResolveHref(folder, item->second.first, &name)) return kDocumentPathOutside;
    if (!zip.Has(name)) continue;  // a chapter the package names and the archive lacks
    read = AppendPart(zip, name, XmlDialect::kXhtml, &part, text);
    if (read != kDocumentRead) return read;
  }
  return kDocumentRead;
}

}  // namespace

DocumentKind DocumentKindOfPath(const char* path) {
  if (EndsWith(path, ".docx")) return DocumentKind::kWord;
  if (EndsWith(path, ".odt")) return DocumentKind::kOpenDocument;
  if (EndsWith(path, ".epub")) return DocumentKind::kEpub;
  return DocumentKind::kNone;
}

int ReadDocumentText(DocumentKind kind, const std::uint8_t* bytes, std::size_t count,
                     RecordText* text) {
  text->Clear();
  if (static_cast<long long>(count) > kMostArchiveBytes) return kDocumentTooLarge;
  ZipArchive zip;
  int read = zip.Open(bytes, count);
  if (read == kDocumentRead) {
    switch (kind) {
      case DocumentKind::kWord:
        read = ReadWord(zip, &text->Text);
        break;
      case DocumentKind::kOpenDocument:
        read = ReadOpenDocument(zip, &text->Text);
        break;
      case DocumentKind::kEpub:
        read = ReadEpub(zip, &text->Text);
        break;
      case DocumentKind::kNone:
        read = kDocumentBroken;
        break;
    }
  }
  if (read != kDocumentRead) text->Clear();
  return read;
}

const char* DocumentRefusalText(int refusal) {
  switch (refusal) {
    case kDocumentBroken:
      return "refused: not a readable archive of its kind, or a part of it is damaged";
    case kDocumentEncrypted:
      return "refused: the archive is encrypted";
    case kDocumentTooLarge:
      return "refused: it expands beyond the bounds (256 MiB archive, 64 MiB a part, 256 MiB "
             "in all, 100 times a part's compressed size)";
    case kDocumentPathOutside:
      return "refused: an entry's path leads outside the archive";
    case kDocumentEntities:
      return "refused: its XML declares entities";
    case kDocumentNoMemory:
      return "refused: not enough memory to read it";
    default:
      return "refused";
  }
}

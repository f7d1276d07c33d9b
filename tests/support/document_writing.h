// Documents a test writes: zip archives made with minizip, and the XML of a Word document's
// parts (a paragraph of runs, as Word writes them). The test's thread.
#pragma once

#include <minizip/zip.h>

#include <string>
#include <vector>

// An entry of an archive: its name, its bytes, and the password it is encrypted with.
struct ZipEntry {
  std::string Name;
  std::string Content;
  const char* Password = nullptr;
};

// Writes the archive; false when minizip could not.
inline bool WriteZip(const std::string& path, const std::vector<ZipEntry>& entries) {
  zipFile zip = zipOpen64(path.c_str(), 0);
  if (zip == nullptr) return false;
  bool ok = true;
  for (const ZipEntry& entry : entries) {
    zip_fileinfo info{};
    const uLong crc =
        crc32(0, reinterpret_cast<const Bytef*>(entry.Content.data()), entry.Content.size());
    ok = ok && zipOpenNewFileInZip3_64(zip, entry.Name.c_str(), &info, nullptr, 0, nullptr, 0,
                                       nullptr, Z_DEFLATED, 9, 0, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY,
                                       entry.Password, crc, 0) == ZIP_OK;
    ok = ok && zipWriteInFileInZip(zip, entry.Content.data(),
                                   static_cast<unsigned>(entry.Content.size())) == ZIP_OK;
    ok = ok && zipCloseFileInZip(zip) == ZIP_OK;
  }
  return zipClose(zip, nullptr) == ZIP_OK && ok;
}

inline constexpr const char* kW =
    "xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"";

inline std::string WordPart(const char* root, const std::string& paragraphs) {
  return std::string("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?><w:") + root +
         " " + kW + ">" + paragraphs + "</w:" + root + ">";
}

// A paragraph of runs, each run's text as given.
inline std::string WordParagraph(const std::vector<std::string>& runs) {
  std::string p = "<w:p><w:pPr><w:jc w:val=\"left\"/></w:pPr>";
  for (const std::string& run : runs)
    p += "<w:r><w:rPr><w:b/></w:rPr><w:t xml:space=\"preserve\">" + run + "</w:t></w:r>";
  return p + "</w:p>";
}

inline std::vector<ZipEntry> Word(const std::string& body) {
  return {{"[Content_Types].xml", "<Types/>"},
          {"word/document.xml", WordPart("document", "<w:body>" + body + "</w:body>")}};
}

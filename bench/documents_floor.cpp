// What reading 1,000 .docx files costs with the libraries alone: each file read into memory,
// its archive opened (engine/zip_archive.h: minizip for the directory, libdeflate to expand),
// word/document.xml expanded and parsed in place by pugixml with the options the paragraphs
// are read with, and nothing else: no walk of the tree, no text, no search. What a search of
// the documents cannot go below, whatever its own code does; documents_bench.py runs it
// beside tessik-cli.
//   documents_floor FOLDER [THREADS]    (every *.docx in FOLDER; THREADS: 1 or more)
#include <pugixml.hpp>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "engine/document_refusal.h"
#include "engine/xml_memory.h"
#include "engine/zip_archive.h"

namespace {

// As engine/xml_paragraphs.cpp parses a part.
constexpr unsigned kParseOptions = pugi::parse_cdata | pugi::parse_eol | pugi::parse_ws_pcdata |
                                   pugi::parse_wconv_attribute | pugi::parse_doctype |
                                   pugi::parse_declaration;

bool ReadOne(const std::string& path, std::string& bytes, std::string& xml) {
  std::ifstream in(path, std::ios::binary);
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  ZipArchive zip;
  if (zip.Open(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()) !=
          kDocumentRead ||
      zip.Read("word/document.xml", &xml) != kDocumentRead)
    return false;
  pugi::xml_document document;
  return document.load_buffer_inplace(xml.data(), xml.size(), kParseOptions).status ==
         pugi::status_ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: documents_floor FOLDER [THREADS]\n");
    return 2;
  }
  const int threads = argc > 2 ? std::max(1, std::atoi(argv[2])) : 1;
  std::vector<std::string> paths;
  for (const auto& entry : std::filesystem::directory_iterator(argv[1])) {
    if (entry.path().extension() == ".docx") paths.push_back(entry.path().string());
  }
  KeepXmlMemory();
  std::atomic<std::size_t> next{0};
  std::atomic<int> failed{0};
  const auto work = [&] {
    std::string bytes, xml;
    for (std::size_t i; (i = next++) < paths.size();) {
      if (!ReadOne(paths[i], bytes, xml)) ++failed;
    }
  };
  std::vector<std::thread> helpers;
  for (int t = 1; t < threads; ++t) helpers.emplace_back(work);
  work();
  for (std::thread& helper : helpers) helper.join();
  std::printf("%zu documents, %d not read\n", paths.size(), failed.load());
  return failed == 0 ? 0 : 1;
}

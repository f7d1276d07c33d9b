// The file scanner over random files: the input becomes a file in a folder of this
// process, which is scanned for a word in both modes, its occurrences told to a sink that
// makes the window's result lines of them. The result lines must be well formed, their
// line numbers never go back, the first-match mode must agree with the listing on whether
// the file holds a match, and the occurrences and their lines must be exactly those of a
// plain reading of the file (tests/support/reference_words.h), one run of bytes with no
// reads to cut it: so a word across a read boundary is one word.
//
// Input: five bytes of settings, then the body of the file.
//   0-2  where in the body the word searched for is taken from (a run of letters there)
//   3    bits 0-1: the file's name; bit 2: search for a word made of the settings instead
//   4    not 0: the body is preceded by filler so that its first this many bytes end the
//        first read of 65536 bytes (the body then crosses the boundary)
// Inputs past 64 KiB cross the boundary by themselves; run with -max_len=200000.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "engine/file_scanner.h"
#include "engine/search_state.h"
#include "engine/sound_method.h"
#include "phonetic/phonetic_key.h"
#include "platform/files.h"
#include "platform/memory.h"
#include "query/term_codes.h"
#include "support/recording_sink.h"
#include "support/reference_words.h"
#include "support/test_search_state.h"

namespace {

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

constexpr std::size_t kSettings = 5;
constexpr std::size_t kMaxTermLetters = 220;

// Names of 5, 13, 14 and 21 characters: shown whole, whole, cut, cut.
constexpr const char* kNames[] = {"a.txt", "thirteen1.txt", "fourteen12.txt",
                                  "a_longer_name.record"};

std::string folder;
std::unique_ptr<HeardTerm> term;
std::unique_ptr<WordReading> reading;

void SetUpOnce() {
  InitialisePhonetics();
  TestSearchState().ReadBuffer = static_cast<std::uint8_t*>(AllocateZeroed(kReadChunkSize));
  reading = MakeByteReading();
  char made[] = "/tmp/tessik-scanner-fuzz-XXXXXX";
  Check(mkdtemp(made) != nullptr);
  folder = made;
}

void RemoveFolder() {
  for (const char* name : kNames) unlink((folder + "/" + name).c_str());
  rmdir(folder.c_str());
}

bool IsLetter(std::uint8_t b) { return (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z'); }

std::string DisplayName(const std::string& name) {
  return name.size() >= 14 ? name.substr(0, 14) + "..." : name;
}

// The result lines of the file, from the plain reading of it.
std::vector<std::string> ReferenceLines(const std::vector<ReferenceFind>& finds,
                                        const std::string& content, const std::string& name) {
  std::vector<std::string> lines;
  const auto size = static_cast<double>(content.size());
  for (const ReferenceFind& find : finds) {
    const std::string& word = find.Letters;
    const std::string shown = word.size() >= 13 ? word.substr(0, 13) + "..." : word;
    char text[256];
    std::snprintf(text, sizeof text, "%s\t%s\t%lld (%.1f%%)\t%lld K", shown.c_str(),
                  DisplayName(name).c_str(), static_cast<long long>(find.Line),
                  static_cast<double>(find.End) * 100.0 / size,
                  static_cast<long long>(content.size() / 1024));
    lines.emplace_back(text);
  }
  return lines;
}

void CheckWellFormed(const std::vector<std::string>& lines, const std::string& name,
                     std::size_t size) {
  int lastLine = 1;
  for (const std::string& line : lines) {
    std::vector<std::string> fields;
    std::size_t at = 0;
    for (std::size_t tab; (tab = line.find('\t', at)) != std::string::npos; at = tab + 1) {
      fields.push_back(line.substr(at, tab - at));
    }
    fields.push_back(line.substr(at));
    Check(fields.size() == 4);
    // The word: 2 to 12 letters, or 13 letters and "...".
    std::string word = fields[0];
    if (word.size() == 16 && word.compare(13, 3, "...") == 0) word.resize(13);
    Check(word.size() >= 2 && word.size() <= 13 && (word.size() < 13 || fields[0].size() == 16));
    for (char c : word) Check(IsLetter(static_cast<std::uint8_t>(c)));
    Check(fields[1] == DisplayName(name));
    int number = 0;
    double percentage = -1;
    char after = 0;
    Check(std::sscanf(fields[2].c_str(), "%d (%lf%%)%c", &number, &percentage, &after) == 2);
    Check(number >= lastLine);
    Check(percentage >= 0 && percentage <= 100.0);
    lastLine = number;
    Check(fields[3] == std::to_string(size / 1024) + " K");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static bool ready = false;
  if (!ready) {
    SetUpOnce();
    std::atexit(RemoveFolder);
    ready = true;
  }
  if (size < kSettings) return 0;
  const std::string body(reinterpret_cast<const char*>(data) + kSettings, size - kSettings);
  std::string content;
  if (data[4] != 0) {
    static const std::string kFiller = "Lorem ipsum dolor sit amet, Katherine\r\n";
    const std::size_t filler = kReadChunkSize - data[4];
    while (content.size() < filler) content += kFiller;
    content.resize(filler);
  }
  content += body;
  const std::string name = kNames[data[3] & 3];
  const std::string path = folder + "/" + name;

  // The word searched for: the run of letters at the chosen place (the first run after it
  // when it holds none), or one made of the settings.
  std::string word;
  if ((data[3] & 4) == 0 && !content.empty()) {
    std::size_t at = (data[0] | data[1] << 8 | data[2] << 16) % content.size();
    for (std::size_t tried = 0;
         tried < content.size() && !IsLetter(static_cast<std::uint8_t>(content[at])); ++tried) {
      at = (at + 1) % content.size();
    }
    while (at < content.size() && IsLetter(static_cast<std::uint8_t>(content[at])) &&
           word.size() < kMaxTermLetters) {
      word += content[at++];
    }
  }
  if (word.empty()) {
    for (std::size_t i = 0; i < 3; ++i) word += static_cast<char>('a' + data[i] % 26);
  }
  term = DefaultSoundMethod().Hear(word.c_str());

  std::FILE* file = std::fopen(path.c_str(), "wb");
  Check(file != nullptr);
  Check(std::fwrite(content.data(), 1, content.size(), file) == content.size());
  Check(std::fclose(file) == 0);

  TestSearchState().ResultList.Clear();
  TestSearchState().UnopenedFiles.Clear();
  TestSearchState().FilesSearched = 0;
  RecordingSink sink;
  sink.SearchingFile(path.c_str(), kSingleWord);
  const bool listedAny = ScanFile(TestSearchState(), path.c_str(), ScanMode::ListEveryOccurrence,
                                  false, *term, *reading, sink);
  const std::vector<std::string> lines = sink.Lines;
  const bool foundFirst = ScanFile(TestSearchState(), path.c_str(), ScanMode::StopAtFirstMatch,
                                   false, *term, *reading, sink);

  Check(TestSearchState().UnopenedFiles.Count.load() == 0);
  Check(sink.NotOpened.empty());
  Check(sink.Lines.size() == lines.size());  // the first-match scan lists nothing
  Check(listedAny == !lines.empty());
  Check(foundFirst == listedAny);
  // An empty file is not counted as searched.
  Check(TestSearchState().FilesSearched.load() == (content.empty() ? 0 : 1));
  Check(TestSearchState().ResultList.Count.load() == lines.size());
  for (std::uint32_t i = 0; i < TestSearchState().ResultList.Count.load(); ++i)
    Check(path == TestSearchState().ResultList.Get(i));
  CheckWellFormed(lines, name, content.size());

  // The plain reading, which knows nothing of reads, with the keys of the term.
  const ReferenceTerm reference = MakeReferenceTerm(word.c_str(), false);
  const std::vector<ReferenceFind> finds = ReferenceFinds(content, reference);
  Check(lines == ReferenceLines(finds, content, name));
  Check(sink.Occurrences.size() == finds.size());
  for (std::size_t i = 0; i < finds.size() && i < sink.Occurrences.size(); ++i) {
    const RecordedOccurrence& occurrence = sink.Occurrences[i];
    const ReferenceFind& find = finds[i];
    Check(occurrence.Path == path && occurrence.Word == find.Letters);
    Check(occurrence.Line == find.Line && occurrence.Offset == find.Start &&
          occurrence.Column == find.Start - find.LineStart + 1);
    Check(occurrence.Code == std::string(reference.Keys[find.Key].Bytes, 4));
  }
  return 0;
}

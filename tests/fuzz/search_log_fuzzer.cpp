// The search log over random results: the shown lines, result paths, unopened files, the
// search text and counts, in either layout, written to a file of this process's folder.
// The log must start with its header, end with its end banner, hold one line per result
// line, and be byte for byte the log that a plain reference written here makes from the
// documented layout.
#include <fuzzer/FuzzedDataProvider.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "engine/search_state.h"
#include "engine/string_list.h"
#include "log/search_log.h"
#include "query/term_codes.h"
#include "support/test_search_state.h"

namespace {

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

constexpr const char* kBanner =
    "********************** Search results **********************\r\n\r\n";
constexpr const char* kEndBanner =
    "\r\n******************** End of search log ********************\r\n";

std::string folder;
std::string logPath;

// The lines the result list shows, from strings.
class VectorLines final : public ShownLines {
 public:
  explicit VectorLines(const std::vector<std::string>& lines) : lines_(lines) {}
  int Count() const override { return static_cast<int>(lines_.size()); }
  int Text(int index, char* buffer, int size) const override {
    if (index < 0 || index >= Count()) return -1;
    const std::string& line = lines_[static_cast<std::size_t>(index)];
    const std::size_t length = line.size() < static_cast<std::size_t>(size - 1)
                                   ? line.size()
                                   : static_cast<std::size_t>(size - 1);
    std::memcpy(buffer, line.data(), length);
    buffer[length] = '\0';
    return static_cast<int>(length);
  }

 private:
  const std::vector<std::string>& lines_;
};

void RemoveFolder() {
  unlink(logPath.c_str());
  rmdir(folder.c_str());
}

void SetUpOnce() {
  char made[] = "/tmp/tessik-log-fuzz-XXXXXX";
  Check(mkdtemp(made) != nullptr);
  folder = made;
  logPath = folder + "/search.log";
  std::atexit(RemoveFolder);
}

// A text as a C string holds it: up to its first zero byte. Half of them are made of
// letters, tabs, blanks, line ends and path characters, the other half of any bytes.
std::string TakeText(FuzzedDataProvider& input, std::size_t most) {
  const bool plain = input.ConsumeBool();
  std::string text = input.ConsumeRandomLengthString(most);
  text.resize(std::strlen(text.c_str()));
  if (plain) {
    static constexpr char kPlain[] = "abcKM\t \t/.\r\n";
    for (char& c : text) c = kPlain[static_cast<unsigned char>(c) % (sizeof(kPlain) - 1)];
  }
  return text;
}

// Fills a list from texts and keeps those it took: every text of at most 255 characters.
std::vector<std::string> Fill(FuzzedDataProvider& input, StringList* list,
                              FlaggedStringList* flagged, std::size_t count) {
  std::vector<std::string> kept;
  for (std::size_t i = 0; i < count; ++i) {
    const std::string text = TakeText(input, 300);
    const std::int32_t index = list ? list->Add(text.c_str()) : flagged->Add(text.c_str());
    Check((index >= 0) == (text.size() <= 255));
    if (index >= 0) kept.push_back(text);
  }
  return kept;
}

std::string Header(bool wordLayout, const std::string& searchText, int searched, int lines,
                   int matched) {
  std::string header = kBanner;
  if (wordLayout) {
    header += "Search string: " + searchText + ".\r\n";
    header += "Searched " + std::to_string(searched) + " file(s).\r\n";
    header += "Found: " + std::to_string(lines) + " word(s) in " + std::to_string(matched) +
              " file(s).\r\n";
    header += std::string(38, '+') + "\r\nWord:\t\t\t\tFile:\r\n" + std::string(55, '-') + "\r\n";
  } else {
    header += "Search expression: " + searchText + ".\r\n";
    header += "Searched " + std::to_string(searched) + " file(s).\r\n";
    header += "Found " + std::to_string(lines) + " matching file(s).\r\n";
    header += std::string(38, '+') + "\r\nFiles:\r\n" + std::string(45, '-') + "\r\n";
  }
  return header;
}

std::size_t LineFeeds(const std::string& text) {
  std::size_t count = 0;
  for (char c : text) count += c == '\n';
  return count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static bool ready = false;
  if (!ready) {
    SetUpOnce();
    ready = true;
  }
  FuzzedDataProvider input(data, size);
  const bool wordLayout = input.ConsumeBool();
  const std::int32_t lastTermType =
      wordLayout ? kSingleWord : input.ConsumeIntegral<std::int32_t>();
  const int searched = input.ConsumeIntegral<std::int32_t>();
  const int matched = input.ConsumeIntegral<std::int32_t>();
  const std::size_t lineCount = input.ConsumeIntegralInRange<std::size_t>(0, 40);
  const std::size_t resultCount = input.ConsumeIntegralInRange<std::size_t>(0, 40);
  const std::size_t unopenedCount = input.ConsumeIntegralInRange<std::size_t>(0, 8);
  const std::string searchText = TakeText(input, 300).substr(0, 255);

  TestSearchState().LastTermType = lastTermType;
  TestSearchState().FilesSearched = searched;
  TestSearchState().MatchedFiles = matched;
  TestSearchState().ResultList.Clear();
  TestSearchState().UnopenedFiles.Clear();
  std::vector<std::string> lines;
  for (std::size_t i = 0; i < lineCount; ++i) lines.push_back(TakeText(input, 400));
  const std::vector<std::string> results = Fill(input, nullptr, &TestSearchState().ResultList, resultCount);
  const std::vector<std::string> unopened = Fill(input, &TestSearchState().UnopenedFiles, nullptr, unopenedCount);

  const SearchRequest request = MakeSearchRequest("", searchText.c_str(), false);
  Check(SaveSearchLog(logPath.c_str(),
                      SummaryOfSearch(TestSearchState(), SearchEnding::QueryAnswered), request,
                      VectorLines(lines)) ==
        kLogWritten);
  std::ifstream file(logPath, std::ios::binary);
  const std::string log((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());

  const std::string header = Header(lastTermType == kSingleWord, searchText, searched,
                                    static_cast<int>(lineCount), matched);
  Check(log.compare(0, header.size(), header) == 0);
  const std::size_t bannerLength = std::strlen(kEndBanner);
  Check(log.size() >= header.size() + bannerLength);
  Check(log.compare(log.size() - bannerLength, bannerLength, kEndBanner) == 0);

  // The result lines: in the word layout one per list-box line, its word column (the text
  // before its first tab) and the path of the same index; else one per result path.
  std::string body;
  std::size_t pieces = 0;
  bool feedFree = true;  // no text of a result line holds a line feed
  auto add = [&](const std::string& text) {
    feedFree = feedFree && text.find('\n') == std::string::npos;
    body += text;
  };
  if (lastTermType == kSingleWord) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
      const std::size_t tab = lines[i].find('\t');
      add(lines[i].substr(0, tab == std::string::npos ? 0 : tab));
      body += "\t\t\t";
      add(i < results.size() ? results[i] : std::string("File name not known"));
      body += "\r\n";
    }
    pieces = lines.size();
  } else {
    for (const std::string& path : results) {
      add(path);
      body += "\r\n";
    }
    pieces = results.size();
  }

  std::string rest;
  if (!unopened.empty()) {
    rest += "\r\n" + std::string(44, '+') + "\r\nThe following " + std::to_string(unopened.size()) +
            " files could not be opened for searching.\r\nYou can try searching them again "
            "later.\r\n" +
            std::string(47, '-') + "\r\n";
    // Unopened files end with LF alone in the expression layout.
    for (const std::string& path : unopened) {
      rest += path + (lastTermType == kSingleWord ? "\r\n" : "\n");
    }
  }

  if (feedFree) {
    // Between the header and what follows the results, one line per result line.
    Check(log.size() >= header.size() + rest.size() + bannerLength);
    Check(LineFeeds(log.substr(header.size(),
                               log.size() - header.size() - rest.size() - bannerLength)) == pieces);
  }
  Check(log == header + body + rest + kEndBanner);
  return 0;
}

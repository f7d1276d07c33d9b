// The fixture of searches with the switch of records and documents over files a test writes
// in a temporary tree: each occurrence shown with its word, place and record, and each file
// refused with its reason. The test's thread.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "engine/search_driver.h"
#include "engine/search_state.h"
#include "phonetic/phonetic_key.h"
#include "support/recording_sink.h"
#include "support/test_search_state.h"
#include "support/test_support.h"

// Keeps the record each shown occurrence names and each refusal's reason, beside what the
// recording sink keeps.
class RecordSink : public RecordingSink {
 public:
  int OccurrenceFound(const FoundOccurrence& occurrence) override {
    const int shown = RecordingSink::OccurrenceFound(occurrence);
    if (shown == 0) Records.push_back(occurrence.Record != nullptr ? occurrence.Record : "");
    return shown;
  }
  void FileRefused(const char* /*path*/, const char* reason) override { Refused.push_back(reason); }
  std::vector<std::string> Records;
  std::vector<std::string> Refused;
};

struct Found {
  Found(std::string word, std::int64_t line, std::int64_t column, std::string record = "")
      : Word(std::move(word)), Line(line), Column(column), Record(std::move(record)) {}

  std::string Word;  // UTF-8, as the result shows it
  std::int64_t Line;
  std::int64_t Column;
  std::string Record;  // "" outside a GEDCOM record

  bool operator==(const Found&) const = default;
};
inline void PrintTo(const Found& f, std::ostream* out) {
  *out << f.Word << " " << f.Line << ":" << f.Column << " " << f.Record;
}

class RecordsSearchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitialisePhonetics();
    ClearSearchLists(TestSearchState());
  }
  void TearDown() override {
    ResetSearchState(TestSearchState());
    ClearSearchLists(TestSearchState());
  }

  // Searches the files `pattern` names in the tree, with records read or not; the sink
  // keeps the rest.
  std::vector<Found> Search(const std::string& pattern, const char* query, bool records = true) {
    SearchRequest request = MakeSearchRequest(tree.Path(pattern).c_str(), query, false);
    request.ReadRecords = records;
    sink = RecordSink();
    RunSearch(TestSearchState(), request, sink);
    std::vector<Found> found;
    for (std::size_t i = 0; i < sink.Occurrences.size(); ++i) {
      const RecordedOccurrence& o = sink.Occurrences[i];
      found.push_back({o.Word, o.Line, o.Column, sink.Records[i]});
    }
    return found;
  }

  TempTree tree;
  RecordSink sink;
};

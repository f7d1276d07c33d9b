// Two searches at once, each with a state, a request and a sink of its own, on two threads
// of one process: each gives exactly what it gives alone. Run under ThreadSanitizer too.
#include <gtest/gtest.h>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "engine/search_driver.h"
#include "engine/search_state.h"
#include "phonetic/phonetic_key.h"
#include "support/recording_sink.h"
#include "support/test_support.h"

namespace {

// What a search gave: its lines, occurrences, files and ending, and its state afterwards.
struct Outcome {
  std::vector<std::string> Lines;
  std::vector<RecordedOccurrence> Occurrences;
  std::vector<std::pair<std::string, std::int32_t>> Searched;
  std::vector<std::string> NotOpened;
  std::vector<std::int32_t> Counts;  // files searched, matched, unopened, result entries
  int Result = 0;
  bool operator==(const Outcome&) const = default;
};

// Where two threads wait for each other. (Not std::latch: the C++ library of GCC 12 for
// Windows can lose its wake-up, and the test then hangs now and then under Wine.)
class Meeting {
 public:
  void ArriveAndWait() {
    std::unique_lock<std::mutex> lock(mutex_);
    ++arrived_;
    changed_.notify_all();
    changed_.wait(lock, [this] { return arrived_ >= 2; });
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  int arrived_ = 0;
};

// Holds each search where its files are collected until the other has come as far, so that
// the two read their files at the same time.
class MeetingSink final : public RecordingSink {
 public:
  explicit MeetingSink(Meeting* meeting) : meeting_(meeting) {}
  void CollectingFiles(bool listing) override {
    if (meeting_ != nullptr) meeting_->ArriveAndWait();
    RecordingSink::CollectingFiles(listing);
  }

 private:
  Meeting* meeting_;
};

Outcome RunSearchOf(const SearchRequest& request, Meeting* meeting) {
  const auto state = std::make_unique<SearchState>();
  MeetingSink sink(meeting);
  Outcome outcome;
  outcome.Result = RunSearch(*state, request, sink);
  outcome.Lines = sink.Lines;
  outcome.Occurrences = sink.Occurrences;
  outcome.Searched = sink.Searched;
  outcome.NotOpened = sink.NotOpened;
  outcome.Counts = {state->FilesSearched.load(), state->MatchedFiles.load(),
                    static_cast<std::int32_t>(state->UnopenedFiles.Count.load()),
                    static_cast<std::int32_t>(state->ResultList.Count.load())};
  for (std::uint32_t i = 0; i < state->ResultList.Count; ++i) {
    outcome.Lines.push_back(std::string("entry ") + state->ResultList.Get(i));
  }
  ClearSearchLists(*state);
  return outcome;
}

struct Pair {
  const char* Name;
  SearchRequest First;
  SearchRequest Second;
};

TEST(TwoSearchesTest, EachGivesWhatItGivesAlone) {
  InitialisePhonetics();
  TempTree tree;
  std::string text;
  for (int i = 0; i < 400; ++i) {
    text += "Moses spake unto Aaron, and Mozes und M\xc3\xbcller went to Egypt; ";
    text += i % 7 == 0 ? "Jackson Katherine Kohn\n" : "Pharaoh hardened his heart\n";
  }
  for (int i = 0; i < 12; ++i) {
    // (Put together with append: GCC 12 for Windows takes "d" + string for an overlap.)
    std::string name = "d";
    name.append(std::to_string(i % 3)).append("/f").append(std::to_string(i)).append(".txt");
    tree.WriteFile(name, text);
  }
  const std::string spec = tree.Path("*.txt");

  SearchRequest word = MakeSearchRequest(spec.c_str(), "Moses", true);
  SearchRequest expression = MakeSearchRequest(spec.c_str(), "Kohn O Muller A Egypt", true);
  expression.Method = &DaitchMokotoffMethod();
  expression.ReadUnicode = true;
  SearchRequest listing = MakeSearchRequest(spec.c_str(), "", true);
  SearchRequest letters = MakeSearchRequest(spec.c_str(), "M\xc3\xbcller", true);
  letters.ReadUnicode = true;
  const Pair pairs[] = {{"word and expression", word, expression},
                        {"word and listing", word, listing},
                        {"letters and word", letters, word},
                        {"the same search twice", expression, expression}};
  for (const Pair& pair : pairs) {
    const Outcome first = RunSearchOf(pair.First, nullptr);
    const Outcome second = RunSearchOf(pair.Second, nullptr);
    ASSERT_FALSE(first.Lines.empty()) << pair.Name;
    ASSERT_FALSE(second.Lines.empty()) << pair.Name;
    Meeting meeting;
    Outcome firstAtOnce;
    Outcome secondAtOnce;
    std::thread other([&] { secondAtOnce = RunSearchOf(pair.Second, &meeting); });
    firstAtOnce = RunSearchOf(pair.First, &meeting);
    other.join();
    EXPECT_EQ(firstAtOnce, first) << pair.Name;
    EXPECT_EQ(secondAtOnce, second) << pair.Name;
  }
}

}  // namespace

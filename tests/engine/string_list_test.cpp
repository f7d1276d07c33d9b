#include "engine/string_list.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <random>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "engine/search_state.h"
#include "platform/memory.h"
#include "support/test_search_state.h"

namespace {

std::string Numbered(std::uint32_t i) { return "/data/file" + std::to_string(i) + ".txt"; }

TEST(StringListTest, FlaggedListKeepsTheFirst61440AndRefusesTheNext) {
  auto list = std::make_unique<FlaggedStringList>();
  for (std::uint32_t i = 0; i < kFlaggedListCapacity; ++i) {
    ASSERT_EQ(list->Add(Numbered(i).c_str()), static_cast<std::int32_t>(i));
  }
  list->NonEmpty = 0;  // as after a successful save
  EXPECT_EQ(list->Add("/data/one-too-many.txt"), -1);
  EXPECT_EQ(list->Count, kFlaggedListCapacity);
  EXPECT_EQ(list->NonEmpty, 1);
  EXPECT_STREQ(list->Get(kFlaggedListCapacity - 1), Numbered(kFlaggedListCapacity - 1).c_str());
  EXPECT_EQ(list->Get(kFlaggedListCapacity), nullptr);
}

TEST(StringListTest, UnopenedFilesDropsThe1025thPath) {
  TestSearchState().UnopenedFiles.Clear();
  for (std::uint32_t i = 0; i < kUnopenedFilesCapacity; ++i)
    TestSearchState().UnopenedFiles.Add(Numbered(i).c_str());
  EXPECT_EQ(TestSearchState().UnopenedFiles.Add("/data/dropped.txt"), -1);
  EXPECT_EQ(TestSearchState().UnopenedFiles.Count, kUnopenedFilesCapacity);
  EXPECT_EQ(TestSearchState().UnopenedFiles.NonEmpty, 1);
  EXPECT_STREQ(TestSearchState().UnopenedFiles.Get(kUnopenedFilesCapacity - 1),
               Numbered(kUnopenedFilesCapacity - 1).c_str());
  TestSearchState().UnopenedFiles.Clear();
}

TEST(StringListTest, RemoveAtMovesTextsFlagsAndMarksUp) {
  auto list = std::make_unique<FlaggedStringList>();
  list->Add("a", true);
  list->Add("b");
  list->Add("c", true);
  list->Flag(0) = 1;
  list->Flag(2) = 7;
  list->RemoveAt(0);
  ASSERT_EQ(list->Count, 2u);
  EXPECT_STREQ(list->Get(0), "b");
  EXPECT_STREQ(list->Get(1), "c");
  EXPECT_EQ(list->Flag(0), 0);
  EXPECT_EQ(list->Flag(1), 7);
  EXPECT_FALSE(list->Marked(0));
  EXPECT_TRUE(list->Marked(1));
  EXPECT_FALSE(list->Marked(2)) << "beyond the end";
  EXPECT_EQ(list->Get(2), nullptr);

  list->RemoveAt(1);  // the last one: nothing moves
  ASSERT_EQ(list->Count, 1u);
  EXPECT_STREQ(list->Get(0), "b");
  list->RemoveAt(5);  // beyond the end: nothing changes
  EXPECT_EQ(list->Count, 1u);
  EXPECT_EQ(list->NonEmpty, 1);
}

TEST(StringListTest, FlagBeyondCountStaysInsideTheArray) {
  auto list = std::make_unique<FlaggedStringList>();
  list->Add("a");
  std::uint8_t& outside = list->Flag(10);
  EXPECT_EQ(&outside, &list->Flag(kFlaggedListCapacity - 1));
  outside = 9;
  EXPECT_EQ(list->Flag(0), 0);
}

TEST(StringListTest, NonEmptyFollowsAddRemoveAndClear) {
  StringList list(2);
  list.Add("x");
  EXPECT_EQ(list.NonEmpty, 1);
  list.RemoveAt(0);
  EXPECT_EQ(list.Count, 0u);
  EXPECT_EQ(list.NonEmpty, 0);
  list.Add("x");
  list.Add("y");
  list.RemoveAt(0);
  EXPECT_EQ(list.NonEmpty, 1);
  EXPECT_STREQ(list.Get(0), "y");
  list.Clear();
  EXPECT_EQ(list.Count, 0u);
  EXPECT_EQ(list.NonEmpty, 0);
  EXPECT_EQ(list.Get(0), nullptr);
}

TEST(StringListTest, TextOf256CharactersIsRefusedButStillMarksTheList) {
  StringList list(4);
  std::string longest(255, 'p');
  std::string tooLong(256, 'p');
  EXPECT_EQ(list.Add(tooLong.c_str()), -1);
  EXPECT_EQ(list.Count, 0u);
  EXPECT_EQ(list.NonEmpty, 1);
  EXPECT_EQ(list.Add(longest.c_str()), 0);
  EXPECT_EQ(std::string(list.Get(0)), longest);

  auto flagged = std::make_unique<FlaggedStringList>();
  EXPECT_EQ(flagged->Add(tooLong.c_str()), -1);
  EXPECT_EQ(flagged->Count, 0u);
}

// Entries live in blocks of many entries: a long run of adds, removals anywhere and
// clears, across block boundaries and up to a short last block, must keep every text and
// flag where a plain array would (AddressSanitizer catches a block given back too early).
// With `runs`, most adds repeat the text added before (as a file's occurrences do), so that
// entries share their texts and removals cut runs of them.
template <typename List>
void CheckAgainstPlainArray(List& list, std::uint32_t capacity, unsigned seed, bool runs = false) {
  std::mt19937 random(seed);
  std::string previous = Numbered(0);
  std::vector<std::string> model;
  std::vector<std::uint8_t> flags;
  for (int step = 0; step < 6000; ++step) {
    // Two rounds of growing past several blocks and shrinking back, with a clear between.
    const unsigned addPercent = step % 3000 < 2400 ? 65 : 10;
    const unsigned roll = step == 3000 ? 100 : random() % 100;
    if (roll < addPercent) {
      const std::string text =
          runs && random() % 4 != 0 ? previous : Numbered(static_cast<std::uint32_t>(random()));
      previous = text;
      const std::int32_t added = list.Add(text.c_str());
      if (model.size() < capacity) {
        ASSERT_EQ(added, static_cast<std::int32_t>(model.size()));
        model.push_back(text);
        flags.push_back(0);
      } else {
        ASSERT_EQ(added, -1);
      }
    } else if (roll < 100) {
      const auto index = static_cast<std::uint32_t>(random() % (model.size() + 2));
      list.RemoveAt(index);
      if (index < model.size()) {
        model.erase(model.begin() + index);
        flags.erase(flags.begin() + index);
      }
    } else {
      list.Clear();
      model.clear();
      flags.clear();
    }
    if constexpr (std::is_same_v<List, FlaggedStringList>) {
      if (!model.empty()) {
        const auto index = static_cast<std::uint32_t>(random() % model.size());
        flags[index] = static_cast<std::uint8_t>(step);
        list.Flag(index) = flags[index];
      }
    }
    ASSERT_EQ(list.Count, model.size()) << "step " << step;
    for (std::uint32_t i = 0; i < model.size(); ++i) {
      ASSERT_STREQ(list.Get(i), model[i].c_str()) << "entry " << i << ", step " << step;
      if constexpr (std::is_same_v<List, FlaggedStringList>) {
        ASSERT_EQ(list.Flag(i), flags[i]) << "entry " << i << ", step " << step;
      }
    }
    ASSERT_EQ(list.Get(static_cast<std::uint32_t>(model.size())), nullptr);
  }
}

TEST(StringListTest, EntriesAcrossBlocksBehaveAsAPlainArray) {
  // 600 entries: two whole blocks and a short third one, so that the list fills up.
  StringList list(600);
  CheckAgainstPlainArray(list, 600, 1);
  auto flagged = std::make_unique<FlaggedStringList>();
  CheckAgainstPlainArray(*flagged, kFlaggedListCapacity, 2);
  flagged->Clear();
  CheckAgainstPlainArray(*flagged, kFlaggedListCapacity, 3, true);
}

// Entries of one text share it: the texts of a full list of runs take a block each for
// 256 different texts, and a removal inside a run or of a run's last entry keeps the
// texts of the entries around it.
TEST(StringListTest, RunsOfOneTextShareItsBuffer) {
  auto list = std::make_unique<FlaggedStringList>();
  for (std::uint32_t i = 0; i < kFlaggedListCapacity; ++i) {
    ASSERT_EQ(list->Add(Numbered(i / 1000).c_str(), i % 2 == 0), static_cast<std::int32_t>(i));
  }
  EXPECT_EQ(list->Add("/data/one more.txt"), -1);
  EXPECT_STREQ(list->Get(999), Numbered(0).c_str());
  EXPECT_STREQ(list->Get(1000), Numbered(1).c_str());
  EXPECT_STREQ(list->Get(kFlaggedListCapacity - 1), Numbered(61).c_str());
  EXPECT_EQ(list->Get(999), list->Get(0));
  list->Clear();

  // Each step adds a text, or with "-" removes the entry it names; then the list's texts.
  const std::pair<const char*, const char*> steps[] = {
      {"a", "a"},     {"a", "a a"}, {"b", "a a b"}, {"a", "a a b a"}, {"-2", "a a a"},
      {"a", "a a a a"}, {"-3", "a a a"}, {"c", "a a a c"}, {"-0", "a a c"}, {"-2", "a a"},
      {"c", "a a c"}, {"-1", "a c"}, {"-0", "c"}, {"c", "c c"}, {"-1", "c"}, {"-0", ""},
      {"d", "d"},
  };
  for (const auto& [step, expected] : steps) {
    if (step[0] == '-') list->RemoveAt(static_cast<std::uint32_t>(std::atoi(step + 1)));
    if (step[0] != '-') list->Add(step);
    std::string texts;
    for (std::uint32_t i = 0; i < list->Count; ++i) {
      if (i > 0) texts += ' ';
      texts += list->Get(i);
    }
    EXPECT_EQ(texts, expected) << step;
  }
}

// With no memory for the block of a new entry, the entry is dropped as a full list drops
// it, and the next add that gets memory goes on from there.
TEST(StringListTest, NoMemoryForANewBlockDropsTheEntryAndMarksTheList) {
  auto list = std::make_unique<FlaggedStringList>();
  for (std::uint32_t i = 0; i < kEntriesPerBlock; ++i) list->Add(Numbered(i).c_str());
  list->NonEmpty = 0;
  FailNextAllocationsForTesting(1);
  EXPECT_EQ(list->Add("/data/dropped.txt"), -1);
  FailNextAllocationsForTesting(0);
  EXPECT_EQ(list->Count, kEntriesPerBlock);
  EXPECT_EQ(list->NonEmpty, 1);
  EXPECT_EQ(list->Add("/data/next.txt"), static_cast<std::int32_t>(kEntriesPerBlock));
  EXPECT_STREQ(list->Get(kEntriesPerBlock - 1), Numbered(kEntriesPerBlock - 1).c_str());
  EXPECT_STREQ(list->Get(kEntriesPerBlock), "/data/next.txt");

  StringList empty(4);
  FailNextAllocationsForTesting(1);
  EXPECT_EQ(empty.Add("x"), -1);
  FailNextAllocationsForTesting(0);
  EXPECT_EQ(empty.Count, 0u);
  EXPECT_EQ(empty.NonEmpty, 1);
}

}  // namespace

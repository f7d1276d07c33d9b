#include "engine/string_list.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "engine/search_state.h"

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
  UnopenedFiles.Clear();
  for (std::uint32_t i = 0; i < kUnopenedFilesCapacity; ++i) UnopenedFiles.Add(Numbered(i).c_str());
  EXPECT_EQ(UnopenedFiles.Add("/data/dropped.txt"), -1);
  EXPECT_EQ(UnopenedFiles.Count, kUnopenedFilesCapacity);
  EXPECT_EQ(UnopenedFiles.NonEmpty, 1);
  EXPECT_STREQ(UnopenedFiles.Get(kUnopenedFilesCapacity - 1),
               Numbered(kUnopenedFilesCapacity - 1).c_str());
  UnopenedFiles.Clear();
}

TEST(StringListTest, RemoveAtMovesTextsAndFlagsUp) {
  auto list = std::make_unique<FlaggedStringList>();
  list->Add("a");
  list->Add("b");
  list->Add("c");
  list->Flag(0) = 1;
  list->Flag(2) = 7;
  list->RemoveAt(0);
  ASSERT_EQ(list->Count, 2u);
  EXPECT_STREQ(list->Get(0), "b");
  EXPECT_STREQ(list->Get(1), "c");
  EXPECT_EQ(list->Flag(0), 0);
  EXPECT_EQ(list->Flag(1), 7);
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

}  // namespace

#include "platform/directory.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <map>
#include <string>

#include "support/test_support.h"

namespace {

// Every entry of an enumeration by name.
std::map<std::string, FindEntry> ListAll(const std::string& spec) {
  std::map<std::string, FindEntry> found;
  FindEntry entry{};
  FindHandle find = FindFirst(spec.c_str(), &entry);
  if (!IsOpenFind(find)) return found;
  int result = kFindOk;
  while (result == kFindOk) {
    found[entry.Name] = entry;
    result = FindNext(find, &entry);
  }
  EXPECT_EQ(result, kFindNoMoreFiles);
  FindClose(find);
  return found;
}

TEST(FindTest, StarDotStarListsEverythingWithDotEntries) {
  TempTree tree;
  tree.WriteFile("a.txt", "");
  tree.WriteFile("README", "");
  tree.WriteFile(".hidden", "");
  tree.MakeDirectory("sub");
  auto found = ListAll(tree.Root() + "*.*");
  EXPECT_EQ(found.size(), 6u);
  for (const char* name : {".", "..", "a.txt", "README", ".hidden", "sub"}) {
    EXPECT_EQ(found.count(name), 1u) << name;
  }
  EXPECT_TRUE(found["."].IsDirectory);
  EXPECT_TRUE(found["sub"].IsDirectory);
  EXPECT_FALSE(found["a.txt"].IsDirectory);
  EXPECT_TRUE(found["a.txt"].IsRegularFile);
  EXPECT_FALSE(found["sub"].IsRegularFile);
  EXPECT_FALSE(found["."].IsRegularFile);
}

TEST(FindTest, PatternFiltersAndBackslashSplitsToo) {
  TempTree tree;
  tree.WriteFile("one.TXT", "");
  tree.WriteFile("two.doc", "");
  tree.MakeDirectory("dir.txt");
  auto found = ListAll(tree.Root() + "*.txt");
  EXPECT_EQ(found.size(), 2u);
  EXPECT_EQ(found.count("one.TXT"), 1u);
  EXPECT_TRUE(found["dir.txt"].IsDirectory);
  // The directory part ends at the last separator of either kind (a directory "back\").
  tree.WriteFile("back\\/three.doc", "");
  auto split = ListAll(tree.Root() + "back\\*.doc");
  EXPECT_EQ(split.size(), 1u);
  EXPECT_EQ(split.count("three.doc"), 1u);
}

TEST(FindTest, LinksReportTheirTargetType) {
  TempTree tree;
  tree.MakeDirectory("real");
  tree.WriteFile("file", "");
  ASSERT_EQ(mkfifo(tree.Path("fifo").c_str(), 0600), 0);
  ASSERT_EQ(symlink(tree.Path("fifo").c_str(), tree.Path("to-fifo").c_str()), 0);
  ASSERT_EQ(symlink(tree.Path("real").c_str(), tree.Path("to-dir").c_str()), 0);
  ASSERT_EQ(symlink(tree.Path("file").c_str(), tree.Path("to-file").c_str()), 0);
  ASSERT_EQ(symlink(tree.Path("gone").c_str(), tree.Path("dangling").c_str()), 0);
  auto found = ListAll(tree.Root() + "*");
  ASSERT_EQ(found.count("to-dir"), 1u);
  EXPECT_TRUE(found["to-dir"].IsDirectory);
  EXPECT_TRUE(found["to-dir"].IsLink);
  EXPECT_FALSE(found["to-file"].IsDirectory);
  EXPECT_TRUE(found["to-file"].IsLink);
  EXPECT_FALSE(found["dangling"].IsDirectory);
  EXPECT_TRUE(found["dangling"].IsLink);
  EXPECT_TRUE(found["real"].IsDirectory);
  EXPECT_FALSE(found["real"].IsLink);
  // Only what is (or leads to) a regular file is listed as one.
  for (const char* name : {"file", "to-file"}) EXPECT_TRUE(found[name].IsRegularFile) << name;
  for (const char* name : {"real", "to-dir", "dangling", "fifo", "to-fifo"}) {
    EXPECT_FALSE(found[name].IsRegularFile) << name;
  }
}

TEST(FindTest, NothingToEnumerateGivesInvalid) {
  TempTree tree;
  tree.WriteFile("a.txt", "");
  FindEntry entry{};
  EXPECT_EQ(FindFirst(tree.Path("missing/*.*").c_str(), &entry), kInvalidFind);
  EXPECT_EQ(FindFirst(tree.Path("*.doc").c_str(), &entry), kInvalidFind);
  EXPECT_EQ(FindFirst(tree.Path("a.txt/*").c_str(), &entry), kInvalidFind);
}

TEST(FindTest, NoDirectoryPartMeansTheCurrentDirectory) {
  TempTree tree;
  tree.WriteFile("here.txt", "");
  char saved[PATH_MAX];
  ASSERT_NE(getcwd(saved, sizeof saved), nullptr);
  ASSERT_EQ(chdir(tree.Root().c_str()), 0);
  auto found = ListAll("*.txt");
  EXPECT_EQ(chdir(saved), 0);
  EXPECT_EQ(found.size(), 1u);
  EXPECT_EQ(found.count("here.txt"), 1u);
}

}  // namespace

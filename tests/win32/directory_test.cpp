#include "platform/directory.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <map>
#include <string>

#include "support/test_support.h"

namespace {

// Every entry of an enumeration by name, and the order the names came in.
struct Listing {
  std::map<std::string, FindEntry> ByName;
  std::string Order;  // names joined by '|'
};

Listing ListAll(const std::string& spec) {
  Listing listing;
  FindEntry entry{};
  FindHandle find = FindFirst(spec.c_str(), &entry);
  if (!IsOpenFind(find)) return listing;
  int result = kFindOk;
  while (result == kFindOk) {
    listing.ByName[entry.Name] = entry;
    listing.Order += std::string(entry.Name) + "|";
    result = FindNext(find, &entry);
  }
  EXPECT_EQ(result, kFindNoMoreFiles);
  FindClose(find);
  return listing;
}

TEST(Win32FindTest, StarDotStarListsEveryEntryWithTheDirectoryAttribute) {
  TempTree tree;
  tree.WriteFile("a.txt", "");
  tree.WriteFile("README", "");
  tree.MakeDirectory("sub");
  Listing found = ListAll(tree.Root() + "*.*");
  EXPECT_EQ(found.ByName.size(), 5u) << found.Order;
  for (const char* name : {".", "..", "a.txt", "README", "sub"})
    EXPECT_EQ(found.ByName.count(name), 1u) << name;
  EXPECT_TRUE(found.ByName["sub"].IsDirectory);
  EXPECT_FALSE(found.ByName["sub"].IsLink);
  EXPECT_FALSE(found.ByName["a.txt"].IsDirectory);
}

TEST(Win32FindTest, ThePlatformMatchesWithoutRegardToCaseAndEitherSeparator) {
  TempTree tree;
  tree.WriteFile("one.TXT", "");
  tree.WriteFile("two.doc", "");
  tree.WriteFile("sub/three.txt", "");
  EXPECT_EQ(ListAll(tree.Root() + "*.txt").Order, "one.TXT|");
  EXPECT_EQ(ListAll(tree.Root() + "sub/*.txt").Order, "three.txt|");
  EXPECT_EQ(ListAll(tree.Root() + "sub\\*.txt").Order, "three.txt|");
}

TEST(Win32FindTest, NothingToEnumerateGivesInvalid) {
  TempTree tree;
  tree.WriteFile("a.txt", "");
  FindEntry entry{};
  EXPECT_EQ(FindFirst(tree.Path("missing\\*.*").c_str(), &entry), kInvalidFind);
  EXPECT_EQ(FindFirst(tree.Path("*.doc").c_str(), &entry), kInvalidFind);
  EXPECT_EQ(FindFirst("", &entry), kInvalidFind);
}

// A link to a directory (here one that points back up, a loop) is marked as a link so that
// the walk never enters it; a dangling link is not listed at all. The tree is made on the
// host beforehand (see the test's registration), since Wine makes no symbolic links.
TEST(Win32FindTest, ADirectoryLinkIsMarkedAsALink) {
  const char* tree = std::getenv("TESSIK_LINK_TREE");
  if (tree == nullptr) GTEST_SKIP() << "TESSIK_LINK_TREE names no tree with links";
  Listing found = ListAll(std::string(tree) + "sub\\*.*");
  EXPECT_EQ(found.ByName.size(), 4u) << found.Order;
  ASSERT_EQ(found.ByName.count("up"), 1u) << found.Order;
  EXPECT_TRUE(found.ByName["up"].IsDirectory);
  EXPECT_TRUE(found.ByName["up"].IsLink);
  EXPECT_FALSE(found.ByName["a.txt"].IsLink);
  EXPECT_FALSE(found.ByName["."].IsLink);
}

}  // namespace

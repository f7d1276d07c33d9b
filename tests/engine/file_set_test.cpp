#include "engine/file_set.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/search_state.h"
#include "platform/directory.h"
#include "platform/spec_pattern.h"
#include "platform/thread.h"
#include "support/recording_sink.h"
#include "support/test_search_state.h"
#include "support/test_support.h"

namespace fs = std::filesystem;

namespace {

using Paths = std::vector<std::string>;

std::vector<std::string> FileSetPaths() {
  std::vector<std::string> paths;
  for (std::uint32_t i = 0; i < TestSearchState().FileSet.Count; ++i)
    paths.emplace_back(TestSearchState().FileSet.Get(i));
  return paths;
}

// The walk as the file system lists each directory: its matching files first, then its
// subdirectories from the last listed to the first, each with its whole subtree.
void ModelWalk(const std::string& directory, const std::string& pattern,
               std::vector<std::string>* out) {
  std::vector<std::string> subdirectories;
  for (const fs::directory_entry& e : fs::directory_iterator(directory)) {
    std::string name = e.path().filename().string();
    std::error_code ignored;
    bool isDirectory = fs::is_directory(e.path(), ignored);
    if (!isDirectory && WildcardMatch(pattern.c_str(), name.c_str()))
      out->push_back(directory + name);
    if (isDirectory && !e.is_symlink()) subdirectories.push_back(name);
  }
  for (auto it = subdirectories.rbegin(); it != subdirectories.rend(); ++it)
    ModelWalk(directory + *it + kSubdirectorySeparator, pattern, out);
}

std::vector<std::string> Model(const std::string& directory, const std::string& pattern) {
  std::vector<std::string> out;
  ModelWalk(directory, pattern, &out);
  return out;
}

class FileSetTest : public ::testing::Test {
 protected:
  void SetUp() override { ClearSearchLists(TestSearchState()); }
  void TearDown() override {
    ResetSearchState(TestSearchState());
    ClearSearchLists(TestSearchState());
  }
  void ExpectNoFindOpen() {
    EXPECT_EQ(TestSearchState().PatternFindHandle, kNoFind);
    EXPECT_EQ(TestSearchState().SubdirFindHandle, kNoFind);
  }
  // Nothing was left out.
  void ExpectNothingLeftOut() {
    for (LeftOutKind kind : {LeftOutKind::FolderQueueFull, LeftOutKind::FolderSpecTooLong,
                             LeftOutKind::FileSetFull, LeftOutKind::FilePathTooLong})
      EXPECT_EQ(sink.LeftOutCount(kind), 0u) << static_cast<int>(kind);
  }
  TempTree tree;
  RecordingSink sink;
};

TEST(SplitSearchSpecTest, DirectoryPartEndsAtTheLastSeparator) {
  struct Case {
    std::string Spec, Directory, Pattern;
  };
  const Case cases[] = {
      {"/docs/notes/*.txt", "/docs/notes/", "*.txt"},
      {"*.txt", "", "*.txt"},
      {"a\\b/c\\d*.t", "a\\b/c\\", "d*.t"},
      {"dir/", "dir/", ""},
      {"", "", ""},
      // Only 259 characters are looked at: the separator after them does not count.
      {std::string("/").append(300, 'x').append("/y"), "/", std::string(258, 'x')},
  };
  for (const Case& c : cases) {
    char directory[kSpecBufferSize];
    char pattern[kSpecBufferSize];
    SplitSearchSpec(c.Spec.c_str(), directory, pattern);
    EXPECT_EQ(directory, c.Directory) << c.Spec;
    EXPECT_EQ(pattern, c.Pattern) << c.Spec;
  }
}

TEST_F(FileSetTest, OneDirectoryGivesItsMatchingFilesOnly) {
  tree.WriteFile("a.txt", "");
  tree.WriteFile("B.TXT", "");
  tree.WriteFile(".hidden.txt", "");
  tree.WriteFile("c.doc", "");
  tree.WriteFile("sub/d.txt", "");
  tree.MakeDirectory("x.txt");

  EXPECT_EQ(BuildFileSet(TestSearchState(), tree.Path("*.txt").c_str(), false, sink),
            kFileSetBuilt);

  std::vector<std::string> expected = Model(tree.Root(), "*.txt");
  expected.erase(std::remove(expected.begin(), expected.end(), tree.Path("sub/d.txt")),
                 expected.end());
  EXPECT_EQ(FileSetPaths(), expected);
  EXPECT_EQ(TestSearchState().FileSet.Count,
            3u);  // a.txt, B.TXT, .hidden.txt; never the directory x.txt
  for (std::uint32_t i = 0; i < TestSearchState().FileSet.Count; ++i)
    EXPECT_EQ(TestSearchState().FileSet.Flag(i), 0);
  ExpectNoFindOpen();
  ExpectNothingLeftOut();
}

TEST_F(FileSetTest, SubdirectoriesAreEnteredLastListedFirstWithTheirWholeSubtree) {
  for (const char* name : {"top.txt", "a/a.txt", "a/a1/a1.txt", "b/b.txt", "b/b1/b1.txt", "c/c.txt",
                           "c/c1/c1.txt", "c/c2/c2.txt"})
    tree.WriteFile(name, "");

  EXPECT_EQ(BuildFileSet(TestSearchState(), tree.Path("*.txt").c_str(), true, sink), kFileSetBuilt);

  std::vector<std::string> paths = FileSetPaths();
  EXPECT_EQ(paths, Model(tree.Root(), "*.txt"));
  ASSERT_EQ(paths.size(), 8u);
  EXPECT_EQ(paths[0], tree.Path("top.txt"));
  // Each subtree is finished before the next one starts, in the reverse listing order.
  std::vector<std::string> listed;
  for (const fs::directory_entry& e : fs::directory_iterator(tree.Root()))
    if (e.is_directory()) listed.push_back(e.path().filename().string());
  std::string order;
  for (const std::string& path : paths) {
    char top = path[tree.Root().size()];
    if (path != tree.Path("top.txt") && (order.empty() || order.back() != top)) order += top;
  }
  std::string reversed;
  for (auto it = listed.rbegin(); it != listed.rend(); ++it) reversed += (*it)[0];
  EXPECT_EQ(order, reversed);
  EXPECT_EQ(TestSearchState().DirectoryQueue.Count, 0u);
  ExpectNoFindOpen();
}

TEST_F(FileSetTest, SpecificationWithoutSeparatorIsRelativeToTheCurrentDirectory) {
  tree.WriteFile("a.txt", "");
  tree.WriteFile("sub/b.txt", "");
  fs::path before = fs::current_path();
  fs::current_path(tree.Root());
  const int result = BuildFileSet(TestSearchState(), "*.txt", true, sink);
  fs::current_path(before);

  EXPECT_EQ(result, kFileSetBuilt);
  EXPECT_EQ(FileSetPaths(),
            Paths({"a.txt", std::string("sub") + kSubdirectorySeparator + "b.txt"}));
}

TEST_F(FileSetTest, NoMatchAtTheTopStillSearchesTheSubdirectories) {
  tree.WriteFile("readme.doc", "");
  tree.WriteFile("deep/er/found.txt", "");

  EXPECT_EQ(BuildFileSet(TestSearchState(), tree.Path("*.txt").c_str(), true, sink), kFileSetBuilt);

  EXPECT_EQ(FileSetPaths(), Paths({tree.Path("deep/er/found.txt")}));
  ExpectNoFindOpen();
}

// Only a start directory that cannot be listed at all ends a search of the tree without
// files; a tree that is there but holds none gives an empty set.
TEST_F(FileSetTest, NothingAnywhereWithSubdirectoriesIsAnEmptySetBuilt) {
  tree.WriteFile("sub/readme.doc", "");
  EXPECT_EQ(BuildFileSet(TestSearchState(), tree.Path("*.txt").c_str(), true, sink), kFileSetBuilt);
  EXPECT_EQ(TestSearchState().FileSet.Count, 0u);
}

TEST_F(FileSetTest, NoMatchWithoutSubdirectoriesAnswersNoFileMatches) {
  tree.WriteFile("readme.doc", "");
  tree.WriteFile("sub/found.txt", "");

  EXPECT_EQ(BuildFileSet(TestSearchState(), tree.Path("*.txt").c_str(), false, sink),
            kNoFileMatches);

  EXPECT_EQ(TestSearchState().FileSet.Count, 0u);
  ExpectNoFindOpen();
}

TEST_F(FileSetTest, MissingStartDirectoryWithSubdirectoriesAnswersNoFileMatchesInTree) {
  EXPECT_EQ(BuildFileSet(TestSearchState(), tree.Path("missing/*.txt").c_str(), true, sink),
            kNoFileMatchesInTree);
  EXPECT_EQ(TestSearchState().FileSet.Count, 0u);
  ExpectNoFindOpen();
}

TEST_F(FileSetTest, PathsThatWouldPass255CharactersAreSkippedNotCut) {
  // The queued specification of a subdirectory is directory, name, separator and "*.txt".
  std::size_t longest = 255 - tree.Root().size() - 1 - 5;
  if (longest + 1 > 255) GTEST_SKIP() << "temporary folder too long for this tree";
  std::string fits(longest, 'f');
  std::string tooLong(longest + 1, 'g');
  tree.WriteFile(fits + "/a.txt", "");   // exactly 255 characters: kept
  tree.WriteFile(fits + "/ab.txt", "");  // 256: left out, not cut
  tree.WriteFile(tooLong + "/a.txt", "");
  tree.WriteFile("b/sibling.txt", "");

  EXPECT_EQ(BuildFileSet(TestSearchState(), tree.Path("*.txt").c_str(), true, sink), kFileSetBuilt);

  std::vector<std::string> paths = FileSetPaths();
  std::sort(paths.begin(), paths.end());
  EXPECT_EQ(paths, Paths({tree.Path("b/sibling.txt"), tree.Path(fits + "/a.txt")}));
  EXPECT_EQ(tree.Path(fits + "/a.txt").size(), 255u);
  // The sink is told what was left out, each time, as what it was.
  EXPECT_EQ(sink.LeftOutCount(LeftOutKind::FilePathTooLong), 1u);
  EXPECT_EQ(sink.LeftOutCount(LeftOutKind::FolderSpecTooLong), 1u);
  EXPECT_EQ(sink.LeftOutCount(LeftOutKind::FileSetFull), 0u);
  EXPECT_EQ(sink.LeftOutCount(LeftOutKind::FolderQueueFull), 0u);
}

TEST_F(FileSetTest, FilesAndFoldersRefusedByFullListsAreCounted) {
  tree.WriteFile("a.txt", "");
  tree.WriteFile("b.txt", "");
  tree.WriteFile("sub1/c.txt", "");
  tree.WriteFile("sub2/d.txt", "");
  // Full lists, as after a walk through a huge tree; the queued folders do not exist.
  for (std::uint32_t i = 0; i < kFlaggedListCapacity; ++i) TestSearchState().FileSet.Add("earlier");
  for (std::uint32_t i = 0; i < kDirectoryQueueCapacity; ++i)
    TestSearchState().DirectoryQueue.Add(tree.Path("gone/*.txt").c_str());

  EXPECT_EQ(BuildFileSet(TestSearchState(), tree.Path("*.txt").c_str(), true, sink), kFileSetBuilt);

  EXPECT_EQ(sink.LeftOutCount(LeftOutKind::FileSetFull), 2u);
  EXPECT_EQ(sink.LeftOutCount(LeftOutKind::FolderQueueFull), 2u);
  EXPECT_EQ(sink.LeftOutCount(LeftOutKind::FilePathTooLong), 0u);
  EXPECT_EQ(sink.LeftOutCount(LeftOutKind::FolderSpecTooLong), 0u);
}

// FIFOs, links and unreadable folders as POSIX has them; the Windows counterparts are
// tested with the directory services themselves.
#ifndef _WIN32
TEST_F(FileSetTest, FifoIsListedWithoutBlocking) {
  tree.WriteFile("a.txt", "");
  ASSERT_EQ(mkfifo(tree.Path("pipe.txt").c_str(), 0600), 0);

  EXPECT_EQ(BuildFileSet(TestSearchState(), tree.Path("*.txt").c_str(), false, sink),
            kFileSetBuilt);

  std::vector<std::string> paths = FileSetPaths();
  std::sort(paths.begin(), paths.end());
  EXPECT_EQ(paths, Paths({tree.Path("a.txt"), tree.Path("pipe.txt")}));
}

TEST_F(FileSetTest, LinkToADirectoryIsNeitherEnteredNorListed) {
  tree.WriteFile("a.txt", "");
  tree.WriteFile("sub/b.txt", "");
  fs::create_directory_symlink("..", tree.Path("sub/up"));  // a loop back to the top
  fs::create_symlink(tree.Path("a.txt"), tree.Path("link.txt"));

  EXPECT_EQ(BuildFileSet(TestSearchState(), tree.Path("*.*").c_str(), true, sink), kFileSetBuilt);

  std::vector<std::string> paths = FileSetPaths();
  std::sort(paths.begin(), paths.end());
  EXPECT_EQ(paths, Paths({tree.Path("a.txt"), tree.Path("link.txt"), tree.Path("sub/b.txt")}));
}

// As root every directory can be read, so the walk then runs as an ordinary user in a
// child process. The unreadable subdirectory is passed over; the rest is still found.
TEST_F(FileSetTest, SubdirectoryThatCannotBeReadIsPassedOver) {
  tree.WriteFile("top.txt", "");
  tree.WriteFile("locked/inner.txt", "");
  tree.WriteFile("open/other.txt", "");
  fs::permissions(tree.Root(), fs::perms::all);
  fs::permissions(tree.Path("open"), fs::perms::all);
  fs::permissions(tree.Path("locked"), fs::perms::none);

  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(3);
    if (BuildFileSet(TestSearchState(), tree.Path("*.txt").c_str(), true, sink) != kFileSetBuilt)
      _exit(1);
    std::vector<std::string> paths = FileSetPaths();
    std::sort(paths.begin(), paths.end());
    bool right = paths == Paths({tree.Path("open/other.txt"), tree.Path("top.txt")});
    _exit(right ? 0 : 2);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  fs::permissions(tree.Path("locked"), fs::perms::owner_all);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
}
#endif

// A worker that is stopped before it begins: the enumeration meets the stop at its first
// checkpoint and must leave every open handle recorded for the window thread's cleanup.
// Like a search, the worker ends itself when no file set was built.
struct StoppedRun {
  std::string Spec;
  bool IncludeSubdirectories = false;
  RecordingSink* Sink = nullptr;
  int Built = 0;
};
StoppedRun stoppedRun;

int StoppedEnumeration() {
  static const std::atomic<int> never{0};
  WorkerWaitUntil(never);  // returns on the stop
  stoppedRun.Built = BuildFileSet(TestSearchState(), stoppedRun.Spec.c_str(),
                                  stoppedRun.IncludeSubdirectories, *stoppedRun.Sink);
  return stoppedRun.Built == kFileSetBuilt
             ? 0
             : EndWithoutFiles(TestSearchState(), stoppedRun.Built, *stoppedRun.Sink);
}

int RunStopped(const std::string& spec, bool includeSubdirectories, RecordingSink& sink) {
  stoppedRun = {spec, includeSubdirectories, &sink, 0};
  if (StartWorker(StoppedEnumeration) != 0) return 99;
  RequestStop();
  return JoinWorker();
}

TEST_F(FileSetTest, StopLeavesTheOpenEnumerationsRecordedForTheCleanup) {
  tree.WriteFile("a.txt", "");
  tree.WriteFile("b.txt", "");
  tree.WriteFile("sub/c.txt", "");

  EXPECT_EQ(RunStopped(tree.Path("*.txt"), true, sink), -1);
  EXPECT_EQ(stoppedRun.Built, kFileSetStopped);
  EXPECT_TRUE(IsOpenFind(TestSearchState().PatternFindHandle));
  EXPECT_TRUE(IsOpenFind(TestSearchState().SubdirFindHandle));
  ResetSearchState(TestSearchState());
  ExpectNoFindOpen();

  EXPECT_EQ(RunStopped(tree.Path("*.txt"), false, sink), -1);
  EXPECT_EQ(stoppedRun.Built, kFileSetStopped);
  EXPECT_TRUE(IsOpenFind(TestSearchState().PatternFindHandle));
  EXPECT_EQ(TestSearchState().FileSet.Count, 1u);
  ResetSearchState(TestSearchState());

  // Nothing found after a stop: the worker does not end the search, the window thread
  // does, so the search still counts as running.
  TestSearchState().SearchRunning = 1;
  EXPECT_EQ(RunStopped(tree.Path("*.none"), false, sink), -1);
  EXPECT_EQ(TestSearchState().SearchRunning.load(), 1);
}

}  // namespace

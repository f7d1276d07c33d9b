#include "engine/file_set.h"

#include <cstring>

#include "engine/search_state.h"
#include "platform/directory.h"
#include "platform/spec_pattern.h"
#include "platform/thread.h"

namespace {

constexpr std::size_t kMaxSpecLength = kSpecBufferSize - 1;
constexpr std::size_t kMaxEntryLength = kEntrySize - 1;
// A directory part longer than this leaves no room for "*.*" in a queued specification.
constexpr std::size_t kMaxScannedDirectoryLength = 254;
// FindNext failing for a reason other than the end of the directory is asked again this
// many times; a failure that persists ends that directory instead of looping forever.
constexpr int kFindRetries = 3;

bool IsDotEntry(const char* name) {
  return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

// One enumeration, in the buffers of its search's state.
class Enumeration {
 public:
  explicit Enumeration(SearchState& searchState)
      : state(searchState),
        currentSpec(searchState.FileSetBuffers.CurrentSpec),
        directoryPart(searchState.FileSetBuffers.DirectoryPart),
        pattern(searchState.FileSetBuffers.Pattern),
        scratch(searchState.FileSetBuffers.Scratch),
        entry(searchState.FileSetBuffers.Entry) {}

  int Build(const char* specText, bool includeSubdirectories, SearchSink& sink);

 private:
  int NextEntry(FindHandle find);
  void QueueSubdirectory(std::size_t directoryLength, std::size_t patternLength, SearchSink& sink);
  template <typename Visit>
  int VisitEntries(FindHandle find, std::atomic<FindHandle>& slot, Visit visit);
  int ScanSubdirectories(FindHandle find, std::atomic<FindHandle>& slot, SearchSink& sink);
  const char* AllNamesSpec();
  FindHandle StartFind(const char* spec, std::atomic<FindHandle>& slot);
  int CollectFiles(FindHandle find, SearchSink& sink);

  SearchState& state;
  char* currentSpec;
  char* directoryPart;
  char* pattern;
  char* scratch;
  FindEntry& entry;
};

// The next entry of `find`, kFindNoMoreFiles at the end, or -1 on a stop. A failure other
// than the end is asked again a few times and then taken as the end of the directory.
int Enumeration::NextEntry(FindHandle find) {
  for (int attempt = 0;; ++attempt) {
    if (WorkerCheckpoint() != 0) return -1;
    int result = FindNext(find, &entry);
    if (result == kFindOk || result == kFindNoMoreFiles) return result;
    if (attempt >= kFindRetries) return kFindNoMoreFiles;
  }
}

// Queues the subdirectory that `entry` names, unless its specification would not fit
// in a queue entry. A link to a directory is never entered, so the walk cannot loop.
void Enumeration::QueueSubdirectory(std::size_t directoryLength, std::size_t patternLength,
                                    SearchSink& sink) {
  if (!entry.IsDirectory || entry.IsLink || IsDotEntry(entry.Name)) return;
  std::size_t nameLength = std::strlen(entry.Name);
  if (directoryLength + nameLength + 1 + patternLength > kMaxEntryLength) {
    sink.LeftOut(LeftOutKind::FolderSpecTooLong);
    return;
  }
  char* end = scratch;
  std::memcpy(end, directoryPart, directoryLength);
  end += directoryLength;
  std::memcpy(end, entry.Name, nameLength);
  end += nameLength;
  *end++ = kSubdirectorySeparator;
  std::memcpy(end, pattern, patternLength + 1);
  if (state.DirectoryQueue.Add(scratch) < 0) sink.LeftOut(LeftOutKind::FolderQueueFull);
}

// Visits the entry already in `entry` and every further one of `find`, then closes the
// enumeration and clears the slot that records it. -1 on a stop, with the handle left
// recorded for the cleanup.
template <typename Visit>
int Enumeration::VisitEntries(FindHandle find, std::atomic<FindHandle>& slot, Visit visit) {
  for (;;) {
    visit();
    int next = NextEntry(find);
    if (next < 0) return -1;
    if (next != kFindOk) break;
  }
  FindClose(slot.exchange(kNoFind));
  return 0;
}

// Queues every subdirectory of the "*.*" enumeration `find`.
int Enumeration::ScanSubdirectories(FindHandle find, std::atomic<FindHandle>& slot,
                                    SearchSink& sink) {
  std::size_t directoryLength = std::strlen(directoryPart);
  std::size_t patternLength = std::strlen(pattern);
  return VisitEntries(find, slot, [&] { QueueSubdirectory(directoryLength, patternLength, sink); });
}

// D followed by "*.*" in the scratch buffer; the directory part has at most 254 characters.
const char* Enumeration::AllNamesSpec() {
  std::size_t directoryLength = std::strlen(directoryPart);
  std::memcpy(scratch, directoryPart, directoryLength);
  std::memcpy(scratch + directoryLength, "*.*", 4);
  return scratch;
}

// Starts an enumeration and records its handle in `slot` before anything else is done.
FindHandle Enumeration::StartFind(const char* spec, std::atomic<FindHandle>& slot) {
  FindHandle find = FindFirst(spec, &entry);
  slot = IsOpenFind(find) ? find : kNoFind;
  return find;
}

// Adds the files of the pattern enumeration `find`. A path that would not fit in a
// FileSet entry is left out rather than cut.
int Enumeration::CollectFiles(FindHandle find, SearchSink& sink) {
  std::size_t directoryLength = std::strlen(directoryPart);
  return VisitEntries(find, state.PatternFindHandle, [&] {
    if (entry.IsDirectory) return;
    std::size_t nameLength = std::strlen(entry.Name);
    if (directoryLength + nameLength > kMaxEntryLength) {
      sink.LeftOut(LeftOutKind::FilePathTooLong);
      return;
    }
    std::memcpy(scratch, directoryPart, directoryLength);
    std::memcpy(scratch + directoryLength, entry.Name, nameLength + 1);
    // The mark saves the scan asking again what kind of file it is (file_scanner.h).
    if (state.FileSet.Add(scratch, entry.IsRegularFile) < 0) sink.LeftOut(LeftOutKind::FileSetFull);
  });
}

}  // namespace

void SplitSearchSpec(const char* spec, char* directory, char* patternOut) {
  std::size_t length = 0;
  while (length < kMaxSpecLength && spec[length] != '\0') ++length;
  const std::size_t split = DirectoryPartLength(spec, length);
  std::memcpy(directory, spec, split);
  directory[split] = '\0';
  std::memcpy(patternOut, spec + split, length - split);
  patternOut[length - split] = '\0';
}

int Enumeration::Build(const char* specText, bool includeSubdirectories, SearchSink& sink) {
  std::strncpy(currentSpec, specText != nullptr ? specText : "", kMaxSpecLength);
  currentSpec[kMaxSpecLength] = '\0';
  for (bool startDirectory = true;; startDirectory = false) {
    SplitSearchSpec(currentSpec, directoryPart, pattern);
    std::size_t directoryLength = std::strlen(directoryPart);
    FindHandle find = StartFind(currentSpec, state.PatternFindHandle);
    if (IsOpenFind(find)) {
      if (includeSubdirectories && directoryLength <= kMaxScannedDirectoryLength) {
        // The pattern's first entry must survive the subdirectory scan.
        FindEntry firstMatch = entry;
        FindHandle subdirs = StartFind(AllNamesSpec(), state.SubdirFindHandle);
        if (IsOpenFind(subdirs) && ScanSubdirectories(subdirs, state.SubdirFindHandle, sink) < 0)
          return kFileSetStopped;
        entry = firstMatch;
      }
      if (CollectFiles(find, sink) < 0) return kFileSetStopped;
    } else {
      if (!includeSubdirectories) return kNoFileMatches;
      if (directoryLength <= kMaxScannedDirectoryLength) {
        FindHandle all = StartFind(AllNamesSpec(), state.PatternFindHandle);
        if (IsOpenFind(all)) {
          if (ScanSubdirectories(all, state.PatternFindHandle, sink) < 0) return kFileSetStopped;
        } else if (startDirectory) {
          return kNoFileMatchesInTree;
        }
        // A subdirectory that cannot be read, or that has gone since it was queued, is
        // passed over: the files found elsewhere in the tree are still the answer.
      }
    }
    if (!includeSubdirectories || state.DirectoryQueue.Count == 0) return kFileSetBuilt;
    if (WorkerCheckpoint() != 0) return kFileSetStopped;
    std::uint32_t last = state.DirectoryQueue.Count - 1;
    std::strncpy(currentSpec, state.DirectoryQueue.Get(last), kMaxSpecLength);
    currentSpec[kMaxSpecLength] = '\0';
    state.DirectoryQueue.RemoveAt(last);
  }
}

int BuildFileSet(SearchState& state, const char* specText, bool includeSubdirectories,
                 SearchSink& sink) {
  return Enumeration(state).Build(specText, includeSubdirectories, sink);
}

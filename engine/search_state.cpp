#include "engine/search_state.h"

#include "engine/button_rule.h"
#include "platform/memory.h"

// Constructed in this order at start-up (one translation unit keeps the order).
FlaggedStringList FileSet;
FlaggedStringList ResultList;
StringList DirectoryQueue(kDirectoryQueueCapacity);
StringList UnopenedFiles(kUnopenedFilesCapacity);

SearchStateRecord SearchState;

void ResetSearchState() {
  FileSet.Clear();
  DirectoryQueue.Clear();
  FindClose(SearchState.PatternFindHandle.exchange(kNoFind));
  FindClose(SearchState.SubdirFindHandle.exchange(kNoFind));
  FreeBlock(SearchState.ReadBuffer.exchange(nullptr));
  CloseFile(SearchState.ScanFileHandle.exchange(kNoFile));
  SearchState.SearchPaused = 0;
  SearchState.SearchRunning = 0;
  SearchState.FirstTermTaken = 0;
  RefreshButtons();
}

void ClearSearchLists() {
  UnopenedFiles.Clear();
  DirectoryQueue.Clear();
  ResultList.Clear();
  FileSet.Clear();
}

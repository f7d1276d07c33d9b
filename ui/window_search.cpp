#include "ui/window_search.h"

#include "engine/result_line.h"
#include "engine/search_driver.h"
#include "engine/search_sink.h"
#include "platform/thread.h"
#include "platform/window.h"
#include "query/term_codes.h"
#include "texts/given_name_file.h"
#include "ui/button_rule.h"
#include "ui/search_activity.h"
#include "ui/status_line.h"
#include "ui/window_switches.h"

namespace {

// Every call comes from the search worker and is carried out by the window before it
// returns; after a stop request a call returns at once and shows nothing.
class WindowSink final : public SearchSink {
 public:
  void CollectingFiles(bool listing) override {
    ShowPaddedStatus("Searching...", listing ? kListingSearchingBlanks : kQuerySearchingBlanks);
  }

  void SearchingFile(const char* path, std::int32_t termCode) override {
    ShowScanProgress(path, termCode == kSoleAndNot ? kSoleNotProgressBlanks : kScanProgressBlanks);
    StartResultLines(&line_, path);
  }

  int OccurrenceFound(const FoundOccurrence& occurrence) override {
    return ListBoxAddLine(kResultListBox, FormatResultLine(&line_, occurrence)) < 0 ? -1 : 0;
  }

  int FileFound(const char* path) override {
    return ListBoxAddLine(kResultListBox, path) < 0 ? -1 : 0;
  }

  // The window shows neither: the log lists the files that could not be opened.
  void FileNotOpened(const char*) override {}
  void LeftOut(LeftOutKind) override {}

  void SearchEnding(const SearchSummary& summary) override {
    results_ = summary;
    SearchMessage message;
    if (MessageOfEnding(summary, &message)) {
      ShowMessageBox(message.Title, message.Text,
                     message.IsError ? MessageIcon::Error : MessageIcon::Information);
    } else {
      ShowCompletionStatus(summary.Ending == SearchEnding::FilesListed ? kCompletedListing
                           : summary.Ending == SearchEnding::Stopped   ? kStoppedSearch
                                                                       : kCompletedSearch,
                           summary);
    }
  }

  // The buttons follow the lists, and the focus goes where the user goes on: to the result
  // list after an answer, to the field to mend after a refusal or when nothing was found.
  void SearchEnded(const SearchSummary& summary) override {
    RefreshButtons();
    switch (summary.Ending) {
      case SearchEnding::QueryAnswered:
        SetControlFocus(kResultListBox);
        break;
      case SearchEnding::QueryRefused:
        SetControlFocus(kSearchForEdit);
        break;
      case SearchEnding::NoFiles:
      case SearchEnding::NoFilesInTree:
        ShowPaddedStatus("Ready", summary.Ending == SearchEnding::NoFiles
                                      ? kNoFilesReadyBlanks
                                      : kNoFilesInTreeReadyBlanks);
        SetControlFocus(kSearchInEdit);
        break;
      case SearchEnding::FilesListed:
      case SearchEnding::NoMemory:
      case SearchEnding::Stopped:  // Stop puts the focus on the list itself
      case SearchEnding::Running:
        break;
    }
    SetWindowSearchActivity(SearchActivity::Idle);
  }

  // What the last search handed over at its end.
  const SearchSummary& Results() const { return results_; }

 private:
  ResultLine line_;  // the worker's
  // Written at the end of a search, by the worker or after a stop by the window thread;
  // read by the window thread once the search is Idle.
  SearchSummary results_{};
};

WindowSink windowSink;
// The window thread's copy of the request last read, for Save; the worker has its own.
SearchRequest lastRequest;
// The user's given-name equivalents of the search that runs (its request points to them;
// they are read again only while no worker runs), and what was last said of the lines of
// their file that were left out (each new fault is told once, not at every search).
GivenNameExtras windowGivenNames;
std::string givenNamesToldOf;

// Reads the user's given-name equivalents for the next search, telling of any line left out.
void ReadUserGivenNames() {
  std::vector<std::string> messages;
  LoadUserGivenNames(&windowGivenNames, &messages);
  std::string text;
  for (std::size_t i = 0; i < messages.size() && i < 10; ++i) text += " " + messages[i] + "\n";
  if (messages.size() > 10)
    text += " ... and " + std::to_string(messages.size() - 10) + " more line(s) left out\n";
  if (!text.empty() && text != givenNamesToldOf) {
    ShowMessageBox(" Given-name equivalents", (text + " The search goes on without them. ").c_str(),
                   MessageIcon::Information);
  }
  givenNamesToldOf = text;
}

}  // namespace

SearchRequest ReadWindowRequest() {
  char searchIn[kSearchTextSize];
  char searchFor[kSearchForSize];
  GetControlText(kSearchForEdit, searchFor, sizeof searchFor);
  const bool subdirectories = GetCheckState(kIncludeSubdirsCheck) == 1;
  GetControlText(kSearchInEdit, searchIn, sizeof searchIn);
  lastRequest = MakeSearchRequest(searchIn, searchFor, subdirectories);
  lastRequest.Method = &ChosenMethod();
  lastRequest.ReadUnicode = ChosenReadUnicode();
  lastRequest.GivenNames = ChosenGivenNames();
  lastRequest.ReadRecords = ChosenReadRecords();
  // Every processor reads files; the results are those of one.
  lastRequest.Threads = ProcessorCount();
  if (lastRequest.GivenNames) {
    ReadUserGivenNames();
    lastRequest.UserGivenNames = &windowGivenNames;
  }
  return lastRequest;
}

int RunWindowSearch(const SearchRequest& request) {
  return RunSearch(WindowSearchState(), request, windowSink);
}

void EndStoppedWindowSearch() { EndStoppedSearch(WindowSearchState(), windowSink); }

SearchSummary WindowSearchResults() {
  if (WindowSearchActivity() != SearchActivity::Idle)
    return SummaryOfSearch(WindowSearchState(), SearchEnding::Running);
  return windowSink.Results();
}

const SearchRequest& LastWindowRequest() { return lastRequest; }

SearchState& WindowSearchState() {
  // The window's program state, for as long as the program runs.
  static SearchState* const state = new SearchState;
  return *state;
}

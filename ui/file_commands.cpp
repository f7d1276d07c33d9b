#include "ui/file_commands.h"

#include "engine/search_state.h"
#include "log/search_log.h"
#include "ui/window_search.h"

const FileFilter kBrowseFilters[2] = {
    {"Text Files (*.txt,*.doc,*.wri,*.wpd,*.log,*.rtf)", "*.TXT;*.DOC;*.WRI;*.WPD;*.LOG;*.RTF"},
    {"All Files (*.*)", "*.*"},
};

const FileFilter kSaveFilters[2] = {
    {"Log Files (*.log)", "*.log"},
    {"All Files (*.*)", "*.*"},
};

namespace {

constexpr int kBrowseSelected = 2;  // "All Files (*.*)"
constexpr int kSaveSelected = 1;    // "Log Files (*.log)"

// The result list box, as the log reads it.
class ListBoxLines final : public ShownLines {
 public:
  int Count() const override { return ListBoxCount(kResultListBox); }
  int Text(int index, char* buffer, int size) const override {
    return ListBoxGetText(kResultListBox, index, buffer, size);
  }
};

}  // namespace

void BrowseCommand() {
  char path[kDialogPathSize] = {};
  if (ShowOpenDialog(kBrowseFilters, 2, kBrowseSelected, path, kDialogPathSize) != 0) return;
  path[kDialogPathSize - 1] = '\0';
  if (path[0] == '\0') return;
  // Set by the program, so the typing limit of the field does not cut it.
  SetControlText(kSearchInEdit, path);
}

void SaveCommand() {
  char path[kDialogPathSize] = {};
  if (ShowSaveDialog(kSaveFilters, 2, kSaveSelected, path, kDialogPathSize) != 0) return;
  path[kDialogPathSize - 1] = '\0';
  if (path[0] == '\0') return;
  // A failure has been shown to the user; Save stays enabled so that they can retry, and
  // the dialogs stay out of a folder that could not take the file.
  const int saved = SaveSearchLog(path, WindowSearchResults(), LastWindowRequest(), ListBoxLines());
  if (saved != kLogWritten) {
    const LogFailure failure = LogFailureMessage(saved);
    ShowMessageBox(failure.Title, failure.Text, MessageIcon::Error);
    return;
  }
  RememberDialogFolder(path);
  WindowSearchState().ResultList.NonEmpty = 0;
  EnableControl(kSaveButton, false);
}

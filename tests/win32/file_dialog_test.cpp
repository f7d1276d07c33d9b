// The open and save dialogs on Win32: the path chosen, a cancel, a path too long for the
// program's buffer, the filter shown first, and the folder each dialog opens in, while the
// process's current directory stays where it was.
#include <windows.h>
// The common dialogs need the declarations above.
#include <commdlg.h>
#include <gtest/gtest.h>

#include <string>

#include "platform/window.h"
#include "win32/window_test_support.h"

namespace {

// The dialog's file name field and its list of file types.
constexpr int kFileNameField = 0x47c;  // cmb13
constexpr int kFileTypeList = 0x470;   // cmb1

const FileFilter kOpenFilters[] = {
    {"Text Files (*.txt,*.doc,*.wri,*.wpd,*.log,*.rtf)", "*.TXT;*.DOC;*.WRI;*.WPD;*.LOG;*.RTF"},
    {"All Files (*.*)", "*.*"},
};
const FileFilter kSaveFilters[] = {{"Log Files (*.log)", "*.log"}, {"All Files (*.*)", "*.*"}};

std::string CurrentDirectory() {
  char folder[MAX_PATH] = "";
  GetCurrentDirectoryA(sizeof folder, folder);
  return folder;
}

// Folders compare without regard to case or a closing separator.
std::string Folder(std::string path) {
  while (path.size() > 3 && path.back() == '\\') path.pop_back();
  CharLowerA(path.data());
  return path;
}

// A folder of its own under the temporary folder, made afresh.
std::string MakeFolder(const char* name) {
  char temp[MAX_PATH] = "";
  GetTempPathA(sizeof temp, temp);
  std::string folder =
      std::string(temp) + "tessik-dialogs-" + std::to_string(GetCurrentProcessId()) + "-" + name;
  CreateDirectoryA(folder.c_str(), nullptr);
  return folder;
}

std::string MakeFile(const std::string& folder, const char* name) {
  std::string path = folder + "\\" + name;
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  CloseHandle(file);
  return path;
}

// What the dialog showed when it came up.
struct Seen {
  std::string Folder;
  std::string FileType;
  int FileTypes = 0;
};

// Answers the next dialog: notes what it shows, then chooses `path`, or cancels when
// `path` is null.
void Answer(Seen* seen, const char* path) {
  std::string chosen = path != nullptr ? path : "";
  bool cancel = path == nullptr;
  WhenModal([seen, chosen, cancel](HWND dialog) {
    char text[MAX_PATH] = "";
    SendMessageA(dialog, CDM_GETFOLDERPATH, sizeof text, reinterpret_cast<LPARAM>(text));
    seen->Folder = text;
    GetDlgItemTextA(dialog, kFileTypeList, text, sizeof text);
    seen->FileType = text;
    seen->FileTypes =
        static_cast<int>(SendDlgItemMessageA(dialog, kFileTypeList, CB_GETCOUNT, 0, 0));
    if (cancel) {
      PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
      return;
    }
    SendMessageA(dialog, CDM_SETCONTROLTEXT, kFileNameField,
                 reinterpret_cast<LPARAM>(chosen.c_str()));
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
  });
}

class FileDialogTest : public testing::Test {
 protected:
  static void SetUpTestSuite() { CreateTestWindow(); }
  static void TearDownTestSuite() { DestroyTestWindow(); }
};

// Runs first: no dialog has been used yet in this process.
TEST_F(FileDialogTest, FoldersFollowTheFilesUsedAndTheCurrentDirectoryStays) {
  std::string current = CurrentDirectory();
  std::string opened = MakeFolder("opened");
  std::string saved = MakeFolder("saved");
  std::string text = MakeFile(opened, "notes.txt");
  std::string log = saved + "\\search.log";
  char path[MAX_PATH];
  Seen seen;

  Answer(&seen, text.c_str());
  ASSERT_EQ(ShowOpenDialog(kOpenFilters, 2, 2, path, sizeof path), 0);
  EXPECT_EQ(Folder(seen.Folder), Folder(current));
  EXPECT_EQ(Folder(path), Folder(text));
  EXPECT_EQ(CurrentDirectory(), current);

  // The open dialog moved on by itself; the save dialog follows it.
  Answer(&seen, log.c_str());
  ASSERT_EQ(ShowSaveDialog(kSaveFilters, 2, 1, path, sizeof path), 0);
  EXPECT_EQ(Folder(seen.Folder), Folder(opened));
  EXPECT_EQ(Folder(path), Folder(log));
  EXPECT_EQ(CurrentDirectory(), current);

  // A file chosen for saving counts only once it has been written.
  Answer(&seen, nullptr);
  EXPECT_EQ(ShowOpenDialog(kOpenFilters, 2, 2, path, sizeof path), -1);
  EXPECT_EQ(Folder(seen.Folder), Folder(opened));

  RememberDialogFolder(log.c_str());
  Answer(&seen, nullptr);
  EXPECT_EQ(ShowSaveDialog(kSaveFilters, 2, 1, path, sizeof path), -1);
  EXPECT_EQ(Folder(seen.Folder), Folder(saved));
  EXPECT_EQ(CurrentDirectory(), current);

  DeleteFileA(text.c_str());
  RemoveDirectoryA(opened.c_str());
  RemoveDirectoryA(saved.c_str());
}

TEST_F(FileDialogTest, ANameWithoutExtensionIsSavedAsTyped) {
  std::string folder = MakeFolder("typed");
  std::string typed = folder + "\\results";
  char path[MAX_PATH] = "";
  Seen seen;
  Answer(&seen, typed.c_str());
  ASSERT_EQ(ShowSaveDialog(kSaveFilters, 2, 1, path, sizeof path), 0);
  EXPECT_EQ(Folder(path), Folder(typed));
  RemoveDirectoryA(folder.c_str());
}

TEST_F(FileDialogTest, ACancelChoosesNothing) {
  char path[MAX_PATH] = "stale";
  Seen seen;
  Answer(&seen, nullptr);
  EXPECT_EQ(ShowSaveDialog(kSaveFilters, 2, 1, path, sizeof path), -1);
  EXPECT_STREQ(path, "");
}

// A path cut to the buffer would name another file.
TEST_F(FileDialogTest, APathLongerThanTheBufferFails) {
  std::string folder = MakeFolder("long");
  std::string typed = folder + "\\a-name-longer-than-the-buffer.log";
  char path[16];
  Seen seen;
  Answer(&seen, typed.c_str());
  EXPECT_EQ(ShowSaveDialog(kSaveFilters, 2, 1, path, sizeof path), -1);
  EXPECT_STREQ(path, "");
  RemoveDirectoryA(folder.c_str());
}

struct FilterCase {
  const char* Name;
  bool Save;
  int Selected;
  const char* Shown;
};

class FilterTest : public FileDialogTest, public testing::WithParamInterface<FilterCase> {};

TEST_P(FilterTest, TheSelectedFilterIsShownFirst) {
  const FilterCase& filter = GetParam();
  char path[MAX_PATH];
  Seen seen;
  Answer(&seen, nullptr);
  if (filter.Save) {
    ShowSaveDialog(kSaveFilters, 2, filter.Selected, path, sizeof path);
  } else {
    ShowOpenDialog(kOpenFilters, 2, filter.Selected, path, sizeof path);
  }
  EXPECT_EQ(seen.FileType, filter.Shown);
  EXPECT_EQ(seen.FileTypes, 2);
}

INSTANTIATE_TEST_SUITE_P(
    Filters, FilterTest,
    testing::Values(FilterCase{"OpenAllFiles", false, 2, "All Files (*.*)"},
                    FilterCase{"OpenTextFiles", false, 1,
                               "Text Files (*.txt,*.doc,*.wri,*.wpd,*.log,*.rtf)"},
                    FilterCase{"SaveLogFiles", true, 1, "Log Files (*.log)"},
                    FilterCase{"SaveAllFiles", true, 2, "All Files (*.*)"}),
    [](const testing::TestParamInfo<FilterCase>& info) { return std::string(info.param.Name); });

}  // namespace

// The open and save dialogs on Win32. The process's current directory never changes (a
// relative "Search in:" keeps naming the same folder); the dialogs remember the folder of
// the last file used instead, and start in the current directory.
#include <windows.h>
// The common dialogs need the declarations above.
#include <commdlg.h>

#include <cstring>
#include <string>

#include "platform/win32/win32_main_window.h"
#include "platform/window.h"

namespace {

// The dialogs' own buffers for the chosen path and its name.
constexpr int kDialogBuffer = 510;

std::string rememberedFolder;

// The folder part of a full path, its last separator kept.
std::string FolderOf(const char* path) {
  char full[MAX_PATH];
  DWORD length = GetFullPathNameA(path, MAX_PATH, full, nullptr);
  if (length == 0 || length >= MAX_PATH) return {};
  char* last = std::strrchr(full, '\\');
  char* slash = std::strrchr(full, '/');
  if (slash != nullptr && (last == nullptr || slash > last)) last = slash;
  if (last == nullptr) return {};
  return std::string(full, static_cast<std::size_t>(last - full + 1));
}

// Description and pattern of each filter, each ended by a zero, and a zero after the last.
std::string FilterList(const FileFilter* filters, int filterCount) {
  std::string list;
  for (int i = 0; filters != nullptr && i < filterCount; ++i) {
    list += filters[i].Description != nullptr ? filters[i].Description : "";
    list.push_back('\0');
    list += filters[i].Pattern != nullptr ? filters[i].Pattern : "";
    list.push_back('\0');
  }
  list.push_back('\0');
  return list;
}

int RunFileDialog(bool save, const FileFilter* filters, int filterCount, int selected, char* path,
                  int size) {
  if (path != nullptr && size > 0) path[0] = '\0';
  char file[kDialogBuffer] = "";
  char title[kDialogBuffer] = "";
  char folder[kDialogBuffer] = "";
  if (rememberedFolder.empty() || rememberedFolder.size() >= sizeof folder) {
    DWORD length = GetCurrentDirectoryA(sizeof folder, folder);
    if (length >= sizeof folder) folder[0] = '\0';
  } else {
    std::memcpy(folder, rememberedFolder.c_str(), rememberedFolder.size() + 1);
  }
  std::string filterList = FilterList(filters, filterCount);

  OPENFILENAMEA dialog = {};
  // The size without the fields of newer versions, which the dialogs do not need.
  dialog.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
  dialog.hwndOwner = Win32MainWindow();
  dialog.lpstrFilter = filterCount > 0 ? filterList.c_str() : nullptr;
  dialog.nFilterIndex = selected > 0 ? static_cast<DWORD>(selected) : 0;
  dialog.lpstrFile = file;
  dialog.nMaxFile = sizeof file;
  dialog.lpstrFileTitle = title;
  dialog.nMaxFileTitle = sizeof title;
  dialog.lpstrInitialDir = folder[0] != '\0' ? folder : nullptr;
  dialog.Flags =
      OFN_NOCHANGEDIR | (save ? OFN_OVERWRITEPROMPT : OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST);
  BOOL chosen = save ? GetSaveFileNameA(&dialog) : GetOpenFileNameA(&dialog);
  if (!chosen) return -1;
  // A path cut to the buffer would name another file: a path too long fails instead.
  std::size_t length = std::strlen(file);
  if (path == nullptr || size <= 0 || length >= static_cast<std::size_t>(size)) return -1;
  std::memcpy(path, file, length + 1);
  // The file to open exists; a file to save counts once it has been written.
  if (!save) RememberDialogFolder(file);
  return 0;
}

}  // namespace

int ShowOpenDialog(const FileFilter* filters, int filterCount, int selected, char* path, int size) {
  return RunFileDialog(false, filters, filterCount, selected, path, size);
}

int ShowSaveDialog(const FileFilter* filters, int filterCount, int selected, char* path, int size) {
  return RunFileDialog(true, filters, filterCount, selected, path, size);
}

void RememberDialogFolder(const char* path) {
  if (path == nullptr || path[0] == '\0') return;
  std::string folder = FolderOf(path);
  if (!folder.empty()) rememberedFolder = folder;
}

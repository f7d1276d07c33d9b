#include "support/test_support.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

namespace fs = std::filesystem;

TempTree::TempTree() {
  // A name no other test process can take: create_directory fails on one that exists.
  std::random_device seed;
  std::mt19937_64 draw(seed());
  fs::path base = fs::temp_directory_path();
  fs::path made;
  for (int attempt = 0; attempt < 100; ++attempt) {
    made = base / ("tessik-test-" + std::to_string(draw() % 1000000000000u));
    std::error_code failed;
    if (fs::create_directory(made, failed)) break;
  }
  root_ = made.string() + static_cast<char>(fs::path::preferred_separator);
}

TempTree::~TempTree() {
  std::error_code ignored;
  // Directories without permissions made by a test must not stop the removal.
  for (auto it = fs::recursive_directory_iterator(
           root_, fs::directory_options::skip_permission_denied, ignored);
       it != fs::recursive_directory_iterator(); it.increment(ignored)) {
    if (!it->is_symlink(ignored))
      fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
  }
  fs::remove_all(root_, ignored);
}

std::string TempTree::Path(const std::string& relative) const {
  std::string path = root_ + relative;
#ifdef _WIN32
  for (std::size_t i = root_.size(); i < path.size(); ++i)
    if (path[i] == '/') path[i] = '\\';
#endif
  return path;
}

#ifdef _WIN32
UnopenableFile::UnopenableFile(const std::string& path) {
  held_ = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                      FILE_ATTRIBUTE_NORMAL, nullptr);
  made_ = held_ != INVALID_HANDLE_VALUE;
}

UnopenableFile::~UnopenableFile() {
  if (made_) CloseHandle(held_);
}
#else
UnopenableFile::UnopenableFile(const std::string& path) {
  made_ = mkfifo(path.c_str(), 0600) == 0;
}

UnopenableFile::~UnopenableFile() = default;
#endif

void TempTree::WriteFile(const std::string& relative, const std::string& content) const {
  fs::path path = Path(relative);
  fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary);
  out << content;
}

void TempTree::MakeDirectory(const std::string& relative) const {
  fs::create_directories(Path(relative));
}

std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

#include "support/test_support.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

TempTree::TempTree() {
  std::string pattern = (fs::temp_directory_path() / "tessik-test-XXXXXX").string();
  char* made = mkdtemp(pattern.data());
  root_ = std::string(made ? made : pattern.c_str()) + "/";
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

std::string TempTree::Path(const std::string& relative) const { return root_ + relative; }

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

// Helpers shared by the tests: real temporary directory trees and files.
#pragma once

#include <string>

// A fresh directory under the system's temporary folder, removed with everything in it
// when the object goes.
class TempTree {
 public:
  TempTree();
  ~TempTree();
  TempTree(const TempTree&) = delete;
  TempTree& operator=(const TempTree&) = delete;

  // Absolute path of the root, ending in '/'.
  const std::string& Root() const { return root_; }
  // Root() + relative.
  std::string Path(const std::string& relative) const;
  // Creates a file (and any missing directories above it) with `content`.
  void WriteFile(const std::string& relative, const std::string& content) const;
  void MakeDirectory(const std::string& relative) const;

 private:
  std::string root_;
};

// The whole content of a file as bytes ("" when it cannot be read).
std::string ReadWholeFile(const std::string& path);

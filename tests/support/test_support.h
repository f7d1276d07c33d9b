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

  // Absolute path of the root, ending in the platform's separator ('/', or '\' on Windows).
  const std::string& Root() const { return root_; }
  // Root() + relative, with '/' in `relative` as the platform's separator.
  std::string Path(const std::string& relative) const;
  // Creates a file (and any missing directories above it) with `content`.
  void WriteFile(const std::string& relative, const std::string& content) const;
  void MakeDirectory(const std::string& relative) const;

 private:
  std::string root_;
};

// A file that is listed in its directory but cannot be opened for reading while the object
// lives: a FIFO without a writer on POSIX, a file held open without sharing on Windows.
class UnopenableFile {
 public:
  explicit UnopenableFile(const std::string& path);
  ~UnopenableFile();
  UnopenableFile(const UnopenableFile&) = delete;
  UnopenableFile& operator=(const UnopenableFile&) = delete;
  bool Made() const { return made_; }

 private:
  bool made_ = false;
  void* held_ = nullptr;
};

// The whole content of a file as bytes ("" when it cannot be read).
std::string ReadWholeFile(const std::string& path);

// What a search reads GEDCOM files and documents with, when their switch is on: a letter
// reading (accents folded, whatever the search's own reading), and the texts of the files
// it has read, kept for the other terms of an expression, which read every file again. A
// search's own; each thread that reads its files has a reading of its own (the search
// worker, its helpers: engine/parallel_files.h; tests: any one thread), and they share the
// texts kept, which any of them may call.
#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "engine/record_text.h"
#include "engine/word_reading.h"

// Texts kept at most, in bytes of text: beyond it a file is read again for each term.
constexpr std::size_t kMostKeptTextBytes = 64u << 20;

class RecordTexts {
 public:
  // What was kept for `path`: its text, or the refusal of the document (engine/
  // document_refusal.h) in *refusal; nullptr when nothing was. A text kept stays, unchanged,
  // as long as this object.
  const RecordText* Find(const std::string& path, int* refusal) const;
  // Keeps the text of `path` (moved from `text`) while the texts kept stay within the bound,
  // or its refusal; returns the text kept, or nullptr when it was not (nor when `path` has
  // something kept already: `text` is then left as it was).
  const RecordText* Keep(const std::string& path, RecordText* text);
  void KeepRefusal(const std::string& path, int refusal);

 private:
  struct Kept {
    int Refusal;
    std::unique_ptr<RecordText> Text;
  };
  mutable std::mutex mutex_;  // held only while the map is looked at or grows
  std::map<std::string, Kept> kept_;
  std::size_t bytes_ = 0;
};

struct RecordsReading {
  std::unique_ptr<WordReading> Letters;
  std::shared_ptr<RecordTexts> Texts;
};

// A records reading, or nullptr when there is no memory for it; with `sharing`, one that
// keeps its texts with those of `sharing`'s readings.
std::unique_ptr<RecordsReading> MakeRecordsReading(std::shared_ptr<RecordTexts> sharing = nullptr);

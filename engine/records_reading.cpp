#include "engine/records_reading.h"

#include <new>
#include <utility>

const RecordText* RecordTexts::Find(const std::string& path, int* refusal) const {
  const auto found = kept_.find(path);
  if (found == kept_.end()) return nullptr;
  *refusal = found->second.Refusal;
  return found->second.Text.get();
}

const RecordText* RecordTexts::Keep(const std::string& path, RecordText* text) {
  const std::size_t size = text->Text.size() + path.size();
  if (bytes_ + size > kMostKeptTextBytes) return nullptr;
  auto kept = std::make_unique<RecordText>(std::move(*text));
  const RecordText* result = kept.get();
  kept_[path] = {0, std::move(kept)};
  bytes_ += size;
  return result;
}

void RecordTexts::KeepRefusal(const std::string& path, int refusal) {
  if (bytes_ + path.size() > kMostKeptTextBytes) return;
  kept_[path] = {refusal, nullptr};
  bytes_ += path.size();
}

std::unique_ptr<RecordsReading> MakeRecordsReading() {
  std::unique_ptr<RecordsReading> records(new (std::nothrow) RecordsReading);
  if (records == nullptr) return nullptr;
  records->Letters = MakeLetterReading();
  if (records->Letters == nullptr) return nullptr;
  return records;
}

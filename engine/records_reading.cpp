#include "engine/records_reading.h"

#include <new>
#include <utility>

const RecordText* RecordTexts::Find(const std::string& path, int* refusal) const {
  const std::lock_guard<std::mutex> lock(mutex_);
  const auto found = kept_.find(path);
  if (found == kept_.end()) return nullptr;
  *refusal = found->second.Refusal;
  return found->second.Text.get();
}

const RecordText* RecordTexts::Keep(const std::string& path, RecordText* text) {
  const std::size_t size = text->Text.size() + path.size();
  const std::lock_guard<std::mutex> lock(mutex_);
  if (bytes_ + size > kMostKeptTextBytes || kept_.count(path) != 0) return nullptr;
  auto kept = std::unique_ptr<RecordText>(new (std::nothrow) RecordText(std::move(*text)));
  if (kept == nullptr) return nullptr;
  const RecordText* result = kept.get();
  kept_.emplace(path, Kept{0, std::move(kept)});
  bytes_ += size;
  return result;
}

void RecordTexts::KeepRefusal(const std::string& path, int refusal) {
  const std::lock_guard<std::mutex> lock(mutex_);
  if (bytes_ + path.size() > kMostKeptTextBytes || kept_.count(path) != 0) return;
  kept_.emplace(path, Kept{refusal, nullptr});
  bytes_ += path.size();
}

std::unique_ptr<RecordsReading> MakeRecordsReading(std::shared_ptr<RecordTexts> sharing) {
  std::unique_ptr<RecordsReading> records(new (std::nothrow) RecordsReading);
  if (records == nullptr) return nullptr;
  records->Letters = MakeLetterReading();
  if (records->Letters == nullptr) return nullptr;
  records->Texts = sharing != nullptr ? std::move(sharing)
                                      : std::shared_ptr<RecordTexts>(new (std::nothrow) RecordTexts);
  if (records->Texts == nullptr) return nullptr;
  return records;
}

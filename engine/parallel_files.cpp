// Each file of the pass is an item; item k is read into record k % slots. The search fills
// a record (the path) when its item comes within reach, helpers take the items in order,
// and the search empties the record of the item it is at while its helper fills it. Every
// count the two sides share is an atomic that only one side writes; a side that waits
// does so in WorkerWaitFor, and a side that changes what the other may wait for notifies
// it, so a wait never misses its change and Pause and Stop reach every thread.
#include "engine/parallel_files.h"

#include <atomic>
#include <cstring>
#include <new>

#include "platform/files.h"
#include "platform/memory.h"
#include "platform/thread.h"

namespace {

constexpr std::uint32_t kRecordWordBytes = 4 * kMaxWordLetters;
// A record's words are kept one after the other in a ring of letters, this many bytes for
// each occurrence it holds: most words are far shorter than the longest, and a record that
// kept room for the longest with each occurrence was mostly empty memory, fresh to the
// process and handed from one processor's cache to the other's.
constexpr std::uint32_t kRecordLetterBytesEach = 16;
static_assert(kRecordOccurrences * kRecordLetterBytesEach >= 2 * kRecordWordBytes,
              "a word must fit in a record's letters wherever the last one ended");

struct Occurrence {
  std::int64_t Start;  // placed in the file (PlacedMatch): where it stands in the file
  std::int64_t End;
  std::int64_t Line;
  std::int64_t LineStart;
  std::uint32_t Length;
  int Key;
  // A match placed in the file: its column, percentage and record (into its Record's Text).
  bool Placed;
  std::int64_t Column;
  double Percentage;
  const char* InRecord;
  std::uint64_t LettersAt;  // its word in the record's ring of letters (a running count)
};

struct Record {
  // Written by the search before the item is handed out.
  char Path[kEntrySize];
  bool Marked;
  // Written by the helper; read by the search once Finished is set (Size: once the first
  // occurrence is there).
  std::int64_t Size;
  FileScanEnd End;
  std::int64_t ReadFrom;   // a piece: where its reading began (-1: nothing begins in it)
  std::int64_t LineFeeds;  // a piece: its line feeds
  bool Redo;  // read ahead by the search, which gave it up when it filled: read it again
  int Refusal;      // a document refused: why
  RecordText Text;  // a GEDCOM file's records, which its placed matches name
  std::atomic<std::uint64_t> Produced{0};  // the helper's
  std::atomic<std::uint64_t> Consumed{0};  // the search's
  // The letters' counts, as Produced and Consumed: what was written of the ring (words and
  // the ends skipped so that none is cut by its end), and what the search is done with.
  std::uint64_t LettersWritten = 0;               // the helper's alone
  std::atomic<std::uint64_t> LettersConsumed{0};  // the search's
  std::atomic<int> Finished{0};
  Occurrence* Occurrences = nullptr;  // a ring of the pass's RecordOccurrences
  std::uint8_t* Letters = nullptr;    // a ring of RecordOccurrences * kRecordLetterBytesEach
};

// One helper's own: what it reads with.
struct Helper {
  FileReaders::Shared* Shared = nullptr;
  std::unique_ptr<HeardTerm> Term;
  std::unique_ptr<WordReading> Reading;
  std::unique_ptr<RecordsReading> Records;  // with the switch of records and documents
  std::uint8_t* Buffer = nullptr;
  std::atomic<FileHandle> Open{kNoFile};
  HelperThread* Thread = nullptr;
};

}  // namespace

struct FileReaders::Shared {
  ScanMode Mode = ScanMode::ListEveryOccurrence;
  std::int64_t FirstLine = 1;
  std::int64_t SplitFrom = 0;  // files of this size up are split (0: none)
  // The pieces of one file, when the items are pieces.
  bool Pieces = false;
  char Path[kEntrySize] = {};
  bool Marked = false;
  std::int64_t Size = 0;
  std::int64_t PieceSize = 0;
  const std::uint32_t* Indexes = nullptr;
  std::uint32_t Count = 0;
  std::uint32_t Slots = 0;
  std::uint32_t RecordOccurrences = kRecordOccurrences;
  Record* Records = nullptr;
  Occurrence* Occurrences = nullptr;  // the records' rings, one after the other
  std::uint8_t* Letters = nullptr;    // their rings of letters, one after the other
  std::atomic<std::uint32_t> Dispatched{0};  // items whose record is filled in (the search's)
  std::atomic<std::uint32_t> Taken{0};       // items taken by a helper
  std::atomic<int> Abandoned{0};             // the search goes no further (the search's)
  std::uint32_t NextItem = 0;                // the search's
  Helper* Helpers = nullptr;
  int HelperCount = 0;
};

namespace {

using Shared = FileReaders::Shared;

// Between the reads of a piece: whether to give it up.
bool PieceStopped(const void* context) {
  return static_cast<const Shared*>(context)->Abandoned.load() != 0 || WorkerCheckpoint() != 0;
}

bool CanTake(const void* context) {
  const auto& shared = *static_cast<const Shared*>(context);
  const std::uint32_t taken = shared.Taken.load();
  return shared.Abandoned.load() != 0 || taken >= shared.Count ||
         taken < shared.Dispatched.load();
}

struct Filling {
  Shared* Pass;
  Record* Into;
  // The record has room up to this count of occurrences and of letters at least: Consumed
  // and LettersConsumed are looked at again only there, not at each occurrence while the
  // search moves them on.
  std::uint64_t RoomUntil = 0;
  std::uint64_t LettersRoomUntil = 0;
  std::uint64_t LettersNeeded = 0;  // while it waits: up to where the letters must be free
};

std::uint64_t LetterCapacity(const Shared& shared) {
  return std::uint64_t{shared.RecordOccurrences} * kRecordLetterBytesEach;
}

// How many bytes of a word found a record keeps.
std::uint32_t KeptLength(const WordFound& found) {
  return found.Length < kRecordWordBytes ? found.Length : kRecordWordBytes;
}

// Where a word of `length` bytes goes in `record`'s letters: where the last one ended, or
// at the ring's start when it would be cut by its end.
std::uint64_t LettersAtFor(const Shared& shared, const Record& record, std::uint32_t length) {
  const std::uint64_t capacity = LetterCapacity(shared);
  const std::uint64_t at = record.LettersWritten;
  return at % capacity + length > capacity ? at + (capacity - at % capacity) : at;
}

bool HasRoom(const void* context) {
  const auto& filling = *static_cast<const Filling*>(context);
  const Record& record = *filling.Into;
  return filling.Pass->Abandoned.load() != 0 ||
         (record.Produced.load() - record.Consumed.load() < filling.Pass->RecordOccurrences &&
          filling.LettersNeeded - record.LettersConsumed.load() <= LetterCapacity(*filling.Pass));
}

bool HasMore(const void* context) {
  const auto& record = *static_cast<const Record*>(context);
  return record.Finished.load() != 0 || record.Produced.load() > record.Consumed.load();
}

// Waits as a checkpoint would: 0 when ready, -1 on a stop.
int Wait(bool (*ready)(const void*), const void* context) {
  for (;;) {
    const int waited = WorkerWaitFor(ready, context);
    if (waited <= 0) return waited;
    if (WorkerCheckpoint() != 0) return -1;
  }
}

// The occurrence goes into the record, once there is room; `placed`: as placed in the file.
int KeepFound(Filling& filling, const WordFound& found, const PlacedMatch* placed) {
  Record& record = *filling.Into;
  const Shared& shared = *filling.Pass;
  const std::uint64_t capacity = shared.RecordOccurrences;
  const std::uint64_t produced = record.Produced.load(std::memory_order_relaxed);
  const std::uint32_t length = KeptLength(found);
  const std::uint64_t lettersAt = LettersAtFor(shared, record, length);
  if (produced >= filling.RoomUntil || lettersAt + length > filling.LettersRoomUntil) {
    filling.LettersNeeded = lettersAt + length;
    if (produced - record.Consumed.load() >= capacity ||
        filling.LettersNeeded - record.LettersConsumed.load() > LetterCapacity(shared)) {
      // The search may not have been woken for the last occurrences kept (the letters can
      // fill before the count does): it is, before this helper waits for it.
      record.Produced.store(produced);
      NotifyWorker();
      if (Wait(HasRoom, &filling) != 0) return kScanStopped;
    }
    filling.RoomUntil = record.Consumed.load() + capacity;
    filling.LettersRoomUntil = record.LettersConsumed.load() + LetterCapacity(shared);
  }
  if (shared.Abandoned.load() != 0) return kScanStopped;
  Occurrence& kept = record.Occurrences[produced % capacity];
  kept.Start = placed != nullptr ? placed->Place.FileOffset : found.Start;
  kept.End = found.End;
  kept.Line = placed != nullptr ? placed->Place.Line : found.Line;
  kept.LineStart = found.LineStart;
  kept.Key = found.Key;
  kept.Placed = placed != nullptr;
  if (placed != nullptr) {
    kept.Column = placed->Place.Column;
    kept.Percentage = placed->Percentage;
    kept.InRecord = placed->Place.Record;
  }
  kept.Length = length;
  kept.LettersAt = lettersAt;
  std::memcpy(record.Letters + lettersAt % LetterCapacity(shared), found.Letters, length);
  record.LettersWritten = lettersAt + length;
  // The search is woken for the first occurrence of a file, then each time half a record
  // more is there and when the record is full; the end of the file wakes it for the rest.
  // Only a count it is woken for is stored in the order NotifyWorker's look for a waiting
  // thread needs; the others cost no wait for the search's reads of the count.
  if (produced == 0 || (produced + 1) % (capacity / 2) == 0 || produced + 1 >= filling.RoomUntil) {
    record.Produced.store(produced + 1);
    NotifyWorker();
  } else {
    record.Produced.store(produced + 1, std::memory_order_release);
  }
  return kScanGoOn;
}

// The helper's listeners.
int Keep(void* context, const WordFound& found) {
  return KeepFound(*static_cast<Filling*>(context), found, nullptr);
}
int KeepPlaced(void* context, const PlacedMatch& match) {
  return KeepFound(*static_cast<Filling*>(context), *match.Found, &match);
}

// What one thread reads with: its own term, readings, buffer and handle.
struct Reader {
  const HeardTerm* Term;
  WordReading* Reading;
  RecordsReading* Records;  // with the switch of records and documents
  std::uint8_t* Buffer;
  std::atomic<FileHandle>* Open;
};

// Reads `item` (a file or a piece) into its record with `reader`, each match to `keep` or
// `keepPlaced`: as a helper reads, or the search while it waits.
void ReadItem(Shared& shared, std::uint32_t item, const Reader& reader, WordListener keep,
              PlacedListener keepPlaced) {
  Record& record = shared.Records[item % shared.Slots];
  Filling filling{&shared, &record};
  if (shared.Pieces) {
    record.End = ReadFilePiece(shared.Path, shared.Marked, shared.Mode, shared.Size,
                               item * shared.PieceSize, shared.PieceSize, reader.Buffer,
                               *reader.Open, *reader.Term, *reader.Reading, keep, &filling,
                               PieceStopped, &shared, record.ReadFrom, record.LineFeeds);
  } else if (reader.Records != nullptr) {
    record.End = ReadFileAsRecords(record.Path, record.Marked, shared.Mode, reader.Buffer,
                                   *reader.Open, *reader.Term, *reader.Reading, *reader.Records,
                                   record.Text, shared.FirstLine, keep, keepPlaced, &filling,
                                   record.Size, record.Refusal, shared.SplitFrom);
  } else {
    record.End = ReadFileForTerm(record.Path, record.Marked, shared.Mode, reader.Buffer,
                                 *reader.Open, *reader.Term, *reader.Reading, shared.FirstLine,
                                 keep, &filling, record.Size, shared.SplitFrom);
  }
}

void RunHelper(Helper& helper) {
  Shared& shared = *helper.Shared;
  for (;;) {
    std::uint32_t item = shared.Taken.load();
    if (shared.Abandoned.load() != 0 || item >= shared.Count) return;
    if (item >= shared.Dispatched.load()) {
      if (Wait(CanTake, &shared) != 0) return;
      continue;
    }
    if (!shared.Taken.compare_exchange_weak(item, item + 1)) continue;
    const Reader reader{helper.Term.get(), helper.Reading.get(), helper.Records.get(),
                        helper.Buffer, &helper.Open};
    ReadItem(shared, item, reader, Keep, KeepPlaced);
    shared.Records[item % shared.Slots].Finished.store(1);
    NotifyWorker();
  }
}

// Fills in the record of `item` and hands it out.
void Dispatch(Shared& shared, SearchState* state, std::uint32_t item) {
  if (item >= shared.Count) return;
  Record& record = shared.Records[item % shared.Slots];
  if (!shared.Pieces) {
    const std::uint32_t index = shared.Indexes[item];
    const char* path = state->FileSet.Get(index);
    std::strncpy(record.Path, path != nullptr ? path : "", kEntrySize - 1);
    record.Path[kEntrySize - 1] = '\0';
    record.Marked = state->FileSet.Marked(index);
  }
  record.Size = shared.Size;
  record.ReadFrom = -1;
  record.LineFeeds = 0;
  record.Redo = false;
  record.Refusal = 0;
  record.Text = RecordText();
  record.End = FileScanEnd::NotOpened;
  record.Produced.store(0);
  record.LettersWritten = 0;
  record.LettersConsumed.store(0);
  record.Consumed.store(0);
  record.Finished.store(0);
  shared.Dispatched.store(item + 1);
  // Helpers waiting for files are woken when half of the records are theirs to fill, or
  // by the search before it waits itself (TakeRecord).
  if (item + 1 - shared.Taken.load() >= shared.Slots / 2 || item + 1 == shared.Count)
    NotifyWorker();
}

// A file or piece that the search reads itself, no helper having taken it yet: each match is
// handed over as it is found.
struct Direct {
  SearchState* State;
  const char* Path;
  std::int64_t Size;
  const HeardTerm* Term;
  SearchSink* Sink;
  bool* Listed;
  bool Piece;
  std::int64_t LineBase;          // a piece: the lines before it
  const std::int64_t* ReadFrom;   // a piece: where its reading began
};

int HandOverDirectly(void* context, const WordFound& found) {
  const Direct& direct = *static_cast<const Direct*>(context);
  WordFound placed = found;
  if (direct.Piece) {
    if (placed.Line == 0) placed.LineStart = *direct.ReadFrom;
    placed.Line += direct.LineBase;
  }
  return HandOverOccurrence(*direct.State, direct.Path, direct.Size, *direct.Term, placed,
                            *direct.Listed, *direct.Sink);
}

int HandOverPlacedDirectly(void* context, const PlacedMatch& match) {
  const Direct& direct = *static_cast<const Direct*>(context);
  return HandOverPlaced(*direct.State, direct.Path, direct.Size, *direct.Term, match,
                        *direct.Listed, *direct.Sink);
}

// Takes `item` for the search itself when no helper has taken it yet.
bool TakeItemHere(Shared& shared, std::uint32_t item) {
  std::uint32_t expected = item;
  return shared.Taken.compare_exchange_strong(expected, item + 1);
}

// The search's listeners when it reads a file ahead: the search cannot wait for itself to
// take what it put, so a record that fills is given up, to be read again when it is due.
bool GiveUp(Filling& filling, const WordFound& found) {
  Record& record = *filling.Into;
  const Shared& shared = *filling.Pass;
  const std::uint32_t length = KeptLength(found);
  if (record.Produced.load() < shared.RecordOccurrences &&
      LettersAtFor(shared, record, length) + length <= LetterCapacity(shared)) {
    return false;
  }
  record.Redo = true;
  return true;
}
int KeepOrGiveUp(void* context, const WordFound& found) {
  if (GiveUp(*static_cast<Filling*>(context), found)) return kScanStopped;
  return Keep(context, found);
}
int KeepPlacedOrGiveUp(void* context, const PlacedMatch& match) {
  if (GiveUp(*static_cast<Filling*>(context), *match.Found)) return kScanStopped;
  return KeepPlaced(context, match);
}

// While the search waits for the file due, it reads a file further on that no helper has
// taken yet into that file's record, as a helper would, with `own`. False when there is none.
bool ReadAheadWhileWaiting(Shared& shared, const Reader* own) {
  if (own == nullptr) return false;
  std::uint32_t next = shared.Taken.load();
  if (next >= shared.Dispatched.load() || !shared.Taken.compare_exchange_strong(next, next + 1))
    return false;
  ReadItem(shared, next, *own, KeepOrGiveUp, KeepPlacedOrGiveUp);
  Record& record = shared.Records[next % shared.Slots];
  if (record.Redo) {
    record.LettersWritten = 0;
    record.Produced.store(0);
    record.End = FileScanEnd::NotOpened;
  }
  record.Finished.store(1);
  return true;
}

// Hands over the occurrences of `record` as its helper fills it, until it is finished; a
// piece's lines are numbered on from `lineBase`. 0, or -1 on a stop.
int TakeRecord(Shared& shared, Record& record, std::int64_t lineBase, SearchState& state,
               const HeardTerm& term, SearchSink& sink, bool& listed,
               const Reader* own = nullptr) {
  std::uint64_t consumed = 0;
  std::uint64_t lettersConsumed = 0;
  for (;;) {
    const std::uint64_t produced = record.Produced.load();
    // The helper may be waiting for room since it last looked at Consumed, whatever it
    // was when this batch began.
    const bool someTaken = consumed < produced;
    // The helper is told of the room an eighth of a record at a time, and at the end.
    const std::uint64_t step = shared.RecordOccurrences >= 8 ? shared.RecordOccurrences / 8 : 1;
    for (; consumed < produced;) {
      const Occurrence& kept = record.Occurrences[consumed % shared.RecordOccurrences];
      const std::uint8_t* letters = record.Letters + kept.LettersAt % LetterCapacity(shared);
      WordFound found{letters,   kept.Length,    kept.Start, kept.End,
                      kept.Line, kept.LineStart, kept.Key};
      if (shared.Pieces) {
        // The piece's first line began where its reading did.
        if (found.Line == 0) found.LineStart = record.ReadFrom;
        found.Line += lineBase;
      }
      const char* path = shared.Pieces ? shared.Path : record.Path;
      if (kept.Placed) {
        const PlacedMatch match{&found,
                                {kept.Line, kept.Column, kept.Start, kept.InRecord},
                                kept.Percentage};
        if (HandOverPlaced(state, path, record.Size, term, match, listed, sink) != kScanGoOn)
          return -1;
      } else if (HandOverOccurrence(state, path, record.Size, term, found, listed, sink) !=
                 kScanGoOn) {
        return -1;
      }
      lettersConsumed = kept.LettersAt + kept.Length;
      if (++consumed % step == 0) {
        record.LettersConsumed.store(lettersConsumed, std::memory_order_release);
        record.Consumed.store(consumed, std::memory_order_release);
      }
    }
    if (someTaken) {
      record.LettersConsumed.store(lettersConsumed);
      record.Consumed.store(consumed);
      NotifyWorker();
    }
    if (record.Finished.load() != 0) {
      if (record.Produced.load() == consumed) return 0;
      continue;
    }
    if (ReadAheadWhileWaiting(shared, own)) continue;
    NotifyWorker();  // files handed out without waking a helper (Dispatch)
    if (Wait(HasMore, &record) != 0) return -1;
  }
}

}  // namespace

FileReaders::FileReaders() = default;
FileReaders::~FileReaders() { Stop(); }

void FileReaders::Stop() {
  if (shared_ == nullptr) return;
  shared_->Abandoned.store(1);
  NotifyWorker();
  for (int i = 0; i < shared_->HelperCount; ++i) JoinHelper(shared_->Helpers[i].Thread);
  for (int i = 0; i < shared_->HelperCount; ++i) FreeBlock(shared_->Helpers[i].Buffer);
  delete[] shared_->Letters;
  delete[] shared_->Helpers;
  delete[] shared_->Records;
  delete[] shared_->Occurrences;
  shared_.reset();
}

int FileReaders::Start(SearchState& state, const HelperReading& how, ScanMode scanMode,
                       const std::uint32_t* indexes, std::uint32_t count) {
  Stop();
  if (how.Helpers < 1 || count == 0) return -1;
  shared_.reset(new (std::nothrow) Shared);
  if (shared_ == nullptr) return -1;
  how_ = &how;
  shared_->Mode = scanMode;
  shared_->FirstLine = how.FirstLine;
  shared_->SplitFrom = how.PieceSize > 0 ? 2 * how.PieceSize : 0;
  shared_->Indexes = indexes;
  shared_->Count = count;
  return StartHelpers(how, &state);
}

int FileReaders::StartPieces(const HelperReading& how, ScanMode scanMode, const char* path,
                             bool marked, std::int64_t size) {
  Stop();
  if (how.Helpers < 1 || how.PieceSize <= 0 || size <= 0) return -1;
  shared_.reset(new (std::nothrow) Shared);
  if (shared_ == nullptr) return -1;
  how_ = &how;
  Shared& shared = *shared_;
  shared.Mode = scanMode;
  shared.Pieces = true;
  std::strncpy(shared.Path, path, kEntrySize - 1);
  shared.Marked = marked;
  shared.Size = size;
  shared.PieceSize = how.PieceSize;
  shared.Count = static_cast<std::uint32_t>((size + how.PieceSize - 1) / how.PieceSize);
  return StartHelpers(how, nullptr);
}

int FileReaders::StartHelpers(const HelperReading& how, SearchState* state) {
  Shared& shared = *shared_;
  const auto helpers = static_cast<std::uint32_t>(how.Helpers);
  if (shared.Pieces) {
    // Two more records than the helpers read ahead: for the pieces the search reads itself.
    shared.Slots = kPieceRecordsPerHelper * helpers + 2;
    shared.RecordOccurrences = kPieceRecordOccurrences;
  } else {
    shared.Slots = kRecordsPerHelper * helpers;
  }
  shared.Records = new (std::nothrow) Record[shared.Slots];
  shared.Occurrences =
      new (std::nothrow) Occurrence[std::size_t{shared.Slots} * shared.RecordOccurrences];
  shared.Letters =
      new (std::nothrow) std::uint8_t[std::size_t{shared.Slots} * LetterCapacity(shared)];
  shared.Helpers = new (std::nothrow) Helper[how.Helpers];
  if (shared.Records == nullptr || shared.Occurrences == nullptr || shared.Letters == nullptr ||
      shared.Helpers == nullptr) {
    Stop();
    return -1;
  }
  for (std::uint32_t slot = 0; slot < shared.Slots; ++slot) {
    shared.Records[slot].Occurrences =
        shared.Occurrences + std::size_t{slot} * shared.RecordOccurrences;
    shared.Records[slot].Letters = shared.Letters + std::size_t{slot} * LetterCapacity(shared);
  }
  for (std::uint32_t item = 0; item < shared.Slots; ++item) Dispatch(shared, state, item);
  // Each helper's term and readings are made here, before its thread starts; a helper that
  // cannot have them is not started. Pieces are read by the plain reading alone.
  const bool wantsRecords = how.MakeRecords && !shared.Pieces;
  for (int i = 0; i < how.Helpers; ++i) {
    Helper& helper = shared.Helpers[shared.HelperCount];
    helper.Shared = &shared;
    helper.Term = how.HearTerm();
    helper.Reading = how.MakeReading();
    if (wantsRecords) helper.Records = how.MakeRecords();
    helper.Buffer = static_cast<std::uint8_t*>(AllocateZeroed(kReadChunkSize));
    if (helper.Term != nullptr && helper.Reading != nullptr && helper.Buffer != nullptr &&
        (helper.Records != nullptr || !wantsRecords)) {
      helper.Thread = StartHelper([&helper] { RunHelper(helper); });
    }
    if (helper.Thread == nullptr) {
      FreeBlock(helper.Buffer);
      helper.Buffer = nullptr;
      helper.Term.reset();
      helper.Reading.reset();
      helper.Records.reset();
      break;
    }
    ++shared.HelperCount;
  }
  if (shared.HelperCount == 0) {
    Stop();
    return -1;
  }
  return 0;
}

int FileReaders::ReadInPieces(SearchState& state, const HeardTerm& term, WordReading& reading,
                              SearchSink& sink, const char* path, bool marked, std::int64_t size,
                              bool& listed, FileScanEnd& end) {
  FileReaders pieces;
  if (pieces.StartPieces(*how_, shared_->Mode, path, marked, size) != 0) return 1;
  Shared& shared = *pieces.shared_;
  std::int64_t lineBase = shared_->FirstLine;
  end = FileScanEnd::ReadToEnd;
  for (std::uint32_t item = 0; item < shared.Count; ++item) {
    Record& record = shared.Records[item % shared.Slots];
    bool here = TakeItemHere(shared, item);
    if (!here) {
      // Pieces are read by the plain reading alone.
      const Reader own{&term, &reading, nullptr, state.ReadBuffer.load(), &state.ScanFileHandle};
      if (TakeRecord(shared, record, lineBase, state, term, sink, listed, &own) != 0) return -1;
      // Read ahead here and given up when its record filled: read again now.
      here = record.Redo;
    }
    if (here) {
      Direct direct{&state, shared.Path, size,     &term,           &sink,
                    &listed, true,       lineBase, &record.ReadFrom};
      record.End = ReadFilePiece(shared.Path, shared.Marked, shared.Mode, size,
                                 item * shared.PieceSize, shared.PieceSize,
                                 state.ReadBuffer.load(), state.ScanFileHandle, term, reading,
                                 HandOverDirectly, &direct, PieceStopped, &shared,
                                 record.ReadFrom, record.LineFeeds);
    }
    lineBase += record.LineFeeds;
    // The first piece that ends the reading ends the file's: its match, its failure or a stop.
    if (record.End != FileScanEnd::ReadToEnd) {
      end = record.End;
      break;
    }
    Dispatch(shared, nullptr, item + shared.Slots);
  }
  return 0;
}

FileScanEnd FileReaders::ReadHere(SearchState& state, const HeardTerm& term,
                                  WordReading& reading, RecordsReading* records,
                                  SearchSink& sink, std::uint32_t item, bool& listed) {
  Shared& shared = *shared_;
  Record& record = shared.Records[item % shared.Slots];
  Direct direct{&state, record.Path, 0, &term, &sink, &listed, false, 0, nullptr};
  FileScanEnd end;
  if (records != nullptr) {
    end = ReadFileAsRecords(record.Path, record.Marked, shared.Mode, state.ReadBuffer.load(),
                            state.ScanFileHandle, term, reading, *records, record.Text,
                            shared.FirstLine, HandOverDirectly, HandOverPlacedDirectly, &direct,
                            direct.Size, record.Refusal, shared.SplitFrom);
  } else {
    end = ReadFileForTerm(record.Path, record.Marked, shared.Mode, state.ReadBuffer.load(),
                          state.ScanFileHandle, term, reading, shared.FirstLine,
                          HandOverDirectly, &direct, direct.Size, shared.SplitFrom);
  }
  record.Size = direct.Size;
  return end;
}

int FileReaders::Next(SearchState& state, const HeardTerm& term, WordReading& reading,
                      SearchSink& sink, RecordsReading* records) {
  if (shared_ == nullptr || shared_->NextItem >= shared_->Count) return -1;
  Shared& shared = *shared_;
  const std::uint32_t item = shared.NextItem++;
  Record& record = shared.Records[item % shared.Slots];
  bool listed = false;
  FileScanEnd end;
  if (TakeItemHere(shared, item)) {
    // The helpers are behind: the search reads this file itself, as one thread does.
    end = ReadHere(state, term, reading, records, sink, item, listed);
  } else {
    const Reader own{&term, &reading, records, state.ReadBuffer.load(), &state.ScanFileHandle};
    if (TakeRecord(shared, record, 0, state, term, sink, listed, &own) != 0) return -1;
    end = record.End;
  }
  if (record.Redo) {
    // Read ahead by the search and given up when its record filled: read here now.
    end = ReadHere(state, term, reading, records, sink, item, listed);
  }
  bool found = false;
  const int pieces = end == FileScanEnd::Split
                         ? ReadInPieces(state, term, reading, sink, record.Path, record.Marked,
                                        record.Size, listed, end)
                         : 0;
  if (pieces < 0) return -1;
  if (pieces > 0) {
    // No helper for the pieces: the file is read here, as one thread reads it.
    found = ScanFile(state, record.Path, shared.Mode, record.Marked, term, reading, sink, records);
  } else {
    found = EndFileScan(state, record.Path, shared.Mode, end, listed, sink, record.Refusal);
  }
  Dispatch(shared, &state, item + shared.Slots);
  return found ? 1 : 0;
}

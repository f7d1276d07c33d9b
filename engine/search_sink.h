// Where a search's results go: the window (ui/window_sink.h), tessik-cli's printers, or a
// test's record. The search calls its sink on the thread it runs on (the search worker,
// or the calling thread of tessik-cli and the tests), one call at a time and in the order
// of the search; a call that shows something has shown it when it returns.
#pragma once

#include <climits>
#include <cstdint>

#include "engine/string_list.h"

// The score of an occurrence found by a method that does not score words.
constexpr int kNoScore = INT_MIN;

// A word of a file that sounds like the query word, in a search of one word.
struct FoundOccurrence {
  const char* Path;          // the full path, as in the file set
  const char* Word;          // the letters as they stand in the file, not terminated; in
                             // UTF-8 when the file was read in today's encodings
  std::uint32_t WordLength;  // bytes; a word is known by its first 62 letters (characters)
  std::int64_t Line;         // 1-based
  std::int64_t Column;       // 1-based byte column of the word's first letter (in the file)
  std::int64_t Offset;       // byte offset of the word's first letter in the file
  double Percentage;         // how far into the file the word ends, before any rounding
  std::int64_t SizeK;        // the file's size in whole KiB
  char Code[8];              // the term's key (4 characters) or Daitch-Mokotoff code (6
                             // digits) that the word has, terminated
  const char* Variant;       // the first spelling of the term with that key; nullptr for none
  // With given-name equivalents: the member of the query word's family through which the
  // word was found, and what it is to the query word ("nickname", ...); nullptr when the
  // query word itself found it.
  const char* Equivalent = nullptr;
  const char* EquivalentKind = nullptr;
  int Score = kNoScore;      // how alike the word and the term are, for a method that scores
                             // words (the scored method); kNoScore for the others
  // Read as records or a document (engine/record_text.h): Column already counts the UTF-8
  // bytes of the decoded line (a paragraph's, for a document), and Line is the file's line or
  // the paragraph's number; Record names the GEDCOM record the word stands in ("@I12@"), or
  // is nullptr.
  bool ColumnDecoded = false;
  const char* Record = nullptr;
};

// How a search ended.
enum class SearchEnding {
  FilesListed,    // no query: the files that match "Search in:" were listed
  QueryAnswered,  // the query was applied to every file
  QueryRefused,   // the query is not valid (SearchSummary::Refusal says why)
  NoMemory,       // the read buffer could not be had
  NoFiles,        // no file matches "Search in:"
  NoFilesInTree,  // the same, with the subdirectories
  Stopped,        // a stop cut it short (EndStoppedSearch, engine/search_state.h)
  Running,        // it has not ended: the counts so far, for a log saved meanwhile
};

// What the end of a search tells its sink: the counts, and the lists that the lines of the
// result list and the log name. The lists are the caller's SearchState's: they hold what
// the search left there for as long as the caller keeps them, and a log written from the
// summary later shows what they hold then (a line deleted since is gone from both).
struct SearchSummary {
  SearchEnding Ending;
  int Refusal;      // QueryRefused: the refusal code (query/query_validation.h)
  bool SingleWord;  // the query was one word: occurrences were listed, not files
  std::int32_t FilesSearched;
  std::int32_t MatchedFiles;
  std::uint32_t UnopenedFiles;
  // The file of each line of the result list, in the lines' order (a line the list had no
  // room for has none), and the files that could not be opened; nullptr for none.
  const FlaggedStringList* ResultList = nullptr;
  const StringList* UnopenedList = nullptr;
};

// What a search had to leave out, each time it does.
enum class LeftOutKind {
  FolderQueueFull,    // the queue of folders had no room for a subdirectory
  FolderSpecTooLong,  // a subdirectory's specification would be over 255 characters
  FileSetFull,        // the file set had no room for a file
  FilePathTooLong,    // a file's path is over 255 characters
  UnopenedNotListed,  // the list of files that could not be opened was full
  LineWithoutEntry,   // the result list had no room for a line's file name
};

class SearchSink {
 public:
  virtual ~SearchSink() = default;

  // The query was accepted, or there is none (`listing`), and the files are collected now.
  virtual void CollectingFiles(bool listing) = 0;
  // A file is about to be read for the term with this code (query/term_codes.h).
  virtual void SearchingFile(const char* path, std::int32_t termCode) = 0;
  // An occurrence, or a file of a listing or of an expression's answer, to be shown.
  // 0 when it was shown; -1 when it was not (the search then asks whether it must stop).
  virtual int OccurrenceFound(const FoundOccurrence& occurrence) = 0;
  virtual int FileFound(const char* path) = 0;
  // A file that could not be opened or read, once it has been put on the list of them.
  virtual void FileNotOpened(const char* path) = 0;
  // Follows FileNotOpened for a document the search would not read, with why ("the archive
  // is encrypted", ...).
  virtual void FileRefused(const char* /*path*/, const char* /*reason*/) {}
  virtual void LeftOut(LeftOutKind kind) = 0;
  // The end: first what it says (a message, or the summary), then, once the search has
  // let go of its files and memory, what follows it. After a stop the worker calls
  // neither: the thread that asked for the stop ends the search once the worker has
  // returned (EndStoppedSearch), with the files found so far and the summary of a stop.
  virtual void SearchEnding(const SearchSummary& summary) = 0;
  virtual void SearchEnded(const SearchSummary& summary) = 0;
};

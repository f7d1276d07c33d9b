// How a name is heard: a sounds-like method turns a query word into a heard term, and the
// term tells whether a word of a file sounds like it, by which of its keys or codes, and
// what tessik-cli --explain shows of it. The program's own method (the Soundex keys of the
// word and of its spelling variants) and Daitch-Mokotoff Soundex are two methods; a search
// takes one from its request, and no other code asks which one it has.
// Methods are constants: any thread. A term belongs to whoever made it (the search worker,
// or tessik-cli's only thread) and is only read while a file is scanned for it.
//
// A new method is one file, engine/NAME_method.cpp, that defines its SoundMethod and
// HeardTerm and a function returning the method, and one line in engine/sound_method_list.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "engine/search_sink.h"
#include "engine/word_starts.h"

// Letters of a word beyond this many are not coded; the word goes on.
constexpr std::uint32_t kMaxWordLetters = 62;

// What MatchWordInPlace answers when it cannot tell from the word as it stands.
constexpr int kWordUndecided = -2;

// The most bytes of a term's Identity that the scanner's word cache keeps.
constexpr std::size_t kMaxTermIdentity = 4096;

class SoundMethod;
struct GivenNameMember;

// A query word as one method hears it: a value made once per term of a search.
class HeardTerm {
 public:
  explicit HeardTerm(const SoundMethod& method) : Method(method) {}
  virtual ~HeardTerm() = default;
  HeardTerm(const HeardTerm&) = delete;
  HeardTerm& operator=(const HeardTerm&) = delete;

  // The index of the term's key or code that the word has (the lowest one when several
  // do), or -1. `letters` holds `length` (2 to kMaxWordLetters) letters A-Z a-z as they
  // stand in the file. Indexes are below 32768.
  virtual int MatchWord(const std::uint8_t* letters, std::uint32_t length) const = 0;

  // The same for the word whose first letter is bytes[0], read in place up to the first
  // byte that is not a letter (at least kMaxWordLetters + 1 bytes are there to read), or
  // kWordUndecided when only the whole word, given to MatchWord, can tell. A joiner after
  // the word is not looked at: an answer of a key is only a candidate.
  virtual int MatchWordInPlace(const std::uint8_t* bytes) const = 0;

  // The key or code of index `index` (as MatchWord answers) as text in `text`, which has
  // room for 8 characters; "" for an index the term does not have.
  virtual void CodeOfMatch(int index, char* text) const = 0;

  // The spelling of the query word whose key is the key of index `index`, or nullptr when
  // the method has none to show.
  virtual const char* SpellingOfMatch(int /*index*/) const { return nullptr; }

  // The member of the query word's family of given names through which the match of index
  // `index` was found (engine/given_name_term.h), or nullptr: found by the word itself.
  virtual const GivenNameMember* EquivalentOfMatch(int /*index*/) const { return nullptr; }
  // The score behind the answer `index`, for a method that scores words; kNoScore for the
  // others.
  virtual int ScoreOfMatch(int /*index*/) const { return kNoScore; }

  // Appends what tessik-cli --explain prints of the word: lines ending in '\n'.
  virtual void Explain(std::string* text) const = 0;

  // Appends why `word` (letters A-Z a-z, terminated) matches the term or not, for a method
  // that can tell; false, with nothing appended, for the others.
  virtual bool ExplainMatch(const char* /*word*/, std::string* /*text*/) const { return false; }

  // Bytes that, with the method, tell the term's answers apart from those of any other
  // term: two terms with equal identities answer every word alike.
  virtual std::string_view Identity() const = 0;

  // Adds to `pairLengths` (32 * 32 entries, indexed as StartLetters::PairLengths) the bit of
  // every word this term may match, by its first two letters and its length: a word whose
  // bit is clear never matches; more bits than that may be set. By default, every length
  // from two letters for each pair that Starts lets through (and its own table, if any).
  virtual void AddPairLengths(std::uint64_t* pairLengths) const;

  const SoundMethod& Method;
  // The letters a word must begin with to have a chance.
  StartLetters Starts{};
  // MatchWordInPlace passes over most words faster than the scanner's cache of short words
  // answers them, and remembers its own answers: the scanner asks it directly.
  bool AnswersInPlace = false;
  // The term can match words of many beginnings (a family of given names): the scanner's
  // cache keeps more of its answers.
  bool ManyWords = false;
};

class SoundMethod {
 public:
  // The name tessik-cli's --method takes.
  virtual const char* Name() const = 0;
  // The method as the search log's header names it; nullptr for the program's own method,
  // which the log does not name.
  virtual const char* Title() const = 0;
  // Whether its terms score words (HeardTerm::ScoreOfMatch), so that occurrences can be
  // ordered by their score.
  virtual bool ScoresWords() const { return false; }
  // The term of a query word (1 to 220 letters A-Z a-z, as the query passes it on);
  // nullptr when there is no memory for it.
  virtual std::unique_ptr<HeardTerm> Hear(const char* word) const = 0;
  // One term that matches a word when any of the `count` terms (heard by this method)
  // would, whose keys or codes are theirs, those of terms[0] first and in their order, so
  // that the words of a file are coded once for all of them; nullptr when the method cannot
  // join these terms (the caller then asks each in turn). Given-name equivalents use it.
  virtual std::unique_ptr<HeardTerm> Join(const HeardTerm* const* /*terms*/, int /*count*/) const {
    return nullptr;
  }

 protected:
  ~SoundMethod() = default;
};

// Every method, one function each (engine/sound_method_list.h).
#define TESSIK_SOUND_METHOD(function) const SoundMethod& function();
#include "engine/sound_method_list.h"
#undef TESSIK_SOUND_METHOD

// The program's own method, which a search uses unless it asks for another.
const SoundMethod& DefaultSoundMethod();

// The method whose Name is `name`, or nullptr.
const SoundMethod* FindSoundMethod(const char* name);

// The names of the methods in their order, separated by ", " (for a usage text).
std::string SoundMethodNames();

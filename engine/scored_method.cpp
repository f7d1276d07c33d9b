// The scored method: a word of a file matches the query word when the two names score at
// least the threshold (phonetic/scored_name.h). Only words whose first letter and length
// can reach the threshold are scored at all; the answer of a match is how far the score
// lies above the threshold, so that the result line can show the score itself.
#include <array>
#include <cstdio>
#include <cstring>
#include <new>

#include "engine/letter_bytes.h"
#include "engine/sound_method.h"
#include "phonetic/scored_name.h"
#include "phonetic/scored_term.h"

namespace {

// The highest answer a term gives (answers stay below 32768).
constexpr int kHighestAnswer = 32767;

// The answers for words already scored with the term, by their lower-case letters: a text
// repeats its words, and each distinct word is scored once (until it is pushed out). The
// scanner's own cache answers most words of up to seven letters before they come here.
// What decides the speed is that a look-up touches one line of memory and that the whole
// stays in the processor's second-level cache while the text streams past: a set of four
// words is 64 bytes, a word of up to 14 letters is packed into 16 bytes with its answer in
// the last two. Longer words are scored every time (few can reach the threshold of a name,
// and the length test passes over most).
constexpr std::uint32_t kSetBits = 13;
constexpr std::uint32_t kWays = 4;
constexpr std::uint32_t kCachedLetters = 14;
struct CachedWord {
  std::uint64_t Low, High;  // letters 0-7, letters 8-13 and the answer in the top 16 bits
};
struct CacheSet {
  CachedWord Ways[kWays];  // the most recent first; zero: free
};
static_assert(sizeof(CacheSet) == 64);
constexpr std::uint64_t kAnswerMask = 0xFFFF000000000000ull;
static_assert(kLongestPairLength == kScoredMaxLetters && kMaxWordLetters == kScoredMaxLetters);

// The letter a byte is, 0 to 25 in either case, or 26 for a byte that is no letter.
constexpr std::array<std::uint8_t, 256> MakeLetterIndex() {
  std::array<std::uint8_t, 256> index{};
  for (int b = 0; b < 256; ++b) {
    index[b] = (b >= 'a' && b <= 'z') ? b - 'a' : (b >= 'A' && b <= 'Z') ? b - 'A' : 26;
  }
  return index;
}
constexpr std::array<std::uint8_t, 256> kLetterIndex = MakeLetterIndex();

// Words of two to seven letters, packed into eight bytes as they are read (0: free).
constexpr std::uint32_t kShortBits = 11;
struct ShortWord {
  std::uint64_t Word;
  int Answer;
};

inline std::uint32_t SetOf(std::uint64_t low, std::uint64_t high) {
  const std::uint64_t hash = (low ^ (high * 0xC2B2AE3D27D4EB4Full)) * 0x9E3779B97F4A7C15ull;
  return static_cast<std::uint32_t>(hash >> (64 - kSetBits));
}

class ScoredTermOfWord final : public HeardTerm {
 public:
  explicit ScoredTermOfWord(const SoundMethod& method) : HeardTerm(method) {}

  void Prepare(const char* word) {
    char letters[kScoredMaxLetters];
    std::uint32_t length = 0;
    while (length < kScoredMaxLetters && word[length] != '\0') {
      letters[length] = static_cast<char>(word[length] | 0x20);
      ++length;
    }
    PrepareScoredTerm(letters, length, &Term);
    char first[27];
    ScoredFirstLetters(Term, first);
    Starts = MakeStartLetters(first);
    AnswersInPlace = true;
    for (int f = 0; f < 26; ++f) {
      for (int s = 0; s < 26; ++s) {
        Pairs[f][s] = Term.Reachable[f][s];
        PairLengths[32 * (f + 1) + (s + 1)] = Term.Reachable[f][s];
      }
    }
    // The start finder passes over the words the table rules out, in its vector pass.
    Starts.PairLengths = PairLengths;
  }

  int MatchWord(const std::uint8_t* letters, std::uint32_t length) const override {
    if (length < 2) return -1;  // one-letter words are not words here either
    if (length > kScoredMaxLetters) length = kScoredMaxLetters;
    if (!ScoredMayReach(Term, static_cast<char>(letters[0] | 0x20), static_cast<char>(letters[1] | 0x20), length))
      return -1;
    char word[kScoredMaxLetters + 2] = {};
    for (std::uint32_t i = 0; i < length; ++i) word[i] = static_cast<char>(letters[i] | 0x20);
    if (length > kCachedLetters) return Answer(word, length);
    std::uint64_t low, high;
    std::memcpy(&low, word, 8);
    std::memcpy(&high, word + 8, 8);
    CacheSet& set = Cache[SetOf(low, high)];
    for (CachedWord& way : set.Ways) {
      if (way.Low == low && (way.High & ~kAnswerMask) == high) {
        return static_cast<std::int16_t>(way.High >> 48);
      }
    }
    const int answer = Answer(word, length);
    for (std::uint32_t k = kWays - 1; k > 0; --k) set.Ways[k] = set.Ways[k - 1];
    set.Ways[0] = {low, high | static_cast<std::uint64_t>(static_cast<std::uint16_t>(answer)) << 48};
    return answer;
  }

  // How far the word's score lies above the threshold, or -1 below it.
  int Answer(const char* word, std::uint32_t length) const {
    const int above = ScoreNames(Term.Letters, Term.Length, word, length) - ScoredThreshold();
    return above < 0 ? -1 : above > kHighestAnswer ? kHighestAnswer : above;
  }

  int MatchWordInPlace(const std::uint8_t* bytes) const override {
    // Most words are passed over by their first two letters alone, most others by their
    // length; the short ones left are answered from a small table that stays close to the
    // processor, as the scanner's own cache does for the other methods.
    const std::uint64_t reachable = Pairs[kLetterIndex[bytes[0]]][kLetterIndex[bytes[1]]];
    if (reachable == 0) return -1;
    std::uint64_t packed;
    std::memcpy(&packed, bytes, sizeof packed);
    const std::uint64_t notLetters = ~LetterBytes(packed) & 0x8080808080808080ull;
    if (notLetters == 0) {  // eight letters or more
      std::uint32_t length = 8;
      while (length < kScoredMaxLetters && IsWordLetter(bytes[length])) ++length;
      return MatchWord(bytes, length);
    }
    const std::uint32_t length = static_cast<std::uint32_t>(__builtin_ctzll(notLetters)) / 8;
    if (((reachable >> (length - 1)) & 1) == 0) return -1;
    const std::uint64_t word = (packed | 0x2020202020202020ull) & ((1ull << (8 * length)) - 1);
    ShortWord& slot = Short[static_cast<std::uint32_t>((word * 0x9E3779B97F4A7C15ull) >> (64 - kShortBits))];
    if (slot.Word == word) return slot.Answer;
    const int answer = MatchWord(bytes, length);
    slot.Word = word;
    slot.Answer = answer;
    return answer;
  }

  void CodeOfMatch(int index, char* text) const override {
    text[0] = '\0';
    if (index < 0 || index > kHighestAnswer) return;
    std::snprintf(text, 8, "%d", ScoredThreshold() + index);
  }

  int ScoreOfMatch(int index) const override {
    return index < 0 ? kNoScore : ScoredThreshold() + index;
  }

  // The word as it is scored, the threshold and the letters a matching word can begin with.
  void Explain(std::string* text) const override {
    *text += "word\t";
    text->append(Term.Letters, Term.Length);
    *text += "\nthreshold\t";
    *text += std::to_string(ScoredThreshold());
    char first[27];
    ScoredFirstLetters(Term, first);
    *text += "\nfirst letters\t";
    *text += first;
    *text += '\n';
  }

  bool ExplainMatch(const char* word, std::string* text) const override;

  std::string_view Identity() const override { return {Term.Letters, Term.Length}; }

 private:
  ScoredTerm Term;
  // Written by the matching functions: a term is used by one thread at a time.
  mutable CacheSet Cache[1u << kSetBits] = {};
  mutable ShortWord Short[1u << kShortBits] = {};
  // Term.Reachable with a row and a column of zeros for a byte that is no letter.
  std::uint64_t Pairs[27][27] = {};
  // The same by the low five bits of the two bytes (1 to 26 for a letter of either case),
  // as the start finder reads it (engine/word_starts.h).
  std::uint64_t PairLengths[32 * 32] = {};
};

// The two names one above the other, a blank where one has no letter:
//   johnson
//   jo nson
void AppendAlignment(const char* a, std::uint32_t la, const char* b, std::uint32_t lb,
                     const ScoredExplanation& e, std::string* text) {
  std::string top, bottom;
  std::uint32_t i = 0, j = 0;
  for (int k = 0; k <= e.OperationCount; ++k) {
    const std::uint32_t nextI = k < e.OperationCount ? e.Operations[k].QueryAt : la;
    const std::uint32_t nextJ = k < e.OperationCount ? e.Operations[k].WordAt : lb;
    while (i < nextI && j < nextJ) {  // kept letters
      top += a[i++];
      bottom += b[j++];
    }
    if (k == e.OperationCount) break;
    const ScoredOperation& op = e.Operations[k];
    for (std::uint32_t n = 0; n < op.QueryCount || n < op.WordCount; ++n) {
      top += n < op.QueryCount ? a[i++] : ' ';
      bottom += n < op.WordCount ? b[j++] : ' ';
    }
  }
  *text += "alignment\t" + top + "\n";
  *text += "alignment\t" + bottom + "\n";
}

bool ScoredTermOfWord::ExplainMatch(const char* given, std::string* text) const {
  char word[kScoredMaxLetters];
  std::uint32_t length = 0;
  for (; given[length] != '\0' && length < kScoredMaxLetters; ++length)
    word[length] = static_cast<char>(given[length] | 0x20);
  ScoredExplanation e;
  ExplainScore(Term.Letters, Term.Length, word, length, &e);
  *text += "query\t";
  text->append(Term.Letters, Term.Length);
  *text += "\nword\t";
  text->append(word, length);
  *text += '\n';
  AppendAlignment(Term.Letters, Term.Length, word, length, e, text);
  for (int k = 0; k < e.OperationCount; ++k) {
    const ScoredOperation& op = e.Operations[k];
    const std::string from(Term.Letters + op.QueryAt, op.QueryCount);
    const std::string to(word + op.WordAt, op.WordCount);
    *text += "operation\t";
    *text += ScoredOperationName(op.Kind);
    *text += '\t' + (from.empty() ? "-" : from) + '\t' + (to.empty() ? "-" : to) + '\t';
    *text += ScoredPositionName(op.Position);
    *text += "\tcost " + std::to_string(op.Cost) + "\tweight " + std::to_string(op.Weight) + '\n';
  }
  *text += "cost\t" + std::to_string(e.Cost) + '\n';
  *text += "constant\t" + std::to_string(e.Constant) + '\n';
  *text += "length\t" + std::to_string(e.LengthWeight) + '\n';
  *text += "same key\t" + std::to_string(e.SameKey) + '\n';
  *text += "score\t" + std::to_string(e.Score) + '\n';
  *text += "threshold\t" + std::to_string(e.Threshold) + '\n';
  const bool matches = length >= 2 && e.Score >= e.Threshold;
  *text += matches ? "matches\tyes\n" : "matches\tno\n";
  return true;
}

class Scored final : public SoundMethod {
 public:
  const char* Name() const override { return "scored"; }
  const char* Title() const override { return "scored (a learned weighted edit distance)"; }
  bool ScoresWords() const override { return true; }
  std::unique_ptr<HeardTerm> Hear(const char* word) const override {
    std::unique_ptr<ScoredTermOfWord> term(new (std::nothrow) ScoredTermOfWord(*this));
    if (term != nullptr) term->Prepare(word);
    return term;
  }
};

constexpr Scored kScored;

}  // namespace

const SoundMethod& ScoredMethod() { return kScored; }

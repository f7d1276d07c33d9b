// The scored method: how alike two names sound, as a score. The names are aligned letter by
// letter at the least cost of how names are heard, and every operation of the alignment (a
// letter replaced, put in, left out, doubled, two swapped) weighs against the match by the
// weights learned from labeled name pairs (phonetic/scored_tables.inc, written by
// tools/scored/learn.py, which scores the same way). Two names match when the score reaches
// the threshold. Pure functions of their arguments; any thread, after InitialisePhonetics.
#pragma once

#include <cstdint>

// Letters of a name beyond this many are not scored.
constexpr std::uint32_t kScoredMaxLetters = 62;

// The score two names reach at the least to match.
int ScoredThreshold();

// The score of the names `query` and `word`: `length` lower-case letters a-z each (no
// terminator needed); only the first kScoredMaxLetters of each count. Names with no letter
// score below the threshold.
int ScoreNames(const char* query, std::uint32_t queryLength, const char* word,
               std::uint32_t wordLength);

enum class ScoredOperationKind : unsigned char { Replace, LeaveOut, PutIn, Doubled, Undoubled, Swap };

// One operation of an alignment: the letters it takes from the query (QueryAt, QueryCount)
// and from the word (WordAt, WordCount), where it stands (0 the first letter, 1 the middle,
// 2 the last two letters), its alignment cost and its weight in the score.
struct ScoredOperation {
  ScoredOperationKind Kind;
  std::uint8_t QueryAt, QueryCount, WordAt, WordCount;
  std::uint8_t Position;
  int Cost;
  int Weight;
};

// Why two names score what they score: the operations of their alignment, in the order of
// the names' letters (kept letters are not listed), and the weights of the pair itself.
struct ScoredExplanation {
  ScoredOperation Operations[2 * kScoredMaxLetters];
  int OperationCount;
  int Constant;     // the weight every pair starts with
  int LengthWeight; // the weight of the two names' lengths together
  int SameKey;      // the weight of their having the same Soundex key (0 when not)
  int Cost;         // the alignment's cost
  int Score;
  int Threshold;
};

// The same score, with the reason for it in *explanation.
int ExplainScore(const char* query, std::uint32_t queryLength, const char* word,
                 std::uint32_t wordLength, ScoredExplanation* explanation);

// At least the score of every word of `wordLength` letters (2 or more) that begins with the
// lower-case letters `first` and `second`: a word that cannot reach the threshold by it is
// passed over.
int ScoredUpperBound(const char* query, std::uint32_t queryLength, char first, char second,
                     std::uint32_t wordLength);

// What the kind of an operation is called: "replace", "leave out", "put in", "double",
// "undouble", "swap"; and where it stands: "first", "middle", "last two".
const char* ScoredOperationName(ScoredOperationKind kind);
const char* ScoredPositionName(int position);

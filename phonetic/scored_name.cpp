#include "phonetic/scored_name.h"

#include <algorithm>
#include <array>

#include "phonetic/phonetic_key.h"
#include "phonetic/scored_tables.inc"

namespace {

constexpr unsigned kVowels = (1u << 0) | (1u << 4) | (1u << 8) | (1u << 14) | (1u << 20) | (1u << 24);

inline int LetterOf(char c) { return c - 'a'; }

// The weight of replacing one letter by another, by the pair itself, for the pairs the
// tables list; 0 for the others.
constexpr std::array<std::array<int, 26>, 26> MakePairWeights() {
  std::array<std::array<int, 26>, 26> table{};
  for (const ScoredLetterPair& pair : kWeightLetterPairs) {
    const int x = pair.Letters[0] - 'a';
    const int y = pair.Letters[1] - 'a';
    table[x][y] = pair.Weight;
    table[y][x] = pair.Weight;
  }
  return table;
}
constexpr std::array<std::array<int, 26>, 26> kPairWeights = MakePairWeights();

// Whether the letter at `k` of the name is one of two equal letters side by side.
inline bool IsDoubled(const char* s, std::uint32_t length, std::uint32_t k) {
  return (k > 0 && s[k - 1] == s[k]) || (k + 1 < length && s[k + 1] == s[k]);
}

inline int ReplaceCost(char x, char y) {
  const int a = LetterOf(x), b = LetterOf(y);
  if ((kVowels >> a & 1) && (kVowels >> b & 1)) return kCostSubVowels;
  if (kLetterGroups[a] & kLetterGroups[b]) return kCostSubGroup;
  return kCostSubOther;
}

inline int IndelCost(const char* s, std::uint32_t length, std::uint32_t k) {
  if (IsDoubled(s, length, k)) return kCostIndelDoubled;
  return (kLightLetters >> LetterOf(s[k]) & 1) ? kCostIndelLight : kCostIndelOther;
}

// Where an operation taking query[i, i + na) and word[j, j + nb) stands: 0 the first
// letter, 1 the middle, 2 the last two letters.
inline int PositionOf(std::uint32_t la, std::uint32_t lb, std::uint32_t i, std::uint32_t j,
                      std::uint32_t na, std::uint32_t nb) {
  if ((na && i == 0) || (nb && j == 0)) return 0;
  if ((na && i + na + 1 >= la) || (nb && j + nb + 1 >= lb)) return 2;
  return 1;
}

inline int LengthBucket(std::uint32_t shorter) {
  return shorter <= 4 ? 0 : shorter <= 6 ? 1 : shorter <= 8 ? 2 : 3;
}

struct Names {
  const char* A;
  std::uint32_t La;
  const char* B;
  std::uint32_t Lb;
};

// The weight of one operation, as the learning script counts its features.
int WeightOf(const Names& n, const ScoredOperation& op) {
  const int bucket = kWeightShorterLength[LengthBucket(std::min(n.La, n.Lb))];
  const int position = op.Position;
  switch (op.Kind) {
    case ScoredOperationKind::Replace: {
      const int x = LetterOf(n.A[op.QueryAt]), y = LetterOf(n.B[op.WordAt]);
      return kWeightKindPosition[0][position] + kWeightReplaceClasses[kLetterClass[x]][kLetterClass[y]] +
             kPairWeights[x][y] + bucket;
    }
    case ScoredOperationKind::LeaveOut:
    case ScoredOperationKind::PutIn: {
      const int x = LetterOf(op.Kind == ScoredOperationKind::LeaveOut ? n.A[op.QueryAt] : n.B[op.WordAt]);
      return kWeightKindPosition[1][position] + kWeightIndelClass[kLetterClass[x]] + kWeightIndelLetter[x] +
             bucket;
    }
    case ScoredOperationKind::Doubled:
    case ScoredOperationKind::Undoubled:
      return kWeightKindPosition[2][position] + bucket;
    case ScoredOperationKind::Swap:
      return kWeightKindPosition[3][position] + bucket;
  }
  return 0;
}

enum Step : unsigned char { kKeep, kReplace, kLeaveOut, kPutIn, kSwap };

// The least-cost alignment of the two names, as the learning script finds it (ties go to
// keep or replace, then leave out, then put in, then swap), its operations written to `ops`
// in the order of the letters; returns how many, and the cost in *cost.
int Align(const Names& n, ScoredOperation* ops, int* cost) {
  constexpr std::uint32_t kSide = kScoredMaxLetters + 1;
  std::uint16_t costs[kSide][kSide];
  std::uint8_t steps[kSide][kSide];
  const char* a = n.A;
  const char* b = n.B;
  costs[0][0] = 0;
  for (std::uint32_t i = 0; i <= n.La; ++i) {
    const int leaveOut = i ? IndelCost(a, n.La, i - 1) : 0;
    for (std::uint32_t j = 0; j <= n.Lb; ++j) {
      if (i == 0 && j == 0) continue;
      int best = 1 << 30;
      std::uint8_t how = kKeep;
      if (i && j) {
        if (a[i - 1] == b[j - 1]) {
          best = costs[i - 1][j - 1];
          how = kKeep;
        } else {
          best = costs[i - 1][j - 1] + ReplaceCost(a[i - 1], b[j - 1]);
          how = kReplace;
        }
      }
      if (i && costs[i - 1][j] + leaveOut < best) {
        best = costs[i - 1][j] + leaveOut;
        how = kLeaveOut;
      }
      if (j) {
        const int putIn = IndelCost(b, n.Lb, j - 1);
        if (costs[i][j - 1] + putIn < best) {
          best = costs[i][j - 1] + putIn;
          how = kPutIn;
        }
      }
      if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1] && a[i - 1] != a[i - 2] &&
          costs[i - 2][j - 2] + kCostSwap < best) {
        best = costs[i - 2][j - 2] + kCostSwap;
        how = kSwap;
      }
      costs[i][j] = static_cast<std::uint16_t>(best);
      steps[i][j] = how;
    }
  }
  *cost = costs[n.La][n.Lb];
  // Walk back from the end, writing the operations from the end of `ops` down, then move
  // them to the front.
  constexpr int kMost = 2 * kScoredMaxLetters;
  int at = kMost;
  std::uint32_t i = n.La, j = n.Lb;
  while (i || j) {
    ScoredOperation op{};
    switch (steps[i][j]) {
      case kKeep:
        --i, --j;
        continue;
      case kReplace:
        --i, --j;
        op = {ScoredOperationKind::Replace, std::uint8_t(i), 1, std::uint8_t(j), 1, 0, ReplaceCost(a[i], b[j]), 0};
        break;
      case kLeaveOut:
        --i;
        op = {IsDoubled(a, n.La, i) ? ScoredOperationKind::Undoubled : ScoredOperationKind::LeaveOut,
              std::uint8_t(i), 1, std::uint8_t(j), 0, 0, IndelCost(a, n.La, i), 0};
        break;
      case kPutIn:
        --j;
        op = {IsDoubled(b, n.Lb, j) ? ScoredOperationKind::Doubled : ScoredOperationKind::PutIn,
              std::uint8_t(i), 0, std::uint8_t(j), 1, 0, IndelCost(b, n.Lb, j), 0};
        break;
      default:
        i -= 2, j -= 2;
        op = {ScoredOperationKind::Swap, std::uint8_t(i), 2, std::uint8_t(j), 2, 0, kCostSwap, 0};
        break;
    }
    op.Position = static_cast<std::uint8_t>(
        PositionOf(n.La, n.Lb, op.QueryAt, op.WordAt, op.QueryCount, op.WordCount));
    op.Weight = WeightOf(n, op);
    ops[--at] = op;
  }
  const int count = kMost - at;
  for (int k = 0; k < count; ++k) ops[k] = ops[at + k];
  return count;
}


// The most the operations of an alignment of the query with a word that begins with the
// letters `prefix` (two) and goes on with letters not known can weigh: the known letters
// are aligned every way, at the weights they would have, and the unknown ones at best each
// kept, with a letter put in or left out at its highest weight for each letter of
// difference in length.
int MostOperationsWithPrefix(const Names& n, const char* prefix) {
  constexpr int kNone = -(1 << 28);
  const std::uint32_t la = n.La, lb = n.Lb;
  const int bucket = kWeightShorterLength[LengthBucket(std::min(la, lb))];
  int mostIndel = kWeightKindPosition[2][0];
  for (int x = 0; x < 26; ++x)
    for (int p = 0; p < 3; ++p)
      mostIndel = std::max({mostIndel, kWeightKindPosition[1][p] + kWeightIndelClass[kLetterClass[x]] + kWeightIndelLetter[x],
                            kWeightKindPosition[2][p]});
  mostIndel += bucket;
  // The unknown letters word[from, lb) against query[i, la).
  auto rest = [&](std::uint32_t i, std::uint32_t from) {
    const std::uint32_t left = la - i, unknown = lb - from;
    return static_cast<int>(left > unknown ? left - unknown : unknown - left) * mostIndel;
  };
  // best[j][i]: the most the operations taking prefix[0, j) and query[0, i) weigh.
  int best[3][kScoredMaxLetters + 1];
  for (auto& row : best)
    for (int& cell : row) cell = kNone;
  best[0][0] = 0;
  int most = kNone;
  const char* a = n.A;
  for (std::uint32_t j = 0; j <= 2; ++j) {
    for (std::uint32_t i = 0; i <= la; ++i) {
      const int here = best[j][i];
      if (here == kNone) continue;
      if (j == 2) {
        most = std::max(most, here + rest(i, 2));
        continue;
      }
      const int x = prefix[j] - 'a';
      if (i < la) {
        int w = 0;
        if (a[i] != prefix[j]) {
          w = kWeightKindPosition[0][PositionOf(la, lb, i, j, 1, 1)] +
              kWeightReplaceClasses[kLetterClass[LetterOf(a[i])]][kLetterClass[x]] + kPairWeights[LetterOf(a[i])][x] +
              bucket;
        }
        best[j + 1][i + 1] = std::max(best[j + 1][i + 1], here + w);
        const int p = PositionOf(la, lb, i, j, 1, 0);
        const int leaveOut = (IsDoubled(a, la, i) ? kWeightKindPosition[2][p]
                                                  : kWeightKindPosition[1][p] + kWeightIndelClass[kLetterClass[LetterOf(a[i])]] +
                                                        kWeightIndelLetter[LetterOf(a[i])]) +
                             bucket;
        best[j][i + 1] = std::max(best[j][i + 1], here + leaveOut);
      }
      // The prefix letter put in: doubled when its neighbour is the same letter, which for the
      // second is not known.
      const int p = PositionOf(la, lb, i, j, 0, 1);
      const bool twin = (j == 0 && prefix[1] == prefix[0]) || (j == 1 && prefix[0] == prefix[1]);
      int putIn = kWeightKindPosition[1][p] + kWeightIndelClass[kLetterClass[x]] + kWeightIndelLetter[x];
      if (twin) putIn = kWeightKindPosition[2][p];
      if (j == 1 && !twin) putIn = std::max(putIn, kWeightKindPosition[2][p]);
      best[j + 1][i] = std::max(best[j + 1][i], here + putIn + bucket);
      // Two letters swapped: both of the prefix, or its second with the first unknown one.
      if (i + 1 < la && a[i] != a[i + 1]) {
        if (j == 0 && prefix[0] == a[i + 1] && prefix[1] == a[i]) {
          best[2][i + 2] = std::max(best[2][i + 2], here + kWeightKindPosition[3][PositionOf(la, lb, i, 0, 2, 2)] + bucket);
        }
        if (j == 1 && lb > 2 && prefix[1] == a[i + 1]) {
          most = std::max(most, here + kWeightKindPosition[3][PositionOf(la, lb, i, 1, 2, 2)] + bucket + rest(i + 2, 3));
        }
      }
    }
  }
  return most;
}

}  // namespace

int ScoredUpperBound(const char* query, std::uint32_t queryLength, char first, char second,
                     std::uint32_t wordLength) {
  const char prefix[2] = {first, second};
  const Names n{query, std::min(queryLength, kScoredMaxLetters), prefix, std::min(wordLength, kScoredMaxLetters)};
  if (n.La == 0 || n.Lb < 2) return kScoredThreshold - 1;
  // The keys agree only where their first characters do: the same first letter, or two
  // letters that code as 0 (the vowels and y).
  const auto zero = [](char c) { return c == 'a' || c == 'e' || c == 'i' || c == 'o' || c == 'u' || c == 'y'; };
  const bool keysMayAgree = query[0] == first || (zero(query[0]) && zero(first));
  return kWeightConstant + kWeightLength * static_cast<int>(n.La + n.Lb) +
         (keysMayAgree ? std::max(kWeightSameKey, 0) : 0) + MostOperationsWithPrefix(n, prefix);
}

int ScoredThreshold() { return kScoredThreshold; }

int ExplainScore(const char* query, std::uint32_t queryLength, const char* word,
                 std::uint32_t wordLength, ScoredExplanation* explanation) {
  ScoredExplanation& e = *explanation;
  e = ScoredExplanation{};
  e.Threshold = kScoredThreshold;
  const Names n{query, std::min(queryLength, kScoredMaxLetters), word,
                std::min(wordLength, kScoredMaxLetters)};
  if (n.La == 0 || n.Lb == 0) {
    e.Score = kScoredThreshold - 1;
    return e.Score;
  }
  e.OperationCount = Align(n, e.Operations, &e.Cost);
  e.Constant = kWeightConstant;
  e.LengthWeight = kWeightLength * static_cast<int>(n.La + n.Lb);
  e.SameKey = ComputePhoneticKey(n.A, n.La) == ComputePhoneticKey(n.B, n.Lb) ? kWeightSameKey : 0;
  int score = e.Constant + e.LengthWeight + e.SameKey;
  for (int k = 0; k < e.OperationCount; ++k) score += e.Operations[k].Weight;
  e.Score = score;
  return score;
}

int ScoreNames(const char* query, std::uint32_t queryLength, const char* word,
               std::uint32_t wordLength) {
  const Names n{query, std::min(queryLength, kScoredMaxLetters), word,
                std::min(wordLength, kScoredMaxLetters)};
  if (n.La == 0 || n.Lb == 0) return kScoredThreshold - 1;
  ScoredOperation ops[2 * kScoredMaxLetters];
  int cost;
  const int count = Align(n, ops, &cost);
  int score = kWeightConstant + kWeightLength * static_cast<int>(n.La + n.Lb);
  if (ComputePhoneticKey(n.A, n.La) == ComputePhoneticKey(n.B, n.Lb)) score += kWeightSameKey;
  for (int k = 0; k < count; ++k) score += ops[k].Weight;
  return score;
}

const char* ScoredOperationName(ScoredOperationKind kind) {
  switch (kind) {
    case ScoredOperationKind::Replace:
      return "replace";
    case ScoredOperationKind::LeaveOut:
      return "leave out";
    case ScoredOperationKind::PutIn:
      return "put in";
    case ScoredOperationKind::Doubled:
      return "double";
    case ScoredOperationKind::Undoubled:
      return "undouble";
    case ScoredOperationKind::Swap:
      return "swap";
  }
  return "";
}

const char* ScoredPositionName(int position) {
  return position == 0 ? "first" : position == 1 ? "middle" : "last two";
}

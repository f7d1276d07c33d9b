// The word is read letter by letter in one pass: each letter is lower-cased, dropped or
// kept by the reductions (which look at the letters before and after it in the word as
// read), and a kept letter adds its digit to the key. After each digit the keys that can
// still be equal are known from a table, and when none is left the word is given up:
// most words of a text are given up at their first or second digit.
#include "engine/word_key.h"

#include <cstring>
#include <initializer_list>

namespace {

inline char DigitOf(char letter) { return LetterCodeTable[letter - 'a']; }

// The first character of a key: the letter for consonants and for h and w, else 0.
inline char FirstKeyCharacter(char letter) {
  return (DigitOf(letter) != '0' || letter == 'w' || letter == 'h') ? letter : '0';
}

// Whether the reductions drop w[i], given the letters around it (0 past the end).
inline bool Dropped(char letter, char previous, char next) {
  if (letter == 'c') {
    if (next == 'k') return true;
    return (previous == 's' || previous == 'x') && (next == 'e' || next == 'i' || next == 'y');
  }
  return letter == 's' && previous == 'x';
}

inline int LowestKey(std::uint32_t holding) {
  return holding == 0 ? -1 : __builtin_ctz(holding);
}

int IndexOf(const TermKeys& term, const PhoneticKey& key) {
  for (std::uint32_t k = 0; k < term.Count; ++k) {
    if (term.Keys[k] == key) return static_cast<int>(k);
  }
  return -1;
}

// A word beginning "ps" has two keys; it is reduced in full and coded twice.
int MatchBothKeys(const TermKeys& term, const std::uint8_t* letters, std::uint32_t length) {
  char lower[kMaxWordLetters + 1];
  for (std::uint32_t i = 0; i < length; ++i) lower[i] = static_cast<char>(letters[i] | 0x20);
  lower[length] = 0;
  char reduced[kMaxWordLetters];
  std::uint32_t written = 0;
  reduced[written++] = lower[0];
  for (std::uint32_t i = 1; i < length; ++i) {
    if (!Dropped(lower[i], lower[i - 1], lower[i + 1])) reduced[written++] = lower[i];
  }
  const int primary = IndexOf(term, ComputePhoneticKey(reduced, written));
  if (primary >= 0) return primary;
  // "ps" is also heard as a plain s (psalm, psyche).
  return IndexOf(term, ComputePhoneticKey(reduced + 1, written - 1));
}

}  // namespace

void PrepareTermKeys(const PhoneticKey* keys, std::uint32_t count, TermKeys* term) {
  if (count > static_cast<std::uint32_t>(kMaxKeys)) count = kMaxKeys;
  term->Count = count;
  std::memcpy(term->Keys, keys, sizeof(PhoneticKey) * count);
  std::memset(term->Holding, 0, sizeof term->Holding);

  bool canStart[26] = {};
  for (std::uint32_t k = 0; k < count; ++k) {
    for (int position = 0; position < 4; ++position) {
      term->Holding[position][static_cast<unsigned char>(keys[k].Bytes[position])] |=
          static_cast<std::uint16_t>(1u << k);
    }
    const char lead = keys[k].Bytes[0];
    if (lead >= 'a' && lead <= 'z') {
      canStart[lead - 'a'] = true;
      // A leading "ph" codes as f; a leading "ps" also gets a key that begins with s.
      if (lead == 'f' || lead == 's') canStart['p' - 'a'] = true;
    } else if (lead == '0') {
      for (char vowel : {'a', 'e', 'i', 'o', 'u', 'y'}) canStart[vowel - 'a'] = true;
    }
  }
  char list[27];
  int listed = 0;
  for (int letter = 0; letter < 26; ++letter) {
    if (canStart[letter]) list[listed++] = static_cast<char>('a' + letter);
  }
  list[listed] = 0;
  term->Starts = MakeStartLetters(list);
}

int MatchWordKey(const TermKeys& term, const std::uint8_t* letters, std::uint32_t length) {
  if (length < 2) return -1;
  if (length > kMaxWordLetters) length = kMaxWordLetters;
  const char first = static_cast<char>(letters[0] | 0x20);
  char current = static_cast<char>(letters[1] | 0x20);
  if (first == 'p' && current == 's') return MatchBothKeys(term, letters, length);

  // The reduced word starts with f for "ph" (the h stays), else with the first letter.
  char lastKept = (first == 'p' && current == 'h') ? 'f' : first;
  std::uint32_t holding =
      term.Holding[0][static_cast<unsigned char>(FirstKeyCharacter(lastKept))];
  if (holding == 0) return -1;
  int stored = 1;
  char previous = first;
  for (std::uint32_t i = 1; i < length; ++i) {
    const char next = i + 1 < length ? static_cast<char>(letters[i + 1] | 0x20) : 0;
    if (!Dropped(current, previous, next)) {
      const char digit = DigitOf(current);
      // Only the same letter twice in a row merges, not two letters of one digit.
      if (digit != '0' && current != lastKept) {
        holding &= term.Holding[stored][static_cast<unsigned char>(digit)];
        if (holding == 0) return -1;
        if (++stored == 4) return LowestKey(holding);
      }
      lastKept = current;
    }
    previous = current;
    current = next;
  }
  for (; stored < 4; ++stored) holding &= term.Holding[stored][static_cast<unsigned char>('0')];
  return LowestKey(holding);
}

#include "phonetic/phonetic_key.h"

char LetterCodeTable[26];

namespace {

constexpr std::uint32_t kNormalisedLimit = kNormalisedWordSize - 1;

// The Soundex digits of a to z, the way the published American table groups them.
constexpr char kSoundexDigits[27] = "01230120022455012623010202";

// Only letters reach this, so adding 0x20 below 'Z' + 1 maps A..Z onto a..z and keeps
// a..z; the signed comparison is how the rest of the program lower-cases too.
inline char LowerCase(char c) {
  return static_cast<signed char>(c) < 0x5B ? static_cast<char>(c + 0x20) : c;
}

// A byte that is not a lower-case letter has no digit: it is never coded, and reading
// the table with it would leave the table.
inline char DigitOf(char c) {
  const unsigned index = static_cast<unsigned char>(c) - static_cast<unsigned>('a');
  return index < 26 ? LetterCodeTable[index] : '0';
}

// The first character of a key: the letter itself for consonants and for h and w, the
// digit 0 for the vowels and y (so Ellen and Allen share their key).
inline char FirstKeyByte(char c) { return (DigitOf(c) != '0' || c == 'w' || c == 'h') ? c : '0'; }

// Appends one character to the normalised word unless it is full; later characters are
// lost.
inline void Append(char* normalised, std::uint32_t& length, char c) {
  if (length < kNormalisedLimit) normalised[length++] = c;
}

}  // namespace

void InitialisePhonetics() {
  std::memcpy(LetterCodeTable, kSoundexDigits, sizeof(LetterCodeTable));
}

void NormaliseQueryWord(const char* term, char* normalised) {
  // The term is read in place and lower-cased letter by letter; its terminator stays a
  // zero byte, so `next` at the last letter equals no letter.
  std::uint32_t length = 0;
  if (term == nullptr || term[0] == '\0') {
    normalised[0] = '\0';
    return;
  }
  char prev = LowerCase(term[0]);
  char c = term[1] == '\0' ? '\0' : LowerCase(term[1]);
  // A leading ph sounds as f; its h stays and is examined like any other letter.
  Append(normalised, length, (prev == 'p' && c == 'h') ? 'f' : prev);
  std::uint32_t i = 1;
  while (c != '\0') {
    const char next = term[i + 1] == '\0' ? '\0' : LowerCase(term[i + 1]);
    const bool marked = DropsLetter(c, prev, next) || c == next;
    if (!marked) {
      Append(normalised, length, c);
    } else if (i != 1 && c == 'j' && prev != 'd') {
      // A doubled j inside a word is heard as hj (Hajj); at the second letter or after
      // a d it simply collapses.
      Append(normalised, length, 'h');
      Append(normalised, length, 'j');
    } else if (c == 'x') {
      // xx is heard as ks; the second x is used up by the pair.
      Append(normalised, length, 'k');
      Append(normalised, length, 's');
      prev = next;
      ++i;
      c = term[i + 1] == '\0' ? '\0' : LowerCase(term[i + 1]);
      ++i;
      continue;
    }
    prev = c;
    c = next;
    ++i;
  }
  normalised[length] = '\0';
}

PhoneticKey ComputePhoneticKey(const char* word) {
  return ComputePhoneticKey(word, static_cast<std::uint32_t>(std::strlen(word)));
}

PhoneticKey ComputePhoneticKey(const char* word, std::uint32_t length) {
  PhoneticKey key{{'0', '0', '0', '0'}};
  if (length == 0) return key;
  key.Bytes[0] = FirstKeyByte(word[0]);
  int stored = 1;
  // Only the same letter twice in a row merges; two different letters of one digit are
  // both coded, even side by side (Jackson gives j225).
  for (std::uint32_t j = 1; j < length; ++j) {
    const char digit = DigitOf(word[j]);
    if (digit != '0' && word[j] != word[j - 1]) {
      key.Bytes[stored++] = digit;
      if (stored == 4) break;
    }
  }
  return key;
}

// The program's own method: the query word is normalised and varied into spellings whose
// distinct Soundex keys the words of a file are compared with. A word of a file is read
// letter by letter in one pass: each letter is lower-cased, dropped or kept by the
// reductions (which look at the letters before and after it in the word as read), and a
// kept letter adds its digit to the key. After each digit the keys that can still be equal
// are known from a table, and when none is left the word is given up: most words of a text
// are given up at their first or second digit.
#include "engine/soundex_method.h"

#include <cstring>
#include <initializer_list>
#include <new>

#include "engine/sound_method.h"
#include "phonetic/phonetic_key.h"
#include "phonetic/prepared_term.h"

namespace {

inline char DigitOf(char letter) { return LetterCodeTable[letter - 'a']; }

// The first character of a key: the letter for consonants and for h and w, else 0.
inline char FirstKeyCharacter(char letter) {
  return (DigitOf(letter) != '0' || letter == 'w' || letter == 'h') ? letter : '0';
}

inline int LowestKey(std::uint32_t holding) { return holding == 0 ? -1 : __builtin_ctz(holding); }

constexpr int kBothKeys = -2;

class SoundexTerm final : public HeardTerm {
 public:
  explicit SoundexTerm(const SoundMethod& method) : HeardTerm(method) {}

  // The word, its spellings and keys; for a term of given keys, those keys alone.
  void PrepareWord(const char* word);
  void PrepareKeys(const PhoneticKey* keys, std::uint32_t count);
  // Looks at the letter after every start, not only after a vowel: a joined term's starts
  // are joined with others' (given-name equivalents), whose union keeps a follower filter
  // only when every part has one.
  void FollowEveryStart() { followEveryStart_ = true; }

  int MatchWord(const std::uint8_t* letters, std::uint32_t length) const override;
  int MatchWordInPlace(const std::uint8_t* bytes) const override;
  void CodeOfMatch(int index, char* text) const override;
  const char* SpellingOfMatch(int index) const override;
  void Explain(std::string* text) const override;
  std::string_view Identity() const override {
    return {reinterpret_cast<const char*>(Keys), sizeof(PhoneticKey) * Count};
  }
  void AddPairLengths(std::uint64_t* pairLengths) const override;

  std::uint32_t KeyCount() const { return Count; }
  const PhoneticKey& Key(std::uint32_t k) const { return Keys[k]; }

 private:
  void PrepareMatching();
  void MayComeSecond(const bool* canStart, char* list) const;
  int IndexOf(const PhoneticKey& key) const;
  int MatchBothKeys(const std::uint8_t* letters, std::uint32_t length) const;
  template <typename LetterAt>
  int Match(LetterAt letterAt) const;

  PreparedTerm Prepared;
  // The keys compared, and which key holds which character where: bit k of
  // Holding[position][byte] is set when key k has `byte` at `position`.
  PhoneticKey Keys[kMaxKeys];
  std::uint32_t Count;
  std::uint16_t Holding[4][256];
  bool followEveryStart_ = false;
};

void SoundexTerm::PrepareWord(const char* word) {
  PrepareTerm(word, &Prepared);
  std::memcpy(Keys, Prepared.KeyTable, sizeof Keys);
  Count = Prepared.KeyCount;
  PrepareMatching();
}

void SoundexTerm::PrepareKeys(const PhoneticKey* keys, std::uint32_t count) {
  std::memset(&Prepared, 0, sizeof Prepared);
  for (int& variant : Prepared.KeyVariant) variant = -1;
  if (count > static_cast<std::uint32_t>(kMaxKeys)) count = kMaxKeys;
  std::memcpy(Prepared.KeyTable, keys, sizeof(PhoneticKey) * count);
  Prepared.KeyCount = count;
  std::memcpy(Keys, Prepared.KeyTable, sizeof Keys);
  Count = count;
  PrepareMatching();
}

// The letters that can come second in a word that begins with one of `canStart` and whose
// key is one of the term's, as a list of lower-case letters: a letter that adds no digit,
// one whose digit is a key's first, the first letter again (it merges), and the letters
// the reductions can drop there (c after s or x, s after x) or that make a second key
// (ps).
void SoundexTerm::MayComeSecond(const bool* canStart, char* list) const {
  bool may[26] = {};
  for (int letter = 0; letter < 26; ++letter) {
    const char digit = DigitOf(static_cast<char>('a' + letter));
    bool firstDigit = false;
    for (std::uint32_t k = 0; k < Count; ++k) firstDigit |= Keys[k].Bytes[1] == digit;
    may[letter] = digit == '0' || firstDigit || canStart[letter];
  }
  if (canStart['s' - 'a'] || canStart['x' - 'a']) may['c' - 'a'] = true;
  if (canStart['x' - 'a'] || canStart['p' - 'a']) may['s' - 'a'] = true;
  int listed = 0;
  for (int letter = 0; letter < 26; ++letter) {
    if (may[letter]) list[listed++] = static_cast<char>('a' + letter);
  }
  list[listed] = 0;
}

void SoundexTerm::PrepareMatching() {
  std::memset(Holding, 0, sizeof Holding);
  bool canStart[26] = {};
  for (std::uint32_t k = 0; k < Count; ++k) {
    for (int position = 0; position < 4; ++position) {
      Holding[position][static_cast<unsigned char>(Keys[k].Bytes[position])] |=
          static_cast<std::uint16_t>(1u << k);
    }
    const char lead = Keys[k].Bytes[0];
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
  bool vowelStarts = false;
  for (int letter = 0; letter < 26; ++letter) {
    if (!canStart[letter]) continue;
    list[listed++] = static_cast<char>('a' + letter);
    vowelStarts = vowelStarts || FirstKeyCharacter(static_cast<char>('a' + letter)) == '0';
  }
  list[listed] = 0;
  // Words that begin with a vowel mostly go on with a consonant, and most consonants give
  // a first digit that no key has: for such terms, only the starts followed by a letter
  // that can come second are worth coding.
  if (!vowelStarts && !followEveryStart_) {
    Starts = MakeStartLetters(list);
    return;
  }
  char followers[27];
  MayComeSecond(canStart, followers);
  Starts = MakeStartLetters(list, followers);
}

// Each letter after the first adds at most one digit to a word's key, and the second adds
// one only when the reductions keep it and it is not the first letter again; so a key of d
// digits needs at least d letters after the first, and d + 1 when the second adds none. A
// second letter that adds a digit other than a key's first digit rules the key out, unless
// the reductions may drop it (c before k, or after s or x; s after x). A word beginning
// "ps" has a key that begins with p and one that begins with s, and is let through at every
// length when a key begins with either.
void SoundexTerm::AddPairLengths(std::uint64_t* pairLengths) const {
  bool psKeys = false;
  for (std::uint32_t k = 0; k < Count; ++k)
    psKeys |= Keys[k].Bytes[0] == 'p' || Keys[k].Bytes[0] == 's';
  for (char first = 'a'; first <= 'z'; ++first) {
    for (char second = 'a'; second <= 'z'; ++second) {
      std::uint32_t least = first == 'p' && second == 's' && psKeys ? 2 : kLongestPairLength + 1;
      const char lastKept = first == 'p' && second == 'h' ? 'f' : first;
      const char digit = DigitOf(second);
      const bool adds = digit != '0' && second != lastKept;
      const bool mayDrop = second == 'c' || (second == 's' && first == 'x');
      for (std::uint32_t k = 0; k < Count; ++k) {
        const char* key = Keys[k].Bytes;
        if (key[0] != FirstKeyCharacter(lastKept)) continue;
        std::uint32_t digits = 0;
        while (digits < 3 && key[1 + digits] != '0') ++digits;
        std::uint32_t length;
        if (adds && digits > 0 && digit == key[1]) {
          length = 1 + digits;
        } else if (!adds || mayDrop) {
          length = 2 + digits;
        } else {
          continue;
        }
        if (length < least) least = length;
      }
      if (least > kLongestPairLength) continue;
      // Lengths `least` to kLongestPairLength: bits least - 1 to kLongestPairLength - 1.
      const std::uint64_t lengths =
          ((std::uint64_t{1} << kLongestPairLength) - 1) & ~((std::uint64_t{1} << (least - 1)) - 1);
      pairLengths[32 * (first & 31) + (second & 31)] |= lengths;
    }
  }
}

int SoundexTerm::IndexOf(const PhoneticKey& key) const {
  for (std::uint32_t k = 0; k < Count; ++k) {
    if (Keys[k] == key) return static_cast<int>(k);
  }
  return -1;
}

// A word beginning "ps" has two keys; it is reduced in full and coded twice.
int SoundexTerm::MatchBothKeys(const std::uint8_t* letters, std::uint32_t length) const {
  char lower[kMaxWordLetters + 1];
  for (std::uint32_t i = 0; i < length; ++i) lower[i] = static_cast<char>(letters[i] | 0x20);
  lower[length] = 0;
  char reduced[kMaxWordLetters];
  std::uint32_t written = 0;
  reduced[written++] = lower[0];
  for (std::uint32_t i = 1; i < length; ++i) {
    if (!DropsLetter(lower[i], lower[i - 1], lower[i + 1])) reduced[written++] = lower[i];
  }
  const int primary = IndexOf(ComputePhoneticKey(reduced, written));
  if (primary >= 0) return primary;
  // "ps" is also heard as a plain s (psalm, psyche).
  return IndexOf(ComputePhoneticKey(reduced + 1, written - 1));
}

// The coding of one word whose i-th letter, lower-cased, `letterAt(i)` gives (0 at and
// after the end), asked for in order from 0. kBothKeys for a word beginning "ps".
template <typename LetterAt>
inline int SoundexTerm::Match(LetterAt letterAt) const {
  const char first = letterAt(0);
  char current = letterAt(1);
  if (current == 0) return -1;  // one-letter words are not words here
  if (first == 'p' && current == 's') return kBothKeys;

  // The reduced word starts with f for "ph" (the h stays), else with the first letter.
  char lastKept = (first == 'p' && current == 'h') ? 'f' : first;
  std::uint32_t holding = Holding[0][static_cast<unsigned char>(FirstKeyCharacter(lastKept))];
  if (holding == 0) return -1;
  int stored = 1;
  char previous = first;
  for (std::uint32_t i = 1; current != 0; ++i) {
    const char next = letterAt(i + 1);
    if (!DropsLetter(current, previous, next)) {
      const char digit = DigitOf(current);
      // Only the same letter twice in a row merges, not two letters of one digit.
      if (digit != '0' && current != lastKept) {
        holding &= Holding[stored][static_cast<unsigned char>(digit)];
        if (holding == 0) return -1;
        if (++stored == 4) return LowestKey(holding);
      }
      lastKept = current;
    }
    previous = current;
    current = next;
  }
  for (; stored < 4; ++stored) holding &= Holding[stored][static_cast<unsigned char>('0')];
  return LowestKey(holding);
}

int SoundexTerm::MatchWord(const std::uint8_t* letters, std::uint32_t length) const {
  const int key = Match([letters, length](std::uint32_t i) {
    return i < length ? static_cast<char>(letters[i] | 0x20) : '\0';
  });
  return key == kBothKeys ? MatchBothKeys(letters, length) : key;
}

int SoundexTerm::MatchWordInPlace(const std::uint8_t* bytes) const {
  const int key = Match([bytes](std::uint32_t i) {
    return i < kMaxWordLetters && IsWordLetter(bytes[i]) ? static_cast<char>(bytes[i] | 0x20)
                                                         : '\0';
  });
  return key == kBothKeys ? kWordUndecided : key;
}

void SoundexTerm::CodeOfMatch(int index, char* text) const {
  text[0] = '\0';
  if (index < 0 || static_cast<std::uint32_t>(index) >= Count) return;
  std::memcpy(text, Keys[index].Bytes, sizeof Keys[index].Bytes);
  text[sizeof Keys[index].Bytes] = '\0';
}

const char* SoundexTerm::SpellingOfMatch(int index) const {
  if (index < 0 || index >= kMaxKeys) return nullptr;
  const int variant = Prepared.KeyVariant[index];
  if (variant < 0 || static_cast<std::uint32_t>(variant) >= Prepared.VariantCount) return nullptr;
  return Prepared.VariantTable[variant];
}

// The normalised word whole (up to 255 characters); each spelling, cut to 62 as the
// variant step uses the word, with its key, in slot order and repeats included; the
// distinct keys.
void SoundexTerm::Explain(std::string* text) const {
  *text += "normalised\t";
  *text += Prepared.NormalisedWord;
  *text += '\n';
  for (std::uint32_t i = 0; i < Prepared.VariantCount && i < kVariantSlots; ++i) {
    *text += "variant\t";
    *text += Prepared.VariantTable[i];
    *text += '\t';
    text->append(Prepared.VariantKeys[i].Bytes, sizeof Prepared.VariantKeys[i].Bytes);
    *text += '\n';
  }
  *text += "keys\t";
  for (std::uint32_t i = 0; i < Prepared.KeyCount && i < kMaxKeys; ++i) {
    if (i > 0) *text += ' ';
    text->append(Prepared.KeyTable[i].Bytes, sizeof Prepared.KeyTable[i].Bytes);
  }
  *text += '\n';
}

class Soundex final : public SoundMethod {
 public:
  const char* Name() const override { return "soundex"; }
  const char* Title() const override { return nullptr; }
  std::unique_ptr<HeardTerm> Hear(const char* word) const override {
    std::unique_ptr<SoundexTerm> term(new (std::nothrow) SoundexTerm(*this));
    if (term != nullptr) term->PrepareWord(word);
    return term;
  }
  // The distinct keys of the terms, as long as they fit one term's table.
  std::unique_ptr<HeardTerm> Join(const HeardTerm* const* terms, int count) const override {
    PhoneticKey keys[kMaxKeys];
    std::uint32_t distinct = 0;
    for (int t = 0; t < count; ++t) {
      if (&terms[t]->Method != this) return nullptr;
      const SoundexTerm& term = static_cast<const SoundexTerm&>(*terms[t]);
      for (std::uint32_t k = 0; k < term.KeyCount(); ++k) {
        std::uint32_t seen = 0;
        while (seen < distinct && !(keys[seen] == term.Key(k))) ++seen;
        if (seen < distinct) continue;
        if (distinct == static_cast<std::uint32_t>(kMaxKeys)) return nullptr;
        keys[distinct++] = term.Key(k);
      }
    }
    std::unique_ptr<SoundexTerm> joined(new (std::nothrow) SoundexTerm(*this));
    if (joined != nullptr) {
      joined->FollowEveryStart();
      joined->PrepareKeys(keys, distinct);
    }
    return joined;
  }
};

constexpr Soundex kSoundex;

}  // namespace

const SoundMethod& SoundexMethod() { return kSoundex; }

std::unique_ptr<HeardTerm> HearSoundexKeys(const PhoneticKey* keys, std::uint32_t count) {
  std::unique_ptr<SoundexTerm> term(new (std::nothrow) SoundexTerm(kSoundex));
  if (term != nullptr) term->PrepareKeys(keys, count);
  return term;
}

#include "phonetic/spelling_variants.h"

#include <cstdint>
#include <cstring>

#include "phonetic/phonetic_key.h"
#include "phonetic/term_tables.h"

namespace {

// The variant slots of one term.
using Slots = char[kVariantSlots][kVariantSlotSize];

// A spelling keeps at most this many characters; every replacement is written at or
// before kLastWritablePosition + 1, so it always lands inside what a slot keeps.
constexpr std::uint32_t kSpellingLimit = 62;
constexpr std::uint32_t kLastWritablePosition = 60;
constexpr int kFamilySize = 8;
constexpr int kMaxInnerAlternatives = 3;
constexpr int kBaseFamily = 0;
constexpr int kAlternativeFamily = 8;

inline bool IsFrontVowel(char c) { return c == 'e' || c == 'i' || c == 'y'; }

// Positions past the end of a spelling read as its terminator, never as whatever an
// earlier, longer spelling left behind in the buffer.
inline char At(const char* text, std::uint32_t length, std::uint32_t position) {
  return position < length ? text[position] : '\0';
}

inline void CopySlot(Slots& slots, int from, int to) {
  std::memcpy(slots[to], slots[from], kVariantSlotSize);
}

// Writes `first` + `second` + text[from..] into a slot: the spellings that replace one
// leading letter by two (x by xh or ks) or two by two (gz, ks by xh). The text holds at
// most 62 characters, so the result fits into the 64 bytes of a slot.
void WriteRespelled(Slots& slots, int slot, char first, char second, const char* text,
                    std::uint32_t length, std::uint32_t from) {
  char* out = slots[slot];
  out[0] = first;
  out[1] = second;
  const std::uint32_t rest = length > from ? length - from : 0;
  std::memcpy(out + 2, text + from, rest);
  out[2 + rest] = '\0';
}

inline void WriteSame(Slots& slots, int slot, const char* text, std::uint32_t length) {
  std::memcpy(slots[slot], text, length);
  slots[slot][length] = '\0';
}

// Fills the base slot 0 and, when the first letters have an alternative sound, the
// alternative slot 8. Returns the number of families (1 or 2).
int WriteFirstLetterAlternative(Slots& slots, const char* word, std::uint32_t length) {
  const char a0 = At(word, length, 0);
  const char a1 = At(word, length, 1);
  const char a2 = At(word, length, 2);
  WriteSame(slots, kBaseFamily, word, length);
  // The order of the tests matters: the first that applies decides.
  if ((a0 == 's' || a0 == 'c') && IsFrontVowel(a1)) {
    // A soft c sounds as s; the base family always carries the s.
    slots[kBaseFamily][0] = 's';
    WriteSame(slots, kAlternativeFamily, word, length);
    slots[kAlternativeFamily][0] = 'c';
    return 2;
  }
  if ((a0 == 'g' || a0 == 'j') && IsFrontVowel(a1)) {
    slots[kBaseFamily][0] = 'g';
    WriteSame(slots, kAlternativeFamily, word, length);
    slots[kAlternativeFamily][0] = 'j';
    return 2;
  }
  if (a0 == 's' && a1 == 'h') {
    WriteSame(slots, kAlternativeFamily, word, length);
    slots[kAlternativeFamily][1] = 'c';
    return 2;
  }
  if (a0 == 'c') {
    WriteSame(slots, kAlternativeFamily, word, length);
    slots[kAlternativeFamily][0] = 'k';
    return 2;
  }
  if (a0 == 'z' && a1 == 'h') return 1;
  if (a0 == 'x') {
    // Both spellings are one character longer than the word (up to 63 until cut).
    WriteRespelled(slots, kBaseFamily, 'x', 'h', word, length, 1);
    WriteRespelled(slots, kAlternativeFamily, 'k', 's', word, length, 1);
    return 2;
  }
  if (a0 == 'z') {
    WriteSame(slots, kAlternativeFamily, word, length);
    slots[kAlternativeFamily][0] = 'x';
    return 2;
  }
  if (a0 == 'g' && a1 == 'z') {
    WriteRespelled(slots, kAlternativeFamily, 'x', 'h', word, length, 2);
    return 2;
  }
  if (a0 != 'k') return 1;
  if (a1 == 's' && a2 != 'h') {
    WriteRespelled(slots, kAlternativeFamily, 'x', 'h', word, length, 2);
    return 2;
  }
  if (IsFrontVowel(a1)) return 1;
  WriteSame(slots, kAlternativeFamily, word, length);
  slots[kAlternativeFamily][0] = 'c';
  return 2;
}

// Writes one inner alternative found at `position` into every slot of the family whose
// offset has `bit` set.
void WriteInnerAlternative(Slots& slots, int family, int bit, char rule, std::uint32_t position) {
  for (int offset = 1; offset < kFamilySize; ++offset) {
    if ((offset & bit) == 0) continue;
    char* slot = slots[family + offset];
    switch (rule) {
      case 'a':  // ch as tch
        slot[position] = 't';
        slot[position + 1] = 'c';
        break;
      case 'b':  // sh as sch
        slot[position + 1] = 'c';
        break;
      case 'c':  // ti before a vowel as si (Martian, Marsian)
        slot[position] = 's';
        break;
      case 'd':  // j as dj: the letter before the j becomes d
        slot[position - 1] = 'd';
        break;
      default:  // gz, gs, kz, ks as x
        slot[position] = 'x';
        slot[position + 1] = 'h';
        break;
    }
  }
}

// Which inner alternative, if any, starts at `p` of the base spelling; 0 for none.
char InnerAlternativeAt(const char* base, std::uint32_t length, std::uint32_t p) {
  const char c = base[p];
  const char before = base[p - 1];
  const char next = At(base, length, p + 1);
  if (c == 'c' && next == 'h' && before != 't') return 'a';
  if (c == 's' && next == 'h') return 'b';
  if (c == 't' && next == 'i' && before != 's') {
    const char after = At(base, length, p + 2);
    if (after == 'a' || after == 'o' || after == 'u') return 'c';
  }
  if (c == 'j' && before != 'd') return 'd';
  if ((c == 'g' || c == 'k') && (next == 'z' || next == 's')) return 'e';
  return 0;
}

// Reads the family's base slot, which it never changes, and writes the first three inner
// alternatives into the family's copies. Returns the family's number of variants.
std::uint32_t RunInnerPass(Slots& slots, int family) {
  const char* base = slots[family];
  const std::uint32_t length = static_cast<std::uint32_t>(std::strlen(base));
  std::uint32_t variants = 1;
  int found = 0;
  for (std::uint32_t p = 1; p < length && found < kMaxInnerAlternatives; ++p) {
    const char rule = InnerAlternativeAt(base, length, p);
    if (rule == 0) continue;
    variants *= 2;
    // Beyond the limit the count still doubles, but the copies stay unchanged.
    if (p <= kLastWritablePosition) WriteInnerAlternative(slots, family, 1 << found, rule, p);
    ++found;
  }
  return variants;
}

void CutSlots(Slots& slots, int first, int count) {
  for (int slot = first; slot < first + count; ++slot) slots[slot][kSpellingLimit] = '\0';
}

}  // namespace

void GenerateSpellingVariants(PreparedTerm* term) {
  Slots& slots = term->VariantTable;
  // The spellings are made from the first 62 characters of the word; the word itself stays
  // whole.
  const char* word = term->NormalisedWord;
  std::uint32_t length = static_cast<std::uint32_t>(std::strlen(word));
  if (length > kSpellingLimit) length = kSpellingLimit;
  const int families = WriteFirstLetterAlternative(slots, word, length);
  for (int slot = kBaseFamily + 1; slot < kBaseFamily + kFamilySize; ++slot) {
    CopySlot(slots, kBaseFamily, slot);
  }
  const std::uint32_t n = RunInnerPass(slots, kBaseFamily);
  CutSlots(slots, kBaseFamily, kFamilySize);
  if (families == 1) {
    term->VariantCount = n;
    return;
  }
  // Without inner alternatives in the base spelling, the alternative one is not
  // searched for any.
  std::uint32_t m = 1;
  if (n > 1) {
    for (int slot = kAlternativeFamily + 1; slot < kAlternativeFamily + kFamilySize; ++slot) {
      CopySlot(slots, kAlternativeFamily, slot);
    }
    m = RunInnerPass(slots, kAlternativeFamily);
  }
  CutSlots(slots, 0, kVariantSlots);
  term->VariantCount = 2 * m;
  // The alternative family's m variants follow the first m of the base family.
  if (m < static_cast<std::uint32_t>(kFamilySize)) {
    for (std::uint32_t k = 0; k < m; ++k) {
      CopySlot(slots, kAlternativeFamily + static_cast<int>(k), static_cast<int>(m + k));
    }
  }
}

void ComputeVariantKeys(PreparedTerm* term) {
  for (PhoneticKey& key : term->VariantKeys) key = PhoneticKey{{'0', '0', '0', '0'}};
  std::uint32_t count = term->VariantCount;
  if (count > static_cast<std::uint32_t>(kVariantSlots)) count = kVariantSlots;
  for (std::uint32_t i = 0; i < count; ++i) {
    term->VariantKeys[i] = ComputePhoneticKey(term->VariantTable[i]);
  }
}

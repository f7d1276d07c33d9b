#include "phonetic/letter_fold.h"

#include <array>
#include <cstddef>
#include <cstring>

namespace {

// What the word's rules need to know of a letter, beside its letters (bits of Flags).
enum FoldFlag : unsigned {
  kSoftensYe = 1,       // Cyrillic: e and yo after it read ye
  kUkrainianOnly = 2,   // Cyrillic: a letter only Ukrainian has
  kBelarusianOnly = 4,  // Cyrillic: a letter only Belarusian has
  kGreekVowel = 8,      // Greek: before it, a diphthong's upsilon reads v
  kGreekVoiced = 16,    // Greek: the same, for the voiced consonants
  kDialytika = 32,      // Greek: the letter carries a dialytika
  kAccented = 64,       // Greek: the letter carries another mark (accent, breathing)
};

// Which letter a rule of the word looks for; kRoleNone for the others.
enum FoldRole : std::uint8_t {
  kRoleNone,
  kRoleIe,  // Cyrillic e and yo
  kRoleI,
  kRoleGhe,
  kRoleAlpha,
  kRoleEpsilon,
  kRoleEta,
  kRoleOmicron,
  kRoleUpsilon,
  kRoleGamma,
  kRoleMu,
  kRolePi,
  kRoleNu,
  kRoleTau,
  kRoleXi,
  kRoleChi,
};

// A row of the generated table.
struct LetterFoldRow {
  char32_t CodePoint;
  LetterClass Class;
  const char* Letters;
  unsigned Flags;
  FoldRole Role;
};

#include "phonetic/letter_folds.inc"

// One code point's entry in the dense blocks below: eight bytes, no pointer.
struct LetterFold {
  char Letters[4];
  std::uint8_t Count;
  LetterClass Class;
  std::uint8_t Flags;
  FoldRole Role;
};

// The table covers four stretches of code points, each a dense block indexed by the code
// point: U+0000-U+04FF (ASCII, Latin, the marks, Greek, Cyrillic), U+1E00-U+1FFF (Latin
// Extended Additional, Greek Extended), the Latin ligatures U+FB00-U+FB06 and the
// full-width Latin letters U+FF21-U+FF5A.
constexpr char32_t kLowEnd = 0x500;
constexpr char32_t kHighStart = 0x1E00;
constexpr char32_t kHighSize = 0x200;
constexpr char32_t kLigaturesStart = 0xFB00;
constexpr char32_t kLigaturesSize = 7;
constexpr char32_t kFullWidthStart = 0xFF21;
constexpr char32_t kFullWidthSize = 0x3A;

template <std::size_t Size>
constexpr std::array<LetterFold, Size> MakeBlock(char32_t first) {
  std::array<LetterFold, Size> block{};
  for (const LetterFoldRow& row : kLetterFoldRows) {
    if (row.CodePoint < first || row.CodePoint - first >= Size) continue;
    LetterFold& fold = block[row.CodePoint - first];
    std::uint8_t count = 0;
    while (row.Letters[count] != '\0') {
      fold.Letters[count] = row.Letters[count];
      ++count;
    }
    fold.Count = count;
    fold.Class = row.Class;
    fold.Flags = static_cast<std::uint8_t>(row.Flags);
    fold.Role = row.Role;
  }
  return block;
}

constexpr bool EveryRowInABlock() {
  for (const LetterFoldRow& row : kLetterFoldRows) {
    const bool low = row.CodePoint < kLowEnd;
    const bool high = row.CodePoint >= kHighStart && row.CodePoint - kHighStart < kHighSize;
    const bool ligature =
        row.CodePoint >= kLigaturesStart && row.CodePoint - kLigaturesStart < kLigaturesSize;
    const bool fullWidth =
        row.CodePoint >= kFullWidthStart && row.CodePoint - kFullWidthStart < kFullWidthSize;
    int length = 0;
    while (row.Letters[length] != '\0') ++length;
    if ((!low && !high && !ligature && !fullWidth) || length > 4) return false;
  }
  return true;
}
static_assert(EveryRowInABlock(), "a row of letter_folds.inc lies outside the dense blocks");

constexpr std::array<LetterFold, kLowEnd> kLowBlock = MakeBlock<kLowEnd>(0);
constexpr std::array<LetterFold, kHighSize> kHighBlock = MakeBlock<kHighSize>(kHighStart);
constexpr std::array<LetterFold, kLigaturesSize> kLigaturesBlock =
    MakeBlock<kLigaturesSize>(kLigaturesStart);
constexpr std::array<LetterFold, kFullWidthSize> kFullWidthBlock =
    MakeBlock<kFullWidthSize>(kFullWidthStart);
constexpr LetterFold kNoFold{};

inline const LetterFold& Lookup(char32_t codePoint) {
  if (codePoint < kLowEnd) return kLowBlock[codePoint];
  if (codePoint - kHighStart < kHighSize) return kHighBlock[codePoint - kHighStart];
  if (codePoint - kLigaturesStart < kLigaturesSize) {
    return kLigaturesBlock[codePoint - kLigaturesStart];
  }
  if (codePoint - kFullWidthStart < kFullWidthSize) {
    return kFullWidthBlock[codePoint - kFullWidthStart];
  }
  return kNoFold;
}

inline bool IsLetter(LetterClass c) {
  return c == LetterClass::kAsciiLetter || c == LetterClass::kFoldedLetter;
}

// The index of the first letter of word[from..count), or count.
std::uint32_t NextLetter(const char32_t* word, std::uint32_t count, std::uint32_t from) {
  while (from < count && !IsLetter(ClassifyCodePoint(word[from]))) ++from;
  return from;
}

FoldRole RoleAt(const char32_t* word, std::uint32_t count, std::uint32_t at) {
  return at < count ? Lookup(word[at]).Role : kRoleNone;
}

// Whether the letter at `at` has a dialytika, in itself or as a combining mark after it
// (the decomposed spelling).
bool HasDialytika(const char32_t* word, std::uint32_t count, std::uint32_t at) {
  if ((Lookup(word[at]).Flags & kDialytika) != 0) return true;
  for (std::uint32_t i = at + 1; i < count && ClassifyCodePoint(word[i]) == LetterClass::kMark;
       ++i) {
    if (word[i] == 0x0308 || word[i] == 0x0344) return true;
  }
  return false;
}

enum class Language { kNotLooked, kRussian, kUkrainian, kBelarusian };

// The Cyrillic alphabet a word is written in, as far as its letters tell.
Language LanguageOf(const char32_t* word, std::uint32_t count) {
  bool ukrainian = false;
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::uint8_t flags = Lookup(word[i]).Flags;
    if ((flags & kBelarusianOnly) != 0) return Language::kBelarusian;
    if ((flags & kUkrainianOnly) != 0) ukrainian = true;
  }
  return ukrainian ? Language::kUkrainian : Language::kRussian;
}

// The caller's buffer, filled up to its room and never past it.
struct Output {
  char* Letters;
  std::uint32_t Room;
  std::uint32_t Written;

  void Put(const char* letters, std::uint32_t count) {
    if (count > Room - Written) count = Room - Written;
    std::memcpy(Letters + Written, letters, count);
    Written += count;
  }
  void Put(const char* letters) { Put(letters, static_cast<std::uint32_t>(std::strlen(letters))); }
};

}  // namespace

const char* LetterFoldsUnicodeVersion() { return kLetterFoldsUnicodeVersion; }

LetterClass ClassifyNonAscii(char32_t codePoint) { return Lookup(codePoint).Class; }

namespace {

// The quick reading of a word: each letter by one look-up, where no rule of FoldWordByRules
// that looks around a letter can apply. What a letter's role asks of it there (bits of
// kQuickOwn ... kQuickGhe), and which pairs of the rules it can take part in.
enum QuickKind : std::uint8_t { kQuickOwn, kQuickIe, kQuickI, kQuickGhe };
// As the first letter of a pair: a vowel of an upsilon diphthong, gamma, mu, nu.
constexpr std::uint8_t kPairVowel = 1, kPairGamma = 2, kPairMu = 4, kPairNu = 8;

struct QuickRole {
  QuickKind Kind;
  std::uint8_t First;   // the pairs it may begin
  std::uint8_t Second;  // the pairs it may end: a letter of First's bits before it asks the rules
};

constexpr QuickRole QuickRoleOf(FoldRole role) {
  switch (role) {
    case kRoleIe:
      return {kQuickIe, 0, 0};
    case kRoleI:
      return {kQuickI, 0, 0};
    case kRoleGhe:
      return {kQuickGhe, 0, 0};
    case kRoleAlpha:
    case kRoleEpsilon:
    case kRoleEta:
    case kRoleOmicron:
      return {kQuickOwn, kPairVowel, 0};
    case kRoleUpsilon:
      return {kQuickOwn, 0, kPairVowel};
    case kRoleGamma:
      return {kQuickOwn, kPairGamma, kPairGamma};
    case kRoleXi:
    case kRoleChi:
      return {kQuickOwn, 0, kPairGamma};
    case kRoleMu:
      return {kQuickOwn, kPairMu, 0};
    case kRolePi:
      return {kQuickOwn, 0, kPairMu};
    case kRoleNu:
      return {kQuickOwn, kPairNu, 0};
    case kRoleTau:
      return {kQuickOwn, 0, kPairNu};
    default:
      return {kQuickOwn, 0, 0};
  }
}

constexpr std::array<QuickRole, kRoleChi + 1> MakeQuickRoles() {
  std::array<QuickRole, kRoleChi + 1> roles{};
  for (int role = 0; role <= kRoleChi; ++role) roles[role] = QuickRoleOf(static_cast<FoldRole>(role));
  return roles;
}
constexpr std::array<QuickRole, kRoleChi + 1> kQuickRoles = MakeQuickRoles();

// The most room the quick reading fills; a caller with more room is read by the rules.
constexpr std::uint32_t kQuickRoom = 64;
constexpr std::uint32_t kNotQuick = kNotFoldedQuickly;

// The letters of a word as ReadQuickly takes them: code points, or the UTF-8 bytes of a word
// of ASCII and two-byte characters, where anything else reads as a code point the quick
// reading does not take (kLowEnd).
struct CodePoints {
  const char32_t* At;
  const char32_t* End;
  bool More() const { return At != End; }
  char32_t Next() { return *At++; }
};

struct TwoByteUtf8 {
  const std::uint8_t* At;
  const std::uint8_t* End;
  bool More() const { return At != End; }
  char32_t Next() {
    const std::uint8_t lead = *At;
    if (lead < 0x80) {
      ++At;
      return lead;
    }
    if (lead < 0xC2 || lead >= 0xE0 || End - At < 2 || (At[1] & 0xC0) != 0x80) return kLowEnd;
    const char32_t codePoint = (lead & 0x1Fu) << 6 | (At[1] & 0x3Fu);
    At += 2;
    return codePoint;
  }
};

// A letter below U+0500 as the quick reading of one alphabet reads it: its letters (Cyrillic i
// and ghe as the alphabet reads them), the letters it reads after some letters instead (e and
// yo read ye at the start and after a softening letter; an upsilon with no dialytika reads u
// after an omicron with no mark, the pair ou), the pairs it may begin and end, its flags.
enum QuickTrait : std::uint8_t {
  kQuickNotLetter = 1,  // not a letter of the quick reading: it reads no word
  kQuickChosen = 2,     // read as the alphabet reads it
};
// What a letter is to the one after it (QuickLetter::Gives, Other): the start of a word and a
// softening letter before e and yo; an omicron with no mark before an upsilon.
constexpr std::uint8_t kBeforeSoftened = 1, kBeforeOu = 2;

struct QuickLetter {
  char Letters[4];
  char OtherLetters[4];  // read after a letter that gives one of Other's bits
  std::uint8_t Count;
  std::uint8_t OtherCount;
  std::uint8_t Other;
  std::uint8_t Gives;
  std::uint8_t Pairs;  // First in the low half, Second in the high half (QuickRole)
  std::uint8_t Flags;
  std::uint8_t Traits;
};

constexpr std::array<QuickLetter, kLowEnd> MakeQuickLetters(Language language) {
  std::array<QuickLetter, kLowEnd> letters{};
  for (char32_t c = 0; c < kLowEnd; ++c) {
    const LetterFold& fold = kLowBlock[c];
    QuickLetter& letter = letters[c];
    if (fold.Class == LetterClass::kAsciiLetter) {
      letter.Letters[0] = static_cast<char>(c | 0x20);
      letter.Count = 1;
      continue;
    }
    if (fold.Class != LetterClass::kFoldedLetter) {
      letter.Traits = kQuickNotLetter;
      continue;
    }
    const QuickRole& role = kQuickRoles[fold.Role];
    for (int i = 0; i < 4; ++i) letter.Letters[i] = fold.Letters[i];
    letter.Count = fold.Count;
    letter.Flags = fold.Flags;
    if ((fold.Flags & kSoftensYe) != 0) letter.Gives = kBeforeSoftened;
    // A vowel with a mark begins no diphthong, an upsilon with a dialytika ends none; an
    // omicron and an upsilon read ou whatever follows, so the quick reading reads that pair.
    std::uint8_t first = role.First;
    std::uint8_t second = role.Second;
    const bool marked = (fold.Flags & kAccented) != 0;
    if ((first & kPairVowel) != 0 && (marked || fold.Role == kRoleOmicron)) {
      first = static_cast<std::uint8_t>(first & ~kPairVowel);
      if (!marked) letter.Gives = kBeforeOu;
    }
    if (fold.Role == kRoleUpsilon) {
      if ((fold.Flags & kDialytika) != 0) {
        second = static_cast<std::uint8_t>(second & ~kPairVowel);
      } else {
        letter.Other = kBeforeOu;
        letter.OtherLetters[0] = 'u';
        letter.OtherCount = 1;
      }
    }
    letter.Pairs = static_cast<std::uint8_t>(first | second << 4);
    if (role.Kind == kQuickOwn) continue;
    letter.Traits = kQuickChosen;
    letter.Letters[1] = letter.Letters[2] = letter.Letters[3] = '\0';
    letter.Count = 1;
    if (role.Kind == kQuickIe) {
      letter.Letters[0] = 'e';
      letter.Other = kBeforeSoftened;
      letter.OtherLetters[0] = language == Language::kUkrainian ? 'e' : 'y';
      letter.OtherLetters[1] = language == Language::kUkrainian ? '\0' : 'e';
      letter.OtherCount = language == Language::kUkrainian ? 1 : 2;
    } else if (role.Kind == kQuickI) {
      letter.Letters[0] = language == Language::kUkrainian ? 'y' : 'i';
    } else {
      letter.Letters[0] = language == Language::kRussian ? 'g' : 'h';
    }
  }
  return letters;
}

constexpr std::array<QuickLetter, kLowEnd> kRussianLetters = MakeQuickLetters(Language::kRussian);
constexpr std::array<QuickLetter, kLowEnd> kUkrainianLetters =
    MakeQuickLetters(Language::kUkrainian);
constexpr std::array<QuickLetter, kLowEnd> kBelarusianLetters =
    MakeQuickLetters(Language::kBelarusian);

// The reading of a word of letters below U+0500 (no mark, nothing that separates) in which no
// pair of the Greek rules but ou stands, in `language`: the letters of each from its entry,
// Cyrillic e, yo, i and ghe as the alphabet and the letter before read them. kNotQuick for any
// other word. `alphabet` gets the flags of its letters, `chosen` whether a letter read depends
// on the alphabet.
template <typename Letters>
std::uint32_t ReadQuickly(Letters word, std::uint32_t room, Language language, char* quick,
                          std::uint8_t* alphabet, bool* chosen) {
  const QuickLetter* const table = language == Language::kRussian     ? kRussianLetters.data()
                                   : language == Language::kUkrainian ? kUkrainianLetters.data()
                                                                      : kBelarusianLetters.data();
  std::uint32_t written = 0;
  std::uint8_t before = kBeforeSoftened;  // what the letter before is to this one
  std::uint8_t pairs = 0;                 // the pairs the letter before may begin
  std::uint8_t flags = 0;
  std::uint8_t traits = 0;
  while (word.More()) {
    const char32_t codePoint = word.Next();
    if (codePoint >= kLowEnd) return kNotQuick;
    const QuickLetter& letter = table[codePoint];
    if (((letter.Traits & kQuickNotLetter) | (pairs & letter.Pairs >> 4)) != 0) return kNotQuick;
    pairs = letter.Pairs & 15;
    flags |= letter.Flags;
    traits |= letter.Traits;
    if (written < room) {
      const bool other = (before & letter.Other) != 0;
      std::memcpy(quick + written, other ? letter.OtherLetters : letter.Letters,
                  sizeof letter.Letters);
      written += other ? letter.OtherCount : letter.Count;
    }
    before = letter.Gives;
  }
  *alphabet = flags;
  *chosen = (traits & kQuickChosen) != 0;
  return written < room ? written : room;
}

// FoldWordByRules for a word that ReadQuickly reads, else kNotQuick. A Cyrillic word is read
// as Russian, and again in its own alphabet when a letter only Ukrainian or Belarusian has
// shows that it is not and a letter read depends on it.
template <typename Letters>
std::uint32_t FoldQuickly(Letters word, char* letters, std::uint32_t room) {
  char quick[kQuickRoom + sizeof(LetterFold::Letters)];
  std::uint8_t alphabet = 0;
  bool chosen = false;
  std::uint32_t written = ReadQuickly(word, room, Language::kRussian, quick, &alphabet, &chosen);
  if (written == kNotQuick) return kNotQuick;
  if (chosen && (alphabet & (kUkrainianOnly | kBelarusianOnly)) != 0) {
    const Language language =
        (alphabet & kBelarusianOnly) != 0 ? Language::kBelarusian : Language::kUkrainian;
    written = ReadQuickly(word, room, language, quick, &alphabet, &chosen);
  }
  std::memcpy(letters, quick, written);
  return written;
}

}  // namespace

std::uint32_t FoldWord(const char32_t* word, std::uint32_t count, char* letters,
                       std::uint32_t room) {
  if (room <= kQuickRoom) {
    const std::uint32_t quick = FoldQuickly(CodePoints{word, word + count}, letters, room);
    if (quick != kNotQuick) return quick;
  }
  return FoldWordByRules(word, count, letters, room);
}

std::uint32_t FoldTwoByteWordQuickly(const std::uint8_t* bytes, std::uint32_t count,
                                     char* letters, std::uint32_t room) {
  if (room > kQuickRoom) return kNotFoldedQuickly;
  return FoldQuickly(TwoByteUtf8{bytes, bytes + count}, letters, room);
}

std::uint32_t FoldWordByRules(const char32_t* word, std::uint32_t count, char* letters,
                              std::uint32_t room) {
  Output out{letters, room, 0};
  Language language = Language::kNotLooked;
  bool atStart = true;             // no letter of the word before this one
  std::uint8_t previousFlags = 0;  // of the letter before
  for (std::uint32_t i = 0; i < count && out.Written < room; ++i) {
    const char32_t codePoint = word[i];
    if (codePoint < 0x80) {
      if ((codePoint | 0x20) - 'a' < 26) {
        letters[out.Written++] = static_cast<char>(codePoint | 0x20);  // Written < room
        atStart = false;
        previousFlags = 0;
      }
      continue;
    }
    const LetterFold& fold = Lookup(codePoint);
    if (fold.Class != LetterClass::kFoldedLetter) continue;
    if (fold.Role == kRoleNone) {
      // Most letters: their own letters, whatever stands around them.
      if (room - out.Written >= sizeof fold.Letters) {
        std::memcpy(letters + out.Written, fold.Letters, sizeof fold.Letters);
        out.Written += fold.Count;
      } else {
        out.Put(fold.Letters, fold.Count);
      }
      atStart = false;
      previousFlags = fold.Flags;
      continue;
    }
    std::uint8_t lastFlags = fold.Flags;  // of the last letter this step reads
    switch (fold.Role) {
      case kRoleIe:
      case kRoleI:
      case kRoleGhe: {
        if (language == Language::kNotLooked) language = LanguageOf(word, count);
        if (fold.Role == kRoleIe) {
          const bool ye =
              language != Language::kUkrainian && (atStart || (previousFlags & kSoftensYe) != 0);
          out.Put(ye ? "ye" : "e");
        } else if (fold.Role == kRoleI) {
          out.Put(language == Language::kUkrainian ? "y" : "i");
        } else {
          out.Put(language == Language::kRussian ? "g" : "h");
        }
        break;
      }
      case kRoleGamma: {
        const FoldRole next = RoleAt(word, count, NextLetter(word, count, i + 1));
        out.Put(next == kRoleGamma || next == kRoleXi || next == kRoleChi ? "n" : "g");
        break;
      }
      case kRoleMu:
      case kRoleNu: {
        const std::uint32_t next = NextLetter(word, count, i + 1);
        const FoldRole pair = fold.Role == kRoleMu ? kRolePi : kRoleTau;
        if (RoleAt(word, count, next) == pair && (fold.Role == kRoleMu || atStart)) {
          if (fold.Role == kRoleMu) {
            out.Put(atStart ? "b" : "mb");
          } else {
            out.Put("d");
          }
          lastFlags = Lookup(word[next]).Flags;
          i = next;
        } else {
          out.Put(fold.Letters, fold.Count);
        }
        break;
      }
      case kRoleAlpha:
      case kRoleEpsilon:
      case kRoleEta:
      case kRoleOmicron: {
        // A diphthong only when the upsilon comes right after the vowel, with no mark on
        // the vowel and no dialytika on the upsilon.
        const std::uint32_t next = i + 1;
        if ((fold.Flags & kAccented) != 0 || RoleAt(word, count, next) != kRoleUpsilon ||
            HasDialytika(word, count, next)) {
          out.Put(fold.Letters, fold.Count);
          break;
        }
        if (fold.Role == kRoleOmicron) {
          out.Put("ou");
        } else {
          out.Put(fold.Letters, fold.Count);
          const std::uint32_t after = NextLetter(word, count, next + 1);
          const std::uint8_t afterFlags = after < count ? Lookup(word[after]).Flags : 0;
          out.Put((afterFlags & (kGreekVowel | kGreekVoiced)) != 0 ? "v" : "f");
        }
        lastFlags = Lookup(word[next]).Flags;
        i = next;
        break;
      }
      default:
        out.Put(fold.Letters, fold.Count);
        break;
    }
    atStart = false;
    previousFlags = lastFlags;
  }
  return out.Written;
}

std::uint32_t FirstLettersOf(char32_t codePoint) {
  auto bit = [](char letter) { return 1u << (letter - 'a'); };
  if (codePoint < 0x80) {
    return (codePoint | 0x20) - 'a' < 26 ? bit(static_cast<char>(codePoint | 0x20))
                                         : kAnyFirstLetter;
  }
  const LetterFold& fold = Lookup(codePoint);
  if (fold.Class != LetterClass::kFoldedLetter || fold.Count == 0) return kAnyFirstLetter;
  // The rules of FoldWord that can change the first letter of a word.
  switch (fold.Role) {
    case kRoleIe:
      return bit('y') | bit('e');
    case kRoleI:
      return bit('i') | bit('y');
    case kRoleGhe:
      return bit('g') | bit('h');
    case kRoleGamma:
      return bit('g') | bit('n');
    case kRoleMu:
      return bit('m') | bit('b');
    case kRoleNu:
      return bit('n') | bit('d');
    default:
      return bit(fold.Letters[0]);
  }
}

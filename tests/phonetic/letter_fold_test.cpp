#include "phonetic/letter_fold.h"

#include <gtest/gtest.h>

#include <cstring>
#include <ostream>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "support/reference_letters.h"

namespace {

constexpr char kGuard = '#';

// The folding of `word` into a buffer of `room` letters followed by guard bytes, which must
// stay as they were.
std::string Fold(std::u32string_view word, std::uint32_t room = 1024) {
  std::vector<char> buffer(room + 16, kGuard);
  const std::uint32_t written =
      FoldWord(word.data(), static_cast<std::uint32_t>(word.size()), buffer.data(), room);
  EXPECT_LE(written, room);
  for (std::size_t i = room; i < buffer.size(); ++i) EXPECT_EQ(buffer[i], kGuard) << "at " << i;
  return std::string(buffer.data(), written);
}

struct WordCase {
  const char32_t* word;
  const char* folded;
};

void PrintTo(const WordCase& c, std::ostream* os) { *os << '"' << c.folded << '"'; }

class FoldWords : public ::testing::TestWithParam<WordCase> {};

TEST_P(FoldWords, GivesTheRomanisedLetters) { EXPECT_EQ(Fold(GetParam().word), GetParam().folded); }

// A smaller buffer holds the first letters of the same folding, and nothing is written past
// it, wherever the cut falls (inside a letter's letters or a pair of the rules).
TEST_P(FoldWords, ASmallerBufferHoldsTheFirstLetters) {
  const std::string whole = GetParam().folded;
  for (std::uint32_t room = 0; room <= whole.size() + 1; ++room) {
    EXPECT_EQ(Fold(GetParam().word, room), whole.substr(0, room)) << "room " << room;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Latin, FoldWords,
    ::testing::Values(WordCase{U"Müller", "muller"}, WordCase{U"Ørsted", "orsted"},
                      WordCase{U"Łukasz", "lukasz"}, WordCase{U"Strauß", "strauss"},
                      WordCase{U"José", "jose"}, WordCase{U"Zoë", "zoe"},
                      WordCase{U"Ærøskøbing", "aeroskobing"}, WordCase{U"Œdipe", "oedipe"},
                      WordCase{U"Þórðarson", "thordarson"}, WordCase{U"Đorđević", "dordevic"},
                      WordCase{U"Ǆemal", "dzemal"}, WordCase{U"ǅemal", "dzemal"},
                      WordCase{U"ĳssel", "ijssel"}, WordCase{U"Ħamrun", "hamrun"},
                      WordCase{U"Diyarbakır", "diyarbakir"}, WordCase{U"İzmir", "izmir"},
                      WordCase{U"Nguyễn", "nguyen"}, WordCase{U"ƀƒ", "bf"},
                      WordCase{U"Ljiǉana", "ljiljana"},
                      // Ligatures and full-width letters, as OCR and East Asian text write them.
                      WordCase{U"Gri\uFB03th", "griffith"}, WordCase{U"Ro\uFB05ock", "rostock"},
                      WordCase{U"\uFF2D\uFF55ller", "muller"}));

INSTANTIATE_TEST_SUITE_P(
    Cyrillic, FoldWords,
    ::testing::Values(WordCase{U"Иванов", "ivanov"}, WordCase{U"Щукин", "shchukin"},
                      WordCase{U"Хрущёв", "khrushchev"}, WordCase{U"Цветаева", "tsvetayeva"},
                      // ye at the start, after a vowel, and after the hard and soft signs
                      WordCase{U"Ерёменко", "yeremenko"}, WordCase{U"Алексеев", "alekseyev"},
                      WordCase{U"Ёлкин", "yelkin"}, WordCase{U"подъезд", "podyezd"},
                      WordCase{U"Васильев", "vasilyev"}, WordCase{U"Юрий", "yuriy"},
                      WordCase{U"Объект", "obyekt"}, WordCase{U"Ильич", "ilich"},
                      // a letter only Ukrainian has makes the word Ukrainian
                      WordCase{U"Київ", "kyyiv"}, WordCase{U"Григорій", "hryhoriy"},
                      WordCase{U"Євген", "yevhen"}, WordCase{U"Ґалаґан", "galagan"},
                      WordCase{U"Олексієнко", "oleksiyenko"}, WordCase{U"Григорий", "grigoriy"},
                      // the short u makes it Belarusian
                      WordCase{U"Гаўрыла", "hawryla"},
                      // Serbian and Macedonian letters
                      WordCase{U"Ђоковић", "dokovic"}, WordCase{U"Љубљана", "ljubljana"},
                      WordCase{U"Ѓорѓи", "gjorgji"}));

INSTANTIATE_TEST_SUITE_P(
    Greek, FoldWords,
    ::testing::Values(
        WordCase{U"Ιωάννης", "ioannis"}, WordCase{U"Ευάγγελος", "evangelos"},
        WordCase{U"ΕΥΑΓΓΕΛΟΣ", "evangelos"}, WordCase{U"Εὐάγγελος", "evangelos"},
        WordCase{U"Χρυσοχοΐδης", "chrysochoidis"}, WordCase{U"Θεσσαλονίκη", "thessaloniki"},
        WordCase{U"Ψυχάρης", "psycharis"},
        // gamma before gamma, xi, chi; gamma-kappa stays
        WordCase{U"Σφίγξ", "sfinx"}, WordCase{U"Αγχίαλος", "anchialos"},
        WordCase{U"Γκίκας", "gkikas"},
        // mu-pi and nu-tau at the start and inside
        WordCase{U"Μπάμπης", "bambis"}, WordCase{U"Ντίνος", "dinos"},
        WordCase{U"Κουντουριώτης", "kountouriotis"}, WordCase{U"Λαμπράκης", "lambrakis"},
        // the upsilon diphthongs before a vowel, a voiced consonant, a voiceless one, the end
        WordCase{U"Παύλος", "pavlos"}, WordCase{U"Ευθύμιος", "efthymios"},
        WordCase{U"αυτός", "aftos"}, WordCase{U"Ζεύς", "zefs"}, WordCase{U"ταυ", "taf"},
        WordCase{U"ηύρα", "ivra"}, WordCase{U"Ευρυδίκη", "evrydiki"},
        // a dialytika, or an accent on the first vowel, keeps the two vowels apart
        WordCase{U"Αϋπνία", "aypnia"}, WordCase{U"άυλος", "aylos"},
        WordCase{U"προϋπόθεση", "proypothesi"},
        WordCase{U"α\u03C5\u0308πνία", "aypnia"}));  // the dialytika as a mark

// Marks inside a word are dropped; Cyrillic in decomposed form keeps its rules.
INSTANTIATE_TEST_SUITE_P(Marks, FoldWords,
                         ::testing::Values(WordCase{U"Mu\u0308ller", "muller"},
                                           WordCase{U"Jose\u0301", "jose"},
                                           WordCase{U"e\u0301\u0301\u0301e", "ee"},
                                           WordCase{U"Е\u0308лкин", "yelkin"}));

TEST(FoldWord, AWordOfThousandsOfLettersStopsAtTheRoom) {
  const std::u32string accented(5000, U'é');
  EXPECT_EQ(Fold(accented, 255), std::string(255, 'e'));
  const std::u32string shcha(3000, U'щ');
  EXPECT_EQ(Fold(shcha, 10), "shchshchsh");
  EXPECT_EQ(Fold(shcha, 0), "");
  // The language of a long word is that of all its letters, wherever they are.
  std::u32string ukrainian(4000, U'г');
  ukrainian += U'ї';
  EXPECT_EQ(Fold(ukrainian, 4), "hhhh");
}

struct ClassCase {
  char32_t codePoint;
  LetterClass expected;
};

void PrintTo(const ClassCase& c, std::ostream* os) {
  *os << "U+" << std::hex << static_cast<std::uint32_t>(c.codePoint);
}

class Classify : public ::testing::TestWithParam<ClassCase> {};

TEST_P(Classify, GivesTheClass) {
  EXPECT_EQ(ClassifyCodePoint(GetParam().codePoint), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    CodePoints, Classify,
    ::testing::Values(
        ClassCase{U'A', LetterClass::kAsciiLetter}, ClassCase{U'z', LetterClass::kAsciiLetter},
        ClassCase{U'@', LetterClass::kSeparator}, ClassCase{U'[', LetterClass::kSeparator},
        ClassCase{U'`', LetterClass::kSeparator}, ClassCase{U'{', LetterClass::kSeparator},
        ClassCase{U'0', LetterClass::kSeparator}, ClassCase{0, LetterClass::kSeparator},
        ClassCase{0xE9, LetterClass::kFoldedLetter},    // e acute
        ClassCase{0xD7, LetterClass::kSeparator},       // multiplication sign
        ClassCase{0xAA, LetterClass::kSeparator},       // feminine ordinal
        ClassCase{0xB5, LetterClass::kSeparator},       // micro sign
        ClassCase{0x0301, LetterClass::kMark},          // combining acute
        ClassCase{0x036F, LetterClass::kMark},          // the last combining mark
        ClassCase{0x0370, LetterClass::kSeparator},     // heta, archaic
        ClassCase{0x0483, LetterClass::kMark},          // titlo
        ClassCase{0x044A, LetterClass::kFoldedLetter},  // the hard sign
        ClassCase{0x04FF, LetterClass::kFoldedLetter},  // ha with stroke, the block's last
        ClassCase{0x0500, LetterClass::kSeparator},     // past the dense block
        ClassCase{0x05D0, LetterClass::kSeparator},     // alef
        ClassCase{0x1E00, LetterClass::kFoldedLetter},  // a with ring below
        ClassCase{0x1FFC, LetterClass::kFoldedLetter},  // omega with prosgegrammeni
        ClassCase{0x1FFD, LetterClass::kSeparator},     // oxia
        ClassCase{0x2000, LetterClass::kSeparator},     // past the block
        ClassCase{0x2019, LetterClass::kSeparator},     // right single quotation mark
        ClassCase{0x4E00, LetterClass::kSeparator},     // CJK
        ClassCase{0xFB06, LetterClass::kFoldedLetter},  // st ligature, the last Latin one
        ClassCase{0xFB07, LetterClass::kSeparator},     // past the ligatures
        ClassCase{0xFF20, LetterClass::kSeparator},     // full-width commercial at
        ClassCase{0xFF5A, LetterClass::kFoldedLetter},  // full-width z
        ClassCase{0xFF5B, LetterClass::kSeparator},     // full-width left brace
        ClassCase{0xFFFD, LetterClass::kSeparator}, ClassCase{0x10FFFF, LetterClass::kSeparator},
        ClassCase{0xFFFFFFFF, LetterClass::kSeparator}));

// The letters a word can begin with, by its first letter: those its rules may give.
struct FirstCase {
  char32_t codePoint;
  const char* letters;  // nullptr: any letter
};

void PrintTo(const FirstCase& c, std::ostream* os) {
  *os << "U+" << std::hex << static_cast<std::uint32_t>(c.codePoint);
}

std::uint32_t Mask(const char* letters) {
  if (letters == nullptr) return kAnyFirstLetter;
  std::uint32_t mask = 0;
  for (; *letters != '\0'; ++letters) mask |= 1u << (*letters - 'a');
  return mask;
}

class FirstLetters : public ::testing::TestWithParam<FirstCase> {};

TEST_P(FirstLetters, AreThoseTheRulesMayGive) {
  EXPECT_EQ(FirstLettersOf(GetParam().codePoint), Mask(GetParam().letters));
}

INSTANTIATE_TEST_SUITE_P(
    CodePoints, FirstLetters,
    ::testing::Values(FirstCase{U'K', "k"}, FirstCase{U'q', "q"}, FirstCase{U'Ä', "a"},
                      FirstCase{U'Þ', "t"}, FirstCase{U'Ж', "z"}, FirstCase{U'Щ', "s"},
                      FirstCase{U'е', "ey"}, FirstCase{U'Ё', "ey"}, FirstCase{U'и', "iy"},
                      FirstCase{U'Г', "gh"}, FirstCase{U'γ', "gn"}, FirstCase{U'Μ', "bm"},
                      FirstCase{U'ν', "dn"}, FirstCase{U'θ', "t"}, FirstCase{U'ψ', "p"},
                      FirstCase{U'Ά', "a"}, FirstCase{U'ъ', nullptr}, FirstCase{U'ь', nullptr},
                      FirstCase{U'×', nullptr}, FirstCase{0x0301, nullptr},
                      FirstCase{U' ', nullptr}, FirstCase{U'7', nullptr},
                      FirstCase{0x4E00, nullptr}));

// Whatever follows a letter, the first letter of the folding is among FirstLettersOf: every
// letter of the table below U+0500 and of U+1E00-U+1FFF, followed by every letter and mark
// of Greek and Cyrillic and a few others, alone and with a letter that sets the word's
// alphabet after them.
TEST(FirstLettersOf, HoldTheFirstLetterOfEveryFolding) {
  std::vector<char32_t> letters;
  for (char32_t c = 0x41; c < 0x500; ++c) {
    if (ClassifyCodePoint(c) == LetterClass::kFoldedLetter ||
        ClassifyCodePoint(c) == LetterClass::kAsciiLetter) {
      letters.push_back(c);
    }
  }
  for (char32_t c = 0x1E00; c < 0x2000; ++c) {
    if (ClassifyCodePoint(c) == LetterClass::kFoldedLetter) letters.push_back(c);
  }
  std::vector<char32_t> followers = {U'a', U'k', U'ъ', 0x0301, 0x0308, U' '};
  for (char32_t c = 0x0370; c < 0x0500; ++c) {
    if (ClassifyCodePoint(c) != LetterClass::kSeparator) followers.push_back(c);
  }
  const char32_t alphabets[] = {0, U'ї', U'ў', U'ы'};
  std::size_t checked = 0;
  for (char32_t first : letters) {
    const std::uint32_t mask = FirstLettersOf(first);
    for (char32_t next : followers) {
      for (char32_t alphabet : alphabets) {
        const char32_t word[3] = {first, next, alphabet};
        char folded[1];
        if (FoldWord(word, alphabet == 0 ? 2 : 3, folded, 1) == 0) continue;
        ++checked;
        ASSERT_NE(mask & (1u << (folded[0] - 'a')), 0u)
            << "U+" << std::hex << static_cast<std::uint32_t>(first) << " before U+"
            << static_cast<std::uint32_t>(next) << " begins with " << folded[0];
      }
    }
  }
  EXPECT_GT(checked, 500000u);
}

// The folding of UTF-8 bytes in one pass, or "-" when it leaves the word to its caller.
std::string FoldBytes(const std::string& bytes, std::uint32_t room = 62) {
  char letters[80];
  const std::uint32_t written =
      FoldTwoByteWordQuickly(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                             static_cast<std::uint32_t>(bytes.size()), letters, room);
  return written == kNotFoldedQuickly ? "-" : std::string(letters, written);
}

// FoldWord's quick reading, and the quick reading of the word's UTF-8 bytes where it takes
// the word, agree with the reading by the rules on every word, at every room: every pair of
// Greek and Cyrillic letters, alone and after a Cyrillic and a Latin letter; every three
// letters of the Greek pairs (the third decides how an upsilon after a vowel reads); words
// drawn from letters that set the alphabet, marks and separators.
TEST(FoldWord, ReadsQuicklyAsTheRulesDo) {
  std::size_t checked = 0;
  std::size_t fromBytes = 0;
  auto check = [&checked, &fromBytes](const std::u32string& word) {
    if (::testing::Test::HasFailure()) return;  // the first difference is enough
    const std::uint32_t room = checked++ % 3 == 0 ? 1 + checked % 70 : 62;
    char quick[80];
    char rules[80];
    const auto count = static_cast<std::uint32_t>(word.size());
    const std::string byRules(rules, FoldWordByRules(word.data(), count, rules, room));
    ASSERT_EQ(std::string(quick, FoldWord(word.data(), count, quick, room)), byRules)
        << "word " << checked - 1 << " of length " << count << ", room " << room;
    if (room > 64) return;
    const std::string bytes = FoldBytes(Utf8Of(word), room);
    if (bytes == "-") return;
    ++fromBytes;
    ASSERT_EQ(bytes, byRules) << "the bytes of word " << checked - 1 << ", room " << room;
  };
  std::u32string letters;
  for (char32_t c = 0x0370; c < 0x0500; ++c) {
    if (ClassifyCodePoint(c) == LetterClass::kFoldedLetter) letters += c;
  }
  for (char32_t first : letters) {
    for (char32_t second : letters) {
      for (const char32_t* before : {U"", U"а", U"k"}) {
        std::u32string word(before);
        word += first;
        word += second;
        check(word);
      }
    }
  }
  const std::u32string pairs = U"αεηοάέΑΕΟυύϋΰΥΫγξχΓΞμπνΜΠΝτΤβδζλσκφωabеёигъьїў";
  for (char32_t first : pairs) {
    for (char32_t second : pairs) {
      for (char32_t third : pairs) check({first, second, third});
    }
  }
  std::u32string pool = letters;
  for (int copies = 0; copies < 12; ++copies) {
    pool += pairs;
    pool += U"éßŁєґй\u0301\u0308\u0344 7\u1F00\uFB01";
  }
  std::mt19937 draw(34);
  for (int n = 0; n < 200000; ++n) {
    std::u32string word(1 + draw() % 14, U' ');
    for (char32_t& c : word) c = pool[draw() % pool.size()];
    check(word);
  }
  EXPECT_GT(checked, 500000u);
  EXPECT_GT(fromBytes, 100000u);  // most words are read from their bytes
}

// What the one pass over a word's UTF-8 bytes takes, and what it leaves to its caller: any
// byte that is not an ASCII letter or a whole two-byte letter below U+0500, marks and the
// Greek pairs other than omicron-upsilon.
TEST(FoldBytes, GivesTheFoldingOrLeavesIt) {
  const std::pair<std::string, const char*> cases[] = {
      {"Moses", "moses"},
      {Utf8Of(U"Müllerstraße"), "mullerstrasse"},
      {Utf8Of(U"Пётр"), "petr"},
      {Utf8Of(U"Київ"), "kyyiv"},
      {Utf8Of(U"Ιωάννης"), "ioannis"},
      {Utf8Of(U"abвг"), "abvg"},              // Latin and Cyrillic
      {Utf8Of(U"Γούναρης"), "gounaris"},      // omicron-upsilon
      {Utf8Of(U"Μπάμπης"), "-"},              // another Greek pair
      {Utf8Of(U"Mu\u0308ller"), "-"},         // a mark
      {Utf8Of(U"\u1E3Euller"), "-"},          // a three-byte letter
      {Utf8Of(U"\u0500a"), "-"},              // a letter past U+04FF
      {"Moses1", "-"},
      {"Mo ses", "-"},
      {Utf8Of(U"a×b"), "-"},                  // a separator
      {"M\x80oses", "-"},                     // a stray continuation byte
      {"M\xC1\xA1", "-"},                     // overlong
      {"Moses\xD0", "-"},                     // a lead byte at the end
      {"Mo\xD0ses", "-"},                     // a lead byte before ASCII
      {"Mu\xFCller", "-"},                    // Windows-1252
  };
  for (const auto& [bytes, folded] : cases) EXPECT_EQ(FoldBytes(bytes), folded) << bytes;
}

TEST(LetterFolds, AreMadeFromUnicode14) { EXPECT_STREQ(LetterFoldsUnicodeVersion(), "14.0.0"); }

}  // namespace

#include "phonetic/phonetic_key.h"

#include <gtest/gtest.h>

#include <cstring>
#include <ostream>
#include <string>

namespace {

std::string KeyText(const PhoneticKey& key) { return std::string(key.Bytes, 4); }

// One buffer for every term, as a caller that normalises term after term has.
char normalisedWord[kNormalisedWordSize];

std::string Normalised(const std::string& term) {
  NormaliseQueryWord(term.c_str(), normalisedWord);
  return normalisedWord;
}

class PhoneticKeyTest : public ::testing::Test {
 protected:
  void SetUp() override { InitialisePhonetics(); }
};

TEST_F(PhoneticKeyTest, StartUpFillsTheSoundexTable) {
  EXPECT_EQ(std::string(LetterCodeTable, 26), "01230120022455012623010202");
}

struct TermCase {
  const char* term;
  const char* normalised;
  const char* key;
};

// A case shows as its term, in the test list and in failures, rather than as its bytes.
void PrintTo(const TermCase& c, std::ostream* os) { *os << c.term; }

class NormaliseAndCode : public PhoneticKeyTest, public ::testing::WithParamInterface<TermCase> {};

// The key of the normalised word itself, before any spelling variant.
TEST_P(NormaliseAndCode, GivesTheNormalisedWordAndItsKey) {
  const TermCase& c = GetParam();
  EXPECT_EQ(Normalised(c.term), c.normalised);
  EXPECT_EQ(KeyText(ComputePhoneticKey(normalisedWord)), c.key);
  EXPECT_EQ(KeyText(ComputePhoneticKey(normalisedWord, std::strlen(normalisedWord))), c.key);
}

INSTANTIATE_TEST_SUITE_P(
    Names, NormaliseAndCode,
    ::testing::Values(TermCase{"Robert", "robert", "r163"}, TermCase{"Rupert", "rupert", "r163"},
                      TermCase{"Honeyman", "honeyman", "h555"},
                      TermCase{"Hutchinson", "hutchinson", "h325"}, TermCase{"Uwe", "uwe", "0000"},
                      TermCase{"Lee", "le", "l000"}, TermCase{"Hayes", "hayes", "h200"},
                      TermCase{"Mitchell", "mitchel", "m324"}, TermCase{"Dodd", "dod", "d300"},
                      TermCase{"ROBERT", "robert", "r163"}));

// Byte 0 keeps the letter for consonants, h and w; vowels and y give 0.
INSTANTIATE_TEST_SUITE_P(FirstCharacter, NormaliseAndCode,
                         ::testing::Values(TermCase{"Whitney", "whitney", "w350"},
                                           TermCase{"Yvonne", "yvone", "0150"},
                                           TermCase{"Ellen", "elen", "0450"},
                                           TermCase{"Allen", "alen", "0450"},
                                           TermCase{"b", "b", "b000"}, TermCase{"e", "e", "0000"},
                                           TermCase{"H", "h", "h000"}, TermCase{"y", "y", "0000"}));

// Different letters with the same digit are both coded; only the same letter merges.
INSTANTIATE_TEST_SUITE_P(
    SameDigitLetters, NormaliseAndCode,
    ::testing::Values(TermCase{"Jackson", "jakson", "j225"}, TermCase{"Pfister", "pfister", "p123"},
                      TermCase{"Ashcraft", "ashcraft", "0226"}, TermCase{"Lloyd", "lloyd", "l300"},
                      TermCase{"Abby", "aby", "0100"}, TermCase{"Kaka", "kaka", "k200"}));

INSTANTIATE_TEST_SUITE_P(
    SpellingRules, NormaliseAndCode,
    ::testing::Values(TermCase{"Philip", "fhilip", "f410"}, TermCase{"Aphid", "aphid", "0130"},
                      TermCase{"Coxswain", "coxwain", "c250"},
                      TermCase{"Sciences", "siences", "s522"}, TermCase{"Excite", "exite", "0230"},
                      TermCase{"Back", "bak", "b200"}, TermCase{"xs", "x", "x000"},
                      TermCase{"SCYthe", "sythe", "s300"}, TermCase{"Scar", "scar", "s260"}));

// Doubled j and x: collapsed at the second letter or after d, respelled elsewhere.
INSTANTIATE_TEST_SUITE_P(
    DoubledJAndX, NormaliseAndCode,
    ::testing::Values(TermCase{"Hajj", "hahjj", "h200"}, TermCase{"Hajjj", "hahjhjj", "h220"},
                      TermCase{"Ajj", "aj", "0200"}, TermCase{"ajja", "aja", "0200"},
                      TermCase{"Hajja", "hahjja", "h200"}, TermCase{"Haddjja", "hadja", "h320"},
                      TermCase{"Exxon", "ekson", "0225"}, TermCase{"Foxx", "foks", "f220"},
                      TermCase{"axxxa", "aksxa", "0222"}, TermCase{"XXa", "xxa", "x000"},
                      TermCase{"jja", "jja", "j000"}));

TEST_F(PhoneticKeyTest, KeyStopsAfterThreeDigitsAndAtTheGivenLength) {
  EXPECT_EQ(KeyText(ComputePhoneticKey("bcdlmr")), "b234");
  EXPECT_EQ(KeyText(ComputePhoneticKey("")), "0000");
  // The scanner codes its buffer in place: nothing after `length` counts.
  EXPECT_EQ(KeyText(ComputePhoneticKey("robert", 3)), "r100");
  EXPECT_EQ(KeyText(ComputePhoneticKey("robert", 0)), "0000");
}

TEST_F(PhoneticKeyTest, LongTermsAreNormalisedWithoutLeavingTheBuffer) {
  // Each doubled j inside the word grows the output, which stops at 255 characters.
  const std::string manyJ = "a" + std::string(219, 'J');
  const std::string normalised = Normalised(manyJ);
  ASSERT_EQ(normalised.size(), 255u);
  EXPECT_EQ(normalised.substr(0, 5), "ahjhj");
  EXPECT_EQ(normalised.substr(251), "hjhj");

  // The alphabet over and over, in mixed case: no rule applies, nothing is lost.
  std::string plain;
  for (int i = 0; i < 220; ++i) plain += static_cast<char>((i % 3 ? 'a' : 'A') + i % 26);
  EXPECT_EQ(Normalised(plain).size(), 220u);
  // A run of x: every pair but the last x becomes ks.
  std::string pairs;
  for (int i = 0; i < 109; ++i) pairs += "ks";
  EXPECT_EQ(Normalised(std::string(220, 'X')), "x" + pairs + "x");
}

TEST_F(PhoneticKeyTest, AShorterTermLeavesNoTraceOfTheLongerOneBefore) {
  Normalised("Constitution");
  EXPECT_EQ(Normalised("Al"), "al");
  EXPECT_EQ(normalisedWord[2], '\0');
}

}  // namespace

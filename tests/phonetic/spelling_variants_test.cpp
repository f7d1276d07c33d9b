#include "phonetic/spelling_variants.h"

#include <gtest/gtest.h>

#include <cstring>
#include <ostream>
#include <string>
#include <vector>

#include "phonetic/duplicate_keys.h"
#include "phonetic/phonetic_key.h"
#include "phonetic/prepared_term.h"

namespace {

// Letters with no rule and no doubling, so that positions stay where they are put.
std::string Filler(std::size_t length) {
  std::string text;
  for (std::size_t i = 0; i < length; ++i) text += i % 2 ? 'l' : 'o';
  return text;
}

// One term prepared step by step, term after term, so that whatever an earlier term left
// in it is still there.
PreparedTerm prepared;

// "spelling key" for each variant, in slot order.
std::vector<std::string> Prepare(const std::string& term) {
  NormaliseQueryWord(term.c_str(), prepared.NormalisedWord);
  GenerateSpellingVariants(&prepared);
  ComputeVariantKeys(&prepared);
  std::vector<std::string> variants;
  for (std::uint32_t i = 0; i < prepared.VariantCount; ++i) {
    variants.push_back(std::string(prepared.VariantTable[i]) + " " +
                       std::string(prepared.VariantKeys[i].Bytes, 4));
  }
  return variants;
}

std::vector<std::string> DistinctKeys() {
  RemoveDuplicateKeys(&prepared);
  std::vector<std::string> keys;
  for (std::uint32_t i = 0; i < prepared.KeyCount; ++i) {
    keys.emplace_back(prepared.KeyTable[i].Bytes, 4);
  }
  return keys;
}

struct VariantCase {
  const char* term;
  std::vector<std::string> variants;
};

// A case shows as its term, in the test list and in failures, rather than as its bytes.
void PrintTo(const VariantCase& c, std::ostream* os) { *os << c.term; }

class SpellingVariants : public ::testing::TestWithParam<VariantCase> {
 protected:
  void SetUp() override { InitialisePhonetics(); }
};

TEST_P(SpellingVariants, GivesTheVariantsInSlotOrder) {
  EXPECT_EQ(Prepare(GetParam().term), GetParam().variants);
}

INSTANTIATE_TEST_SUITE_P(
    InnerAlternatives, SpellingVariants,
    ::testing::Values(VariantCase{"Philip", {"fhilip f410"}},
                      VariantCase{"Michel", {"michel m240", "mitcel m324"}},
                      VariantCase{"Schmidt", {"schmidt s253", "stcmidt s325"}},
                      VariantCase{"Washington", {"washington w252", "wascington w225"}},
                      VariantCase{"Martian", {"martian m635", "marsian m625"}},
                      VariantCase{"Benjamin", {"benjamin b525", "bedjamin b325"}},
                      VariantCase{"Ajax", {"ajax 0220", "djax d220"}},
                      VariantCase{"Exxon", {"ekson 0225", "exhon 0250"}},
                      // tch, sti and dj are not alternatives again.
                      VariantCase{"Hutch", {"hutch h320"}},
                      VariantCase{"Bastion", {"bastion b235"}},
                      VariantCase{"Hadji", {"hadji h320"}}));

// The rows are tried in order; the first that applies decides.
INSTANTIATE_TEST_SUITE_P(FirstLetters, SpellingVariants,
                         ::testing::Values(VariantCase{"Xenia", {"xhenia x500", "ksenia k250"}},
                                           VariantCase{"Ksenia", {"ksenia k250", "xhenia x500"}},
                                           VariantCase{"Cyril", {"syril s640", "cyril c640"}},
                                           VariantCase{"Cezar", {"sezar s260", "cezar c260"}},
                                           VariantCase{"Jill", {"gil g400", "jil j400"}},
                                           VariantCase{"Jenny", {"geny g500", "jeny j500"}},
                                           VariantCase{"Sheila", {"sheila s400", "sceila s240"}},
                                           VariantCase{"Knight", {"knight k523", "cnight c523"}},
                                           VariantCase{"Kirk", {"kirk k620"}},
                                           VariantCase{"Zoe", {"zoe z000", "xoe x000"}},
                                           VariantCase{"Zhora", {"zhora z600"}},
                                           VariantCase{"Gzell", {"gzel g240", "xhel x400"}},
                                           VariantCase{"Sam", {"sam s500"}},
                                           VariantCase{"Gary", {"gary g600"}}));

// One letter, or a term that shrinks to one letter, has no inner alternative.
INSTANTIATE_TEST_SUITE_P(OneLetter, SpellingVariants,
                         ::testing::Values(VariantCase{"c", {"c c000", "k k000"}},
                                           VariantCase{"K", {"k k000", "c c000"}},
                                           VariantCase{"z", {"z z000", "x x000"}},
                                           VariantCase{"x", {"xh x000", "ks k200"}},
                                           VariantCase{"xs", {"xh x000", "ks k200"}},
                                           VariantCase{"b", {"b b000"}},
                                           VariantCase{"e", {"e 0000"}}));

// The alternative family decides how many slots each family gives.
INSTANTIATE_TEST_SUITE_P(
    TwoFamilies, SpellingVariants,
    ::testing::Values(
        VariantCase{
            "Constitution",
            {"constitution c523", "constitusion c523", "konstitution k523", "konstitusion k523"}},
        VariantCase{"Ksheer", {"ksher k260", "kscer k226", "csher c260", "cscer c226"}},
        VariantCase{"Shchukin",
                    {"shchukin s225", "shtcukin s322", "scchukin s225", "sctcukin s232"}},
        // No inner alternative in the base spelling: the sh of kshosa is never looked at.
        VariantCase{"Xhosa", {"xhhosa x200", "kshosa k220"}},
        VariantCase{"Xhoshi",
                    {"xhhoshi x200", "xhhosci x220", "xhhoshi x200", "xhhosci x220", "kshoshi k220",
                     "kscoshi k222", "kshosci k222", "kscosci k222"}},
        // The base family finds one (ti after h), the alternative family none (ti after s):
        // the base family's extra variant is dropped.
        VariantCase{"Xtian", {"xhtian x350", "kstian k235"}}));

class VariantLimits : public ::testing::Test {
 protected:
  void SetUp() override { InitialisePhonetics(); }
};

TEST_F(VariantLimits, OnlyTheFirstThreeInnerAlternativesCount) {
  // Four in each family: at most eight per family and sixteen in all.
  const std::vector<std::string> variants = Prepare("Cashachashach");
  ASSERT_EQ(variants.size(), 16u);
  EXPECT_EQ(variants[0], "cashachashach c222");
  EXPECT_EQ(variants[7], "cascatcascach c223");
  EXPECT_EQ(variants[8], "kashachashach k222");
  EXPECT_EQ(variants[15], "kascatcascach k223");
  EXPECT_EQ(DistinctKeys().size(), 6u);
}

TEST_F(VariantLimits, DistinctKeysOfRepeatedSpellings) {
  Prepare("Xhoshi");
  EXPECT_EQ(DistinctKeys(), (std::vector<std::string>{"x200", "x220", "k220", "k222"}));
  Prepare("Constitution");
  EXPECT_EQ(DistinctKeys(), (std::vector<std::string>{"c523", "k523"}));
}

TEST_F(VariantLimits, AnAlternativeBeyondPosition60DoublesWithoutWriting) {
  // A j at 60 is written (the letter before it becomes d); one at 61 only doubles.
  const std::string at60 = Filler(60) + "jb";
  const std::vector<std::string> written = Prepare(at60);
  ASSERT_EQ(written.size(), 2u);
  EXPECT_EQ(std::string(prepared.VariantTable[1]), Filler(59) + "djb");

  const std::string at61 = Filler(61) + "j";
  const std::vector<std::string> doubled = Prepare(at61);
  ASSERT_EQ(doubled.size(), 2u);
  EXPECT_EQ(doubled[0], doubled[1]);
  EXPECT_EQ(std::string(prepared.VariantTable[1]), at61);
}

TEST_F(VariantLimits, LongWordsAreCutTo62Characters) {
  // 70 letters: the spelling keeps the first 62, the normalised word stays whole.
  std::string seventy = "Bo";
  while (seventy.size() < 70) seventy += "ba";
  const std::vector<std::string> variants = Prepare(seventy);
  ASSERT_EQ(variants.size(), 1u);
  EXPECT_EQ(std::strlen(prepared.NormalisedWord), 70u);
  EXPECT_EQ(std::string(prepared.VariantTable[0]), std::string(prepared.NormalisedWord, 62));

  // Row x makes 63 characters, cut back to 62 in both families; the sh at 60 and 61 of
  // the word stands at 61 and 62 of the spelling, too late to be written.
  std::string longX = "x";
  longX.append(Filler(59)).append("sh").append("a");
  const std::vector<std::string> xs = Prepare(longX);
  ASSERT_EQ(xs.size(), 4u);
  for (const std::string& v : xs) EXPECT_EQ(v.find(' '), 62u) << v;
  EXPECT_EQ(std::string(prepared.VariantTable[0]), "xh" + Filler(59) + "s");
  EXPECT_EQ(std::string(prepared.VariantTable[1]), std::string(prepared.VariantTable[0]));
}

TEST_F(VariantLimits, EveryTermOfUpTo220LettersStaysInsideItsSlots) {
  const std::string terms[] = {std::string(220, 'x'), "a" + std::string(219, 'j'),
                               "X" + std::string(219, 'j'), std::string(220, 'C')};
  for (const std::string& term : terms) {
    Prepare(term);
    ASSERT_GE(prepared.VariantCount, 1u);
    ASSERT_LE(prepared.VariantCount, 16u);
    for (std::uint32_t i = 0; i < prepared.VariantCount; ++i) {
      EXPECT_LE(strnlen(prepared.VariantTable[i], kVariantSlotSize), 62u) << term;
    }
  }
}

TEST_F(VariantLimits, KeysBeyondTheVariantsAreZero) {
  Prepare("Xhoshi");
  Prepare("Kirk");
  ASSERT_EQ(prepared.VariantCount, 1u);
  for (int i = 1; i < kVariantSlots; ++i) {
    EXPECT_EQ(std::string(prepared.VariantKeys[i].Bytes, 4), "0000");
  }
}

}  // namespace

#include "phonetic/prepared_term.h"

#include <gtest/gtest.h>

#include <cstring>
#include <ostream>
#include <string>
#include <vector>

#include "phonetic/phonetic_key.h"

namespace {

std::string Repeated(const std::string& text, int times) {
  std::string result;
  for (int i = 0; i < times; ++i) result += text;
  return result;
}

struct TermCase {
  std::string name;  // for the test list
  std::string word;
  std::string normalised;
  std::vector<std::string> variants;  // "spelling key", in slot order
  std::vector<std::string> keys;
  std::vector<int> keyVariants;
};

void PrintTo(const TermCase& c, std::ostream* os) { *os << c.name; }

class PrepareTermTest : public ::testing::TestWithParam<TermCase> {
 protected:
  void SetUp() override { InitialisePhonetics(); }
};

TEST_P(PrepareTermTest, GivesTheWordItsVariantsAndTheirDistinctKeys) {
  const TermCase& c = GetParam();
  PreparedTerm term;
  PrepareTerm(c.word.c_str(), &term);
  EXPECT_EQ(std::string(term.NormalisedWord), c.normalised);
  std::vector<std::string> variants;
  for (std::uint32_t i = 0; i < term.VariantCount; ++i) {
    variants.push_back(std::string(term.VariantTable[i]) + " " +
                       std::string(term.VariantKeys[i].Bytes, 4));
  }
  EXPECT_EQ(variants, c.variants);
  std::vector<std::string> keys;
  std::vector<int> keyVariants;
  for (std::uint32_t k = 0; k < term.KeyCount; ++k) {
    keys.emplace_back(term.KeyTable[k].Bytes, 4);
    keyVariants.push_back(term.KeyVariant[k]);
  }
  EXPECT_EQ(keys, c.keys);
  EXPECT_EQ(keyVariants, c.keyVariants);
}

INSTANTIATE_TEST_SUITE_P(
    Words, PrepareTermTest,
    ::testing::Values(
        TermCase{
            "Michel", "Michel", "michel", {"michel m240", "mitcel m324"}, {"m240", "m324"}, {0, 1}},
        // Eight variants, four distinct keys.
        TermCase{"Xhoshi",
                 "Xhoshi",
                 "xhoshi",
                 {"xhhoshi x200", "xhhosci x220", "xhhoshi x200", "xhhosci x220", "kshoshi k220",
                  "kscoshi k222", "kshosci k222", "kscosci k222"},
                 {"x200", "x220", "k220", "k222"},
                 {0, 1, 4, 5}},
        // 70 letters: the normalised word stays whole, the spellings keep 62.
        TermCase{"Long",
                 "Ch" + Repeated("ol", 34),
                 "ch" + Repeated("ol", 34),
                 {"ch" + Repeated("ol", 30) + " c444", "kh" + Repeated("ol", 30) + " k444"},
                 {"c444", "k444"},
                 {0, 1}},
        // The empty word, which a term whose first byte lower-cases to zero also gives: one
        // empty variant and its key.
        TermCase{"Empty", "", "", {" 0000"}, {"0000"}, {0}}));

TEST(PrepareTerm, TheSameWordGivesTheSameBytesWhateverTheTermHeldBefore) {
  InitialisePhonetics();
  PreparedTerm reused;
  PrepareTerm("Cashachashach", &reused);
  PrepareTerm("Kirk", &reused);
  PreparedTerm fresh;
  std::memset(&fresh, 0xA5, sizeof fresh);
  PrepareTerm("Kirk", &fresh);
  EXPECT_EQ(std::memcmp(&reused, &fresh, sizeof fresh), 0);
}

}  // namespace

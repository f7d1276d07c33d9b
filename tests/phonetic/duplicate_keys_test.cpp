#include "phonetic/duplicate_keys.h"

#include <gtest/gtest.h>

#include <cstring>
#include <ostream>
#include <string>
#include <vector>

#include "phonetic/phonetic_key.h"
#include "phonetic/prepared_term.h"

namespace {

struct DuplicateCase {
  std::vector<std::string> keys;  // the keys of the variants, in slot order
  std::vector<std::string> kept;
  std::vector<int> firstVariants;  // KeyVariant of each kept key
};

// A case shows as its keys, a run of one key as the key and its count ("b000x16"), in
// the test list and in failures, rather than as its bytes.
void PrintTo(const DuplicateCase& c, std::ostream* os) {
  if (c.keys.empty()) *os << "no_keys";
  for (std::size_t i = 0; i < c.keys.size();) {
    std::size_t run = 1;
    while (i + run < c.keys.size() && c.keys[i + run] == c.keys[i]) ++run;
    *os << (i > 0 ? "_" : "") << c.keys[i];
    if (run > 1) *os << 'x' << run;
    i += run;
  }
}

class RemoveDuplicates : public ::testing::TestWithParam<DuplicateCase> {};

TEST_P(RemoveDuplicates, KeepsTheFirstOccurrenceOfEachKeyInOrder) {
  PreparedTerm term;
  // What the keys held beyond the variants must not count, nor what an earlier term left
  // among the distinct keys.
  for (PhoneticKey& key : term.VariantKeys) std::memcpy(key.Bytes, "z999", 4);
  for (PhoneticKey& key : term.KeyTable) std::memcpy(key.Bytes, "y888", 4);
  for (int& first : term.KeyVariant) first = 7;
  const DuplicateCase& c = GetParam();
  for (std::size_t i = 0; i < c.keys.size(); ++i) {
    std::memcpy(term.VariantKeys[i].Bytes, c.keys[i].data(), 4);
  }
  term.VariantCount = static_cast<std::uint32_t>(c.keys.size());
  RemoveDuplicateKeys(&term);
  std::vector<std::string> kept;
  std::vector<int> firstVariants;
  for (std::uint32_t k = 0; k < term.KeyCount; ++k) {
    kept.emplace_back(term.KeyTable[k].Bytes, 4);
    firstVariants.push_back(term.KeyVariant[k]);
  }
  EXPECT_EQ(kept, c.kept);
  EXPECT_EQ(firstVariants, c.firstVariants);
  for (int k = static_cast<int>(term.KeyCount); k < kMaxKeys; ++k) {
    EXPECT_EQ(std::string(term.KeyTable[k].Bytes, 4), "0000") << k;
    EXPECT_EQ(term.KeyVariant[k], -1) << k;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Tables, RemoveDuplicates,
    ::testing::Values(
        DuplicateCase{{"c523", "c523", "k523", "k523"}, {"c523", "k523"}, {0, 2}},
        DuplicateCase{{"m240"}, {"m240"}, {0}},
        DuplicateCase{{"x200", "x220", "x200", "x220", "k220", "k222", "k222", "k222"},
                      {"x200", "x220", "k220", "k222"},
                      {0, 1, 4, 5}},
        // Keys equal in three characters are different keys.
        DuplicateCase{{"s250", "s25a", "s250", "t250"}, {"s250", "s25a", "t250"}, {0, 1, 3}},
        DuplicateCase{std::vector<std::string>(16, "b000"), {"b000"}, {0}},
        // With no variant there is still one key to compare: the first variant key as it
        // stands, which belongs to no variant.
        DuplicateCase{{}, {"z999"}, {-1}}));

}  // namespace

#include "query/duplicate_keys.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "phonetic/phonetic_key.h"
#include "phonetic/spelling_variants.h"

namespace {

struct DuplicateCase {
  std::vector<std::string> keys;  // the first VariantCount entries of the table
  std::vector<std::string> kept;
};

class RemoveDuplicates : public ::testing::TestWithParam<DuplicateCase> {};

TEST_P(RemoveDuplicates, KeepsTheFirstOccurrenceOfEachKeyInOrder) {
  // What the table held beyond the variants must not count.
  for (PhoneticKey& key : KeyTable) std::memcpy(key.Bytes, "z999", 4);
  const DuplicateCase& c = GetParam();
  for (std::size_t i = 0; i < c.keys.size(); ++i)
    std::memcpy(KeyTable[i].Bytes, c.keys[i].data(), 4);
  VariantCount = static_cast<std::uint32_t>(c.keys.size());
  RemoveDuplicateKeys();
  std::vector<std::string> kept;
  for (std::uint32_t i = 0; i < KeyCount; ++i) kept.emplace_back(KeyTable[i].Bytes, 4);
  EXPECT_EQ(kept, c.kept);
}

INSTANTIATE_TEST_SUITE_P(
    Tables, RemoveDuplicates,
    ::testing::Values(DuplicateCase{{"c523", "c523", "k523", "k523"}, {"c523", "k523"}},
                      DuplicateCase{{"m240"}, {"m240"}},
                      DuplicateCase{
                          {"x200", "x220", "x200", "x220", "k220", "k222", "k222", "k222"},
                          {"x200", "x220", "k220", "k222"}},
                      // Keys equal in three characters are different keys.
                      DuplicateCase{{"s250", "s25a", "s250", "t250"}, {"s250", "s25a", "t250"}},
                      DuplicateCase{std::vector<std::string>(16, "b000"), {"b000"}},
                      // With no variant there is still one key to compare.
                      DuplicateCase{{}, {"z999"}}));

}  // namespace

#include "query/duplicate_keys.h"

#include <gtest/gtest.h>

#include <cstring>
#include <ostream>
#include <string>
#include <vector>

#include "phonetic/phonetic_key.h"
#include "phonetic/spelling_variants.h"

namespace {

struct DuplicateCase {
  std::vector<std::string> keys;  // the first VariantCount entries of the table
  std::vector<std::string> kept;
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

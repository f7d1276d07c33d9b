#include "cli/query_variants.h"

#include <atomic>
#include <cstdint>
#include <cstring>

#include "phonetic/prepared_term.h"
#include "phonetic/spelling_variants.h"
#include "query/query_validation.h"
#include "query/term_evaluation.h"

namespace {

struct Variant {
  char Spelling[kVariantSlotSize];
  PhoneticKey Key;
};

Variant variants[kVariantSlots];
std::uint32_t variantCount = 0;

}  // namespace

void PrepareQueryVariants(const char* searchText) {
  variantCount = 0;
  char expression[kQueryExpressionSize];
  char term[kTermBufferSize];
  NormaliseQuery(searchText, expression);
  if (ValidateQuery(expression) != kQueryAccepted) return;
  std::atomic<std::int32_t> firstTermTaken{0};
  if (TakeNextTerm(term, expression, firstTermTaken) != kSingleWord) return;
  PreparedTerm prepared;
  PrepareTerm(term, &prepared);
  for (std::uint32_t i = 0; i < prepared.VariantCount && i < kVariantSlots; ++i) {
    std::memcpy(variants[i].Spelling, prepared.VariantTable[i], kVariantSlotSize);
    variants[i].Spelling[kVariantSlotSize - 1] = '\0';
    variants[i].Key = prepared.VariantKeys[i];
    ++variantCount;
  }
}

const char* VariantWithKey(const PhoneticKey& key) {
  for (std::uint32_t i = 0; i < variantCount; ++i) {
    if (variants[i].Key == key) return variants[i].Spelling;
  }
  return nullptr;
}

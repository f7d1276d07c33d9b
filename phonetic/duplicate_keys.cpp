#include "phonetic/duplicate_keys.h"

#include <cstdint>

#include "phonetic/phonetic_key.h"
#include "phonetic/term_tables.h"

void RemoveDuplicateKeys(PreparedTerm* term) {
  std::uint32_t count = term->VariantCount;
  if (count > static_cast<std::uint32_t>(kMaxKeys)) count = kMaxKeys;
  for (int k = 0; k < kMaxKeys; ++k) {
    term->KeyTable[k] = PhoneticKey{{'0', '0', '0', '0'}};
    term->KeyVariant[k] = -1;
  }
  std::uint32_t kept = 0;
  for (std::uint32_t i = 0; i < count; ++i) {
    bool seen = false;
    for (std::uint32_t j = 0; j < kept && !seen; ++j) {
      seen = term->KeyTable[j] == term->VariantKeys[i];
    }
    if (seen) continue;
    term->KeyTable[kept] = term->VariantKeys[i];
    term->KeyVariant[kept] = static_cast<int>(i);
    ++kept;
  }
  // The scanner always compares at least one key, even for a term with no variant.
  if (kept == 0) term->KeyTable[0] = term->VariantKeys[0];
  term->KeyCount = kept > 0 ? kept : 1;
}

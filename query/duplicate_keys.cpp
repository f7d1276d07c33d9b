#include "query/duplicate_keys.h"

#include <cstdint>

#include "phonetic/phonetic_key.h"
#include "phonetic/spelling_variants.h"

void RemoveDuplicateKeys() {
  std::uint32_t count = VariantCount;
  if (count > static_cast<std::uint32_t>(kMaxKeys)) count = kMaxKeys;
  std::uint32_t kept = 0;
  for (std::uint32_t i = 0; i < count; ++i) {
    bool seen = false;
    for (std::uint32_t j = 0; j < kept && !seen; ++j) seen = KeyTable[j] == KeyTable[i];
    if (!seen) KeyTable[kept++] = KeyTable[i];
  }
  // The scanner always compares at least one key, even for a table left empty.
  KeyCount = kept > 0 ? kept : 1;
}

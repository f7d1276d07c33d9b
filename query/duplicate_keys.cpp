#include "query/duplicate_keys.h"

#include <cstdint>

#include "engine/search_state.h"
#include "phonetic/phonetic_key.h"

void RemoveDuplicateKeys() {
  std::uint32_t count = SearchState.VariantCount;
  if (count > static_cast<std::uint32_t>(kMaxKeys)) count = kMaxKeys;
  std::uint32_t kept = 0;
  for (std::uint32_t i = 0; i < count; ++i) {
    bool seen = false;
    for (std::uint32_t j = 0; j < kept && !seen; ++j) seen = KeyTable[j] == KeyTable[i];
    if (!seen) KeyTable[kept++] = KeyTable[i];
  }
  // The scanner always compares at least one key, even for a table left empty.
  SearchState.KeyCount = kept > 0 ? kept : 1;
}

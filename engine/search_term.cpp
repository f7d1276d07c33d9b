#include "engine/search_term.h"

#include <cstring>

void PrepareSearchTerm(const char* word, SearchTerm* term) {
  PrepareTerm(word, &term->Prepared);
  PrepareTermKeys(term->Prepared.KeyTable, term->Prepared.KeyCount, &term->Keys);
}

void PrepareSearchTermOfKeys(const PhoneticKey* keys, std::uint32_t count, SearchTerm* term) {
  std::memset(&term->Prepared, 0, sizeof term->Prepared);
  for (int& variant : term->Prepared.KeyVariant) variant = -1;
  if (count > static_cast<std::uint32_t>(kMaxKeys)) count = kMaxKeys;
  std::memcpy(term->Prepared.KeyTable, keys, sizeof(PhoneticKey) * count);
  term->Prepared.KeyCount = count;
  PrepareTermKeys(keys, count, &term->Keys);
}

const char* SpellingOfKey(const SearchTerm& term, int keyIndex) {
  if (keyIndex < 0 || keyIndex >= kMaxKeys) return nullptr;
  const int variant = term.Prepared.KeyVariant[keyIndex];
  if (variant < 0 || static_cast<std::uint32_t>(variant) >= term.Prepared.VariantCount)
    return nullptr;
  return term.Prepared.VariantTable[variant];
}

#include "engine/search_term.h"

#include <cstring>

void PrepareSearchTerm(const char* word, SearchTerm* term) {
  PrepareSearchTerm(word, PhoneticMethod::Soundex, term);
}

void PrepareSearchTerm(const char* word, PhoneticMethod method, SearchTerm* term) {
  if (method == PhoneticMethod::DaitchMokotoff) {
    // The chart has its own rules for the letter groups that the program's normalisation
    // rewrites (ck, sc, doubled letters): the word is coded as it was typed.
    const int count = DaitchMokotoffCodes(word, static_cast<std::uint32_t>(std::strlen(word)),
                                          term->Keys.Codes);
    PrepareTermCodes(term->Keys.Codes, count, &term->Keys);
    return;
  }
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
  if (term.Keys.Method != PhoneticMethod::Soundex) return nullptr;
  if (keyIndex < 0 || keyIndex >= kMaxKeys) return nullptr;
  const int variant = term.Prepared.KeyVariant[keyIndex];
  if (variant < 0 || static_cast<std::uint32_t>(variant) >= term.Prepared.VariantCount)
    return nullptr;
  return term.Prepared.VariantTable[variant];
}

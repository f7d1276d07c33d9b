#include "phonetic/prepared_term.h"

#include "phonetic/duplicate_keys.h"
#include "phonetic/spelling_variants.h"

void PrepareTerm(const char* word, PreparedTerm* term) {
  *term = PreparedTerm{};
  NormaliseQueryWord(word, term->NormalisedWord);
  GenerateSpellingVariants(term);
  ComputeVariantKeys(term);
  RemoveDuplicateKeys(term);
}

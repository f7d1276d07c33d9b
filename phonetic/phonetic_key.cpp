// Placeholder until the coder lands: declared symbols only.
#include "phonetic/phonetic_key.h"

#include "engine/search_state.h"

char LetterCodeTable[26];
PhoneticKey KeyTable[kMaxKeys];
char NormalisedWord[256];

void InitialisePhonetics() {
  SearchState.KeyCount = 0;
  SearchState.VariantCount = 0;
}
void NormaliseQueryWord(const char*) {}
PhoneticKey ComputePhoneticKey(const char*) { return PhoneticKey{{'0', '0', '0', '0'}}; }

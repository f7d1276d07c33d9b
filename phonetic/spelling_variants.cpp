// Placeholder until the variants land.
#include "phonetic/spelling_variants.h"

char VariantTable[kVariantSlots][kVariantSlotSize];
void GenerateSpellingVariants() {}
void ComputeVariantKeys() {}

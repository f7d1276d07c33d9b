// Placeholder.
#include "query/term_evaluation.h"
std::int32_t TakeNextTerm(char*, char*) { return kNoTermLeft; }
int ApplyTerm(std::int32_t) { return 0; }
int RunSingleWordPass() { return 0; }

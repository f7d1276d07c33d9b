// Placeholder.
#include "query/query_validation.h"
void NormaliseQuery(const char*, char* expression) { expression[0] = 0; }
int ValidateQuery(const char*) { return kQueryInvalidCharacters; }
const char* QueryRefusalMessage(int) { return nullptr; }

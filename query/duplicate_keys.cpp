// Placeholder.
#include "query/duplicate_keys.h"
void RemoveDuplicateKeys() {}

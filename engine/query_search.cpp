// Placeholder: a non-blank query is refused until the query search lands.
#include "engine/query_search.h"
int RunQuerySearch() { return -1; }

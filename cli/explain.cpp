// Placeholder.
#include "cli/explain.h"
int RunExplain(const char*) { return 2; }

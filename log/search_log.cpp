// Placeholder.
#include "log/search_log.h"
int SaveSearchLog(const char*) { return 0; }
int FindFirstTab(const char*) { return 0; }

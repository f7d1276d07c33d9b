// Placeholder.
#include "engine/status_line.h"

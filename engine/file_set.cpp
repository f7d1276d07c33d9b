// Placeholder.
#include "engine/file_set.h"

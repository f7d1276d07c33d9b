// Placeholder until the POSIX backend lands.
#include "platform/memory.h"

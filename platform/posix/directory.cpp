// Placeholder until the POSIX backend lands.
#include "platform/directory.h"

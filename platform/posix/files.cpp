// Placeholder until the POSIX backend lands.
#include "platform/files.h"

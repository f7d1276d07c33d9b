// Placeholder until the POSIX backend lands.
#include "platform/thread.h"

// Placeholder until the window procedure lands.
#include "platform/window.h"

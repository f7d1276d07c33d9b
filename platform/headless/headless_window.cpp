// Placeholder until the headless backend lands.
#include "platform/headless/headless_window.h"

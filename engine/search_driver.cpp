// Placeholder.
#include "engine/search_driver.h"

// The terminal width a program is told by its environment, on every platform.
#include <cstdlib>

#include "platform/console.h"

int ColumnsFromEnvironment() {
  constexpr int kDefaultColumns = 80;
  const char* columns = std::getenv("COLUMNS");
  const long value = columns != nullptr ? std::strtol(columns, nullptr, 10) : 0;
  return value > 0 && value < 10000 ? static_cast<int>(value) : kDefaultColumns;
}

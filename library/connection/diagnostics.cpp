#include "diagnostics.h"

#include <cstdarg>
#include <cstdio>

namespace ferrule {

void PrintLine(const char* format, ...) {
  std::va_list args;
  va_start(args, format);
  std::vprintf(format, args);
  va_end(args);
  std::putchar('\n');
}

void FlushPrintedLines() { std::fflush(stdout); }

}  // namespace ferrule

// The lines the library prints on standard output. Every one of them goes
// through PrintLine, so that all of them can be found, and changed, in one
// place. Callers and tests read these lines: their texts stay as they are.
#pragma once

namespace ferrule {

// Prints one line: the formatted text, then a newline.
void PrintLine(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Writes the lines printed so far at once, rather than when the output
// buffer fills, for traces that must show before what follows them.
void FlushPrintedLines();

}  // namespace ferrule

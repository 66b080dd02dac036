// The standard library's fixed-point text in place of the program's own
// formatter: linked into tarvane-convert-std, so that the benchmark weighs
// what the hand-written one saves on the whole program.
#include <charconv>

#include "core/text/FixedText.h"

char* FormatFixed(char* first, double value, int decimals) {
    return std::to_chars(first, first + 400, value, std::chars_format::fixed, decimals).ptr;
}

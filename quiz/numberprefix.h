#pragma once

#include <string_view>

// The reading of typed answers, free of Qt so that it can be fuzzed on its own.
namespace numbertext {

// Reads the longest leading decimal number of text, ignoring blanks, tabs and line feeds
// wherever they stand: "12abc" is 12, "1 2" is 12, "" is 0. A number too large for a
// double reads as an infinity of its sign, which equals no answer.
double readNumberPrefix(std::u16string_view text);

}

// The three character sets shared by checkString (mode) and randomString (alphabet). Only ASCII
// letters, digits, '_' and '-' ever belong to a set; bytes above 127 never do.
#pragma once

#include <string>
#include <string_view>

namespace dk::sys {

// The alphabet string of set 1, 2 or 3 in randomString's order; empty for any other number.
std::string_view Alphabet(int set) noexcept;

// 0 when text is null, empty or made only of allowed characters; otherwise the offset of the
// first character not allowed (so a bad first character also gives 0). -1 for a set other than
// 1, 2 or 3 when there is text to check.
int CheckAllowed(const char* text, int set) noexcept;

// length characters, each alphabet[next() % alphabet.size()]. Empty for length < 1 or an empty
// alphabet.
std::string RandomText(int length, std::string_view alphabet, int (*next)());

}  // namespace dk::sys

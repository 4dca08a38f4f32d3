// findInFile's search: case-insensitive in 8-bit text, exact in UTF-16LE text.
#pragma once

#include <string_view>

namespace dk::sys {

// text found in bytes read as one NUL-terminated text (the search ends at the first zero byte),
// ignoring ASCII letter case. An empty text is always found.
bool FindNarrow(std::string_view bytes, const char* text);

// text's 8-bit characters found as 16-bit little-endian characters: an occurrence of text[0] in
// bytes followed by text[j] 2*j bytes further on, for every j, comparing only the low bytes and
// case-sensitively. Nothing past the end of bytes is read. An empty text is always found.
bool FindWide(std::string_view bytes, std::string_view text);

// 1 found, 0 not found, -1 when path cannot be opened (or path or text is null). A wide file is
// read in binary; an 8-bit one in text mode, where the C runtime may end it early or fold line ends.
int FindInFile(const char* path, const char* text, bool wide);

}  // namespace dk::sys

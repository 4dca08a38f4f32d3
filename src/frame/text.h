// Byte-oriented text helpers in the C locale: only A-Z/a-z fold, white space is
// blank, \t, \n, \v, \f, \r; bytes 128-255 are neither. Allocations come from malloc; callers free().
#pragma once

namespace dk {

bool IsCSpace(unsigned char c) noexcept;
char UpperC(char c) noexcept;

// A new allocation of count bytes copied from source (not NUL-terminated); null for count <= 0.
char* CopyBytes(const char* source, int count) noexcept;
// The next line without its line feed (a CR stays), or null at the end; moves *cursor past it.
char* NextLine(const char** cursor) noexcept;
// First position of needle in haystack ignoring ASCII case, or null. An empty needle is found
// at the haystack's terminating NUL.
const char* FindNoCase(const char* haystack, const char* needle) noexcept;
char* FindNoCase(char* haystack, const char* needle) noexcept;
// Removes leading and trailing white space in place; returns text.
char* TrimSpaces(char* text) noexcept;

}  // namespace dk

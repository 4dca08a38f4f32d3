#include "frame/text.h"

#include <cstdlib>
#include <cstring>

namespace dk {

bool IsCSpace(unsigned char c) noexcept { return c == ' ' || (c >= '\t' && c <= '\r'); }

char UpperC(char c) noexcept { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

char* CopyBytes(const char* source, int count) noexcept {
    if (!source || count <= 0) return nullptr;
    auto* out = static_cast<char*>(std::malloc(static_cast<std::size_t>(count)));
    if (out) std::memmove(out, source, static_cast<std::size_t>(count));
    return out;
}

char* NextLine(const char** cursor) noexcept {
    const char* p = *cursor;
    if (*p == '\0') return nullptr;
    const char* end = std::strchr(p, '\n');
    const std::size_t n = end ? static_cast<std::size_t>(end - p) : std::strlen(p);
    auto* line = static_cast<char*>(std::malloc(n + 1));
    if (!line) return nullptr;
    std::memcpy(line, p, n);
    line[n] = '\0';
    *cursor = p + n + (p[n] == '\n' ? 1 : 0);
    return line;
}

const char* FindNoCase(const char* haystack, const char* needle) noexcept {
    const std::size_t h = std::strlen(haystack);
    const std::size_t n = std::strlen(needle);
    if (n == 0) return haystack + h;
    if (h < n) return nullptr;
    for (std::size_t s = 0; h - s >= n; ++s) {
        std::size_t i = 0;
        while (i < n && UpperC(haystack[s + i]) == UpperC(needle[i])) ++i;
        if (i == n) return haystack + s;
    }
    return nullptr;
}

char* FindNoCase(char* haystack, const char* needle) noexcept {
    return const_cast<char*>(FindNoCase(static_cast<const char*>(haystack), needle));
}

char* TrimSpaces(char* text) noexcept {
    char* start = text;
    while (*start && IsCSpace(static_cast<unsigned char>(*start))) ++start;
    std::size_t len = std::strlen(start);
    if (start != text) std::memmove(text, start, len + 1);
    while (len > 0 && IsCSpace(static_cast<unsigned char>(text[len - 1]))) --len;
    text[len] = '\0';
    return text;
}

}  // namespace dk

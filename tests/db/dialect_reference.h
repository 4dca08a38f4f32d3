// Direct transcriptions of the script rules, step by step over NUL-terminated text: slow (they
// restart or move the rest of the text for every match) and obviously faithful. The linear
// functions must give the same bytes; the tests and the fuzzer compare them.
#pragma once

#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

namespace dk::db::reference {

inline bool Space(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}
inline char Up(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

inline char* Find(char* hay, const char* needle) {
    std::size_t h = std::strlen(hay), n = std::strlen(needle);
    if (h < n) return nullptr;
    for (std::size_t s = 0; h - s >= n; ++s) {
        std::size_t i = 0;
        while (i < n && Up(hay[s + i]) == Up(needle[i])) ++i;
        if (i == n) return hay + s;
    }
    return nullptr;
}

// Replace the first occurrence, then search again from the very start.
inline std::string ReplaceAll(std::string_view text_in, const char* search, const char* replacement) {
    char* text = static_cast<char*>(std::malloc(text_in.size() + 1));
    std::memcpy(text, text_in.data(), text_in.size());
    text[text_in.size()] = '\0';
    std::size_t s = std::strlen(search), r = std::strlen(replacement);
    for (char* hit; (hit = Find(text, search)) != nullptr;) {
        std::size_t len = std::strlen(text), before = static_cast<std::size_t>(hit - text);
        char* next = static_cast<char*>(std::malloc(len + r - s + 1));
        std::memcpy(next, text, before);
        std::memcpy(next + before, replacement, r);
        std::memcpy(next + before + r, hit + s, len - before - s + 1);
        std::free(text);
        text = next;
    }
    std::string out(text);
    std::free(text);
    return out;
}

// End the text at "/*", look for "*/" from its asterisk, move the rest down, search on from there.
inline std::string StripComments(std::string text) {
    text.push_back('\0');
    char* p = text.data();
    char* open = std::strstr(p, "/*");
    while (open) {
        *open = '\0';
        char* close = std::strstr(open + 1, "*/");
        if (!close) break;
        std::memmove(open, close + 2, std::strlen(close + 2) + 1);
        open = std::strstr(open, "/*");
    }
    return std::string(p);
}

inline int ConvertEnds(std::string& text_io, int dialect) {
    const char* end = dialect == 2 ? "\nGO\n" : ";\n";
    std::string buf = text_io;
    buf.push_back('\0');
    char* text = buf.data();
    char* from = text;
    int count = 0;
    for (char* marker; (marker = Find(from, "$END_STATEMENT$")) != nullptr;) {
        char* at = marker;
        while (at > text && Space(at[-1])) --at;
        std::size_t e = std::strlen(end);
        std::memmove(at + e, marker + 15, std::strlen(marker + 15) + 1);
        std::memcpy(at, end, e);
        from = at + e;
        ++count;
    }
    text_io = std::string(text);
    return count;
}

}  // namespace dk::db::reference

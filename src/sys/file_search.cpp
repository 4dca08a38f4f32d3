#include "sys/file_search.h"

#include <cstdio>
#include <memory>
#include <string>

#include "frame/text.h"

namespace dk::sys {

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

std::string ReadAll(std::FILE* file) {
    std::string bytes;
    char chunk[65536];
    for (std::size_t got; (got = std::fread(chunk, 1, sizeof chunk, file)) > 0;) bytes.append(chunk, got);
    return bytes;
}

}  // namespace

bool FindNarrow(std::string_view bytes, const char* text) {
    const std::string haystack(bytes.substr(0, bytes.find('\0')));
    return FindNoCase(haystack.c_str(), text) != nullptr;
}

bool FindWide(std::string_view bytes, std::string_view text) {
    if (text.empty()) return true;
    const std::size_t span = 2 * (text.size() - 1);
    for (std::size_t at = bytes.find(text[0]); at != std::string_view::npos;
         at = bytes.find(text[0], at + 1)) {
        if (bytes.size() - at <= span) return false;  // every later occurrence is shorter still
        std::size_t j = 1;
        while (j < text.size() && bytes[at + 2 * j] == text[j]) ++j;
        if (j == text.size()) return true;
    }
    return false;
}

int FindInFile(const char* path, const char* text, bool wide) {
    if (!path || !text) return -1;
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path, wide ? "rb" : "r"));
    if (!file) return -1;
    const std::string bytes = ReadAll(file.get());
    file.reset();
    const bool found = wide ? FindWide(bytes, text) : FindNarrow(bytes, text);
    return found ? 1 : 0;
}

}  // namespace dk::sys

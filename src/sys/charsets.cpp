#include "sys/charsets.h"

namespace dk::sys {

namespace {

constexpr std::string_view kLettersDigitsMarks =
    "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_-";

bool IsLetter(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }

bool Allowed(unsigned char c, int set) {
    if (IsLetter(c)) return true;
    if (IsDigit(c)) return set >= 2;
    return set == 3 && (c == '_' || c == '-');
}

}  // namespace

std::string_view Alphabet(int set) noexcept {
    switch (set) {
        case 1:
            return kLettersDigitsMarks.substr(0, 52);
        case 2:
            return kLettersDigitsMarks.substr(0, 62);
        case 3:
            return kLettersDigitsMarks;
        default:
            return {};
    }
}

int CheckAllowed(const char* text, int set) noexcept {
    if (!text || !*text) return 0;
    if (set < 1 || set > 3) return -1;
    for (const char* p = text; *p; ++p)
        if (!Allowed(static_cast<unsigned char>(*p), set)) return static_cast<int>(p - text);
    return 0;
}

std::string RandomText(int length, std::string_view alphabet, int (*next)()) {
    if (length < 1 || alphabet.empty()) return {};
    std::string out(static_cast<std::size_t>(length), '\0');
    for (char& c : out) c = alphabet[static_cast<unsigned>(next()) % alphabet.size()];
    return out;
}

}  // namespace dk::sys

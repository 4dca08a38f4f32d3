#include "iis/appcmd_answers.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <memory>

#include "frame/text.h"

namespace dk::iis {
namespace {

struct FreeText {
    void operator()(char* p) const noexcept { std::free(p); }
};
using OwnedText = std::unique_ptr<char, FreeText>;

}  // namespace

std::vector<std::string> Lines(const char* output) {
    std::vector<std::string> lines;
    if (!output) return lines;
    const char* cursor = output;
    while (OwnedText line{NextLine(&cursor)}) lines.emplace_back(line.get());
    return lines;
}

std::optional<std::string> FirstLine(const char* output) {
    if (!output) return std::nullopt;
    const char* cursor = output;
    OwnedText line{NextLine(&cursor)};
    if (!line) return std::nullopt;
    return std::string(line.get());
}

std::optional<std::string> FirstLineTrimmed(const char* output) {
    auto line = FirstLine(output);
    if (line) *line = Trimmed(std::move(*line));
    return line;
}

std::string Trimmed(std::string text) {
    TrimSpaces(text.data());
    text.resize(std::char_traits<char>::length(text.c_str()));
    return text;
}

int DecimalValue(std::string_view line) {
    std::size_t i = 0;
    while (i < line.size() && IsCSpace(static_cast<unsigned char>(line[i]))) ++i;
    bool negative = false;
    if (i < line.size() && (line[i] == '+' || line[i] == '-')) negative = line[i++] == '-';
    long long value = 0;
    for (; i < line.size() && line[i] >= '0' && line[i] <= '9'; ++i) {
        value = value * 10 + (line[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1) value = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative) value = -value;
    if (value > INT_MAX) value = INT_MAX;
    return static_cast<int>(value);
}

std::string BindingAnswer(std::string_view line) {
    std::size_t start = 0;
    if (const auto slash = line.find('/'); slash != std::string_view::npos) {
        start = slash + 1;
        if (start < line.size() && line[start] == '*') ++start;
    }
    return Trimmed(std::string(line.substr(start)));
}

bool VdirListed(const char* output, std::string_view site_name, std::string_view name) {
    std::string pattern = "VDIR \"";
    pattern.append(site_name).append("/").append(name).append("\"");
    for (const std::string& line : Lines(output)) {
        const std::size_t k = std::min(line.size(), pattern.size());
        if (line.compare(0, k, pattern, 0, k) == 0) return true;
    }
    return false;
}

void AppendSiteEntry(std::string& list, std::string_view name, std::string_view state) {
    list.append(name).append(" - (").append(state).append("),");
}

}  // namespace dk::iis

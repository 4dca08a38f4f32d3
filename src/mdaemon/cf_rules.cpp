#include "mdaemon/cf_rules.h"

namespace dk::mdaemon {

namespace {

constexpr std::string_view kActionHead = "copy to dir|\"";
constexpr std::string_view kActionTail = "\"";

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r'; }

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
        if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
        if (x != y) return false;
    }
    return true;
}

// The section name a line declares, or nothing when the line is not a section header. Like the
// private-profile parser, the name runs from the opening bracket to the last closing one.
bool SectionHeader(std::string_view line, std::string_view& name) {
    std::size_t start = 0;
    while (start < line.size() && IsBlank(line[start])) ++start;
    if (start == line.size() || line[start] != '[') return false;
    std::string_view rest = line.substr(start + 1);
    const std::size_t close = rest.rfind(']');
    name = Trim(close == std::string_view::npos ? rest : rest.substr(0, close));
    return true;
}

}  // namespace

std::string ActionText(std::string_view folder) {
    std::string text;
    text.reserve(kActionHead.size() + folder.size() + kActionTail.size());
    text.append(kActionHead).append(folder).append(kActionTail);
    return text;
}

bool RuleInputsAcceptable(const char* folder, const char* rule_name) noexcept {
    if (!folder || !rule_name || !*folder || !*rule_name) return false;
    const std::string_view f(folder), r(rule_name);
    if (f.find_first_of("\r\n\"") != std::string_view::npos) return false;
    if (r.find_first_of("\r\n") != std::string_view::npos) return false;
    return kActionHead.size() + f.size() + kActionTail.size() < kActionCapacity;
}

std::string WithoutSection(std::string_view ini, std::string_view section) {
    const std::string_view wanted = Trim(section);
    std::string out;
    out.reserve(ini.size());
    bool skipping = false;
    while (!ini.empty()) {
        const std::size_t end = ini.find('\n');
        const std::size_t length = end == std::string_view::npos ? ini.size() : end + 1;
        const std::string_view line = ini.substr(0, length);
        ini.remove_prefix(length);
        std::string_view name;
        if (SectionHeader(line.substr(0, line.find('\n')), name)) skipping = EqualNoCase(name, wanted);
        if (!skipping) out.append(line);
    }
    return out;
}

bool IsFullPath(std::string_view path) {
    const auto separator = [](char c) { return c == '\\' || c == '/'; };
    if (path.size() >= 3 && path[1] == ':' && separator(path[2]))
        return (path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z');
    return path.size() >= 3 && separator(path[0]) && separator(path[1]) && !separator(path[2]);
}

std::vector<std::string> SectionNames(std::string_view list) {
    std::vector<std::string> names;
    while (!list.empty()) {
        const std::size_t end = list.find('\0');
        const std::string_view name = list.substr(0, end);
        if (name.empty()) break;
        names.emplace_back(name);
        if (end == std::string_view::npos) break;
        list.remove_prefix(end + 1);
    }
    return names;
}

}  // namespace dk::mdaemon

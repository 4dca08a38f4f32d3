#include "control.h"

#include "appcmd_model.h"

#include <cstdlib>
#include <vector>

namespace dk::standin {
namespace {

std::string Unescape(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        const char c = text[++i];
        out += c == 'n' ? '\n' : c == 'r' ? '\r' : c == 't' ? '\t' : c;
    }
    return out;
}

std::string Escape(std::string_view text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\\':
                out += "\\\\";
                break;
            default:
                out += c;
        }
    }
    return out;
}

}  // namespace

std::optional<Rule> MatchingRule(std::string_view control, std::string_view command_line) {
    for (const std::string_view line : TextLines(control)) {
        std::vector<std::string> f;
        std::size_t from = 0;
        while (f.size() < 3) {
            const auto tab = line.find('\t', from);
            if (tab == std::string_view::npos) break;
            f.emplace_back(line.substr(from, tab - from));
            from = tab + 1;
        }
        if (f.size() < 3 || f[0].empty() || command_line.find(f[0]) == std::string_view::npos) continue;
        return Rule{f[0], std::atoi(f[1].c_str()), std::atoi(f[2].c_str()), Unescape(line.substr(from))};
    }
    return std::nullopt;
}

std::string RuleLine(const Rule& rule) {
    return rule.match + "\t" + std::to_string(rule.exit_code) + "\t" + std::to_string(rule.hang_ms) + "\t" +
           Escape(rule.output) + "\n";
}

}  // namespace dk::standin

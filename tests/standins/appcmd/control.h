// Test controls of the appcmd.exe stand-in, read from "appcmd.control" beside it. One rule a
// line, fields separated by tabs:
//   <text the command line holds> <exit code> <milliseconds to hang> <output>
// The first rule whose text occurs in a command line takes the command over: the stand-in prints
// the output byte for byte (\n, \r, \t and \\ escapes), hangs for the given time unless released, and exits
// with the code, leaving the state alone.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace dk::standin {

struct Rule {
    std::string match;
    int exit_code = 0;
    int hang_ms = 0;
    std::string output;
};

std::optional<Rule> MatchingRule(std::string_view control, std::string_view command_line);
// A rule line for the control file.
std::string RuleLine(const Rule& rule);

// The named event a test sets to end every hanging stand-in at once.
inline constexpr char kReleaseEvent[] = "dk_appcmd_standin_release";

}  // namespace dk::standin

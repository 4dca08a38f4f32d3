// The pieces of MDaemon's content-filter rules file that need no Windows: which inputs may go
// into a rule, the rule's action text, and the byte-exact rewrite that puts the product's rule
// first. The rules file is a private-profile (ini) file with one section per rule.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace dk::mdaemon {

inline constexpr char kRuleSection[] = "Rule_QIV";
// The action text lives in a buffer of this many bytes, its terminating NUL included.
inline constexpr std::size_t kActionCapacity = 520;

// "copy to dir|"<folder>"".
std::string ActionText(std::string_view folder);

// False for inputs that would corrupt the rules file or point the rule at a cut folder: a
// missing or empty folder or rule name, a line break in either, a double quote in the folder
// (it ends the quoted action argument), or a folder whose action text does not fit.
bool RuleInputsAcceptable(const char* folder, const char* rule_name) noexcept;

// The rules file's bytes without every section called `section` (compared as the private-profile
// functions compare section names: blanks trimmed, ASCII case ignored). Each removed section
// takes its header line and every line up to the next section header; all other bytes stay as
// they were, line ends included.
std::string WithoutSection(std::string_view ini, std::string_view section);

// True for a path that names one file wherever it is used: "X:\..." or a UNC "\\server\...".
// The private-profile functions look for a relative name in the Windows folder, the C runtime in
// the current one, so the rules file must be named in full.
bool IsFullPath(std::string_view path);

// The names in a private-profile section-name list: NUL-separated names ending with an empty
// name (or with the end of the bytes).
std::vector<std::string> SectionNames(std::string_view list);

}  // namespace dk::mdaemon

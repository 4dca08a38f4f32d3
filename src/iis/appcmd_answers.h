// Reading appcmd.exe answers: line by line, the first line trimmed, numbers as the tool prints
// them, bindings and virtual-directory listings.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dk::iis {

// Every line of the output, without line feeds (a carriage return stays), in order.
std::vector<std::string> Lines(const char* output);
// The first line, untrimmed; nothing when the output is empty.
std::optional<std::string> FirstLine(const char* output);
// The first line without white space at either end; nothing when the output is empty.
std::optional<std::string> FirstLineTrimmed(const char* output);
std::string Trimmed(std::string text);

// The decimal value at the start of a line: leading white space skipped, an optional sign,
// digits up to the first other character; 0 without digits. Saturates instead of overflowing.
int DecimalValue(std::string_view line);

// The binding information of a bindings line: what follows the first '/' (and a '*' right
// after it), trimmed; the whole line trimmed when it has no '/'.
std::string BindingAnswer(std::string_view line);

// Whether a `list vdir` answer holds the directory site_name/name: a line matches when it and
// the text VDIR "site_name/name" agree over the shorter of the two lengths.
bool VdirListed(const char* output, std::string_view site_name, std::string_view name);

// One entry of the site list: name, " - (", state, "),".
void AppendSiteEntry(std::string& list, std::string_view name, std::string_view state);

}  // namespace dk::iis

// Registry key paths as the registry compares them.
#pragma once

#include <string_view>

namespace dk::sys {

// True when path names the key outer or a key below it: compared component by component,
// ignoring ASCII letter case (callers fold other letters beforehand) and empty components.
bool SameOrInside(std::string_view outer, std::string_view path);

}  // namespace dk::sys

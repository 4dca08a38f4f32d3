// The walk over the web sites below IIS://localhost/W3SVC shared by the site readers.
#pragma once

#include <functional>
#include <string>

namespace dk::iis::metabase {

struct Site {
    bool bound = false;  // the site's ROOT and the site object could be bound
    std::string number;  // the child's name
    std::string comment;
    bool started = false;
};

enum class WalkEnd { no_container, no_enumerator, done };

// Calls visit for every "IIsWebServer" child except site 2, in enumeration order, until visit
// answers false. Sites whose ROOT or site object cannot be bound are visited with bound false.
WalkEnd WalkSites(const std::function<bool(const Site&)>& visit);

}  // namespace dk::iis::metabase

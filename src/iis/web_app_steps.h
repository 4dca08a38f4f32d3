// The fixed command sequences that install and remove the product's web application: which
// commands run for the option flags, in which order, and what each traces.
#pragma once

#include <string>
#include <vector>

namespace dk::iis {

struct WebAppValues {
    std::string windir;
    std::string site_name;
    std::string folder;
    std::string application;
    std::string pool;
    int flags = 0;
};

struct WebAppStep {
    std::string command;
    // A required step that fails ends the installation with its code.
    bool required = true;
    // Traced when the command succeeds (installation only; may be empty).
    std::string on_success;
    // Traced when the command fails and the sequence goes on; when with_code is set, the
    // command's code is written between the two parts.
    std::string on_failure;
    std::string on_failure_tail;
    bool with_code = false;
};

inline constexpr int kFlagAdmin = 1;
inline constexpr int kFlagScripts = 2;

std::vector<WebAppStep> InstallSteps(const WebAppValues& v);
std::vector<WebAppStep> RemovalSteps(const WebAppValues& v);

// The failure record of a step that failed with code.
std::string FailureRecord(const WebAppStep& step, int code);

}  // namespace dk::iis

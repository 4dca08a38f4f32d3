// What every IIS export shares: the version probe that picks the IIS 7 or the IIS 6 path, and
// the frame of an IIS 7 export (Windows folder, trace header, one output buffer reused by each
// appcmd.exe command, the site-name step).
#pragma once

#include <string>
#include <string_view>

namespace dk::iis {

// MajorVersion under HKLM "SOFTWARE\Microsoft\InetStp"; 0 when it cannot be read.
unsigned IisMajorVersion() noexcept;
inline bool OnIis7(unsigned major) noexcept { return major >= 7; }

class AppcmdFrame {
public:
    // Traces the export's header record.
    explicit AppcmdFrame(const std::string& header);
    AppcmdFrame(const AppcmdFrame&) = delete;
    AppcmdFrame& operator=(const AppcmdFrame&) = delete;

    const std::string& windir() const noexcept { return windir_; }
    // Runs one command through the runner; its output is then in output().
    int Run(const std::string& command);
    const char* output() const noexcept { return buffer_.data(); }

    // Checks a value for the command line; a refused one is traced and the result is false.
    bool Accept(std::string_view label, const char* value);

private:
    std::string windir_;
    std::string buffer_;
};

struct SiteName {
    enum class Outcome { kRunFailed, kNoLine, kEmpty, kFound };
    Outcome outcome = Outcome::kNoLine;
    int code = 0;  // the runner's code when kRunFailed
    std::string name;
};

// "list site -id:N /text:site.name": the runner's code, no line, an empty line or the name
// (traced).
SiteName LookUpSiteName(AppcmdFrame& frame, int site);

}  // namespace dk::iis

#include "iis/appcmd_frame.h"

#include <windows.h>

#include "frame/log.h"
#include "frame/runner.h"
#include "frame/win/raii.h"
#include "iis/appcmd_answers.h"
#include "iis/appcmd_commands.h"
#include "iis/arguments.h"

namespace dk::iis {
namespace {

// Room for 10239 characters of output and the terminating NUL, as appcmd answers are read.
constexpr int kOutputCapacity = 10240;

// The whole value of "windir": a cut folder would name a different program.
std::string WindowsFolder() {
    std::string value(MAX_PATH, '\0');
    for (;;) {
        const DWORD n = ::GetEnvironmentVariableA("windir", value.data(), static_cast<DWORD>(value.size()));
        if (n == 0) return {};
        if (n < value.size()) {
            value.resize(n);
            return value;
        }
        value.resize(n);
    }
}

}  // namespace

unsigned IisMajorVersion() noexcept {
    win::unique_hkey key;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\InetStp", 0, KEY_QUERY_VALUE, key.put()) !=
        ERROR_SUCCESS)
        return 0;
    DWORD value = 0;
    DWORD size = sizeof value;
    if (::RegQueryValueExA(key.get(), "MajorVersion", nullptr, nullptr, reinterpret_cast<BYTE*>(&value),
                           &size) != ERROR_SUCCESS)
        return 0;
    return value;
}

AppcmdFrame::AppcmdFrame(const std::string& header)
    : windir_(WindowsFolder()), buffer_(kOutputCapacity + 1, '\0') {
    TraceIis(header.c_str());
}

int AppcmdFrame::Run(const std::string& command) {
    return RunAndCapture(command.c_str(), buffer_.data(), kOutputCapacity);
}

bool AppcmdFrame::Accept(std::string_view label, const char* value) {
    const std::string reason = RefusalReason(label, value);
    if (reason.empty()) return true;
    TraceIis(reason.c_str());
    return false;
}

SiteName LookUpSiteName(AppcmdFrame& frame, int site) {
    SiteName out;
    if (const int code = frame.Run(cmd::SiteNameById(frame.windir(), site)); code != 0) {
        out.outcome = SiteName::Outcome::kRunFailed;
        out.code = code;
        return out;
    }
    auto line = FirstLineTrimmed(frame.output());
    if (!line) return out;
    if (line->empty()) {
        out.outcome = SiteName::Outcome::kEmpty;
        return out;
    }
    out.outcome = SiteName::Outcome::kFound;
    out.name = std::move(*line);
    TraceIis(out.name.c_str());
    return out;
}

}  // namespace dk::iis

#include "appcmd_fixture.h"

#include <cstdlib>

namespace dk::iis::testing {
namespace {

constexpr char kInetStp[] = "SOFTWARE\\Microsoft\\InetStp";
constexpr char kTraceLog[] = "c:/qiv_iis7.log";

std::optional<DWORD> ReadMajor() {
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kInetStp, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return std::nullopt;
    DWORD value = 0, size = sizeof value;
    const LONG rc =
        RegQueryValueExA(key, "MajorVersion", nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size);
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS) return std::nullopt;
    return value;
}

void WriteMajor(std::optional<DWORD> major) {
    HKEY key;
    if (!major) {
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kInetStp, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
            RegDeleteValueA(key, "MajorVersion");
            RegCloseKey(key);
        }
        return;
    }
    ASSERT_EQ(
        RegCreateKeyExA(HKEY_LOCAL_MACHINE, kInetStp, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
        ERROR_SUCCESS);
    const DWORD value = *major;
    RegSetValueExA(key, "MajorVersion", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    RegCloseKey(key);
}

}  // namespace

ScopedIisVersion::ScopedIisVersion(std::optional<DWORD> major) : saved_(ReadMajor()) { WriteMajor(major); }
ScopedIisVersion::~ScopedIisVersion() { WriteMajor(saved_); }

std::string AppcmdStandin::Windir() { return dk::test::BinDir() + "\\standins\\appcmd-windir"; }

AppcmdStandin::AppcmdStandin() : windir_("windir", Windir().c_str()) {
    release_ = CreateEventA(nullptr, TRUE, FALSE, dk::standin::kReleaseEvent);
    for (const char* name : {"appcmd.journal", "appcmd.control"}) DeleteFileA(File(name).c_str());
    Seed(kSeed);
    RemoveTraceLog();
}

AppcmdStandin::~AppcmdStandin() {
    // A stand-in told to hang ends now; its files go once it has let them go.
    if (release_) {
        SetEvent(release_);
        CloseHandle(release_);
    }
    for (const char* name : {"appcmd.journal", "appcmd.control", "appcmd.state"}) {
        for (int i = 0; i < 50 && dk::test::FileExists(File(name)) && !DeleteFileA(File(name).c_str()); ++i)
            Sleep(100);
    }
    RemoveTraceLog();
}

std::vector<std::string> AppcmdStandin::Journal() const {
    const std::string text = dk::test::ReadFile(File("appcmd.journal"));
    const std::string prefix = Program() + " ";
    std::vector<std::string> lines;
    for (const std::string_view view : dk::standin::TextLines(text)) {
        const std::string line(view);
        EXPECT_EQ(line.compare(0, prefix.size(), prefix), 0) << line;
        lines.push_back(line.compare(0, prefix.size(), prefix) == 0 ? line.substr(prefix.size()) : line);
    }
    return lines;
}

dk::standin::State AppcmdStandin::State() const {
    return dk::standin::ParseState(dk::test::ReadFile(File("appcmd.state")));
}

void AppcmdStandin::Seed(const std::string& state_text) const {
    dk::test::WriteFile(File("appcmd.state"), state_text);
}

void AppcmdStandin::Control(const std::vector<dk::standin::Rule>& rules) const {
    std::string text;
    for (const auto& r : rules) text += dk::standin::RuleLine(r);
    dk::test::WriteFile(File("appcmd.control"), text);
}

std::string TraceLog() { return dk::test::ReadFile(kTraceLog); }
bool TraceLogExists() { return dk::test::FileExists(kTraceLog); }
void RemoveTraceLog() { DeleteFileA(kTraceLog); }

std::string Take(char* result) {
    if (!result) return "(null)";
    std::string text(result);
    std::free(result);
    return text;
}

}  // namespace dk::iis::testing

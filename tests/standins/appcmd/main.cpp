// appcmd.exe stand-in: journals its command line, applies the test's control rules, then runs the
// command against the IIS configuration kept in "appcmd.state" beside it.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <string>

#include "appcmd_model.h"
#include "control.h"

namespace {

std::string Folder() {
    char path[MAX_PATH];
    const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dir(path, n);
    return dir.substr(0, dir.find_last_of("\\/") + 1);
}

std::string ReadAll(const std::string& path) {
    std::string text;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        char chunk[4096];
        std::size_t got;
        while ((got = std::fread(chunk, 1, sizeof chunk, f)) > 0) text.append(chunk, got);
        std::fclose(f);
    }
    return text;
}

void Write(const std::string& path, const char* mode, const std::string& text) {
    if (FILE* f = std::fopen(path.c_str(), mode)) {
        std::fwrite(text.data(), 1, text.size(), f);
        std::fclose(f);
    }
}

void Hang(int ms) {
    HANDLE release = CreateEventA(nullptr, TRUE, FALSE, dk::standin::kReleaseEvent);
    if (release) {
        WaitForSingleObject(release, static_cast<DWORD>(ms));
        CloseHandle(release);
    } else {
        Sleep(static_cast<DWORD>(ms));
    }
}

}  // namespace

int main() {
    const std::string dir = Folder();
    const std::string line = GetCommandLineA();
    Write(dir + "appcmd.journal", "ab", line + "\n");

    if (auto rule = dk::standin::MatchingRule(ReadAll(dir + "appcmd.control"), line)) {
        // The chosen bytes exactly, without the console's line-feed expansion.
        _setmode(_fileno(stdout), _O_BINARY);
        std::fputs(rule->output.c_str(), stdout);
        std::fflush(stdout);
        if (rule->hang_ms > 0) Hang(rule->hang_ms);
        return rule->exit_code;
    }

    dk::standin::State state = dk::standin::ParseState(ReadAll(dir + "appcmd.state"));
    const dk::standin::Outcome outcome = dk::standin::Execute(state, dk::standin::SplitArguments(line));
    if (outcome.changed) Write(dir + "appcmd.state", "wb", dk::standin::FormatState(state));
    std::fputs(outcome.output.c_str(), stdout);
    return outcome.exit_code;
}

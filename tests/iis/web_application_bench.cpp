// What installing and removing the web application costs against the appcmd.exe stand-in,
// compared with a bare start of the stand-in: medians of N interleaved runs after a warm-up.
//   iis_web_application_bench [N]
// Each round is Install_QIV_IIS7 with flags 3 (site name and 17 commands) and
// Uninstall_QIV_IIS7 with flags 3 (site name and 10 commands): 29 appcmd.exe starts.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "appcmd_fixture.h"

namespace {

constexpr int kCommandsPerRound = 29;

double NowMs() {
    LARGE_INTEGER frequency, t;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// The stand-in started hidden in a console of its own with its output piped, then waited for.
void BareStart(const std::string& command) {
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE read_end, write_end;
    if (!CreatePipe(&read_end, &write_end, &inherit, 0)) return;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
    startup.wShowWindow = SW_HIDE;
    startup.hStdOutput = write_end;
    startup.hStdError = write_end;
    PROCESS_INFORMATION info{};
    std::string line = command;
    const BOOL started = CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, CREATE_NEW_CONSOLE,
                                        nullptr, nullptr, &startup, &info);
    CloseHandle(write_end);
    if (started) {
        // The answer is a line, well within the pipe's buffer, so waiting first cannot block the child.
        WaitForSingleObject(info.hProcess, INFINITE);
        char sink[256];
        DWORD got, waiting = 0;
        while (PeekNamedPipe(read_end, nullptr, 0, nullptr, &waiting, nullptr) && waiting &&
               ReadFile(read_end, sink, sizeof sink, &got, nullptr) && got) {
        }
        CloseHandle(info.hProcess);
        CloseHandle(info.hThread);
    }
    CloseHandle(read_end);
}

}  // namespace

int main(int argc, char** argv) {
    const int n = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    using namespace dk::iis::testing;
    ScopedIisVersion version(10);
    AppcmdStandin standin;
    dk::test::Library lib(dk::test::Build::full);
    auto install = lib.get<DK_PFN_Install_QIV_IIS7>("Install_QIV_IIS7");
    auto uninstall = lib.get<DK_PFN_Uninstall_QIV_IIS7>("Uninstall_QIV_IIS7");
    if (!install || !uninstall) return 1;
    const std::string bare_command = standin.Program() + " list site -id:1 /text:site.name";

    auto round = [&] {
        const int a = install(1, "C:\\QIV", "qiv", "QIVPool", 3);
        const int b = uninstall(1, "C:\\QIV", "qiv", "QIVPool", 3);
        if (a != 0 || b != 0) std::printf("unexpected results %d, %d\n", a, b);
    };
    round();
    BareStart(bare_command);

    std::vector<double> rounds, bare;
    for (int i = 0; i < n; ++i) {  // interleaved, so drift in the machine's load hits both alike
        double t = NowMs();
        round();
        rounds.push_back(NowMs() - t);
        for (int j = 0; j < 3; ++j) {
            t = NowMs();
            BareStart(bare_command);
            bare.push_back(NowMs() - t);
        }
        standin.ClearJournal();
        RemoveTraceLog();
    }
    const double r = Median(rounds), b = Median(bare), per_command = r / kCommandsPerRound;
    std::printf(
        "rounds %d: install+uninstall (flags 3, %d commands) median %.1f ms = %.1f ms per command; "
        "bare start of the stand-in median %.1f ms; per command / bare start = %.2f\n",
        n, kCommandsPerRound, r, per_command, b, per_command / b);
    return 0;
}

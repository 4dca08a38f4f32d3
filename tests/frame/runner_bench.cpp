// Cost of RunAndCapture against a bare start of the same child with the same flags, hidden window
// and pipes, followed by a wait: medians of N runs after a warm-up, side by side in one process.
//   runner_bench [N]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "frame/runner.h"

namespace {

double Now() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

void BareRun(const std::string& command) {
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE out_read, out_write, in_read, in_write;
    CreatePipe(&out_read, &out_write, &inherit, 0);
    CreatePipe(&in_read, &in_write, &inherit, 0);
    // As in the runner: only the child's ends are inherited.
    SetHandleInformation(out_read, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(in_write, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
    startup.wShowWindow = SW_HIDE;
    startup.hStdInput = in_read;
    startup.hStdOutput = out_write;
    startup.hStdError = out_write;
    PROCESS_INFORMATION info{};
    std::string line = command;
    if (CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, CREATE_NEW_CONSOLE, nullptr, nullptr,
                       &startup, &info)) {
        CloseHandle(out_write);
        CloseHandle(in_read);
        // The least a caller can do: read until the pipe closes, then collect the exit code.
        char sink[256];
        DWORD got;
        while (ReadFile(out_read, sink, sizeof sink, &got, nullptr) && got) {
        }
        WaitForSingleObject(info.hProcess, INFINITE);
        DWORD code;
        GetExitCodeProcess(info.hProcess, &code);
        CloseHandle(info.hProcess);
        CloseHandle(info.hThread);
    } else {
        CloseHandle(out_write);
        CloseHandle(in_read);
    }
    CloseHandle(out_read);
    CloseHandle(in_write);
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    const int n = argc > 1 ? std::atoi(argv[1]) : 40;
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dir(path);
    dir = dir.substr(0, dir.find_last_of("\\/"));
    const std::string command = "\"" + dir + "\\dk_child.exe\" text=ok exit=0";
    static char buffer[10241];
    for (int i = 0; i < 3; ++i) {
        BareRun(command);
        dk::RunAndCapture(command.c_str(), buffer, 10240);
    }
    std::vector<double> bare, runner;
    for (int i = 0; i < n; ++i) {  // interleaved, so drift in the machine's load hits both alike
        double t = Now();
        BareRun(command);
        bare.push_back(Now() - t);
        t = Now();
        dk::RunAndCapture(command.c_str(), buffer, 10240);
        runner.push_back(Now() - t);
    }
    const double b = Median(bare), r = Median(runner);
    std::printf(
        "runs %d: bare CreateProcess+wait median %.2f ms, RunAndCapture median %.2f ms, overhead %.1f%%\n", n,
        b, r, (r - b) * 100.0 / b);
    return 0;
}

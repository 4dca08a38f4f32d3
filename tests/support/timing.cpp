#include "support/timing.h"

#include <windows.h>

#include <algorithm>

namespace dk::test {

double NowMs() {
    LARGE_INTEGER frequency, t;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    return samples.empty() ? 0.0 : samples[samples.size() / 2];
}

void BareStart(const std::string& command) {
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE out_read, out_write, in_read, in_write;
    if (!CreatePipe(&out_read, &out_write, &inherit, 0)) return;
    if (!CreatePipe(&in_read, &in_write, &inherit, 0)) {
        CloseHandle(out_read);
        CloseHandle(out_write);
        return;
    }
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
    const BOOL started = CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, CREATE_NEW_CONSOLE,
                                        nullptr, nullptr, &startup, &info);
    CloseHandle(out_write);
    CloseHandle(in_read);
    if (started) {
        // The children measured print a line, well within the pipe's buffer, so waiting first
        // cannot block them.
        WaitForSingleObject(info.hProcess, INFINITE);
        char sink[256];
        DWORD got, waiting = 0;
        while (PeekNamedPipe(out_read, nullptr, 0, nullptr, &waiting, nullptr) && waiting &&
               ReadFile(out_read, sink, sizeof sink, &got, nullptr) && got) {
        }
        DWORD code;
        GetExitCodeProcess(info.hProcess, &code);
        CloseHandle(info.hProcess);
        CloseHandle(info.hThread);
    }
    CloseHandle(out_read);
    CloseHandle(in_write);
}

}  // namespace dk::test

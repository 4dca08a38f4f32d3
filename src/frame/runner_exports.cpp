#include <cstdio>

#include "deploykit.h"
#include "frame/log.h"
#include "frame/result.h"
#include "frame/win/raii.h"
#include "frame/win/redirector.h"

extern "C" int __cdecl TEST_esegui(const char* command_line) noexcept {
    return dk::guarded(-997, [&] {
        if (!command_line) return -997;
        char buffer[1000];
        dk::CaptureRedirector runner(buffer, sizeof buffer);
        if (!runner.Open(command_line)) return -997;
        if (!runner.WaitFinished(dk::kRunDeadlineMs) || !runner.ChildExited()) return 999;
        runner.Close();
        dk::win::unique_file log(std::fopen(dk::kCommandTestLog, "a+"));
        if (log) std::fprintf(log.get(), "%s\n", buffer);
        return static_cast<int>(runner.ExitCode());
    });
}

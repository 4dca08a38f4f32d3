// Cost of RunAndCapture against a bare start of the same child with the same flags, hidden window
// and pipes, followed by a wait: medians of N runs after a warm-up, side by side in one process.
//   runner_bench [N]
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "frame/runner.h"
#include "support/timing.h"

using dk::test::BareStart;
using dk::test::Median;
using dk::test::NowMs;

int main(int argc, char** argv) {
    const int n = argc > 1 ? std::atoi(argv[1]) : 40;
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dir(path);
    dir = dir.substr(0, dir.find_last_of("\\/"));
    const std::string command = "\"" + dir + "\\dk_child.exe\" text=ok exit=0";
    static char buffer[10241];
    for (int i = 0; i < 3; ++i) {
        BareStart(command);
        dk::RunAndCapture(command.c_str(), buffer, 10240);
    }
    std::vector<double> bare, runner;
    for (int i = 0; i < n; ++i) {  // interleaved, so drift in the machine's load hits both alike
        double t = NowMs();
        BareStart(command);
        bare.push_back(NowMs() - t);
        t = NowMs();
        dk::RunAndCapture(command.c_str(), buffer, 10240);
        runner.push_back(NowMs() - t);
    }
    const double b = Median(bare), r = Median(runner);
    std::printf(
        "runs %d: bare CreateProcess+wait median %.2f ms, RunAndCapture median %.2f ms, overhead %.1f%%\n", n,
        b, r, (r - b) * 100.0 / b);
    return 0;
}

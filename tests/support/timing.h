// Timing helpers for the Windows timing programs (Google Benchmark does not run under Wine here):
// QueryPerformanceCounter clock, medians, and the bare process start the runner is measured against.
#pragma once

#include <string>
#include <vector>

namespace dk::test {

double NowMs();
double Median(std::vector<double> samples);
// The command started as the runner starts it (hidden, a console of its own, output piped, the
// handles inherited), waited for, its output drained, its exit code collected.
void BareStart(const std::string& command);

}  // namespace dk::test

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
#include "support/timing.h"

namespace {

using dk::test::BareStart;
using dk::test::Median;
using dk::test::NowMs;

constexpr int kCommandsPerRound = 29;

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

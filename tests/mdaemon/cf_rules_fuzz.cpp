// Arbitrary rules-file bytes: removing the product's section never grows the file, leaves no copy
// behind (a second pass changes nothing) and keeps every other line in its order.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "mdaemon/cf_rules.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view ini(reinterpret_cast<const char*>(data), size);
    const std::string out = dk::mdaemon::WithoutSection(ini, dk::mdaemon::kRuleSection);
    if (out.size() > ini.size()) std::abort();
    if (dk::mdaemon::WithoutSection(out, dk::mdaemon::kRuleSection) != out) std::abort();
    // The kept lines appear in the input in the same order.
    std::size_t from = 0;
    for (std::string_view rest = out; !rest.empty();) {
        const std::size_t end = rest.find('\n');
        const std::string_view line = rest.substr(0, end == std::string_view::npos ? rest.size() : end + 1);
        const std::size_t at = ini.find(line, from);
        if (at == std::string_view::npos) std::abort();
        from = at + line.size();
        rest.remove_prefix(line.size());
    }
    (void)dk::mdaemon::SectionNames(ini);
    (void)dk::mdaemon::IsFullPath(ini);
    return 0;
}

// The build without the metabase client: every IIS 6 answer is fixed, and nothing here touches
// ADSI or COM.
#include "frame/fixed_texts.h"
#include "iis/metabase.h"

namespace dk::iis {
namespace {
char* NoActds() noexcept { return const_cast<char*>(fixed::kNoActds); }
}  // namespace

char* MetabaseSiteStatus(const char*) noexcept { return NoActds(); }
char* MetabaseSites() noexcept { return NoActds(); }
// Read as a number by the caller: "NO ACTDS" does not begin with "error", so the site number is 0.
std::string MetabaseSiteNumber(const char*) { return fixed::kNoActds; }
char* MetabaseAnonymousUser(const char*) noexcept { return NoActds(); }
char* MetabaseFirstBinding(const char*) noexcept { return NoActds(); }

int MetabaseCreateSingleVirtualDirectory(const char*, const char*, int, int, int, int, int,
                                         const char*) noexcept {
    return -1;
}
int MetabaseCheckVirtualDirectory(const char*, const char*, const char*) noexcept { return -1; }
int MetabaseDeleteVirtualDirectory(const char*, const char*) noexcept { return -1; }
int MetabaseCreateVirtualDirectory(const char*, const char*, const char*, const char*, const char*) noexcept {
    return -1;
}
int MetabaseCreateVirtualDirectoryAdmin(const char*, const char*, const char*, const char*, const char*,
                                        const char*, const char*) noexcept {
    return -1;
}

}  // namespace dk::iis

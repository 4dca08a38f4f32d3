// The IIS 6 answers behind the IIS exports. The full build answers from the metabase through
// ADSI (src/iis/metabase); the build without the metabase client links fixed answers instead.
// Results typed char* are what the exports hand back: ResultStrings, fixed texts or null.
#pragma once

#include <string>

namespace dk::iis {

char* MetabaseSiteStatus(const char* site_name) noexcept;
char* MetabaseSites() noexcept;
// The matching site's number as text, "error", or (without the metabase client) "NO ACTDS".
std::string MetabaseSiteNumber(const char* site_name);
char* MetabaseAnonymousUser(const char* metabase_path) noexcept;
char* MetabaseFirstBinding(const char* metabase_path) noexcept;

int MetabaseCreateSingleVirtualDirectory(const char* name, const char* physical_path, int read, int script,
                                         int source, int write, int execute, const char* site) noexcept;
int MetabaseCheckVirtualDirectory(const char* name, const char* physical_path, const char* site) noexcept;
int MetabaseDeleteVirtualDirectory(const char* name, const char* site) noexcept;
int MetabaseCreateVirtualDirectory(const char* name1, const char* path1, const char* name2, const char* path2,
                                   const char* site) noexcept;
int MetabaseCreateVirtualDirectoryAdmin(const char* name1, const char* path1, const char* name2,
                                        const char* path2, const char* name3, const char* path3,
                                        const char* site) noexcept;

}  // namespace dk::iis

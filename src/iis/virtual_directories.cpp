// Virtual directories under a site's root application: create, check, delete.
#include <string>

#include "deploykit.h"
#include "frame/log.h"
#include "frame/result.h"
#include "iis/appcmd_answers.h"
#include "iis/appcmd_commands.h"
#include "iis/appcmd_frame.h"
#include "iis/arguments.h"
#include "iis/metabase.h"
#include "iis/text_format.h"

namespace dk::iis {
namespace {

// The site's name, or the export's code: the runner's code, no_line, empty_line, or the refusal
// of a name that cannot go on a command line.
bool KnownSite(AppcmdFrame& frame, int site, int no_line, int empty_line, std::string& name, int& code) {
    SiteName found = LookUpSiteName(frame, site);
    switch (found.outcome) {
        case SiteName::Outcome::kRunFailed:
            code = found.code;
            return false;
        case SiteName::Outcome::kNoLine:
            code = no_line;
            return false;
        case SiteName::Outcome::kEmpty:
            code = empty_line;
            return false;
        case SiteName::Outcome::kFound:
            break;
    }
    if (!frame.Accept("site name", found.name.c_str())) {
        code = kRefused;
        return false;
    }
    name = std::move(found.name);
    return true;
}

int CreateSingle(const char* name, const char* path, int read, int script, int source, int write, int execute,
                 int site) {
    if (!OnIis7(IisMajorVersion())) {
        return MetabaseCreateSingleVirtualDirectory(name, path, read, script, source, write, execute,
                                                    std::to_string(site).c_str());
    }
    AppcmdFrame frame(Format("--- CreateSingleVirtualDirectory(%s,%s,%d,%d,%d,%d,%d,%d) ---", Shown(name),
                             Shown(path), read, script, source, write, execute, site));
    if (!frame.Accept("virtual directory name", name) || !frame.Accept("physical path", path))
        return kRefused;
    std::string site_name;
    int code = 0;
    if (!KnownSite(frame, site, -1, -2, site_name, code)) return code;
    return frame.Run(cmd::AddVdir(frame.windir(), site_name, name, path));
}

int Check(const char* name, const char* path, int site) {
    if (!OnIis7(IisMajorVersion())) {
        return MetabaseCheckVirtualDirectory(name, path, std::to_string(site).c_str());
    }
    AppcmdFrame frame(Format("--- CheckVirtualDirectory(%s,%s,%d) ---", Shown(name), Shown(path), site));
    // The path only reaches the trace record here, so only a missing one is refused.
    if (!frame.Accept("virtual directory name", name) || (!path && !frame.Accept("physical path", path)))
        return kRefused;
    SiteName found = LookUpSiteName(frame, site);
    switch (found.outcome) {
        case SiteName::Outcome::kRunFailed:
            return found.code;
        case SiteName::Outcome::kNoLine:
            TraceIis("no sitename, return -998");
            return -998;
        case SiteName::Outcome::kEmpty:
            TraceIis("empty sitename, return -999");
            return -999;
        case SiteName::Outcome::kFound:
            break;
    }
    if (!frame.Accept("site name", found.name.c_str())) return kRefused;
    if (const int code = frame.Run(cmd::ListVdirs(frame.windir(), found.name)); code != 0) return code;
    if (VdirListed(frame.output(), found.name, name)) {
        TraceIis("virtual directory exitst, return -2");
        return -2;
    }
    TraceIis("virtual directory does not exist, return 0");
    return 0;
}

int Delete(const char* name, int site) {
    if (!OnIis7(IisMajorVersion())) return MetabaseDeleteVirtualDirectory(name, std::to_string(site).c_str());
    AppcmdFrame frame(Format("--- DeleteVirtualDirectory(%s,%d) ---", Shown(name), site));
    if (!frame.Accept("virtual directory name", name)) return kRefused;
    std::string site_name;
    int code = 0;
    if (!KnownSite(frame, site, -1, -2, site_name, code)) return code;
    return frame.Run(cmd::DeleteVdir(frame.windir(), site_name, name));
}

}  // namespace
}  // namespace dk::iis

extern "C" int __cdecl CreateSingleVirtualDirectory(const char* name, const char* physical_path, int read,
                                                    int script, int source, int write, int execute,
                                                    int site) noexcept {
    return dk::guarded(dk::iis::kRefused, [&] {
        return dk::iis::CreateSingle(name, physical_path, read, script, source, write, execute, site);
    });
}

extern "C" int __cdecl CheckVirtualDirectory(const char* name, const char* physical_path, int site) noexcept {
    return dk::guarded(dk::iis::kRefused, [&] { return dk::iis::Check(name, physical_path, site); });
}

extern "C" int __cdecl DeleteVirtualDirectory(const char* name, int site) noexcept {
    return dk::guarded(dk::iis::kRefused, [&] { return dk::iis::Delete(name, site); });
}

// Creating several directories at once exists only for the IIS 6 metabase.
extern "C" int __cdecl CreateVirtualDirectory(const char* name1, const char* path1, const char* name2,
                                              const char* path2, const char* site) noexcept {
    return dk::guarded(-1, [&] {
        if (dk::iis::OnIis7(dk::iis::IisMajorVersion())) return -1;
        return dk::iis::MetabaseCreateVirtualDirectory(name1, path1, name2, path2, site);
    });
}

extern "C" int __cdecl CreateVirtualDirectoryAdmin(const char* name1, const char* path1, const char* name2,
                                                   const char* path2, const char* name3, const char* path3,
                                                   const char* site) noexcept {
    return dk::guarded(-1, [&] {
        if (dk::iis::OnIis7(dk::iis::IisMajorVersion())) return -1;
        return dk::iis::MetabaseCreateVirtualDirectoryAdmin(name1, path1, name2, path2, name3, path3, site);
    });
}

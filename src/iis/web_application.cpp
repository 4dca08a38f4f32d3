// Installing and removing the product's web application on IIS 7 and later.
#include <string>

#include "deploykit.h"
#include "frame/log.h"
#include "frame/result.h"
#include "iis/appcmd_frame.h"
#include "iis/arguments.h"
#include "iis/text_format.h"
#include "iis/web_app_steps.h"

namespace dk::iis {
namespace {

constexpr int kOldIis = 1;
constexpr int kNoSiteName = 2;
constexpr int kEmptySiteName = 3;
// Removal messages are kept to one short record each.
constexpr std::size_t kRemovalRecordLength = 100;

struct WebAppCall {
    const char* export_name;
    int site;
    const char* folder;
    const char* application;
    const char* pool;
    int flags;
};

// Header, argument checks and the site name; a non-zero code ends the export with it.
int Prepare(AppcmdFrame& frame, const WebAppCall& c, WebAppValues& values) {
    if (!frame.Accept("installation folder", c.folder) || !frame.Accept("application name", c.application) ||
        !frame.Accept("application pool name", c.pool))
        return kRefused;
    SiteName found = LookUpSiteName(frame, c.site);
    switch (found.outcome) {
        case SiteName::Outcome::kRunFailed:
            return found.code;
        case SiteName::Outcome::kNoLine:
            return kNoSiteName;
        case SiteName::Outcome::kEmpty:
            return kEmptySiteName;
        case SiteName::Outcome::kFound:
            break;
    }
    if (!frame.Accept("site name", found.name.c_str())) return kRefused;
    values.windir = frame.windir();
    values.site_name = std::move(found.name);
    values.folder = c.folder;
    values.application = c.application;
    values.pool = c.pool;
    values.flags = c.flags;
    return 0;
}

std::string Header(const WebAppCall& c) {
    return Format("--- %s(%d,%s,%s,%s,%d) ---", c.export_name, c.site, Shown(c.folder), Shown(c.application),
                  Shown(c.pool), c.flags);
}

int Install(const WebAppCall& c) {
    if (!OnIis7(IisMajorVersion())) return kOldIis;
    AppcmdFrame frame(Header(c));
    WebAppValues values;
    if (const int code = Prepare(frame, c, values); code != 0) return code;
    for (const WebAppStep& step : InstallSteps(values)) {
        const int code = frame.Run(step.command);
        if (code == 0) {
            TraceIis(step.on_success.c_str());
        } else if (step.required) {
            return code;
        } else {
            TraceIis(FailureRecord(step, code).c_str());
        }
    }
    return 0;
}

int Uninstall(const WebAppCall& c) {
    if (!OnIis7(IisMajorVersion())) return kOldIis;
    AppcmdFrame frame(Header(c));
    WebAppValues values;
    if (const int code = Prepare(frame, c, values); code != 0) return code;
    for (const WebAppStep& step : RemovalSteps(values)) {
        if (const int code = frame.Run(step.command); code != 0) {
            TraceIis(FailureRecord(step, code).substr(0, kRemovalRecordLength).c_str());
        }
    }
    return 0;
}

}  // namespace
}  // namespace dk::iis

extern "C" int __cdecl Install_QIV_IIS7(int site, const char* folder, const char* application,
                                        const char* pool, int flags) noexcept {
    return dk::guarded(dk::iis::kRefused, [&] {
        return dk::iis::Install({"Install_QIV_IIS7", site, folder, application, pool, flags});
    });
}

extern "C" int __cdecl Uninstall_QIV_IIS7(int site, const char* folder, const char* application,
                                          const char* pool, int flags) noexcept {
    return dk::guarded(dk::iis::kRefused, [&] {
        return dk::iis::Uninstall({"Uninstall_QIV_IIS7", site, folder, application, pool, flags});
    });
}

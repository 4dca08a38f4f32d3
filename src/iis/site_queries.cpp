// Site queries: state, list, number, anonymous user and binding of IIS web sites.
#include <string>
#include <vector>

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

char* SiteStatus(const char* site_name) {
    if (!OnIis7(IisMajorVersion())) return MetabaseSiteStatus(site_name);
    AppcmdFrame frame(Format("--- GetIISSiteStatus(%s) ---", Shown(site_name)));
    if (!frame.Accept("site name", site_name)) return NewResult("");
    if (frame.Run(cmd::SiteStateByName(frame.windir(), site_name)) == 0) {
        if (auto line = FirstLineTrimmed(frame.output())) return NewResult(*line);
    }
    return NewResult("");
}

char* Sites() {
    if (!OnIis7(IisMajorVersion())) return MetabaseSites();
    AppcmdFrame frame("--- GetIISSites() ---");
    if (const int code = frame.Run(cmd::SiteIds(frame.windir())); code != 0) {
        return NewResult(Format("error exec %d", code));
    }
    std::vector<int> ids;
    for (const std::string& line : Lines(frame.output())) {
        TraceIis(line.c_str());
        ids.push_back(DecimalValue(line));
    }
    if (ids.empty()) return nullptr;
    std::string list;
    for (const int id : ids) {
        frame.Run(cmd::SiteNameById(frame.windir(), id));
        const std::string name = FirstLineTrimmed(frame.output()).value_or("");
        TraceIis(name.c_str());
        frame.Run(cmd::SiteStateById(frame.windir(), id));
        const std::string state = FirstLineTrimmed(frame.output()).value_or("");
        TraceIis(state.c_str());
        AppendSiteEntry(list, name, state);
        TraceIis(list.c_str());
    }
    return NewResult(list);
}

int SiteNumber(const char* site_name) {
    if (!OnIis7(IisMajorVersion())) {
        const std::string answer = MetabaseSiteNumber(site_name);
        if (answer.compare(0, 5, "error") == 0) return -1;
        return DecimalValue(answer);
    }
    AppcmdFrame frame(Format("--- GetIISSiteNumber(%s) ---", Shown(site_name)));
    if (!frame.Accept("site name", site_name)) return kRefused;
    if (frame.Run(cmd::SiteIdByName(frame.windir(), site_name)) != 0) return -1;
    const auto line = FirstLine(frame.output());
    return line ? DecimalValue(*line) : -1;
}

char* UserName(int site) {
    if (!OnIis7(IisMajorVersion())) {
        return MetabaseAnonymousUser(Format("IIS://localhost/W3SVC/%d/ROOT", site).c_str());
    }
    AppcmdFrame frame(Format("--- GetIISUserName(%d) ---", site));
    if (frame.Run(cmd::AnonymousUser(frame.windir())) == 0) {
        if (auto line = FirstLineTrimmed(frame.output())) return NewResult(*line);
    }
    return NewResult("error");
}

char* FirstBinding(int site) {
    if (!OnIis7(IisMajorVersion()))
        return MetabaseFirstBinding(Format("IIS://localhost/W3SVC/%d", site).c_str());
    AppcmdFrame frame(Format("--- GetIISIP(%d) ---", site));
    if (frame.Run(cmd::SiteBindings(frame.windir(), site)) == 0) {
        if (auto line = FirstLine(frame.output())) {
            const std::string answer = BindingAnswer(*line);
            TraceIis(answer.c_str());
            return NewResult(answer);
        }
    }
    TraceIis("error");
    return NewResult("error");
}

}  // namespace
}  // namespace dk::iis

extern "C" char* __cdecl GetIISSiteStatus(const char* site_name) noexcept {
    return dk::guarded<char*>(nullptr, [&] { return dk::iis::SiteStatus(site_name); });
}

extern "C" char* __cdecl GetIISSites() noexcept {
    return dk::guarded<char*>(nullptr, [&] { return dk::iis::Sites(); });
}

extern "C" int __cdecl GetIISSiteNumber(const char* site_name) noexcept {
    return dk::guarded(-1, [&] { return dk::iis::SiteNumber(site_name); });
}

extern "C" char* __cdecl GetIISUserName(int site) noexcept {
    return dk::guarded<char*>(nullptr, [&] { return dk::iis::UserName(site); });
}

extern "C" char* __cdecl GetIISIP(int site) noexcept {
    return dk::guarded<char*>(nullptr, [&] { return dk::iis::FirstBinding(site); });
}

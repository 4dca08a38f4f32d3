#include "iis/metabase/metabase_rules.h"

#include "frame/text.h"

namespace dk::iis::metabase {

std::string SiteRootPath(std::string_view site) {
    std::string path(kWebService);
    path += '/';
    path += site;
    path += "/ROOT";
    return path;
}

std::string_view SiteObjectPath(std::string_view root_path) {
    constexpr std::string_view kRoot = "/ROOT";
    return root_path.substr(0, root_path.size() >= kRoot.size() ? root_path.size() - kRoot.size() : 0);
}

long ReadDecimal(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsCSpace(static_cast<unsigned char>(text[i]))) ++i;
    long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        if (value > 99999999) return value;  // far past any site number; stop before overflow
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

bool IsIgnoredSite(std::string_view site_name) { return ReadDecimal(site_name) == 2; }

bool SameNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (UpperC(a[i]) != UpperC(b[i])) return false;
    return true;
}

bool IsSiteClass(std::string_view class_name) { return SameNoCase(class_name, kSiteClass); }

void AppendSiteEntry(std::string& list, std::string_view comment, bool started) {
    list += comment;
    list += started ? " - (Started)," : " - (Stopped),";
}

const char* FlagRight(int flag) { return flag == 1 ? "True" : "false"; }

AccessRights FlagRights(int read, int script, int source, int write, int execute) {
    return {FlagRight(read), FlagRight(script), FlagRight(source), FlagRight(write), FlagRight(execute)};
}

}  // namespace dk::iis::metabase

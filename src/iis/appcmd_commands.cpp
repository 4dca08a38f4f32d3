#include "iis/appcmd_commands.h"

#include "iis/text_format.h"

namespace dk::iis::cmd {

std::string SiteNameById(const std::string& windir, int site) {
    return Format("%s\\system32\\inetsrv\\appcmd.exe list site -id:%d /text:site.name", windir.c_str(), site);
}

std::string SiteStateById(const std::string& windir, int site) {
    return Format("%s\\system32\\inetsrv\\appcmd.exe list site -id:%d /text:state", windir.c_str(), site);
}

std::string SiteStateByName(const std::string& windir, const char* site_name) {
    return Format("%s\\system32\\inetsrv\\appcmd.exe list site \"%s\" /text:state", windir.c_str(),
                  site_name);
}

std::string SiteIds(const std::string& windir) {
    return Format("%s\\system32\\inetsrv\\appcmd.exe list site /text:site.id", windir.c_str());
}

std::string SiteIdByName(const std::string& windir, const char* site_name) {
    return Format("%s\\system32\\inetsrv\\appcmd.exe list site \"%s\" /text:site.id", windir.c_str(),
                  site_name);
}

std::string AnonymousUser(const std::string& windir) {
    return Format(
        "%s\\system32\\inetsrv\\appcmd.exe list config /section:anonymousAuthentication /text:username",
        windir.c_str());
}

std::string SiteBindings(const std::string& windir, int site) {
    return Format("%s\\system32\\inetsrv\\appcmd.exe list site -id:%d /text:bindings", windir.c_str(), site);
}

std::string AddVdir(const std::string& windir, const std::string& site_name, const char* name,
                    const char* physical_path) {
    const char* separator = name[0] == '/' ? "" : "/";
    return Format(
        "%s\\system32\\inetsrv\\appcmd.exe add vdir /app.name:\"%s/\" /path:\"%s%s\" /physicalPath:\"%s\"",
        windir.c_str(), site_name.c_str(), separator, name, physical_path);
}

std::string ListVdirs(const std::string& windir, const std::string& site_name) {
    return Format("%s\\system32\\inetsrv\\appcmd.exe list vdir /app.name:\"%s\"", windir.c_str(),
                  site_name.c_str());
}

std::string DeleteVdir(const std::string& windir, const std::string& site_name, const char* name) {
    return Format("%s\\system32\\inetsrv\\appcmd.exe delete vdir /vdir.name:\"%s/%s\"", windir.c_str(),
                  site_name.c_str(), name);
}

}  // namespace dk::iis::cmd

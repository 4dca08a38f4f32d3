// The appcmd.exe command lines of the site queries and the virtual-directory exports, each built
// whole from the Windows folder and the values (which the callers have checked for quotes).
#pragma once

#include <string>

namespace dk::iis::cmd {

std::string SiteNameById(const std::string& windir, int site);
std::string SiteStateById(const std::string& windir, int site);
std::string SiteStateByName(const std::string& windir, const char* site_name);
std::string SiteIds(const std::string& windir);
std::string SiteIdByName(const std::string& windir, const char* site_name);
std::string AnonymousUser(const std::string& windir);
std::string SiteBindings(const std::string& windir, int site);

std::string AddVdir(const std::string& windir, const std::string& site_name, const char* name,
                    const char* physical_path);
std::string ListVdirs(const std::string& windir, const std::string& site_name);
std::string DeleteVdir(const std::string& windir, const std::string& site_name, const char* name);

}  // namespace dk::iis::cmd

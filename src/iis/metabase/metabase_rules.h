// What the metabase readers and writers decide, apart from ADSI itself: the paths they bind,
// which sites count, how a site list reads, and which access rights a new directory gets.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace dk::iis::metabase {

inline constexpr char kWebService[] = "IIS://localhost/W3SVC";
inline constexpr char kSiteClass[] = "IIsWebServer";
inline constexpr char kVirtualDirClass[] = "IIsWebVirtualDir";
// "ServerState" of a running site; every other value reads as stopped.
inline constexpr int kServerStarted = 2;

// "IIS://localhost/W3SVC/<site>/ROOT", and the site object above it.
std::string SiteRootPath(std::string_view site);
std::string_view SiteObjectPath(std::string_view root_path);

// The decimal value a name reads as: leading white space skipped, then digits up to the first
// other character; 0 without digits.
long ReadDecimal(std::string_view text);
// Site 2 is never reported: its name reads as the number 2.
bool IsIgnoredSite(std::string_view site_name);
bool IsSiteClass(std::string_view class_name);  // any letter case
bool SameNoCase(std::string_view a, std::string_view b);

// One entry of the site list: "<comment> - (Started)," or "<comment> - (Stopped),".
void AppendSiteEntry(std::string& list, std::string_view comment, bool started);

// Access rights of a new directory, as the text values written for AccessRead, AccessScript,
// AccessSource, AccessWrite and AccessExecute, in that order.
using AccessRights = std::array<const char*, 5>;
inline constexpr std::array<const char*, 5> kAccessProperties = {"AccessRead", "AccessScript", "AccessSource",
                                                                 "AccessWrite", "AccessExecute"};
inline constexpr AccessRights kReadOnly = {"True", "False", "False", "False", "False"};
inline constexpr AccessRights kReadExecute = {"True", "False", "False", "False", "True"};
// A caller's flag: 1 allows ("True"); every other value denies, written in lower case.
const char* FlagRight(int flag);
AccessRights FlagRights(int read, int script, int source, int write, int execute);

}  // namespace dk::iis::metabase

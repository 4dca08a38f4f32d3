#include "iis/metabase/site_walk.h"

#include "iis/metabase/adsi.h"
#include "iis/metabase/metabase_rules.h"

namespace dk::iis::metabase {

WalkEnd WalkSites(const std::function<bool(const Site&)>& visit) {
    com_ptr<IADsContainer> service;
    if (BindContainer(kWebService, service) != S_OK || !service) return WalkEnd::no_container;
    ChildEnumerator children;
    if (FAILED(children.Build(service.get()))) return WalkEnd::no_enumerator;

    for (com_ptr<IADs> child; children.Next(child);) {
        if (!child) continue;
        const auto cls = ClassOf(child.get());
        if (!cls || !IsSiteClass(*cls)) continue;
        const auto name = NameOf(child.get());
        if (!name || IsIgnoredSite(*name)) continue;

        Site site;
        site.number = *name;
        const std::string root_path = SiteRootPath(*name);
        com_ptr<IADs> root, server;
        site.bound = BindObject(root_path, root) == S_OK &&
                     BindObject(std::string(SiteObjectPath(root_path)), server) == S_OK;
        if (site.bound) {
            site.started = PropertyIs(server.get(), "ServerState", kServerStarted);
            site.comment = PropertyText(server.get(), "ServerComment").value_or(std::string());
        }
        if (!visit(site)) break;
    }
    return WalkEnd::done;
}

}  // namespace dk::iis::metabase

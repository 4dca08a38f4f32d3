// The IIS 6 answers of the site queries, read from the metabase through ADSI. COM is initialised
// for each call and uninitialised again when this call's initialisation took.
#include <string>

#include "frame/fixed_texts.h"
#include "frame/result.h"
#include "iis/metabase.h"
#include "iis/metabase/adsi.h"
#include "iis/metabase/metabase_rules.h"
#include "iis/metabase/site_walk.h"

namespace dk::iis {
namespace {

using namespace metabase;

char* Fixed(const char* text) noexcept { return const_cast<char*>(text); }

// A property of the object at a metabase path as a new result, or "error".
char* ReadAt(const char* path, const char* property, bool first_of_list) {
    if (!path) return Fixed(fixed::kError);
    const win::co_init com;
    com_ptr<IADs> object;
    if (BindObject(path, object) != S_OK || !object) return Fixed(fixed::kError);
    const auto text = PropertyText(object.get(), property, first_of_list);
    if (!text) return Fixed(fixed::kError);
    char* result = NewResult(*text);
    return result ? result : Fixed(fixed::kError);
}

}  // namespace

char* MetabaseSiteStatus(const char* site_name) noexcept {
    return guarded(Fixed(fixed::kNotFound), [&] {
        if (!site_name) return Fixed(fixed::kNotFound);
        const win::co_init com;
        const char* answer = fixed::kNotFound;
        // Every match counts, so with several sites of that name the last one decides; a site
        // that cannot be bound ends the walk with the answer reached so far.
        WalkSites([&](const Site& site) {
            if (!site.bound) return false;
            if (SameNoCase(site.comment, site_name))
                answer = site.started ? fixed::kStarted : fixed::kStopped;
            return true;
        });
        return Fixed(answer);
    });
}

char* MetabaseSites() noexcept {
    return guarded(static_cast<char*>(nullptr), [&]() -> char* {
        const win::co_init com;
        std::string list;
        bool any = false;
        const WalkEnd end = WalkSites([&](const Site& site) {
            if (!site.bound) return true;
            AppendSiteEntry(list, site.comment, site.started);
            any = true;
            return true;
        });
        if (end == WalkEnd::no_container) return NewResult("");
        if (end == WalkEnd::no_enumerator || !any) return nullptr;
        return NewResult(list);
    });
}

std::string MetabaseSiteNumber(const char* site_name) {
    if (!site_name) return fixed::kError;
    const win::co_init com;
    std::string number;
    bool found = false, failed = false;
    const WalkEnd end = WalkSites([&](const Site& site) {
        if (!site.bound) {
            failed = true;
            return false;
        }
        // Letter case counts here, unlike the status query.
        if (site.comment != site_name) return true;
        number = site.number;
        found = true;
        return false;
    });
    if (end != WalkEnd::done || failed || !found) return fixed::kError;
    return number;
}

char* MetabaseAnonymousUser(const char* metabase_path) noexcept {
    return guarded(Fixed(fixed::kError), [&] { return ReadAt(metabase_path, "AnonymousUserName", false); });
}

char* MetabaseFirstBinding(const char* metabase_path) noexcept {
    return guarded(Fixed(fixed::kError), [&] { return ReadAt(metabase_path, "ServerBindings", true); });
}

}  // namespace dk::iis

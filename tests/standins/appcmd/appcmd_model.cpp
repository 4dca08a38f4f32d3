#include "appcmd_model.h"

#include <algorithm>
#include <cstdlib>

// State file records, fields separated by tabs:
//   site <id> <name> <state> <bindings>
//   anonymous <user>
//   apppool <name> <attribute=value>...
//   app <site> <path> <pool>
//   vdir <site> <application path> <path> <physical path>
//   handler <location> <attribute=value>...
//   restriction <attribute=value>...
//   setting <location> <section> <attribute> <value>
//   unlocked <location> <section>

namespace dk::standin {
namespace {

std::vector<std::string> SplitFields(std::string_view line) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (;;) {
        const auto tab = line.find('\t', start);
        fields.emplace_back(
            line.substr(start, tab == std::string_view::npos ? std::string_view::npos : tab - start));
        if (tab == std::string_view::npos) return fields;
        start = tab + 1;
    }
}

Attributes ParseAttributes(const std::vector<std::string>& fields, std::size_t from) {
    Attributes out;
    for (std::size_t i = from; i < fields.size(); ++i) {
        const auto eq = fields[i].find('=');
        if (eq == std::string::npos) continue;
        out.emplace_back(fields[i].substr(0, eq), fields[i].substr(eq + 1));
    }
    return out;
}

void AppendAttributes(std::string& out, const Attributes& attributes) {
    for (const auto& [k, v] : attributes) out.append("\t").append(k).append("=").append(v);
}

bool EqualNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               auto lower = [](char c) {
                   return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
               };
               return lower(x) == lower(y);
           });
}

const std::string* Find(const Attributes& attributes, std::string_view name) {
    for (const auto& [k, v] : attributes) {
        if (EqualNoCase(k, name)) return &v;
    }
    return nullptr;
}

void Put(Attributes& attributes, const std::string& name, const std::string& value) {
    for (auto& [k, v] : attributes) {
        if (EqualNoCase(k, name)) {
            v = value;
            return;
        }
    }
    attributes.emplace_back(name, value);
}

std::string StripSlash(std::string text) {
    while (!text.empty() && text.back() == '/') text.pop_back();
    return text;
}

// --- command parsing ------------------------------------------------------------------------

struct Change {
    enum class Kind { kAdd, kRemove, kSetElement, kSetSection } kind;
    Attributes selector;  // the [..] part
    std::string attribute;
    std::string value;
};

struct Command {
    std::string verb;
    std::string object;
    std::vector<std::string> identifiers;
    Attributes parameters;  // /name:value and -name:value
    std::vector<Change> changes;
};

// [k='v',k2='v2']: values in single quotes may hold commas.
bool ParseSelector(std::string_view text, Attributes& out, std::size_t& end) {
    if (text.empty() || text[0] != '[') return false;
    std::size_t i = 1;
    while (i < text.size() && text[i] != ']') {
        const auto eq = text.find('=', i);
        if (eq == std::string_view::npos) return false;
        std::string key(text.substr(i, eq - i));
        i = eq + 1;
        std::string value;
        if (i < text.size() && text[i] == '\'') {
            const auto close = text.find('\'', i + 1);
            if (close == std::string_view::npos) return false;
            value = std::string(text.substr(i + 1, close - i - 1));
            i = close + 1;
        } else {
            while (i < text.size() && text[i] != ',' && text[i] != ']') value += text[i++];
        }
        out.emplace_back(std::move(key), std::move(value));
        if (i < text.size() && text[i] == ',') ++i;
    }
    if (i >= text.size()) return false;
    end = i + 1;
    return true;
}

bool ParseCommand(const std::vector<std::string>& args, Command& c, std::string& error) {
    if (args.size() < 2) {
        error = "Command is incomplete.";
        return false;
    }
    c.verb = args[0];
    c.object = args[1];
    for (std::size_t i = 2; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a.empty() || (a[0] != '/' && a[0] != '-')) {
            c.identifiers.push_back(a);
            continue;
        }
        std::string_view body = std::string_view(a).substr(1);
        Change change{};
        std::size_t end = 0;
        if ((body.starts_with("+[") || body.starts_with("-[")) &&
            ParseSelector(body.substr(1), change.selector, end)) {
            change.kind = body[0] == '+' ? Change::Kind::kAdd : Change::Kind::kRemove;
            c.changes.push_back(std::move(change));
            continue;
        }
        if (body.starts_with("[")) {
            if (!ParseSelector(body, change.selector, end) || end >= body.size() || body[end] != '.') {
                error = "Malformed configuration change \"" + a + "\".";
                return false;
            }
            const auto rest = body.substr(end + 1);
            const auto colon = rest.find(':');
            change.kind = Change::Kind::kSetElement;
            change.attribute = std::string(rest.substr(0, colon));
            change.value = colon == std::string_view::npos ? "" : std::string(rest.substr(colon + 1));
            c.changes.push_back(std::move(change));
            continue;
        }
        const auto colon = body.find(':');
        c.parameters.emplace_back(std::string(body.substr(0, colon)),
                                  colon == std::string_view::npos ? "" : std::string(body.substr(colon + 1)));
    }
    return true;
}

// --- answers --------------------------------------------------------------------------------

Outcome Error(int code, const std::string& message) {
    return {code, "ERROR ( message:" + message + " )\n", false};
}
Outcome NotFound(const std::string& type, const std::string& id) {
    return Error(kExitNotFound, "Cannot find " + type + " object with identifier \"" + id + "\".");
}
Outcome Duplicate(const std::string& id) {
    return Error(kExitDuplicate, "Failed to add duplicate collection element \"" + id + "\".");
}
Outcome Done(std::string output) { return {0, std::move(output), true}; }

// One object of a listing: its name and its attributes in order.
struct Listed {
    std::string type;
    std::string name;
    Attributes attributes;
};

bool Matches(const Listed& o, const Attributes& filters) {
    for (const auto& [k, v] : filters) {
        if (EqualNoCase(k, "text")) continue;
        const std::string* have =
            EqualNoCase(k, o.type + ".name") || EqualNoCase(k, "name") ? &o.name : Find(o.attributes, k);
        std::string_view key = k;
        if (!have && key.find('.') != std::string_view::npos)
            have = Find(o.attributes, key.substr(key.find('.') + 1));
        if (!have) return false;
        // Application names are given with or without their closing slash.
        if (!EqualNoCase(*have, v) && !EqualNoCase(StripSlash(*have), StripSlash(v))) return false;
    }
    return true;
}

Outcome List(const std::vector<Listed>& all, const Command& c, const std::string& type_upper) {
    std::vector<const Listed*> chosen;
    for (const auto& o : all) {
        if (!c.identifiers.empty() && !EqualNoCase(o.name, c.identifiers[0])) continue;
        if (Matches(o, c.parameters)) chosen.push_back(&o);
    }
    if (!c.identifiers.empty() && chosen.empty()) return NotFound(type_upper, c.identifiers[0]);
    const std::string* text = Find(c.parameters, "text");
    Outcome out;
    for (const Listed* o : chosen) {
        if (text) {
            std::string_view want = *text;
            if (want.find('.') != std::string_view::npos) want = want.substr(want.find('.') + 1);
            const std::string* value = EqualNoCase(want, "name") ? &o->name : Find(o->attributes, want);
            out.output += (value ? *value : std::string()) + "\n";
            continue;
        }
        out.output += type_upper + " \"" + o->name + "\" (";
        for (std::size_t i = 0; i < o->attributes.size(); ++i) {
            out.output += (i ? "," : "") + o->attributes[i].first + ":" + o->attributes[i].second;
        }
        out.output += ")\n";
    }
    return out;
}

std::vector<Listed> Sites(const State& s) {
    std::vector<Listed> out;
    for (const auto& site : s.sites) {
        out.push_back(
            {"site",
             site.name,
             {{"id", std::to_string(site.id)}, {"bindings", site.bindings}, {"state", site.state}}});
    }
    return out;
}
std::vector<Listed> Pools(const State& s) {
    std::vector<Listed> out;
    for (const auto& p : s.pools) out.push_back({"apppool", p.name, p.attributes});
    return out;
}
std::vector<Listed> Apps(const State& s) {
    std::vector<Listed> out;
    for (const auto& a : s.apps) out.push_back({"app", AppName(a), {{"applicationPool", a.pool}}});
    return out;
}
std::vector<Listed> Vdirs(const State& s) {
    std::vector<Listed> out;
    for (const auto& v : s.vdirs) {
        App app{v.site, v.app_path, ""};
        out.push_back({"vdir", VdirName(v), {{"physicalPath", v.physical_path}, {"app.name", AppName(app)}}});
    }
    return out;
}

const Site* FindSite(const State& s, std::string_view name) {
    for (const auto& site : s.sites) {
        if (EqualNoCase(site.name, name)) return &site;
    }
    return nullptr;
}

// "Site/app" or "Site/" to the application's site and path.
bool SplitAppName(std::string_view name, std::string& site, std::string& path) {
    const auto slash = name.find('/');
    site = std::string(name.substr(0, slash));
    path = slash == std::string_view::npos ? "/" : StripSlash(std::string(name.substr(slash)));
    if (path.empty()) path = "/";
    return !site.empty();
}

std::string Identifier(const Command& c, std::string_view parameter) {
    if (!c.identifiers.empty()) return c.identifiers[0];
    const std::string* v = Find(c.parameters, parameter);
    return v ? *v : std::string();
}

std::string FullSection(std::string_view section) {
    if (EqualNoCase(section, "handlers")) return "system.webServer/handlers";
    if (EqualNoCase(section, "isapiCgiRestriction")) return "system.webServer/security/isapiCgiRestriction";
    if (EqualNoCase(section, "anonymousAuthentication")) {
        return "system.webServer/security/authentication/anonymousAuthentication";
    }
    return std::string(section);
}

Outcome AddPool(State& s, const Command& c) {
    const std::string name = Identifier(c, "name");
    if (name.empty()) return Error(kExitBadCommand, "The name of the application pool is missing.");
    for (const auto& p : s.pools) {
        if (EqualNoCase(p.name, name)) return Duplicate(name);
    }
    Pool pool{name, {}};
    for (const auto& [k, v] : c.parameters) {
        if (!EqualNoCase(k, "name")) Put(pool.attributes, k, v);
    }
    s.pools.push_back(std::move(pool));
    return Done("APPPOOL object \"" + name + "\" added\n");
}

Outcome SetPool(State& s, const Command& c) {
    const std::string name = Identifier(c, "apppool.name");
    for (auto& p : s.pools) {
        if (!EqualNoCase(p.name, name)) continue;
        for (const auto& [k, v] : c.parameters) {
            if (!EqualNoCase(k, "apppool.name")) Put(p.attributes, k, v);
        }
        return Done("APPPOOL object \"" + p.name + "\" changed\n");
    }
    return NotFound("APPPOOL", name);
}

Outcome DeletePool(State& s, const Command& c) {
    const std::string name = Identifier(c, "apppool.name");
    const auto it = std::find_if(s.pools.begin(), s.pools.end(),
                                 [&](const Pool& p) { return EqualNoCase(p.name, name); });
    if (it == s.pools.end()) return NotFound("APPPOOL", name);
    s.pools.erase(it);
    return Done("APPPOOL object \"" + name + "\" deleted\n");
}

App* FindApp(State& s, std::string_view site, std::string_view path) {
    for (auto& a : s.apps) {
        if (EqualNoCase(a.site, site) && EqualNoCase(a.path, path)) return &a;
    }
    return nullptr;
}

Outcome AddApp(State& s, const Command& c) {
    const std::string* site_name = Find(c.parameters, "site.name");
    const std::string* path = Find(c.parameters, "path");
    const std::string* physical = Find(c.parameters, "physicalPath");
    if (!site_name || !path || path->empty() || (*path)[0] != '/') {
        return Error(kExitBadCommand, "The site name and a path beginning with / are required.");
    }
    const Site* site = FindSite(s, *site_name);
    if (!site) return NotFound("SITE", *site_name);
    const std::string app_path = StripSlash(*path).empty() ? "/" : StripSlash(*path);
    if (FindApp(s, site->name, app_path)) return Duplicate(app_path);
    const std::string* pool = Find(c.parameters, "applicationPool");
    App app{site->name, app_path, pool ? *pool : "DefaultAppPool"};
    std::string out = "APP object \"" + AppName(app) + "\" added\n";
    if (physical) {
        Vdir root{site->name, app_path, "/", *physical};
        out += "VDIR object \"" + VdirName(root) + "\" added\n";
        s.vdirs.push_back(std::move(root));
    }
    s.apps.push_back(std::move(app));
    return Done(std::move(out));
}

Outcome DeleteApp(State& s, const Command& c) {
    const std::string name = Identifier(c, "app.name");
    std::string site, path;
    SplitAppName(name, site, path);
    const auto it = std::find_if(s.apps.begin(), s.apps.end(), [&](const App& a) {
        return EqualNoCase(a.site, site) && EqualNoCase(a.path, path);
    });
    if (it == s.apps.end()) return NotFound("APP", name);
    std::erase_if(s.vdirs,
                  [&](const Vdir& v) { return EqualNoCase(v.site, site) && EqualNoCase(v.app_path, path); });
    s.apps.erase(it);
    return Done("APP object \"" + name + "\" deleted\n");
}

Outcome AddVdir(State& s, const Command& c) {
    const std::string* app_name = Find(c.parameters, "app.name");
    const std::string* path = Find(c.parameters, "path");
    const std::string* physical = Find(c.parameters, "physicalPath");
    if (!app_name || !path || path->empty() || (*path)[0] != '/') {
        return Error(kExitBadCommand, "The application name and a path beginning with / are required.");
    }
    std::string site, app_path;
    SplitAppName(*app_name, site, app_path);
    const App* app = FindApp(s, site, app_path);
    if (!app) return NotFound("APP", *app_name);
    Vdir vdir{app->site, app->path, StripSlash(*path).empty() ? "/" : StripSlash(*path),
              physical ? *physical : ""};
    for (const auto& v : s.vdirs) {
        if (EqualNoCase(VdirName(v), VdirName(vdir))) return Duplicate(vdir.path);
    }
    std::string out = "VDIR object \"" + VdirName(vdir) + "\" added\n";
    s.vdirs.push_back(std::move(vdir));
    return Done(std::move(out));
}

Outcome DeleteVdir(State& s, const Command& c) {
    const std::string name = Identifier(c, "vdir.name");
    const auto it = std::find_if(s.vdirs.begin(), s.vdirs.end(),
                                 [&](const Vdir& v) { return EqualNoCase(VdirName(v), name); });
    if (it == s.vdirs.end()) return NotFound("VDIR", name);
    s.vdirs.erase(it);
    return Done("VDIR object \"" + name + "\" deleted\n");
}

// What a config command addresses: the location ("" for the server, else a path below an
// existing site) and the section's full name.
bool ConfigTarget(const State& s, const Command& c, std::string& location, std::string& section,
                  Outcome& error) {
    location = c.identifiers.empty() ? "" : StripSlash(c.identifiers[0]);
    if (!location.empty()) {
        const std::string site = location.substr(0, location.find('/'));
        if (!FindSite(s, site)) {
            error = NotFound("SITE", site);
            return false;
        }
    }
    const std::string* given = Find(c.parameters, "section");
    if (!given) {
        error = Error(kExitBadCommand, "The section is missing.");
        return false;
    }
    section = FullSection(*given);
    return true;
}

bool Unlocked(const State& s, const std::string& location, const std::string& section) {
    if (location.empty()) return true;
    for (const auto& u : s.unlocked) {
        if (!EqualNoCase(u.section, section)) continue;
        if (EqualNoCase(u.location, location) ||
            (location.size() > u.location.size() && location[u.location.size()] == '/' &&
             EqualNoCase(location.substr(0, u.location.size()), u.location)))
            return true;
    }
    return false;
}

std::string ConfigPath(const std::string& location) {
    return "MACHINE/WEBROOT/APPHOST" + (location.empty() ? "" : "/" + location);
}

Outcome UnlockConfig(State& s, const Command& c) {
    std::string location, full;
    Outcome error;
    if (!ConfigTarget(s, c, location, full, error)) return error;
    if (!Unlocked(s, location, full) || location.empty()) s.unlocked.push_back({location, full});
    return Done("Unlocked section \"" + full + "\" at configuration path \"" + ConfigPath(location) +
                "\".\n");
}

bool Selects(const Element& e, const std::string& location, const Attributes& selector) {
    if (!EqualNoCase(e.location, location)) return false;
    for (const auto& [k, v] : selector) {
        const std::string* have = Find(e.attributes, k);
        if (!have || !EqualNoCase(*have, v)) return false;
    }
    return true;
}

Outcome SetConfig(State& s, const Command& c) {
    std::string location, full;
    Outcome error;
    if (!ConfigTarget(s, c, location, full, error)) return error;
    if (!Unlocked(s, location, full)) {
        return Error(
            kExitLocked,
            "This configuration section cannot be used at this path. This happens when the section is "
            "locked at a parent level.");
    }
    std::vector<Element>* collection = nullptr;
    std::string key = "name";
    if (full == "system.webServer/handlers") collection = &s.handlers;
    if (full == "system.webServer/security/isapiCgiRestriction") {
        collection = &s.restrictions;
        key = "path";
    }
    for (const Change& change : c.changes) {
        if (!collection)
            return Error(kExitBadCommand, "The section \"" + full + "\" has no collection here.");
        if (change.kind == Change::Kind::kAdd) {
            const std::string* id = Find(change.selector, key);
            for (const auto& e : *collection) {
                if (id && Selects(e, location, {{key, *id}})) return Duplicate(*id);
            }
            collection->push_back({location, change.selector});
            continue;
        }
        const auto it = std::find_if(collection->begin(), collection->end(),
                                     [&](const Element& e) { return Selects(e, location, change.selector); });
        if (it == collection->end()) return Error(kExitNotFound, "Cannot find requested collection element.");
        if (change.kind == Change::Kind::kRemove) {
            collection->erase(it);
        } else {
            Put(it->attributes, change.attribute, change.value);
        }
    }
    for (const auto& [k, v] : c.parameters) {
        if (EqualNoCase(k, "section") || EqualNoCase(k, "commitPath")) continue;
        if (full == "system.webServer/security/authentication/anonymousAuthentication" &&
            EqualNoCase(k, "userName")) {
            s.anonymous_user = v;
            continue;
        }
        auto it = std::find_if(s.settings.begin(), s.settings.end(), [&](const Setting& x) {
            return EqualNoCase(x.location, location) && x.section == full && EqualNoCase(x.attribute, k);
        });
        if (it == s.settings.end()) {
            s.settings.push_back({location, full, k, v});
        } else {
            it->value = v;
        }
    }
    return Done("Applied configuration changes to section \"" + full + "\" for \"" + ConfigPath(location) +
                "\" at configuration commit path \"" + ConfigPath(location) + "\"\n");
}

Outcome ListConfig(const State& s, const Command& c) {
    std::string location, full;
    Outcome error;
    if (!ConfigTarget(s, c, location, full, error)) return error;
    const std::string* text = Find(c.parameters, "text");
    Outcome out;
    if (full == "system.webServer/security/authentication/anonymousAuthentication") {
        if (text) {
            out.output = (EqualNoCase(*text, "username") ? s.anonymous_user : std::string()) + "\n";
        } else {
            out.output =
                "<system.webServer>\n  <security>\n    <authentication>\n"
                "      <anonymousAuthentication enabled=\"true\" userName=\"" +
                s.anonymous_user + "\" />\n    </authentication>\n  </security>\n</system.webServer>\n";
        }
        return out;
    }
    const std::string tag = full.substr(full.rfind('/') + 1);
    out.output = "<" + tag;
    for (const auto& x : s.settings) {
        if (EqualNoCase(x.location, location) && x.section == full)
            out.output += " " + x.attribute + "=\"" + x.value + "\"";
    }
    out.output += ">\n";
    const std::vector<Element>* collection = full == "system.webServer/handlers" ? &s.handlers
                                             : full == "system.webServer/security/isapiCgiRestriction"
                                                 ? &s.restrictions
                                                 : nullptr;
    if (collection) {
        for (const auto& e : *collection) {
            if (!EqualNoCase(e.location, location)) continue;
            out.output += "  <add";
            for (const auto& [k, v] : e.attributes) out.output += " " + k + "=\"" + v + "\"";
            out.output += " />\n";
        }
    }
    out.output += "</" + tag + ">\n";
    return out;
}

}  // namespace

std::string AppName(const App& app) { return app.site + (app.path == "/" ? "/" : app.path); }

std::string VdirName(const Vdir& vdir) {
    const std::string app = vdir.app_path == "/" ? vdir.site : vdir.site + vdir.app_path;
    return app + (vdir.path == "/" ? "/" : vdir.path);
}

std::vector<std::string_view> TextLines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const auto end = std::min(text.find('\n'), text.size());
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        text.remove_prefix(std::min(end + 1, text.size()));
    }
    return lines;
}

State ParseState(std::string_view text) {
    State s;
    s.anonymous_user.clear();
    bool anonymous_given = false;
    for (const std::string_view line : TextLines(text)) {
        const auto f = SplitFields(line);
        const std::string& kind = f[0];
        if (kind == "site" && f.size() >= 5) {
            s.sites.push_back({std::atoi(f[1].c_str()), f[2], f[3], f[4]});
        } else if (kind == "anonymous" && f.size() >= 2) {
            s.anonymous_user = f[1];
            anonymous_given = true;
        } else if (kind == "apppool" && f.size() >= 2) {
            s.pools.push_back({f[1], ParseAttributes(f, 2)});
        } else if (kind == "app" && f.size() >= 4) {
            s.apps.push_back({f[1], f[2], f[3]});
        } else if (kind == "vdir" && f.size() >= 5) {
            s.vdirs.push_back({f[1], f[2], f[3], f[4]});
        } else if (kind == "handler" && f.size() >= 2) {
            s.handlers.push_back({f[1], ParseAttributes(f, 2)});
        } else if (kind == "restriction") {
            s.restrictions.push_back({"", ParseAttributes(f, 1)});
        } else if (kind == "setting" && f.size() >= 5) {
            s.settings.push_back({f[1], f[2], f[3], f[4]});
        } else if (kind == "unlocked" && f.size() >= 3) {
            s.unlocked.push_back({f[1], f[2]});
        }
    }
    if (!anonymous_given) s.anonymous_user = "IUSR";
    return s;
}

std::string FormatState(const State& s) {
    std::string out;
    for (const auto& x : s.sites) {
        out += "site\t" + std::to_string(x.id) + "\t" + x.name + "\t" + x.state + "\t" + x.bindings + "\n";
    }
    out += "anonymous\t" + s.anonymous_user + "\n";
    for (const auto& p : s.pools) {
        out += "apppool\t" + p.name;
        AppendAttributes(out, p.attributes);
        out += "\n";
    }
    for (const auto& a : s.apps) out += "app\t" + a.site + "\t" + a.path + "\t" + a.pool + "\n";
    for (const auto& v : s.vdirs) {
        out += "vdir\t" + v.site + "\t" + v.app_path + "\t" + v.path + "\t" + v.physical_path + "\n";
    }
    for (const auto& h : s.handlers) {
        out += "handler\t" + h.location;
        AppendAttributes(out, h.attributes);
        out += "\n";
    }
    for (const auto& r : s.restrictions) {
        out += "restriction";
        AppendAttributes(out, r.attributes);
        out += "\n";
    }
    for (const auto& x : s.settings) {
        out += "setting\t" + x.location + "\t" + x.section + "\t" + x.attribute + "\t" + x.value + "\n";
    }
    for (const auto& u : s.unlocked) out += "unlocked\t" + u.location + "\t" + u.section + "\n";
    return out;
}

std::vector<std::string> SplitArguments(std::string_view line) {
    std::size_t i = 0;
    // The program name: up to the closing quote when quoted, else to the first blank; no escapes.
    if (i < line.size() && line[i] == '"') {
        const auto close = line.find('"', 1);
        i = close == std::string_view::npos ? line.size() : close + 1;
    }
    while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
    std::vector<std::string> args;
    for (;;) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
        if (i >= line.size()) return args;
        std::string arg;
        bool quoted = false;
        while (i < line.size() && (quoted || (line[i] != ' ' && line[i] != '\t'))) {
            std::size_t backslashes = 0;
            while (i < line.size() && line[i] == '\\') {
                ++backslashes;
                ++i;
            }
            if (i < line.size() && line[i] == '"') {
                arg.append(backslashes / 2, '\\');
                if (backslashes % 2) {
                    arg += '"';
                } else if (quoted && i + 1 < line.size() && line[i + 1] == '"') {
                    arg += '"';  // "" inside quotes is a literal quote
                    ++i;
                } else {
                    quoted = !quoted;
                }
                ++i;
            } else {
                arg.append(backslashes, '\\');
                if (i < line.size() && (quoted || (line[i] != ' ' && line[i] != '\t'))) arg += line[i++];
            }
        }
        args.push_back(std::move(arg));
    }
}

Outcome Execute(State& s, const std::vector<std::string>& args) {
    Command c;
    std::string error;
    if (!ParseCommand(args, c, error)) return Error(kExitBadCommand, error);
    const std::string& v = c.verb;
    const std::string& o = c.object;
    if (EqualNoCase(v, "list")) {
        if (EqualNoCase(o, "site")) return List(Sites(s), c, "SITE");
        if (EqualNoCase(o, "apppool")) return List(Pools(s), c, "APPPOOL");
        if (EqualNoCase(o, "app")) return List(Apps(s), c, "APP");
        if (EqualNoCase(o, "vdir")) return List(Vdirs(s), c, "VDIR");
        if (EqualNoCase(o, "config")) return ListConfig(s, c);
    } else if (EqualNoCase(o, "apppool")) {
        if (EqualNoCase(v, "add")) return AddPool(s, c);
        if (EqualNoCase(v, "set")) return SetPool(s, c);
        if (EqualNoCase(v, "delete")) return DeletePool(s, c);
    } else if (EqualNoCase(o, "app")) {
        if (EqualNoCase(v, "add")) return AddApp(s, c);
        if (EqualNoCase(v, "delete")) return DeleteApp(s, c);
    } else if (EqualNoCase(o, "vdir")) {
        if (EqualNoCase(v, "add")) return AddVdir(s, c);
        if (EqualNoCase(v, "delete")) return DeleteVdir(s, c);
    } else if (EqualNoCase(o, "config")) {
        if (EqualNoCase(v, "unlock")) return UnlockConfig(s, c);
        if (EqualNoCase(v, "set")) return SetConfig(s, c);
    }
    return Error(kExitBadCommand, "Unknown command \"" + v + " " + o + "\".");
}

}  // namespace dk::standin

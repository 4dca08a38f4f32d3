#include "metabase_store.h"

#include <algorithm>

namespace adsi_standin {
namespace {

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool IsBelow(std::string_view path, std::string_view ancestor) {
    return path.size() > ancestor.size() && path[ancestor.size()] == '/' &&
           SameNoCase(path.substr(0, ancestor.size()), ancestor);
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

Property ParseProperty(std::string_view line) {
    Property p;
    const auto eq = line.find('=');
    std::string_view head = line.substr(0, eq);
    p.value = eq == std::string_view::npos ? "" : std::string(line.substr(eq + 1));
    const auto colon = head.find(':');
    p.name = std::string(head.substr(0, colon));
    if (colon != std::string_view::npos) {
        const auto type = head.substr(colon + 1);
        if (type == "int") p.kind = Kind::integer;
        if (type == "bool") p.kind = Kind::boolean;
        if (type == "list") p.kind = Kind::list;
    }
    return p;
}

const char* KindSuffix(Kind kind) {
    switch (kind) {
        case Kind::integer:
            return ":int";
        case Kind::boolean:
            return ":bool";
        case Kind::list:
            return ":list";
        case Kind::text:
            break;
    }
    return "";
}

}  // namespace

bool SameNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return Lower(x) == Lower(y); });
}

std::string_view LastSegment(std::string_view path) { return path.substr(path.rfind('/') + 1); }

std::string_view ParentPath(std::string_view path) {
    const auto slash = path.rfind('/');
    return slash == std::string_view::npos ? std::string_view{} : path.substr(0, slash);
}

const Property* Object::Find(std::string_view name) const {
    for (const auto& p : properties)
        if (SameNoCase(p.name, name)) return &p;
    return nullptr;
}

void Object::Set(Property property) {
    for (auto& p : properties) {
        if (SameNoCase(p.name, property.name)) {
            p = std::move(property);
            return;
        }
    }
    properties.push_back(std::move(property));
}

Store Store::Parse(std::string_view text) {
    Store store;
    while (!text.empty()) {
        const auto end = text.find('\n');
        std::string_view raw = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        const bool indented = !raw.empty() && (raw.front() == ' ' || raw.front() == '\t');
        const std::string_view line = Trim(raw);
        if (line.empty() || line.front() == '#') continue;
        if (line.front() == '!') {
            store.controls_.emplace_back(line);
            if (line.substr(0, 8) == "!refuse ") store.refused_.emplace(Trim(line.substr(8)));
        } else if (indented) {
            if (!store.objects_.empty()) store.objects_.back().properties.push_back(ParseProperty(line));
        } else {
            const auto blank = line.find(' ');
            Object o;
            o.path = std::string(line.substr(0, blank));
            o.cls = blank == std::string_view::npos ? "" : std::string(Trim(line.substr(blank + 1)));
            store.objects_.push_back(std::move(o));
        }
    }
    return store;
}

std::string Store::Serialize() const {
    std::string out;
    for (const auto& c : controls_) out += c + "\n";
    for (const auto& o : objects_) {
        out += o.path + " " + o.cls + "\n";
        for (const auto& p : o.properties) out += "  " + p.name + KindSuffix(p.kind) + "=" + p.value + "\n";
    }
    return out;
}

Object* Store::Find(std::string_view path) {
    for (auto& o : objects_)
        if (SameNoCase(o.path, path)) return &o;
    return nullptr;
}

std::vector<const Object*> Store::Children(std::string_view path) const {
    std::vector<const Object*> out;
    for (const auto& o : objects_)
        if (SameNoCase(ParentPath(o.path), path)) out.push_back(&o);
    return out;
}

void Store::Insert(Object object) {
    if (Object* same = Find(object.path)) {
        *same = std::move(object);
        return;
    }
    const std::string_view parent = ParentPath(object.path);
    auto at = objects_.end();
    for (auto it = objects_.begin(); it != objects_.end(); ++it)
        if (SameNoCase(it->path, parent) || IsBelow(it->path, parent)) at = it + 1;
    objects_.insert(at, std::move(object));
}

bool Store::RemoveTree(std::string_view path) {
    const auto before = objects_.size();
    std::erase_if(objects_,
                  [&](const Object& o) { return SameNoCase(o.path, path) || IsBelow(o.path, path); });
    return objects_.size() != before;
}

}  // namespace adsi_standin

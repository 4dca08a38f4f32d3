// The stand-in's metabase: a text file of objects and their properties, read before and written
// after every change, so a test sets the scene by writing the file and checks the outcome by
// reading it back.
//
//   # comment
//   !refuse put            test control: every Put (or setinfo, create, delete) fails
//   /W3SVC IIsWebService    an object: its path below IIS://localhost, a blank, its class
//     ServerState:int=2    a property: name, optional :int, :bool or :list type, '=', value
//     ServerBindings:list=:80:|10.0.0.1:8080:
//     ServerComment=Default Web Site
//
// Objects are kept in file order, which is the order of enumeration; paths compare without
// regard to ASCII letter case, as metabase keys do.
#pragma once

#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace adsi_standin {

enum class Kind { text, integer, boolean, list };

struct Property {
    std::string name;
    Kind kind = Kind::text;
    std::string value;  // a list keeps its elements separated by '|'
};

struct Object {
    std::string path;  // "/W3SVC/1/ROOT"
    std::string cls;
    std::vector<Property> properties;

    const Property* Find(std::string_view name) const;
    void Set(Property property);  // replaces in place, or appends
};

bool SameNoCase(std::string_view a, std::string_view b);
std::string_view LastSegment(std::string_view path);
std::string_view ParentPath(std::string_view path);

class Store {
public:
    static Store Parse(std::string_view text);
    std::string Serialize() const;

    Object* Find(std::string_view path);
    std::vector<const Object*> Children(std::string_view path) const;
    // Puts the object after its parent's last descendant (or replaces one of the same path).
    void Insert(Object object);
    // Removes the object and everything below it; false when there was none.
    bool RemoveTree(std::string_view path);
    bool Refuses(std::string_view operation) const { return refused_.count(std::string(operation)) != 0; }

private:
    std::vector<Object> objects_;
    std::set<std::string> refused_;
    std::vector<std::string> controls_;  // written back unchanged
};

}  // namespace adsi_standin

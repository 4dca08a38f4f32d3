// The IIS configuration that the appcmd.exe stand-in keeps in a state file beside it, and the
// commands it understands. Portable: no Windows types, so it also builds natively.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace dk::standin {

using Attributes = std::vector<std::pair<std::string, std::string>>;

struct Site {
    int id = 0;
    std::string name;
    std::string state = "Started";
    std::string bindings = "http/*:80:";
};
struct Pool {
    std::string name;
    Attributes attributes;
};
struct App {
    std::string site;
    std::string path;  // "/" for the site's root application
    std::string pool;
};
struct Vdir {
    std::string site;
    std::string app_path;
    std::string path;  // "/" for the application's root directory
    std::string physical_path;
};
// An element of a configuration collection (a handler mapping, a restriction-list entry) at a
// location: "" for the server, "Site", "Site/app/admin" and so on.
struct Element {
    std::string location;
    Attributes attributes;
};
struct Setting {
    std::string location;
    std::string section;
    std::string attribute;
    std::string value;
};
struct Unlock {
    std::string location;
    std::string section;
};

struct State {
    std::vector<Site> sites;
    std::vector<Pool> pools;
    std::vector<App> apps;
    std::vector<Vdir> vdirs;
    std::vector<Element> handlers;
    std::vector<Element> restrictions;
    std::vector<Setting> settings;  // section attributes such as accessPolicy
    std::vector<Unlock> unlocked;   // sections opened below the server level
    std::string anonymous_user = "IUSR";
};

// The lines of a text file, each without its line feed and a carriage return before it.
std::vector<std::string_view> TextLines(std::string_view text);

// The state file: one record a line, fields separated by tabs (see appcmd_model.cpp).
State ParseState(std::string_view text);
std::string FormatState(const State& state);

// The arguments of a command line after the program, split the way the C runtime splits them.
std::vector<std::string> SplitArguments(std::string_view command_line);

struct Outcome {
    int exit_code = 0;
    std::string output;  // lines ending in '\n'
    bool changed = false;
};
// Runs one command against the state.
Outcome Execute(State& state, const std::vector<std::string>& args);

// Names as appcmd shows them.
std::string AppName(const App& app);
std::string VdirName(const Vdir& vdir);

// Exit codes: the Win32 codes appcmd reports.
inline constexpr int kExitDuplicate = 183;
inline constexpr int kExitNotFound = 1168;
inline constexpr int kExitLocked = 33;
inline constexpr int kExitBadCommand = 87;

}  // namespace dk::standin

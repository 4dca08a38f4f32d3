// dkcall: loads deploykit.dll and calls one export by name with typed arguments.
//   dkcall [--dll PATH] EXPORT [ARG...]     dkcall --list
// Arguments: text as given ("" is the empty text), :null for a null pointer, ints in decimal,
// the error counter as :counter=N, the MySQL binding record as :record.
#include <windows.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

enum class ArgType { text, wtext, integer, counter, record };

struct Arg {
    const char* text = nullptr;
    char* wtext = nullptr;
    int integer = 0;
    int* counter = nullptr;
    void* record = nullptr;
};

struct Value {
    bool is_int = false;
    int integer = 0;
    const char* text = nullptr;
    static Value of_int(int v) { return {true, v, nullptr}; }
    static Value of_text(const char* t) { return {false, 0, t}; }
};

struct ExportEntry {
    const char* name;
    const char* family;
    const char* convention;
    const char* result;
    int argc;
    ArgType types[8];
    const char* labels[8];
    Value (*call)(FARPROC, Arg*);
};

#include "dkcall_table.inc"

const char* TypeName(ArgType t) {
    switch (t) {
        case ArgType::text:
            return "text";
        case ArgType::wtext:
            return "text, rewritten";
        case ArgType::integer:
            return "int";
        case ArgType::counter:
            return "int* counter";
        case ArgType::record:
            return "binding record";
    }
    return "?";
}

void List() {
    for (const auto& e : kExports) {
        std::printf("%s(", e.name);
        for (int i = 0; i < e.argc; ++i)
            std::printf("%s%s: %s", i ? ", " : "", e.labels[i], TypeName(e.types[i]));
        std::printf(") -> %s  [%s, %s]\n", e.result, e.family, e.convention);
    }
}

int Usage(const char* message) {
    std::fprintf(stderr, "dkcall: %s\nusage: dkcall [--dll PATH] EXPORT [ARG...] | dkcall --list\n", message);
    return 2;
}

bool ParseInt(const char* s, int& out) {
    if (!*s) return false;
    char* end = nullptr;
    errno = 0;
    const long v = std::strtol(s, &end, 10);
    if (*end || errno == ERANGE || v < INT_MIN || v > INT_MAX) return false;
    out = static_cast<int>(v);
    return true;
}

std::string OwnFolder() {
    char path[MAX_PATH];
    const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dir(path, n);
    return dir.substr(0, dir.find_last_of("\\/"));
}

}  // namespace

int main(int argc, char** argv) {
    int i = 1;
    std::string dll = OwnFolder() + "\\deploykit.dll";
    if (i < argc && std::strcmp(argv[i], "--list") == 0) {
        List();
        return 0;
    }
    if (i + 1 < argc && std::strcmp(argv[i], "--dll") == 0) {
        dll = argv[i + 1];
        i += 2;
    }
    if (i >= argc) return Usage("no export named");
    const char* name = argv[i++];
    const ExportEntry* entry = nullptr;
    for (const auto& e : kExports)
        if (std::strcmp(e.name, name) == 0) entry = &e;
    if (!entry) return Usage((std::string("unknown export ") + name + " (dkcall --list shows them)").c_str());
    if (argc - i != entry->argc) {
        return Usage((std::string(name) + " takes " + std::to_string(entry->argc) + " argument(s), " +
                      std::to_string(argc - i) + " given")
                         .c_str());
    }

    Arg args[8];
    std::vector<std::string> writable(static_cast<std::size_t>(entry->argc));
    int counters[8] = {};
    void* record[14] = {};
    for (int k = 0; k < entry->argc; ++k) {
        const char* s = argv[i + k];
        const bool null = std::strcmp(s, ":null") == 0;
        switch (entry->types[k]) {
            case ArgType::text:
                args[k].text = null ? nullptr : s;
                break;
            case ArgType::wtext:
                writable[static_cast<std::size_t>(k)] = s;
                args[k].wtext = null ? nullptr : writable[static_cast<std::size_t>(k)].data();
                break;
            case ArgType::integer:
                if (!ParseInt(s, args[k].integer))
                    return Usage(
                        (std::string("argument ") + entry->labels[k] + " must be a decimal int").c_str());
                break;
            case ArgType::counter:
                if (null) break;
                if (std::strncmp(s, ":counter=", 9) != 0 || !ParseInt(s + 9, counters[k]))
                    return Usage(
                        (std::string("argument ") + entry->labels[k] + " must be :counter=N or :null")
                            .c_str());
                args[k].counter = &counters[k];
                break;
            case ArgType::record:
                if (null) break;
                if (std::strcmp(s, ":record") != 0)
                    return Usage(
                        (std::string("argument ") + entry->labels[k] + " must be :record or :null").c_str());
                args[k].record = record;
                break;
        }
    }

    HMODULE module = LoadLibraryA(dll.c_str());
    if (!module) {
        std::fprintf(stderr, "dkcall: cannot load %s (error %lu)\n", dll.c_str(), GetLastError());
        return 3;
    }
    FARPROC fn = GetProcAddress(module, entry->name);
    if (!fn) {
        std::fprintf(stderr, "dkcall: %s does not export %s\n", dll.c_str(), entry->name);
        return 3;
    }
    const Value v = entry->call(fn, args);
    if (v.is_int)
        std::printf("%d\n", v.integer);
    else
        std::printf("%s\n", v.text ? v.text : "(null)");
    for (int k = 0; k < entry->argc; ++k) {
        if (entry->types[k] == ArgType::counter && args[k].counter)
            std::printf("%s = %d\n", entry->labels[k], *args[k].counter);
        if (entry->types[k] == ArgType::wtext && args[k].wtext)
            std::printf("%s = %s\n", entry->labels[k], args[k].wtext);
        if (entry->types[k] == ArgType::record && args[k].record)
            std::printf("%s = module %p\n", entry->labels[k], record[0]);
    }
    std::fflush(stdout);
    // The MySQL client stays loaded after MySqlClientInfo and MySqlLoadLib with a record; the
    // process ends here, so nothing is freed by hand.
    return 0;
}

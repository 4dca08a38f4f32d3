#include "mdaemon/mduser.h"

#include <cstring>
#include <string>

#include "frame/win/raii.h"

namespace dk::mdaemon {

namespace {

using PathCall = void(__stdcall*)(char* buffer, int code);

struct Binding {
    win::unique_hmodule module;
    PathCall get_db_path = nullptr;
    PathCall get_app_dir = nullptr;
    bool bound = false;
};

Binding& State() {
    static Binding binding;
    return binding;
}

PathCall Resolve(HMODULE module, const char* name) {
    return reinterpret_cast<PathCall>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace

LONG ReadMDaemonPath(const char* value_name, char* out, std::size_t capacity) noexcept {
    if (!out || capacity == 0) return ERROR_INVALID_PARAMETER;
    std::memset(out, 0, capacity);
    win::unique_hkey key;
    if (LONG rc = RegOpenKeyExA(HKEY_LOCAL_MACHINE, kMDaemonKey, 0, KEY_QUERY_VALUE, key.put());
        rc != ERROR_SUCCESS)
        return rc;
    char value[kMDaemonPathMax + 1] = {};
    DWORD type = 0;
    DWORD size = kMDaemonPathMax;
    if (LONG rc =
            RegQueryValueExA(key.get(), value_name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
        rc != ERROR_SUCCESS)
        return rc;
    // A path stored as a number or binary data would name some arbitrary file.
    if (type != REG_SZ && type != REG_EXPAND_SZ) return ERROR_INVALID_DATA;
    const std::size_t length = strnlen(value, size);
    if (length >= capacity) return ERROR_MORE_DATA;
    std::memcpy(out, value, length);
    return ERROR_SUCCESS;
}

bool BindMDUser(int* status) noexcept {
    int ignored = 0;
    int& result = status ? *status : ignored;
    result = 0;
    UnbindMDUser();

    char app_path[kMDaemonPathMax + 1];
    if (LONG rc = ReadMDaemonPath("AppPath", app_path, sizeof app_path); rc != ERROR_SUCCESS) {
        result = static_cast<int>(rc);
        return false;
    }
    char ini_path[kMDaemonPathMax + 1];
    if (LONG rc = ReadMDaemonPath("IniPath", ini_path, sizeof ini_path); rc != ERROR_SUCCESS) {
        result = static_cast<int>(rc);
        return false;
    }
    if (!*ini_path) {
        result = kEmptyIniPath;
        return false;
    }
    char type[16];
    GetPrivateProfileStringA("Advanced", "UserDllType", "", type, sizeof type, ini_path);
    const std::string library = std::string(app_path) + "\\MDUser" + type + ".dll";

    win::unique_hmodule module(LoadLibraryA(library.c_str()));
    if (!module) {
        result = static_cast<int>(GetLastError());
        if (result == 0) result = ERROR_MOD_NOT_FOUND;
        return false;
    }
    Binding& state = State();
    state.get_db_path = Resolve(module.get(), "MD_GetDBPath");
    state.get_app_dir = Resolve(module.get(), "MD_GetAppDir");
    // Only these two are ever called; a library without them cannot serve the rules installer.
    if (!state.get_db_path || !state.get_app_dir) {
        state.get_db_path = state.get_app_dir = nullptr;
        result = ERROR_PROC_NOT_FOUND;
        return false;
    }
    state.module = std::move(module);
    state.bound = true;
    return true;
}

void UnbindMDUser() noexcept {
    Binding& state = State();
    state.bound = false;
    state.get_db_path = state.get_app_dir = nullptr;
    state.module.reset();
}

void MDGetDBPath(char* buffer, int code) noexcept {
    if (State().get_db_path) State().get_db_path(buffer, code);
}

void MDGetAppDir(char* buffer, int size) noexcept {
    if (State().get_app_dir) State().get_app_dir(buffer, size);
}

}  // namespace dk::mdaemon

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "deploykit.h"
#include "frame/result.h"
#include "frame/win/raii.h"
#include "sys/key_path.h"
#include "sys/registry_tree.h"

namespace {

using dk::win::unique_file;
using dk::win::unique_hkey;

constexpr char kSqlClientTds[] = "SOFTWARE\\Microsoft\\MSSQLServer\\Client\\TDS";
constexpr int kRootLocalMachine = 2;
constexpr int kNoName = 1010;

// Keys created by a move, undone in reverse (children before parents) unless the move succeeds.
class CreatedKeys {
public:
    CreatedKeys() = default;
    CreatedKeys(const CreatedKeys&) = delete;
    CreatedKeys& operator=(const CreatedKeys&) = delete;
    ~CreatedKeys() {
        for (auto it = paths_.rbegin(); it != paths_.rend(); ++it)
            ::RegDeleteKeyW(HKEY_LOCAL_MACHINE, it->c_str());
    }
    void Add(std::wstring path) { paths_.push_back(std::move(path)); }
    void Keep() noexcept { paths_.clear(); }

private:
    std::vector<std::wstring> paths_;
};

// Opens HKEY_LOCAL_MACHINE\path for creating subkeys, creating the missing levels one by one so
// that each one this call creates can be undone.
LONG OpenOrCreateParent(const std::wstring& path, CreatedKeys& created, unique_hkey& out) {
    LONG rc = ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ | KEY_CREATE_SUB_KEY, out.put());
    if (rc != ERROR_FILE_NOT_FOUND) return rc;
    std::size_t end = 0;
    do {
        end = path.find(L'\\', end + 1);
        const std::wstring level = path.substr(0, end);
        if (level.empty() || level.back() == L'\\') continue;
        DWORD disposition = 0;
        rc = ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, level.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                               KEY_ALL_ACCESS, nullptr, out.put(), &disposition);
        if (rc != ERROR_SUCCESS) return rc;
        if (disposition == REG_CREATED_NEW_KEY) created.Add(level);
    } while (end != std::wstring::npos);
    return ERROR_SUCCESS;
}

// The path with every letter in upper case as the ANSI code page folds it.
std::string Folded(std::string path) {
    if (!path.empty()) ::CharUpperBuffA(path.data(), static_cast<DWORD>(path.size()));
    return path;
}

int MoveKey(char* old_key, char* new_key) {
    char* cut = std::strrchr(new_key, '\\');
    if (!cut) return -2;
    // Read both before cutting: a caller may pass one buffer for both.
    const std::string old_path = old_key ? old_key : "";
    const std::string new_path = new_key;
    *cut = '\0';
    const std::string parent_path = new_key;
    const std::string name = cut + 1;
    if (old_path.empty() || name.empty()) return ERROR_INVALID_PARAMETER;
    // Copying a key onto itself would lose it; into its own subtree, the copy would not end.
    if (dk::sys::SameOrInside(Folded(old_path), Folded(new_path))) return ERROR_INVALID_PARAMETER;

    unique_hkey source;
    if (LONG rc = dk::sys::OpenKey(HKEY_LOCAL_MACHINE, old_path.c_str(), KEY_READ, source);
        rc != ERROR_SUCCESS)
        return rc;
    CreatedKeys created;
    unique_hkey parent;
    const std::wstring wide_parent = dk::sys::Widen(parent_path.c_str());
    if (LONG rc = OpenOrCreateParent(wide_parent, created, parent); rc != ERROR_SUCCESS) return rc;
    std::vector<std::wstring> copied;
    const LONG rc = dk::sys::CopyKeyTree(source.get(), parent.get(), name.c_str(), &copied);
    const std::wstring prefix = wide_parent.empty() ? L"" : wide_parent + L"\\";
    for (auto& relative : copied) created.Add(prefix + relative);
    if (rc != ERROR_SUCCESS) return rc;
    created.Keep();
    source.reset();
    parent.reset();

    dk::sys::DeleteKeyTree(HKEY_LOCAL_MACHINE, old_path.c_str());
    if (char* old_cut = std::strrchr(old_key, '\\')) {
        *old_cut = '\0';
        dk::sys::DeleteIfNoValues(HKEY_LOCAL_MACHINE, old_key);
    }
    return ERROR_SUCCESS;
}

}  // namespace

extern "C" char* __cdecl ReadKeyValue(const char* key_path, const char* value_name) noexcept {
    return dk::guarded<char*>(nullptr, [&]() -> char* {
        if (!key_path || !value_name) return nullptr;
        unique_hkey key;
        if (dk::sys::OpenKey(HKEY_LOCAL_MACHINE, key_path, KEY_READ, key) != ERROR_SUCCESS) return nullptr;
        char data[512];
        DWORD size = sizeof data;
        if (::RegQueryValueExA(key.get(), value_name, nullptr, nullptr, reinterpret_cast<BYTE*>(data),
                               &size) != ERROR_SUCCESS)
            return nullptr;
        return dk::NewResult(data, ::strnlen(data, size));
    });
}

extern "C" char* __cdecl ReadSubKeys(const char* key_path) noexcept {
    return dk::guarded<char*>(nullptr, [&]() -> char* {
        if (!key_path) return nullptr;
        const auto list = dk::sys::SubKeyList(key_path);
        return list ? dk::NewResult(*list) : nullptr;
    });
}

extern "C" int __cdecl ReadSubKeysInFile(const char* key_path, const char* output_file_path) noexcept {
    return dk::guarded(0, [&] {
        const auto list = key_path ? dk::sys::SubKeyList(key_path) : std::nullopt;
        if (!output_file_path) return 0;
        unique_file file(std::fopen(output_file_path, "a+"));
        if (file) std::fputs(list ? list->c_str() : "(null)", file.get());
        return 0;
    });
}

extern "C" char* __cdecl ReadSubValues() noexcept {
    return dk::guarded<char*>(nullptr, []() -> char* {
        unique_hkey key;
        if (dk::sys::OpenKey(HKEY_LOCAL_MACHINE, kSqlClientTds, KEY_READ, key) != ERROR_SUCCESS)
            return nullptr;
        std::string list;
        for (DWORD index = 0;; ++index) {
            char name[256];
            DWORD chars = sizeof name;
            // A name too long for the buffer ends the list like its end does.
            if (::RegEnumValueA(key.get(), index, name, &chars, nullptr, nullptr, nullptr, nullptr) !=
                ERROR_SUCCESS)
                break;
            if (chars == 0) continue;  // the key's default value
            if (!list.empty()) list += ',';
            list.append(name, chars);
        }
        return list.empty() ? nullptr : dk::NewResult(list);
    });
}

extern "C" int __cdecl RegDeleteKeyNT(const char* key_path) noexcept {
    return dk::guarded(static_cast<int>(ERROR_NOT_ENOUGH_MEMORY), [&] {
        if (!key_path || !*key_path) return kNoName;
        {
            unique_hkey key;
            if (LONG rc =
                    dk::sys::OpenKey(HKEY_LOCAL_MACHINE, key_path, DELETE | KEY_ENUMERATE_SUB_KEYS, key);
                rc != ERROR_SUCCESS)
                return static_cast<int>(rc);
        }
        return static_cast<int>(dk::sys::DeleteKey(HKEY_LOCAL_MACHINE, key_path));
    });
}

extern "C" int __cdecl RenameRegistryKey(int root_selector, char* key_path, char* new_key_path) noexcept {
    return dk::guarded(static_cast<int>(ERROR_NOT_ENOUGH_MEMORY), [&] {
        if (root_selector != kRootLocalMachine) return -1;
        if (!new_key_path) return -2;
        return MoveKey(key_path, new_key_path);
    });
}

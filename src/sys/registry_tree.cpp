#include "sys/registry_tree.h"

#include <algorithm>
#include <cstdio>

namespace dk::sys {

namespace {

using dk::win::unique_hkey;

// Key names are at most 255 characters.
constexpr DWORD kKeyNameChars = 256;

// Buffers for the longest value name and the largest data of source, data at least 1 KiB.
LONG SizeBuffers(HKEY source, std::wstring& name, std::vector<BYTE>& data) {
    DWORD max_name = 0, max_data = 0;
    const LONG rc = ::RegQueryInfoKeyW(source, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                       &max_name, &max_data, nullptr, nullptr);
    if (rc != ERROR_SUCCESS) return rc;
    name.assign(max_name + 1, L'\0');
    data.assign(std::max<DWORD>(max_data, 1024), 0);
    return ERROR_SUCCESS;
}

// Names and data go through the wide functions so that a moved key keeps characters outside
// the ANSI code page, and string data byte for byte.
LONG CopyValues(HKEY source, HKEY dest) {
    std::wstring name;
    std::vector<BYTE> data;
    if (const LONG rc = SizeBuffers(source, name, data); rc != ERROR_SUCCESS) return rc;
    for (DWORD index = 0, retries = 0;;) {
        DWORD chars = static_cast<DWORD>(name.size());
        DWORD size = static_cast<DWORD>(data.size());
        DWORD type = 0;
        LONG rc = ::RegEnumValueW(source, index, name.data(), &chars, nullptr, &type, data.data(), &size);
        if (rc == ERROR_NO_MORE_ITEMS) return ERROR_SUCCESS;
        if (rc == ERROR_MORE_DATA && retries++ < 3) {  // a value grew meanwhile: read it again
            if ((rc = SizeBuffers(source, name, data)) != ERROR_SUCCESS) return rc;
            continue;
        }
        if (rc != ERROR_SUCCESS) return rc;
        rc = ::RegSetValueExW(dest, name.c_str(), 0, type, data.data(), size);
        if (rc != ERROR_SUCCESS) return rc;
        ++index;
        retries = 0;
    }
}

LONG CopyTree(HKEY source, HKEY dest_parent, const std::wstring& name, const std::wstring& relative,
              std::vector<std::wstring>* created) {
    unique_hkey dest;
    DWORD disposition = 0;
    LONG rc = ::RegCreateKeyExW(dest_parent, name.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                KEY_ALL_ACCESS, nullptr, dest.put(), &disposition);
    if (rc != ERROR_SUCCESS) return rc;
    if (created && disposition == REG_CREATED_NEW_KEY) created->push_back(relative);
    if ((rc = CopyValues(source, dest.get())) != ERROR_SUCCESS) return rc;
    for (DWORD index = 0;; ++index) {
        wchar_t sub[kKeyNameChars];
        DWORD chars = kKeyNameChars;
        rc = ::RegEnumKeyExW(source, index, sub, &chars, nullptr, nullptr, nullptr, nullptr);
        if (rc == ERROR_NO_MORE_ITEMS) return ERROR_SUCCESS;
        if (rc != ERROR_SUCCESS) return rc;
        unique_hkey child;
        rc = ::RegOpenKeyExW(source, sub, 0, KEY_ALL_ACCESS, child.put());
        if (rc != ERROR_SUCCESS) return rc;
        rc = CopyTree(child.get(), dest.get(), sub, relative + L"\\" + sub, created);
        if (rc != ERROR_SUCCESS) return rc;
    }
}

bool DeleteTree(HKEY root, const std::wstring& path) {
    if (::RegDeleteKeyW(root, path.c_str()) == ERROR_SUCCESS) return true;
    {
        unique_hkey key;
        const LONG rc = ::RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, key.put());
        if (rc == ERROR_FILE_NOT_FOUND) {
            // Installers have no console; where there is none these lines go nowhere.
            std::fputs("Key not found.\n", stdout);
            return true;
        }
        if (rc != ERROR_SUCCESS) {
            std::fputs("Error opening key.\n", stdout);
            return false;
        }
        std::wstring previous;
        for (;;) {
            wchar_t sub[kKeyNameChars];
            DWORD chars = kKeyNameChars;
            if (::RegEnumKeyExW(key.get(), 0, sub, &chars, nullptr, nullptr, nullptr, nullptr) !=
                ERROR_SUCCESS)
                break;
            // A subkey that survives its own deletion would come back at index 0 for ever.
            if (previous == sub) return false;
            previous = sub;
            if (!DeleteTree(root, path + L"\\" + sub)) return false;
        }
    }
    return ::RegDeleteKeyW(root, path.c_str()) == ERROR_SUCCESS;
}

}  // namespace

std::wstring Widen(const char* path) {
    const int chars = ::MultiByteToWideChar(CP_ACP, 0, path, -1, nullptr, 0);
    if (chars <= 0) return {};
    std::wstring out(static_cast<std::size_t>(chars), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, path, -1, out.data(), chars);
    out.pop_back();
    return out;
}

LONG OpenKey(HKEY root, const char* path, REGSAM access, unique_hkey& out) {
    if (!path) return ERROR_INVALID_PARAMETER;
    return ::RegOpenKeyExW(root, Widen(path).c_str(), 0, access, out.put());
}

LONG DeleteKey(HKEY root, const char* path) {
    if (!path) return ERROR_INVALID_PARAMETER;
    return ::RegDeleteKeyW(root, Widen(path).c_str());
}

std::optional<std::string> SubKeyList(const char* path) {
    unique_hkey key;
    if (OpenKey(HKEY_LOCAL_MACHINE, path, KEY_READ, key) != ERROR_SUCCESS) return std::nullopt;
    DWORD count = 0;
    if (::RegQueryInfoKeyA(key.get(), nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr, nullptr,
                           nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return std::nullopt;
    std::string list;
    for (DWORD index = 0; index < count; ++index) {
        char name[kKeyNameChars];
        DWORD chars = sizeof name;
        if (::RegEnumKeyExA(key.get(), index, name, &chars, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        if (index) list += ',';
        list.append(name, chars);
    }
    if (list.empty()) return std::nullopt;
    return list;
}

LONG CopyKeyTree(HKEY source, HKEY dest_parent, const char* name, std::vector<std::wstring>* created) {
    const std::wstring wide = Widen(name);
    return CopyTree(source, dest_parent, wide, wide, created);
}

bool DeleteKeyTree(HKEY root, const char* path) { return path && DeleteTree(root, Widen(path)); }

void DeleteIfNoValues(HKEY root, const char* path) {
    DWORD values = 0;
    {
        unique_hkey key;
        if (OpenKey(root, path, KEY_READ, key) != ERROR_SUCCESS) return;
        if (::RegQueryInfoKeyA(key.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values,
                               nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            return;
    }
    if (values == 0) DeleteKey(root, path);
}

}  // namespace dk::sys

#include "test_keys.h"

#include <sddl.h>

#include <gtest/gtest.h>

namespace dk::test::reg {

namespace {

constexpr char kTestsKey[] = "SOFTWARE\\deploykit-tests";

void SetDacl(HKEY root, const std::wstring& path, const char* sddl) {
    PSECURITY_DESCRIPTOR sd = nullptr;
    if (!::ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl, SDDL_REVISION_1, &sd, nullptr)) return;
    HKEY key;
    if (::RegOpenKeyExW(root, path.c_str(), 0, WRITE_DAC, &key) == ERROR_SUCCESS) {
        ::RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, sd);
        ::RegCloseKey(key);
    }
    ::LocalFree(sd);
}

std::vector<std::wstring> SubKeys(HKEY key) {
    std::vector<std::wstring> names;
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD chars = 256;
        if (::RegEnumKeyExW(key, i, name, &chars, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        names.emplace_back(name, chars);
    }
    return names;
}

void RemoveTreeW(const std::wstring& path) {
    SetDacl(HKEY_LOCAL_MACHINE, path, "D:P(A;;KA;;;WD)");
    HKEY key;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return;
    const auto names = SubKeys(key);
    ::RegCloseKey(key);
    for (const auto& name : names) RemoveTreeW(path + L"\\" + name);
    ::RegDeleteKeyW(HKEY_LOCAL_MACHINE, path.c_str());
}

void SnapshotInto(HKEY key, const std::wstring& relative, Tree& tree) {
    auto& values = tree[relative];
    for (DWORD i = 0;; ++i) {
        wchar_t name[16384];
        DWORD chars = 16384, type = 0, size = 0;
        if (::RegEnumValueW(key, i, name, &chars, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) break;
        Value value{type, std::vector<BYTE>(size)};
        chars = 16384;
        ::RegEnumValueW(key, i, name, &chars, nullptr, &type, value.data.data(), &size);
        values[std::wstring(name, chars)] = value;
    }
    for (const auto& sub : SubKeys(key)) {
        HKEY child;
        ASSERT_EQ(::RegOpenKeyExW(key, sub.c_str(), 0, KEY_READ, &child), ERROR_SUCCESS);
        SnapshotInto(child, relative.empty() ? sub : relative + L"\\" + sub, tree);
        ::RegCloseKey(child);
    }
}

}  // namespace

std::wstring Wide(const std::string& ansi) {
    std::wstring out(ansi.size() + 1, L'\0');
    const int n =
        ::MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, out.data(), static_cast<int>(out.size()));
    out.resize(n > 0 ? n - 1 : 0);
    return out;
}

std::string UniqueRoot() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    return std::string(kTestsKey) + "\\" + info->test_suite_name() + "." + info->name() + "." +
           std::to_string(::GetCurrentProcessId()) + "." + std::to_string(::GetTickCount());
}

void CreateKeyW(const std::wstring& path) {
    HKEY key;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                &key, nullptr),
              ERROR_SUCCESS);
    ::RegCloseKey(key);
}

void CreateKey(const std::string& path) { CreateKeyW(Wide(path)); }

void SetValueW(const std::wstring& path, const std::wstring& name, DWORD type, const void* data, DWORD size) {
    HKEY key;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                &key, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(::RegSetValueExW(key, name.c_str(), 0, type, static_cast<const BYTE*>(data), size),
              ERROR_SUCCESS);
    ::RegCloseKey(key);
}

void SetString(const std::string& path, const std::string& name, const std::string& text, DWORD type) {
    const std::wstring wide = Wide(text);
    SetValueW(Wide(path), Wide(name), type, wide.c_str(),
              static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t)));
}

bool KeyExists(const std::string& path) {
    HKEY key;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, Wide(path).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    ::RegCloseKey(key);
    return true;
}

void MakeReadOnly(const std::string& path) { SetDacl(HKEY_LOCAL_MACHINE, Wide(path), "D:P(A;;KR;;;WD)"); }

void RemoveTree(const std::string& path) {
    RemoveTreeW(Wide(path));
    ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, kTestsKey);  // only once no other test has keys there
}

Tree Snapshot(const std::string& path) {
    Tree tree;
    HKEY key;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, Wide(path).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return tree;
    SnapshotInto(key, L"", tree);
    ::RegCloseKey(key);
    return tree;
}

}  // namespace dk::test::reg

// Registry keys of a test's own under HKEY_LOCAL_MACHINE, written and read back through the wide
// functions so that names and data are compared byte for byte.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

namespace dk::test::reg {

struct Value {
    DWORD type = 0;
    std::vector<BYTE> data;
    bool operator==(const Value&) const = default;
};
// Every key of a tree by its path relative to the tree's top ("" for the top), with its values.
using Tree = std::map<std::wstring, std::map<std::wstring, Value>>;

std::wstring Wide(const std::string& ansi);
// A path no other test uses: SOFTWARE\deploykit-tests\<test name>.<process>.<tick>.
std::string UniqueRoot();

void CreateKey(const std::string& path);
void CreateKeyW(const std::wstring& path);
void SetValueW(const std::wstring& path, const std::wstring& name, DWORD type, const void* data, DWORD size);
void SetString(const std::string& path, const std::string& name, const std::string& text,
               DWORD type = REG_SZ);
bool KeyExists(const std::string& path);
// Lets only reading the key, so that opening it for anything more fails.
void MakeReadOnly(const std::string& path);
// Removes the key with its subtree, read-only keys included.
void RemoveTree(const std::string& path);
Tree Snapshot(const std::string& path);

}  // namespace dk::test::reg

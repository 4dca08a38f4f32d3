// Registry work behind the registry exports: subkey lists, whole-tree copy and delete.
#pragma once

#include "frame/win/raii.h"

#include <optional>
#include <string>
#include <vector>

namespace dk::sys {

// The subkey names of HKEY_LOCAL_MACHINE\path joined by ",", in enumeration order; nothing when
// the key cannot be opened or has no subkeys.
std::optional<std::string> SubKeyList(const char* path);

// Creates (or opens) name under dest_parent and copies every value and, recursively, every
// subkey of source into it, names and data unchanged. Each key the call creates is appended to
// created, as a path relative to dest_parent, parents before children, so that a copy that
// fails half-way can be undone. Returns 0 or the registry's error code.
LONG CopyKeyTree(HKEY source, HKEY dest_parent, const char* name,
                 std::vector<std::wstring>* created = nullptr);

// Deletes root\path with all its subkeys. True when the key is gone (deleted, or not found).
bool DeleteKeyTree(HKEY root, const char* path);

// Deletes root\path when it holds no values (and, as the registry requires, no subkeys).
void DeleteIfNoValues(HKEY root, const char* path);

// path in the system ANSI code page as UTF-16.
std::wstring Widen(const char* path);

// Paths reach the registry in UTF-16: the ANSI forms of some systems refuse paths longer than
// 260 characters. A null path is ERROR_INVALID_PARAMETER.
LONG OpenKey(HKEY root, const char* path, REGSAM access, dk::win::unique_hkey& out);
LONG DeleteKey(HKEY root, const char* path);

}  // namespace dk::sys

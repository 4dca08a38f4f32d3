// Test side of the ADSI stand-in: registers it in the Wine prefix as the provider of the "IIS:"
// namespace for the scope, gives it a metabase file of the test's own, and reads back the file
// and the journal of every bind, create, put, commit and delete it received. Registration is
// machine-wide: tests using this hold the ctest lock "adsi".
#pragma once

#include <windows.h>
#include <shlwapi.h>

#include <string>

#include "standins/adsi/adsi_standin_ids.h"
#include "support/dk_test.h"

namespace adsi_standin {

class Registration {
public:
    Registration() : metabase_(dir_ / "metabase.txt"), env_(kMetabaseVariable, metabase_.c_str()) {
        Unregister();
        const std::string dll = dk::test::BinDir() + "\\standins\\adsi_standin.dll";
        const std::string clsid_key = std::string("CLSID\\") + kClsidText + "\\InprocServer32";
        ok_ = Set(HKEY_LOCAL_MACHINE, kProvidersKey, nullptr, kProgId) &&
              Set(HKEY_CLASSES_ROOT, std::string(kProgId) + "\\CLSID", nullptr, kClsidText) &&
              Set(HKEY_CLASSES_ROOT, clsid_key, nullptr, dll) &&
              Set(HKEY_CLASSES_ROOT, clsid_key, "ThreadingModel", "Both");
        Write("");
    }
    Registration(const Registration&) = delete;
    Registration& operator=(const Registration&) = delete;
    ~Registration() { Unregister(); }

    bool ok() const { return ok_; }
    const std::string& metabase_path() const { return metabase_; }
    // Replaces the metabase and forgets the journal.
    void Write(const std::string& metabase) const {
        dk::test::WriteFile(metabase_, metabase);
        dk::test::WriteFile(metabase_ + ".journal", "");
    }
    std::string Metabase() const { return dk::test::ReadFile(metabase_); }
    std::string Journal() const { return dk::test::ReadFile(metabase_ + ".journal"); }

private:
    static constexpr char kProvidersKey[] = "Software\\Microsoft\\ADs\\Providers\\IIS";

    static bool Set(HKEY root, const std::string& key, const char* name, const std::string& value) {
        HKEY opened = nullptr;
        if (RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &opened, nullptr) !=
            ERROR_SUCCESS)
            return false;
        const LONG rc = RegSetValueExA(opened, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                       static_cast<DWORD>(value.size() + 1));
        RegCloseKey(opened);
        return rc == ERROR_SUCCESS;
    }
    static void Unregister() {
        SHDeleteKeyA(HKEY_LOCAL_MACHINE, kProvidersKey);
        SHDeleteKeyA(HKEY_CLASSES_ROOT, kProgId);
        SHDeleteKeyA(HKEY_CLASSES_ROOT, (std::string("CLSID\\") + kClsidText).c_str());
    }

    dk::test::TempDir dir_;
    std::string metabase_;
    dk::test::ScopedEnv env_;
    bool ok_ = false;
};

}  // namespace adsi_standin

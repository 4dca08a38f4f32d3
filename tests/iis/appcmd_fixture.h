// Points the library at the appcmd.exe stand-in: IIS major version in Wine's registry, "windir"
// naming the stand-in's Windows folder, a seeded state file, and no journal, control rules or
// trace log left over. Everything is put back afterwards.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "deploykit.h"
#include "standins/appcmd/appcmd_model.h"
#include "standins/appcmd/control.h"
#include "support/dk_test.h"

namespace dk::iis::testing {

// Sites 1 and 3 with root applications; site 2 exists only in IIS 6 metabases.
inline constexpr char kSeed[] =
    "site\t1\tDefault Web Site\tStarted\thttp/*:80:\n"
    "site\t3\tIntranet\tStopped\thttp/10.0.0.5:8080:intranet\n"
    "anonymous\tIUSR\n"
    "apppool\tDefaultAppPool\tmanagedRuntimeVersion=v4.0\n"
    "app\tDefault Web Site\t/\tDefaultAppPool\n"
    "vdir\tDefault Web Site\t/\t/\tC:\\inetpub\\wwwroot\n"
    "app\tIntranet\t/\tDefaultAppPool\n"
    "vdir\tIntranet\t/\t/\tC:\\inetpub\\intranet\n";

// MajorVersion under HKLM "SOFTWARE\Microsoft\InetStp" for the scope (nothing: value removed).
class ScopedIisVersion {
public:
    explicit ScopedIisVersion(std::optional<DWORD> major);
    ~ScopedIisVersion();
    ScopedIisVersion(const ScopedIisVersion&) = delete;
    ScopedIisVersion& operator=(const ScopedIisVersion&) = delete;

private:
    std::optional<DWORD> saved_;
};

class AppcmdStandin {
public:
    AppcmdStandin();
    ~AppcmdStandin();
    AppcmdStandin(const AppcmdStandin&) = delete;
    AppcmdStandin& operator=(const AppcmdStandin&) = delete;

    static std::string Windir();
    std::string Program() const { return Windir() + "\\system32\\inetsrv\\appcmd.exe"; }
    // The command lines received, each without the program path and its blank.
    std::vector<std::string> Journal() const;
    dk::standin::State State() const;
    void Seed(const std::string& state_text) const;
    void Control(const std::vector<dk::standin::Rule>& rules) const;
    void ClearJournal() const { DeleteFileA(File("appcmd.journal").c_str()); }

private:
    std::string File(const char* name) const { return Windir() + "\\system32\\inetsrv\\" + name; }
    dk::test::ScopedEnv windir_;
    HANDLE release_ = nullptr;
};

// The trace log's records, read whole (empty when there is no log).
std::string TraceLog();
bool TraceLogExists();
void RemoveTraceLog();

// A ResultString handed back by an export, as text, freed.
std::string Take(char* result);

}  // namespace dk::iis::testing

// MySqlLoadLib and MySqlClientInfo: finding, loading and binding the MySQL client library.
#include <direct.h>

#include <cstdio>

#include "deploykit.h"
#include "frame/fixed_texts.h"
#include "frame/result.h"
#include "frame/win/raii.h"
#include "mysql/mysql_binding.h"

namespace dk::mysql {
namespace {

template <class Fn>
void Bind(HMODULE module, const char* name, Fn& slot, bool& all_found) noexcept {
    slot = reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
    if (!slot) all_found = false;
}

}  // namespace

int LoadMySqlClient(MySqlBinding* record) noexcept {
    char cwd[MAX_PATH] = "";
    if (!_getcwd(cwd, sizeof cwd)) cwd[0] = '\0';
    char settings[MAX_PATH];
    std::snprintf(settings, sizeof settings, "%s\\%s", cwd, kSettingsFile);
    TraceMySql(kLabelLoadLib, "%s: inifile = %s", settings);

    char library[MAX_PATH];
    DWORD length =
        ::GetPrivateProfileStringA("LibMysql", "path", kDefaultLibrary, library, sizeof library, settings);
    TraceMySql(kLabelLoadLib, "%s: libpath = %s (%lu)", library, static_cast<unsigned long>(length));

    win::unique_hmodule module(::LoadLibraryA(library));
    TraceMySql(kLabelLoadLib, "%s: LoadLibrary(%s) returns %d", library, TraceNumber(module.get()));
    if (!module) return kLoadFailed;
    if (!record) return 0;

    *record = {};
    record->module = module.get();
    bool loaded = true;
    // All are looked up, also after a missing one.
    Bind(module.get(), "mysql_init", record->init, loaded);
    Bind(module.get(), "mysql_close", record->close, loaded);
    Bind(module.get(), "mysql_real_connect", record->real_connect, loaded);
    Bind(module.get(), "mysql_select_db", record->select_db, loaded);
    Bind(module.get(), "mysql_query", record->query, loaded);
    Bind(module.get(), "mysql_error", record->error, loaded);
    Bind(module.get(), "mysql_store_result", record->store_result, loaded);
    Bind(module.get(), "mysql_fetch_row", record->fetch_row, loaded);
    Bind(module.get(), "mysql_num_fields", record->num_fields, loaded);
    Bind(module.get(), "mysql_field_seek", record->field_seek, loaded);
    Bind(module.get(), "mysql_fetch_field", record->fetch_field, loaded);
    Bind(module.get(), "mysql_get_client_info", record->get_client_info, loaded);
    Bind(module.get(), "mysql_get_client_version", record->get_client_version, loaded);
    TraceMySql(kLabelLoadLib, "%s: loaded = %s", loaded ? "true" : "false");
    if (!loaded) return kEntryPointMissing;

    TraceMySql(kLabelLoadLib, "%s: version = %lu", record->get_client_version());
    module.release();  // the record's owner frees it
    return 0;
}

}  // namespace dk::mysql

extern "C" int __cdecl MySqlLoadLib(void* record) noexcept {
    return dk::guarded(dk::mysql::kLoadFailed, [&] {
        return dk::mysql::LoadMySqlClient(static_cast<dk::mysql::MySqlBinding*>(record));
    });
}

extern "C" char* __cdecl MySqlClientInfo(void) noexcept {
    using dk::fixed::kCannotLoadMysqlLibrary;
    return dk::guarded(const_cast<char*>(kCannotLoadMysqlLibrary), [&] {
        dk::mysql::MySqlBinding binding{};
        if (dk::mysql::LoadMySqlClient(&binding) != 0) return const_cast<char*>(kCannotLoadMysqlLibrary);
        // The text lies in the client's storage, so the client stays loaded for the process.
        const char* info = binding.get_client_info();
        static char empty[] = "";
        return info ? const_cast<char*>(info) : empty;
    });
}

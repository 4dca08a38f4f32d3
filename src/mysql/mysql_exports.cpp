// The MySQL exports: connection tests, database check, script runner and single-value read.
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

#include "db/script_dialect.h"
#include "deploykit.h"
#include "frame/fixed_texts.h"
#include "frame/log.h"
#include "frame/result.h"
#include "frame/win/raii.h"
#include "mysql/mysql_binding.h"

namespace dk::mysql {
namespace {

constexpr int kConnectFailed = -10;
constexpr int kSelectFailed = -2;
constexpr int kScriptUnreadable = 999;
// Written to the error log where the password would stand.
constexpr char kPasswordMask[] = "********";

const char* Shown(const char* text) noexcept { return text ? text : "(null)"; }

bool SameNameNoCase(const char* a, const char* b) noexcept {
    if (std::strlen(a) != std::strlen(b)) return false;
    for (; *a; ++a, ++b) {
        char x = (*a >= 'a' && *a <= 'z') ? static_cast<char>(*a - 32) : *a;
        char y = (*b >= 'a' && *b <= 'z') ? static_cast<char>(*b - 32) : *b;
        if (x != y) return false;
    }
    return true;
}

// A database is selected only when one was named: a null name is refused, not passed on.
int SelectDatabase(const MySqlBinding& api, const Connection& conn, const char* database) noexcept {
    return database ? api.select_db(conn.get(), database) : -1;
}

// Error-log messages are cut after 4096 characters.
template <class... Args>
void LogFailure(int* counter, const char* format, Args... args) noexcept {
    char message[4096 + 1];
    std::snprintf(message, sizeof message, format, args...);
    LogDbError(message, counter);
}

// A stored result set, freed through mysql_free_result when the client has it. That entry point
// is looked up on its own: the 14 words of the binding record are part of MySqlLoadLib's interface.
class ResultSet {
public:
    ResultSet(const MySqlBinding& api, MYSQL_RES* result) noexcept
        : result_(result),
          free_(reinterpret_cast<mysql_free_result_fn>(
              reinterpret_cast<void*>(::GetProcAddress(api.module, "mysql_free_result")))) {}
    ResultSet(const ResultSet&) = delete;
    ResultSet& operator=(const ResultSet&) = delete;
    ~ResultSet() {
        if (result_ && free_) free_(result_);
    }
    MYSQL_RES* get() const noexcept { return result_; }

private:
    MYSQL_RES* result_;
    mysql_free_result_fn free_;
};

int TestConnection(const char* login, const char* password, const char* host, int port,
                   const char* database) {
    const char* label = kLabelTestConn;
    ClientLibrary lib;
    if (int rc = lib.Load(); rc != 0) {
        TraceMySql(label, "%s: library cannot be loaded (%d)", rc);
        return rc;
    }
    TraceMySql(label, "%s: library loaded");
    Connection conn(lib.api());
    TraceMySql(label, "%s: mysql initialized");
    if (!conn.Connect(host, login, password, database, port)) {
        TraceMySql(label, "%s: connect failed");
        return kConnectFailed;
    }
    TraceMySql(label, "%s: connect succeed");
    conn.Close();
    TraceMySql(label, "%s: mysql closed");
    lib.Free();
    TraceMySql(label, "%s: library freed");
    return 0;
}

char* TestConnectionText(const char* login, const char* password, const char* host, int port,
                         const char* database) {
    const char* label = kLabelTestConn2;
    ClientLibrary lib;
    if (int rc = lib.Load(); rc != 0) {
        TraceMySql(label, "%s: library cannot be loaded (%d)", rc);
        return const_cast<char*>(fixed::kCannotLoadMysqlLibraries);
    }
    TraceMySql(label, "%s: library loaded");
    Connection conn(lib.api());
    TraceMySql(label, "%s: mysql initialized");
    if (conn.Connect(host, login, password, database, port)) return nullptr;
    TraceMySql(label, "%s: connect failed");
    char* error = NewResult(conn.Error());
    TraceMySql(label, "%s: error = %s", Shown(error));
    return error;
}

int ExistsDatabase(const char* login, const char* password, const char* host, int port,
                   const char* database) {
    const char* label = kLabelExistsDb;
    ClientLibrary lib;
    if (int rc = lib.Load(); rc != 0) {
        TraceMySql(label, "%s: library cannot be loaded (%d)", rc);
        return rc;
    }
    TraceMySql(label, "%s: library loaded");
    Connection conn(lib.api());
    TraceMySql(label, "%s: mysql initialized");
    if (!conn.Connect(host, login, password, database, port)) {
        TraceMySql(label, "%s: connect failed");
        conn.Close();
        lib.Free();
        TraceMySql(label, "%s: library freed");
        return kConnectFailed;
    }
    TraceMySql(label, "%s: connect succeed");
    int selected = SelectDatabase(lib.api(), conn, database);
    TraceMySql(label, "%s: select returns %d", selected);
    conn.Close();
    TraceMySql(label, "%s: mysql closed");
    lib.Free();
    TraceMySql(label, "%s: library freed");
    return selected == 0 ? 0 : kSelectFailed;
}

int RunScript(const char* login, const char* password, const char* host, int port, const char* database,
              const char* path, int* counter) {
    ClientLibrary lib;
    if (int rc = lib.Load(); rc != 0) return rc;
    const MySqlBinding& api = lib.api();
    Connection conn(api);
    if (!conn.Connect(host, login, password, nullptr, port)) {
        LogFailure(counter,
                   "MySqlExecSQL: Error connecting to MySQL (host: %s, login: %s, password: %s, port: %d\n"
                   "Error = %s",
                   Shown(host), Shown(login), kPasswordMask, port, conn.Error());
        return kConnectFailed;
    }
    if (SelectDatabase(api, conn, database) != 0) {
        LogFailure(counter, "MySqlExecSQL: Error selecting database (database: %s)\nError = %s",
                   Shown(database), database ? conn.Error() : "no database named");
        return kSelectFailed;
    }
    std::optional<std::string> script = db::LoadScriptText(path);
    if (!script) {
        LogFailure(counter, "MySqlExecSQL: cannot open query file %s", Shown(path));
        return kScriptUnreadable;
    }
    for (const std::string& statement : db::PrepareMySqlScript(std::move(*script))) {
        if (api.query(conn.get(), statement.c_str()) != 0)
            LogFailure(counter, "%s\nError = %s\nSqlStatement = %s", path, conn.Error(), statement.c_str());
    }
    return 0;
}

char* ReadValue(const char* login, const char* password, const char* host, int port, const char* database,
                const char* query, const char* field) {
    const char* label = kLabelGetRs;
    if (!query || !field) return NewResult(fixed::kError);
    win::unique_cstr result(NewResult(fixed::kError));
    ClientLibrary lib;
    if (int rc = lib.Load(); rc != 0) {
        TraceMySql(label, "%s: library cannot be loaded (%d)", rc);
        return const_cast<char*>(fixed::kErrore);
    }
    const MySqlBinding& api = lib.api();
    TraceMySql(label, "%s: library loaded");
    Connection conn(api);
    TraceMySql(label, "%s: mysql initialized");
    if (!conn.Connect(host, login, password, nullptr, port)) {
        TraceMySql(label, "%s: connect failed");
        conn.Close();
        lib.Free();
        TraceMySql(label, "%s: library freed");
        return result.release();
    }
    TraceMySql(label, "%s: connect succeed");
    auto finish = [&] {
        conn.Close();
        TraceMySql(label, "%s: connection closed");
        lib.Free();
        TraceMySql(label, "%s: library freed");
        return result.release();
    };
    int selected = SelectDatabase(api, conn, database);
    TraceMySql(label, "%s: select returns %d", selected);
    if (selected != 0) return finish();
    int queried = api.query(conn.get(), query);
    TraceMySql(label, "%s: query returns %d", queried);
    if (queried != 0) return finish();
    {
        ResultSet rs(api, api.store_result(conn.get()));
        if (!rs.get()) {
            TraceMySql(label, "%s: empty result");
            return finish();
        }
        MYSQL_ROW row = api.fetch_row(rs.get());
        TraceMySql(label, "%s: fetch returns %d", TraceNumber(row));
        TraceMySql(label, "%s: field = %s", field);
        const int count = static_cast<int>(api.num_fields(rs.get()));
        TraceMySql(label, "%s: nField = %d", count);
        api.field_seek(rs.get(), 0);
        TraceMySql(label, "%s: seek successful");
        for (int i = 0; i < count; ++i) {
            const MYSQL_FIELD_HEAD* fi = api.fetch_field(rs.get());
            TraceMySql(label, "%s: fi(%d) = %x", i, static_cast<unsigned>(TraceNumber(fi)));
            if (!fi) {
                TraceMySql(label, "%s: empty fi");
                continue;
            }
            if (!fi->name) {
                TraceMySql(label, "%s: empty fi->name");
                continue;
            }
            TraceMySql(label, "%s: fi->name = %s", fi->name);
            if (!SameNameNoCase(fi->name, field)) continue;
            const char* value = row ? row[i] : nullptr;
            TraceMySql(label, "%s: field found; row[%d] = %s", i, value ? value : "__NULL__");
            if (!value) break;
            // The last column of that name gives the value.
            result.reset(NewResult(value));
        }
    }
    return finish();
}

}  // namespace
}  // namespace dk::mysql

using namespace dk::mysql;

extern "C" int __stdcall MySqlTestCONN(const char* login, const char* password, const char* host, int port,
                                       const char* database) noexcept {
    return dk::guarded(kConnectFailed, [&] { return TestConnection(login, password, host, port, database); });
}

extern "C" char* __stdcall MySqlTestCONN2(const char* login, const char* password, const char* host, int port,
                                          const char* database) noexcept {
    return dk::guarded(const_cast<char*>(dk::fixed::kCannotLoadMysqlLibraries),
                       [&] { return TestConnectionText(login, password, host, port, database); });
}

extern "C" int __stdcall MySqlExistsDB(const char* login, const char* password, const char* host, int port,
                                       const char* database) noexcept {
    return dk::guarded(kConnectFailed, [&] { return ExistsDatabase(login, password, host, port, database); });
}

extern "C" int __stdcall MySqlExecSQL(const char* login, const char* password, const char* host, int port,
                                      const char* database, const char* script_file_path,
                                      int* error_counter) noexcept {
    return dk::guarded(kConnectFailed, [&] {
        return RunScript(login, password, host, port, database, script_file_path, error_counter);
    });
}

extern "C" char* __cdecl MySqlGetRS(const char* login, const char* password, const char* host, int port,
                                    const char* database, const char* query,
                                    const char* field_name) noexcept {
    return dk::guarded(const_cast<char*>(dk::fixed::kErrore),
                       [&] { return ReadValue(login, password, host, port, database, query, field_name); });
}

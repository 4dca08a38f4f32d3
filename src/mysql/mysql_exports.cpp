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

// The client loaded and a connection structure prepared, with the trace lines every traced
// export writes for these steps. Destroyed in reverse: the connection closes before the library
// goes.
class TracedSession {
public:
    explicit TracedSession(const char* label) noexcept : label_(label) {
        load_result_ = lib_.Load();
        if (load_result_ != 0) {
            TraceMySql(label_, "%s: library cannot be loaded (%d)", load_result_);
            return;
        }
        TraceMySql(label_, "%s: library loaded");
        conn_.emplace(lib_.api());
        TraceMySql(label_, "%s: mysql initialized");
    }
    int load_result() const noexcept { return load_result_; }
    const MySqlBinding& api() const noexcept { return lib_.api(); }
    Connection& conn() noexcept { return *conn_; }

    // Connects and traces the outcome ("connect succeed" or "connect failed").
    bool Connect(const char* host, const char* login, const char* password, const char* database, int port) {
        bool ok = conn_->Connect(host, login, password, database, port);
        TraceMySql(label_, ok ? "%s: connect succeed" : "%s: connect failed");
        return ok;
    }
    // Closes the connection, tracing closed_line when given, then frees the library.
    void End(const char* closed_line) noexcept {
        conn_->Close();
        if (closed_line) TraceMySql(label_, closed_line);
        lib_.Free();
        TraceMySql(label_, "%s: library freed");
    }

private:
    const char* label_;
    ClientLibrary lib_;
    std::optional<Connection> conn_;
    int load_result_;
};

int TestConnection(const char* login, const char* password, const char* host, int port,
                   const char* database) {
    TracedSession session(kLabelTestConn);
    if (int rc = session.load_result(); rc != 0) return rc;
    if (!session.Connect(host, login, password, database, port)) return kConnectFailed;
    session.End("%s: mysql closed");
    return 0;
}

char* TestConnectionText(const char* login, const char* password, const char* host, int port,
                         const char* database) {
    TracedSession session(kLabelTestConn2);
    if (session.load_result() != 0) return const_cast<char*>(fixed::kCannotLoadMysqlLibraries);
    if (session.conn().Connect(host, login, password, database, port)) return nullptr;
    TraceMySql(kLabelTestConn2, "%s: connect failed");
    char* error = NewResult(session.conn().Error());
    TraceMySql(kLabelTestConn2, "%s: error = %s", Shown(error));
    return error;
}

int ExistsDatabase(const char* login, const char* password, const char* host, int port,
                   const char* database) {
    TracedSession session(kLabelExistsDb);
    if (int rc = session.load_result(); rc != 0) return rc;
    if (!session.Connect(host, login, password, database, port)) {
        session.End(nullptr);
        return kConnectFailed;
    }
    int selected = SelectDatabase(session.api(), session.conn(), database);
    TraceMySql(kLabelExistsDb, "%s: select returns %d", selected);
    session.End("%s: mysql closed");
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
    TracedSession session(label);
    if (session.load_result() != 0) return const_cast<char*>(fixed::kErrore);
    if (!session.Connect(host, login, password, nullptr, port)) {
        session.End(nullptr);
        return result.release();
    }
    auto finish = [&] {
        session.End("%s: connection closed");
        return result.release();
    };
    const MySqlBinding& api = session.api();
    MYSQL* conn = session.conn().get();
    int selected = SelectDatabase(api, session.conn(), database);
    TraceMySql(label, "%s: select returns %d", selected);
    if (selected != 0) return finish();
    int queried = api.query(conn, query);
    TraceMySql(label, "%s: query returns %d", queried);
    if (queried != 0) return finish();
    {
        ResultSet rs(api, api.store_result(conn));
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

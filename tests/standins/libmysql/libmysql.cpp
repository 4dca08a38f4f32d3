// A MySQL client library for the tests: the entry points deploykit binds, carried out over ODBC's
// wide-character functions. Under Wine those reach the host's unixODBC and the MariaDB driver, so
// every call talks to a real MariaDB server: real logins, real errors, real result sets.
#include <windows.h>
// windows.h first: the ODBC headers build on its types.
#include <sql.h>
#include <sqlext.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "mysql/mysql_api.h"

namespace {

constexpr char kClientInfo[] = "10.11.19-odbc-standin";
constexpr unsigned long kClientVersion = 101119;

std::wstring Wide(const char* text) {
    if (!text || !*text) return {};
    int n = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, -1, out.data(), n);
    out.resize(static_cast<std::size_t>(n - 1));
    return out;
}

std::string Narrow(const wchar_t* text, int length) {
    if (length <= 0) return {};
    int n = WideCharToMultiByte(CP_ACP, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, text, length, out.data(), n, nullptr, nullptr);
    return out;
}

// An ODBC connection attribute value, braced so that ';' and '=' stay inside it.
std::wstring Attribute(const wchar_t* key, const std::wstring& value) {
    std::wstring braced;
    for (wchar_t c : value) braced += c == L'}' ? std::wstring(L"}}") : std::wstring(1, c);
    return std::wstring(key) + L"={" + braced + L"};";
}

}  // namespace

// What callers have not released yet, for the tests to check (while they hold the library loaded).
static LONG open_connections = 0;
static LONG open_results = 0;

struct st_mysql_res {
    std::vector<std::string> names;
    std::vector<MYSQL_FIELD_HEAD> fields;
    std::vector<std::vector<std::optional<std::string>>> rows;
    std::vector<char*> row_view;
    std::size_t next_row = 0;
    unsigned int next_field = 0;
};

struct st_mysql {
    SQLHENV env = SQL_NULL_HENV;
    SQLHDBC dbc = SQL_NULL_HDBC;
    SQLHSTMT stmt = SQL_NULL_HSTMT;
    bool connected = false;
    std::string error;

    ~st_mysql() {
        DropStatement();
        if (connected) SQLDisconnect(dbc);
        if (dbc) SQLFreeHandle(SQL_HANDLE_DBC, dbc);
        if (env) SQLFreeHandle(SQL_HANDLE_ENV, env);
    }
    void DropStatement() {
        if (stmt) SQLFreeHandle(SQL_HANDLE_STMT, stmt);
        stmt = SQL_NULL_HSTMT;
    }
    // The driver's first diagnostic without its "[vendor][driver]" prefixes, as the MySQL
    // client words it.
    void TakeError(SQLSMALLINT type, SQLHANDLE handle) {
        SQLWCHAR state[6];
        SQLINTEGER native = 0;
        SQLWCHAR text[1024];
        SQLSMALLINT length = 0;
        if (!SQL_SUCCEEDED(SQLGetDiagRecW(type, handle, 1, state, &native, text, 1024, &length))) {
            error = "unknown ODBC error";
            return;
        }
        std::string message = Narrow(reinterpret_cast<wchar_t*>(text), length);
        while (!message.empty() && message[0] == '[') {
            std::size_t close = message.find(']');
            if (close == std::string::npos) break;
            message.erase(0, close + 1);
        }
        error = message;
    }
    int Execute(const std::wstring& statement) {
        DropStatement();
        if (!connected) {
            error = "MySQL server has gone away";
            return 1;
        }
        SQLAllocHandle(SQL_HANDLE_STMT, dbc, &stmt);
        SQLRETURN rc = SQLExecDirectW(
            stmt, reinterpret_cast<SQLWCHAR*>(const_cast<wchar_t*>(statement.c_str())), SQL_NTS);
        if (rc == SQL_SUCCESS || rc == SQL_SUCCESS_WITH_INFO || rc == SQL_NO_DATA) {
            error.clear();
            return 0;
        }
        TakeError(SQL_HANDLE_STMT, stmt);
        DropStatement();
        return 1;
    }
};

extern "C" {

MYSQL* WINAPI mysql_init(MYSQL* mysql) {
    if (mysql) return nullptr;  // only the client-allocated form is offered
    auto conn = std::make_unique<MYSQL>();
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &conn->env))) return nullptr;
    SQLSetEnvAttr(conn->env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_DBC, conn->env, &conn->dbc))) return nullptr;
    InterlockedIncrement(&open_connections);
    return conn.release();
}

void WINAPI mysql_close(MYSQL* mysql) {
    if (mysql) InterlockedDecrement(&open_connections);
    delete mysql;
}

MYSQL* WINAPI mysql_real_connect(MYSQL* mysql, const char* host, const char* user, const char* passwd,
                                 const char* db, unsigned int port, const char*, unsigned long) {
    if (!mysql || mysql->connected) return nullptr;
    std::wstring text = L"Driver={MariaDB Unicode};";
    text += Attribute(L"Server", host && *host ? Wide(host) : L"localhost");
    if (port) text += Attribute(L"Port", std::to_wstring(port));
    text += Attribute(L"User", Wide(user));
    text += Attribute(L"Password", Wide(passwd));
    if (db && *db) text += Attribute(L"Database", Wide(db));
    SQLSMALLINT out_length = 0;
    SQLRETURN rc = SQLDriverConnectW(mysql->dbc, nullptr, reinterpret_cast<SQLWCHAR*>(text.data()), SQL_NTS,
                                     nullptr, 0, &out_length, SQL_DRIVER_NOPROMPT);
    if (!SQL_SUCCEEDED(rc)) {
        mysql->TakeError(SQL_HANDLE_DBC, mysql->dbc);
        return nullptr;
    }
    mysql->connected = true;
    mysql->error.clear();
    return mysql;
}

int WINAPI mysql_select_db(MYSQL* mysql, const char* db) {
    if (!mysql || !db) return 1;
    std::wstring name;
    for (wchar_t c : Wide(db)) name += c == L'`' ? std::wstring(L"``") : std::wstring(1, c);
    return mysql->Execute(L"USE `" + name + L"`");
}

int WINAPI mysql_query(MYSQL* mysql, const char* query) {
    if (!mysql || !query) return 1;
    return mysql->Execute(Wide(query));
}

const char* WINAPI mysql_error(MYSQL* mysql) { return mysql ? mysql->error.c_str() : ""; }

MYSQL_RES* WINAPI mysql_store_result(MYSQL* mysql) {
    if (!mysql || !mysql->stmt) return nullptr;
    SQLHSTMT stmt = mysql->stmt;
    SQLSMALLINT columns = 0;
    if (!SQL_SUCCEEDED(SQLNumResultCols(stmt, &columns)) || columns <= 0) return nullptr;
    auto result = std::make_unique<MYSQL_RES>();
    for (SQLSMALLINT c = 1; c <= columns; ++c) {
        SQLWCHAR name[256];
        SQLSMALLINT length = 0, type = 0, digits = 0, nullable = 0;
        SQLULEN size = 0;
        SQLDescribeColW(stmt, static_cast<SQLUSMALLINT>(c), name, 256, &length, &type, &size, &digits,
                        &nullable);
        result->names.push_back(Narrow(reinterpret_cast<wchar_t*>(name), length));
    }
    for (SQLRETURN rc; (rc = SQLFetch(stmt)) == SQL_SUCCESS || rc == SQL_SUCCESS_WITH_INFO;) {
        auto& row = result->rows.emplace_back();
        for (SQLSMALLINT c = 1; c <= columns; ++c) {
            std::wstring value;
            bool is_null = false;
            for (;;) {
                wchar_t chunk[512];
                SQLLEN got = 0;
                SQLRETURN part =
                    SQLGetData(stmt, static_cast<SQLUSMALLINT>(c), SQL_C_WCHAR, chunk, sizeof chunk, &got);
                if (part == SQL_NO_DATA) break;
                if (!SQL_SUCCEEDED(part)) break;
                if (got == SQL_NULL_DATA) {
                    is_null = true;
                    break;
                }
                std::size_t have = (got == SQL_NO_TOTAL || got >= static_cast<SQLLEN>(sizeof chunk))
                                       ? sizeof chunk / sizeof(wchar_t) - 1
                                       : static_cast<std::size_t>(got) / sizeof(wchar_t);
                value.append(chunk, have);
                if (part == SQL_SUCCESS) break;
            }
            if (is_null)
                row.emplace_back(std::nullopt);
            else
                row.emplace_back(Narrow(value.data(), static_cast<int>(value.size())));
        }
    }
    mysql->DropStatement();
    for (std::string& name : result->names) result->fields.push_back(MYSQL_FIELD_HEAD{name.data()});
    InterlockedIncrement(&open_results);
    return result.release();
}

MYSQL_ROW WINAPI mysql_fetch_row(MYSQL_RES* result) {
    if (!result || result->next_row >= result->rows.size()) return nullptr;
    auto& row = result->rows[result->next_row++];
    result->row_view.clear();
    for (auto& value : row) result->row_view.push_back(value ? value->data() : nullptr);
    return result->row_view.data();
}

unsigned int WINAPI mysql_num_fields(MYSQL_RES* result) {
    return result ? static_cast<unsigned int>(result->fields.size()) : 0;
}

MYSQL_FIELD_OFFSET WINAPI mysql_field_seek(MYSQL_RES* result, MYSQL_FIELD_OFFSET offset) {
    if (!result) return 0;
    MYSQL_FIELD_OFFSET old = result->next_field;
    result->next_field = offset;
    return old;
}

MYSQL_FIELD_HEAD* WINAPI mysql_fetch_field(MYSQL_RES* result) {
    if (!result || result->next_field >= result->fields.size()) return nullptr;
    return &result->fields[result->next_field++];
}

void WINAPI mysql_free_result(MYSQL_RES* result) {
    if (result) InterlockedDecrement(&open_results);
    delete result;
}

// Not part of the client API: connections and result sets not yet released.
LONG WINAPI standin_open_connections(void) { return open_connections; }
LONG WINAPI standin_open_results(void) { return open_results; }

const char* WINAPI mysql_get_client_info(void) { return kClientInfo; }

unsigned long WINAPI mysql_get_client_version(void) { return kClientVersion; }

}  // extern "C"

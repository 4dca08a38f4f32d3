// The MySQL client library bound at run time, its trace log, and the owners every MySQL export
// uses so that the connection is closed and the library freed on every path.
#pragma once

#include <cstdint>
#include <utility>

#include "mysql/mysql_api.h"

namespace dk::mysql {

// The record MySqlLoadLib fills for its caller: 14 pointer-size words in this order.
struct MySqlBinding {
    HMODULE module;
    mysql_init_fn init;
    mysql_close_fn close;
    mysql_real_connect_fn real_connect;
    mysql_select_db_fn select_db;
    mysql_query_fn query;
    mysql_error_fn error;
    mysql_store_result_fn store_result;
    mysql_fetch_row_fn fetch_row;
    mysql_num_fields_fn num_fields;
    mysql_field_seek_fn field_seek;
    mysql_fetch_field_fn fetch_field;
    mysql_get_client_info_fn get_client_info;
    mysql_get_client_version_fn get_client_version;
};
static_assert(sizeof(MySqlBinding) == 14 * sizeof(void*));

inline constexpr int kLoadFailed = -100;
inline constexpr int kEntryPointMissing = -200;

inline constexpr char kLabelLoadLib[] = "MySqlLoadLib()";
inline constexpr char kLabelTestConn[] = "MySqlTestCONN()";
inline constexpr char kLabelTestConn2[] = "MySqlTestCONN2()";
inline constexpr char kLabelExistsDb[] = "MySqlExistsDB()";
inline constexpr char kLabelGetRs[] = "MySqlGetRS()";

inline constexpr char kTraceLog[] = "qiv_mysql.log";
inline constexpr char kSettingsFile[] = "qiv_mysql.ini";
inline constexpr char kDefaultLibrary[] = "libmysql.dll";

// Loads the client named by the settings file and, with a record, binds its entry points into it
// and leaves it loaded for the record's owner. 0, kLoadFailed or kEntryPointMissing.
int LoadMySqlClient(MySqlBinding* record) noexcept;

// "YYYY-MM-DD HH:MM:SS.mmm" of the local time.
void MySqlTimestamp(char (&buffer)[25]) noexcept;

// One line "timestamp - message" appended to the trace log, through a file of its own; the
// process's standard streams are never touched. A line that cannot be written is dropped.
void TraceMySqlLine(const char* format, ...) noexcept __attribute__((format(printf, 1, 2)));
// format begins with "%s" for the label.
template <class... Args>
void TraceMySql(const char* label, const char* format, Args... args) noexcept {
    TraceMySqlLine(format, label, args...);
}

// How the trace shows handles and pointers: as the 32-bit numbers the client's callers know.
inline int TraceNumber(const void* p) noexcept {
    return static_cast<int>(reinterpret_cast<std::intptr_t>(p));
}

// The client library for one call: loaded with a record of its own, freed at the end.
class ClientLibrary {
public:
    ClientLibrary() noexcept = default;
    ClientLibrary(const ClientLibrary&) = delete;
    ClientLibrary& operator=(const ClientLibrary&) = delete;
    ~ClientLibrary() { Free(); }

    int Load() noexcept {
        int rc = LoadMySqlClient(&api_);
        if (rc != 0) api_ = {};
        return rc;
    }
    const MySqlBinding& api() const noexcept { return api_; }
    void Free() noexcept {
        if (api_.module) ::FreeLibrary(std::exchange(api_.module, nullptr));
    }

private:
    MySqlBinding api_{};
};

// A connection structure the client allocates itself (we do not know its size), closed once.
class Connection {
public:
    explicit Connection(const MySqlBinding& api) noexcept : api_(api), handle_(api.init(nullptr)) {}
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    ~Connection() { Close(); }

    // A null text is passed on: the C API reads it as its default (local host, current user,
    // no password, no database).
    bool Connect(const char* host, const char* user, const char* password, const char* database,
                 int port) noexcept {
        return handle_ && api_.real_connect(handle_, host, user, password, database,
                                            static_cast<unsigned int>(port), socket_name_, 0) != nullptr;
    }
    const char* Error() const noexcept {
        const char* text = handle_ ? api_.error(handle_) : nullptr;
        return text ? text : "MySQL client could not allocate a connection";
    }
    MYSQL* get() const noexcept { return handle_; }
    void Close() noexcept {
        if (handle_) api_.close(std::exchange(handle_, nullptr));
    }

private:
    const MySqlBinding& api_;
    MYSQL* handle_;
    char socket_name_[1] = {'\0'};
};

}  // namespace dk::mysql

// The part of the MySQL C client API the library calls, as libmysql.dll exports it on Windows:
// stdcall entry points over opaque handles. The library never links the client; it binds these
// by name at run time (mysql_binding.h).
#pragma once

#include <windows.h>

extern "C" {

struct st_mysql;
struct st_mysql_res;
using MYSQL = st_mysql;
using MYSQL_RES = st_mysql_res;
using MYSQL_ROW = char**;  // one text per column, null for an SQL NULL
using MYSQL_FIELD_OFFSET = unsigned int;
// A column descriptor; the library reads nothing but its first member.
struct MYSQL_FIELD_HEAD {
    char* name;
};

using mysql_init_fn = MYSQL*(WINAPI*)(MYSQL* mysql);
using mysql_close_fn = void(WINAPI*)(MYSQL* mysql);
using mysql_real_connect_fn = MYSQL*(WINAPI*)(MYSQL* mysql, const char* host, const char* user,
                                              const char* passwd, const char* db, unsigned int port,
                                              const char* unix_socket, unsigned long client_flag);
using mysql_select_db_fn = int(WINAPI*)(MYSQL* mysql, const char* db);
using mysql_query_fn = int(WINAPI*)(MYSQL* mysql, const char* query);
using mysql_error_fn = const char*(WINAPI*)(MYSQL* mysql);
using mysql_store_result_fn = MYSQL_RES*(WINAPI*)(MYSQL* mysql);
using mysql_fetch_row_fn = MYSQL_ROW(WINAPI*)(MYSQL_RES* result);
using mysql_num_fields_fn = unsigned int(WINAPI*)(MYSQL_RES* result);
using mysql_field_seek_fn = MYSQL_FIELD_OFFSET(WINAPI*)(MYSQL_RES* result, MYSQL_FIELD_OFFSET offset);
using mysql_fetch_field_fn = MYSQL_FIELD_HEAD*(WINAPI*)(MYSQL_RES* result);
using mysql_get_client_info_fn = const char*(WINAPI*)(void);
using mysql_get_client_version_fn = unsigned long(WINAPI*)(void);
using mysql_free_result_fn = void(WINAPI*)(MYSQL_RES* result);

}  // extern "C"

// Loading and binding the MySQL client, the settings file and the trace log. No server needed.
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <regex>

#include "deploykit.h"
#include "frame/fixed_texts.h"
#include "mysql/mysql_binding.h"
#include "mysql_test_support.h"

namespace {

using dk::mysql::MySqlBinding;
using dk::test::ReadFile;
using dk::test::WriteFile;
using Messages = std::vector<std::string>;

class Loader : public dk::test::mysql::MySqlWorkDir {};

bool IsLoaded(const std::string& path) { return GetModuleHandleA(path.c_str()) != nullptr; }

TEST_F(Loader, WithoutSettingsFileTheDefaultNameIsTried) {
    // No libmysql.dll lies on the search path of the test program.
    EXPECT_EQ(MySqlLoadLib(nullptr), -100);
    EXPECT_EQ(TraceMessages(), (Messages{
                                   "MySqlLoadLib(): inifile = " + cwd() + "\\qiv_mysql.ini",
                                   "MySqlLoadLib(): libpath = libmysql.dll (12)",
                                   "MySqlLoadLib(): LoadLibrary(libmysql.dll) returns 0",
                               }));
}

TEST_F(Loader, SettingsFileNamesTheLibrary) {
    const std::string client = dk::test::mysql::StandinClient();
    UseClient(client);
    EXPECT_EQ(MySqlLoadLib(nullptr), 0);
    const Messages lines = TraceMessages();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[1], "MySqlLoadLib(): libpath = " + client + " (" + std::to_string(client.size()) + ")");
    EXPECT_TRUE(
        std::regex_match(lines[2], std::regex(R"(MySqlLoadLib\(\): LoadLibrary\(.*\) returns -?[1-9]\d*)")))
        << lines[2];
    EXPECT_FALSE(IsLoaded(client)) << "a test load without a record frees the library again";
}

TEST_F(Loader, MissingLibraryGivesMinus100AndThreeLines) {
    UseClient("C:\\nowhere\\libmysql.dll");
    MySqlBinding record{};
    record.init = reinterpret_cast<mysql_init_fn>(1);
    EXPECT_EQ(MySqlLoadLib(&record), -100);
    EXPECT_EQ(record.init, reinterpret_cast<mysql_init_fn>(1)) << "the record is not touched";
    const Messages lines = TraceMessages();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[2], "MySqlLoadLib(): LoadLibrary(C:\\nowhere\\libmysql.dll) returns 0");
}

TEST_F(Loader, RecordIsFilledAndTheLibraryStaysLoaded) {
    const std::string client = dk::test::mysql::StandinClient();
    UseClient(client);
    MySqlBinding record{};
    ASSERT_EQ(MySqlLoadLib(&record), 0);
    EXPECT_EQ(record.module, GetModuleHandleA(client.c_str()));
    void* const* words = reinterpret_cast<void* const*>(&record);
    for (int i = 0; i < 14; ++i) EXPECT_NE(words[i], nullptr) << "word " << i + 1;
    EXPECT_EQ(record.get_client_version(), 101119ul);
    const Messages lines = TraceMessages();
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[3], "MySqlLoadLib(): loaded = true");
    EXPECT_EQ(lines[4], "MySqlLoadLib(): version = 101119");
    FreeLibrary(record.module);
    EXPECT_FALSE(IsLoaded(client));
}

TEST_F(Loader, MissingEntryPointGivesMinus200) {
    const std::string client = dk::test::mysql::PartialStandinClient();
    UseClient(client);
    MySqlBinding record{};
    EXPECT_EQ(MySqlLoadLib(&record), -200);
    const Messages lines = TraceMessages();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[3], "MySqlLoadLib(): loaded = false");
    EXPECT_FALSE(IsLoaded(client));
    // The exports pass the code on.
    EXPECT_EQ(MySqlTestCONN("u", "p", "127.0.0.1", 1, "d"), -200);
    EXPECT_EQ(MySqlExecSQL("u", "p", "127.0.0.1", 1, "d", "x.sql", nullptr), -200);
}

TEST_F(Loader, ClientInfo) {
    EXPECT_EQ(MySqlClientInfo(), dk::fixed::kCannotLoadMysqlLibrary);
    const std::string client = dk::test::mysql::StandinClient();
    UseClient(client);
    EXPECT_STREQ(MySqlClientInfo(), dk::test::mysql::kStandinClientInfo);
    EXPECT_TRUE(IsLoaded(client)) << "the version text lives in the client, which stays loaded";
    while (HMODULE m = GetModuleHandleA(client.c_str())) FreeLibrary(m);
}

TEST_F(Loader, LoadFailuresOfTheExports) {
    UseClient("C:\\nowhere\\libmysql.dll");
    EXPECT_EQ(MySqlTestCONN("u", "p", "h", 1, "d"), -100);
    EXPECT_EQ(MySqlTestCONN2("u", "p", "h", 1, "d"), dk::fixed::kCannotLoadMysqlLibraries);
    EXPECT_EQ(MySqlExistsDB("u", "p", "h", 1, "d"), -100);
    EXPECT_EQ(MySqlExecSQL("u", "p", "h", 1, "d", "x.sql", nullptr), -100);
    EXPECT_EQ(MySqlGetRS("u", "p", "h", 1, "d", "select 1", "x"), dk::fixed::kErrore);
    const Messages lines = TraceMessages();
    for (const char* label : {"MySqlTestCONN()", "MySqlTestCONN2()", "MySqlExistsDB()", "MySqlGetRS()"}) {
        EXPECT_NE(
            std::find(lines.begin(), lines.end(), std::string(label) + ": library cannot be loaded (-100)"),
            lines.end())
            << label;
    }
}

TEST_F(Loader, NullQueryOrFieldIsAnError) {
    UseClient(dk::test::mysql::StandinClient());
    for (auto [query, field] : {std::pair<const char*, const char*>{nullptr, "x"}, {"select 1", nullptr}}) {
        char* value = MySqlGetRS("u", "p", "h", 1, "d", query, field);
        ASSERT_NE(value, nullptr);
        EXPECT_STREQ(value, "error");
        EXPECT_NE(value, dk::fixed::kError) << "a result of its own, which the caller frees";
        free(value);
    }
}

// The trace goes through a file of its own: the process's standard output stays where it was.
TEST_F(Loader, TracingLeavesStandardOutputAlone) {
    UseClient(dk::test::mysql::StandinClient());
    std::fflush(stdout);
    const int saved = _dup(_fileno(stdout));
    ASSERT_NE(saved, -1);
    const int out = _open(Path("stdout.txt").c_str(), _O_WRONLY | _O_CREAT | _O_TRUNC | _O_BINARY, 0600);
    ASSERT_NE(out, -1);
    _dup2(out, _fileno(stdout));
    _close(out);
    std::fputs("before\n", stdout);
    std::fflush(stdout);
    EXPECT_EQ(MySqlLoadLib(nullptr), 0);
    std::fputs("after\n", stdout);
    std::fflush(stdout);
    _dup2(saved, _fileno(stdout));
    _close(saved);
    EXPECT_EQ(ReadFile(Path("stdout.txt")), "before\nafter\n");
    EXPECT_EQ(TraceMessages().size(), 3u);
}

TEST_F(Loader, UnwritableLogLosesLinesOnly) {
    // A folder where the log would be: the file cannot be opened.
    ASSERT_TRUE(CreateDirectoryA(Path("qiv_mysql.log").c_str(), nullptr));
    UseClient(dk::test::mysql::StandinClient());
    EXPECT_EQ(MySqlLoadLib(nullptr), 0);
    UseClient("C:\\nowhere\\libmysql.dll");
    EXPECT_EQ(MySqlLoadLib(nullptr), -100);
}

TEST(MySqlTrace, TimestampAndLineFormat) {
    char stamp[25];
    dk::mysql::MySqlTimestamp(stamp);
    EXPECT_TRUE(std::regex_match(
        stamp, std::regex(R"(\d{4}-(0[1-9]|1[0-2])-\d\d ([01]\d|2[0-3]):[0-5]\d:[0-5]\d\.\d{3})")))
        << stamp;
    SYSTEMTIME now;
    GetLocalTime(&now);
    char today[16];
    std::snprintf(today, sizeof today, "%04u-%02u-%02u", now.wYear, now.wMonth, now.wDay);
    EXPECT_EQ(std::string(stamp, 10), today);
}

}  // namespace

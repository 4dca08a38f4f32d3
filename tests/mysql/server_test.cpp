// The MySQL exports against the build's own MariaDB server, through the ODBC stand-in client.
#include <cstdlib>
#include <regex>

#include "deploykit.h"
#include "frame/log.h"
#include "mysql_test_support.h"

namespace {

using dk::test::ReadFile;
using dk::test::WriteFile;
using Messages = std::vector<std::string>;

constexpr char kHost[] = "127.0.0.1";
constexpr int kPort = DK_MYSQL_PORT;
constexpr char kUser[] = "dk";
constexpr char kPassword[] = "dk-pass";
constexpr char kDatabase[] = "dk_test";

struct Owned {
    char* text;
    ~Owned() { std::free(text); }
    std::string str() const { return text ? text : "(null)"; }
};

class Server : public dk::test::mysql::MySqlWorkDir {
protected:
    void SetUp() override {
        MySqlWorkDir::SetUp();
        UseClient(dk::test::mysql::StandinClient());
        ClearErrorLog();
    }
    void TearDown() override {
        if (!cleanup_.empty()) Run(cleanup_);
        ClearErrorLog();
        MySqlWorkDir::TearDown();
    }
    static void ClearErrorLog() { DeleteFileA(dk::kDbErrorLog); }
    static std::string ErrorLog() { return ReadFile(dk::kDbErrorLog); }

    // Runs a script through MySqlExecSQL; the error count goes to *errors when given.
    int Run(const std::string& script, int* errors = nullptr, const char* file = "script.sql") {
        WriteFile(Path(file), script);
        return MySqlExecSQL(kUser, kPassword, kHost, kPort, kDatabase, Path(file).c_str(), errors);
    }
    std::string Value(const std::string& query, const char* field) {
        Owned v{MySqlGetRS(kUser, kPassword, kHost, kPort, kDatabase, query.c_str(), field)};
        return v.str();
    }
    // Drops the test's tables afterwards, whatever happened.
    void DropLater(const std::string& tables) { cleanup_ = "DROP TABLE IF EXISTS " + tables + ";\n"; }

private:
    std::string cleanup_;
};

TEST_F(Server, ConnectionTests) {
    struct Case {
        const char* password;
        const char* database;
        int want;                 // MySqlTestCONN and MySqlExistsDB
        const char* error_start;  // MySqlTestCONN2, null when connected
    };
    const Case cases[] = {
        {kPassword, kDatabase, 0, nullptr},
        {"wrong", kDatabase, -10, "Access denied for user 'dk'@"},
        {kPassword, "dk_nowhere", -10, "Unknown database 'dk_nowhere'"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.password) + " / " + c.database);
        EXPECT_EQ(MySqlTestCONN(kUser, c.password, kHost, kPort, c.database), c.want);
        EXPECT_EQ(MySqlExistsDB(kUser, c.password, kHost, kPort, c.database), c.want);
        Owned error{MySqlTestCONN2(kUser, c.password, kHost, kPort, c.database)};
        if (c.error_start)
            EXPECT_EQ(error.str().rfind(c.error_start, 0), 0u) << error.str();
        else
            EXPECT_EQ(error.text, nullptr);
    }
}

TEST_F(Server, TraceOfAConnectionTest) {
    ASSERT_EQ(MySqlTestCONN(kUser, kPassword, kHost, kPort, kDatabase), 0);
    ASSERT_EQ(MySqlExistsDB(kUser, kPassword, kHost, kPort, kDatabase), 0);
    Owned error{MySqlTestCONN2(kUser, "wrong", kHost, kPort, kDatabase)};
    Messages lines = TraceMessages();
    // Drop the loader's own five lines before each export's lines.
    Messages own;
    for (const std::string& line : lines)
        if (line.rfind("MySqlLoadLib()", 0) != 0) own.push_back(line);
    EXPECT_EQ(own, (Messages{
                       "MySqlTestCONN(): library loaded",
                       "MySqlTestCONN(): mysql initialized",
                       "MySqlTestCONN(): connect succeed",
                       "MySqlTestCONN(): mysql closed",
                       "MySqlTestCONN(): library freed",
                       "MySqlExistsDB(): library loaded",
                       "MySqlExistsDB(): mysql initialized",
                       "MySqlExistsDB(): connect succeed",
                       "MySqlExistsDB(): select returns 0",
                       "MySqlExistsDB(): mysql closed",
                       "MySqlExistsDB(): library freed",
                       "MySqlTestCONN2(): library loaded",
                       "MySqlTestCONN2(): mysql initialized",
                       "MySqlTestCONN2(): connect failed",
                       "MySqlTestCONN2(): error = " + error.str(),
                   }));
    EXPECT_EQ(lines.size(), own.size() + 3 * 5);
}

TEST_F(Server, ExecSqlConnectionFailureMasksThePassword) {
    int errors = 5;
    WriteFile(Path("s.sql"), "select 1;\n");
    EXPECT_EQ(MySqlExecSQL(kUser, "Secret-Word", kHost, kPort, kDatabase, Path("s.sql").c_str(), &errors),
              -10);
    EXPECT_EQ(errors, 6);
    const std::string log = ErrorLog();
    EXPECT_NE(
        log.find("MySqlExecSQL: Error connecting to MySQL (host: 127.0.0.1, login: dk, password: ********, "
                 "port: " +
                 std::to_string(kPort) + "\r\nError = Access denied for user 'dk'@"),
        std::string::npos)
        << log;
    EXPECT_EQ(log.find("Secret-Word"), std::string::npos) << log;
}

TEST_F(Server, ExecSqlSelectionAndFileFailures) {
    int errors = 0;
    WriteFile(Path("s.sql"), "select 1;\n");
    EXPECT_EQ(MySqlExecSQL(kUser, kPassword, kHost, kPort, "dk_nowhere", Path("s.sql").c_str(), &errors), -2);
    EXPECT_EQ(MySqlExecSQL(kUser, kPassword, kHost, kPort, nullptr, Path("s.sql").c_str(), &errors), -2);
    EXPECT_EQ(MySqlExecSQL(kUser, kPassword, kHost, kPort, kDatabase, Path("none.sql").c_str(), &errors),
              999);
    EXPECT_EQ(MySqlExecSQL(kUser, kPassword, kHost, kPort, kDatabase, nullptr, nullptr), 999);
    EXPECT_EQ(errors, 3);
    const std::string log = ErrorLog();
    EXPECT_NE(
        log.find("MySqlExecSQL: Error selecting database (database: dk_nowhere)\r\nError = Unknown database "
                 "'dk_nowhere'"),
        std::string::npos)
        << log;
    EXPECT_NE(log.find("MySqlExecSQL: cannot open query file " + Path("none.sql")), std::string::npos) << log;
    EXPECT_NE(log.find("MySqlExecSQL: cannot open query file (null)"), std::string::npos) << log;
}

TEST_F(Server, FailingStatementIsLoggedAndTheRestRuns) {
    DropLater("t_fail");
    int errors = 0;
    const std::string script =
        "CREATE TABLE t_fail (v VARCHAR(20));\n"
        "INSERT INTO t_fail VALUES ('one');\n"
        "INSERT INTO t_nowhere VALUES ('x');\n"
        "INSERT INTO t_fail VALUES ('two');\n";
    EXPECT_EQ(Run(script, &errors), 0);
    EXPECT_EQ(errors, 1);
    EXPECT_EQ(Value("SELECT COUNT(*) AS n FROM t_fail", "n"), "2");
    const std::string log = ErrorLog();
    EXPECT_NE(log.find("script.sql\r\nError = Table 'dk_test.t_nowhere' doesn't exist\r\n"
                       "SqlStatement = INSERT INTO t_nowhere VALUES ('x');\r\n"),
              std::string::npos)
        << log;
    // A null counter: logged all the same.
    ClearErrorLog();
    EXPECT_EQ(Run("INSERT INTO t_nowhere VALUES ('x');\n"), 0);
    EXPECT_NE(ErrorLog().find("t_nowhere"), std::string::npos);
}

TEST_F(Server, StatementBoundaries) {
    DropLater("t_split");
    struct Case {
        const char* name;
        std::string script;
        std::string rows;  // the values of t_split afterwards, in order
        int errors;
    };
    const std::string create = "CREATE TABLE t_split (id INT AUTO_INCREMENT PRIMARY KEY, v VARCHAR(40));\n";
    const Case cases[] = {
        {"blank before ';' runs on into the next statement",
         "INSERT INTO t_split (v) VALUES ('a') ;\nINSERT INTO t_split (v) VALUES ('b');\nINSERT INTO t_split "
         "(v) VALUES ('c');\n",
         "c", 1},
        {"last statement without an end",
         "INSERT INTO t_split (v) VALUES ('a');\nINSERT INTO t_split (v) VALUES ('b')", "a", 0},
        {"unclosed comment drops the rest",
         "INSERT INTO t_split (v) VALUES ('a');\n/* INSERT INTO t_split (v) VALUES ('b');\nINSERT INTO "
         "t_split (v) VALUES ('c');\n",
         "a", 0},
        {"closed comments and statement-end markers",
         "/* head */INSERT INTO t_split (v) VALUES ('a') $end_statement$ INSERT INTO t_split (v) VALUES "
         "('b')$END_STATEMENT$",
         "a,b", 0},
        {"markers for other dialects are skipped without a message",
         "$SQL_ONLY$INSERT INTO t_split (v) VALUES ('sql');\n$ACCESS_ONLY$INSERT INTO t_split (v) VALUES "
         "('access');\n"
         "$MYSQL_ONLY$INSERT INTO t_split (v) VALUES ('mysql');\n$SQL_ONLY$ $MYSQL_ONLY$INSERT INTO t_split "
         "(v) VALUES "
         "('both');\n",
         "mysql,both", 0},
        {"placeholders",
         "INSERT INTO t_split (v) SELECT CONCAT('x', [[[CRLF]]], 'y');\n"
         "INSERT INTO t_split (v) SELECT 'x' FROM DUAL WHERE 'abc' [[[like]]] 'a%';\n"
         "INSERT INTO t_split (v) VALUES ('r$END_ROW$');\n",
         "x\r\ny,x,r;", 0},
        {"UTF-8 byte-order mark", "\xEF\xBB\xBFINSERT INTO t_split (v) VALUES ('bom');\n", "bom", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(Run("DROP TABLE IF EXISTS t_split;\n" + create), 0);
        int errors = 0;
        EXPECT_EQ(Run(c.script, &errors), 0);
        EXPECT_EQ(errors, c.errors) << ErrorLog();
        EXPECT_EQ(Value("SELECT IFNULL(GROUP_CONCAT(v ORDER BY id), '') AS r FROM t_split", "r"), c.rows);
        ClearErrorLog();
    }
}

TEST_F(Server, GetRsByColumnName) {
    struct Case {
        const char* query;
        const char* field;
        const char* want;
    };
    const Case cases[] = {
        {"SELECT 42 AS val, 'x' AS value", "VAL", "42"},  // any letter case
        {"SELECT 42 AS val, 'x' AS value", "value", "x"},
        {"SELECT 42 AS val, 'x' AS value", "VA", "error"},  // whole names only
        {"SELECT 1 AS a, 2 AS a", "a", "2"},                // the last of several
        {"SELECT NULL AS a", "a", "error"},
        {"SELECT 1 AS a FROM DUAL WHERE 1 = 0", "a", "error"},   // no row
        {"CREATE TEMPORARY TABLE t_tmp (a INT)", "a", "error"},  // no result set
        {"SELEC nonsense", "a", "error"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.query) + " / " + c.field);
        EXPECT_EQ(Value(c.query, c.field), c.want);
    }
}

TEST_F(Server, GetRsFailures) {
    Owned wrong{MySqlGetRS(kUser, "wrong", kHost, kPort, kDatabase, "SELECT 1 AS a", "a")};
    EXPECT_EQ(wrong.str(), "error");
    Owned missing{MySqlGetRS(kUser, kPassword, kHost, kPort, "dk_nowhere", "SELECT 1 AS a", "a")};
    EXPECT_EQ(missing.str(), "error");
    Owned null_db{MySqlGetRS(kUser, kPassword, kHost, kPort, nullptr, "SELECT 1 AS a", "a")};
    EXPECT_EQ(null_db.str(), "error");
    const Messages lines = TraceMessages();
    EXPECT_NE(std::find(lines.begin(), lines.end(), "MySqlGetRS(): connect failed"), lines.end());
    EXPECT_NE(std::find_if(lines.begin(), lines.end(),
                           [](const std::string& l) {
                               return std::regex_match(
                                   l, std::regex(R"(MySqlGetRS\(\): select returns -?[1-9]\d*)"));
                           }),
              lines.end());
}

TEST_F(Server, GetRsTrace) {
    EXPECT_EQ(Value("SELECT 7 AS a, 'v' AS b", "B"), "v");
    EXPECT_EQ(Value("SELECT 1 AS a FROM DUAL WHERE 1 = 0", "a"), "error");
    Messages own;
    for (const std::string& line : TraceMessages()) {
        if (line.rfind("MySqlLoadLib()", 0) == 0) continue;
        // Addresses differ from run to run.
        own.push_back(
            std::regex_replace(line, std::regex(R"((fetch returns|fi\(\d\) =) -?[0-9a-f]+)"), "$1 N"));
    }
    EXPECT_EQ(own, (Messages{
                       "MySqlGetRS(): library loaded",    "MySqlGetRS(): mysql initialized",
                       "MySqlGetRS(): connect succeed",   "MySqlGetRS(): select returns 0",
                       "MySqlGetRS(): query returns 0",   "MySqlGetRS(): fetch returns N",
                       "MySqlGetRS(): field = B",         "MySqlGetRS(): nField = 2",
                       "MySqlGetRS(): seek successful",   "MySqlGetRS(): fi(0) = N",
                       "MySqlGetRS(): fi->name = a",      "MySqlGetRS(): fi(1) = N",
                       "MySqlGetRS(): fi->name = b",      "MySqlGetRS(): field found; row[1] = v",
                       "MySqlGetRS(): connection closed", "MySqlGetRS(): library freed",
                       "MySqlGetRS(): library loaded",    "MySqlGetRS(): mysql initialized",
                       "MySqlGetRS(): connect succeed",   "MySqlGetRS(): select returns 0",
                       "MySqlGetRS(): query returns 0",   "MySqlGetRS(): fetch returns N",
                       "MySqlGetRS(): field = a",         "MySqlGetRS(): nField = 1",
                       "MySqlGetRS(): seek successful",   "MySqlGetRS(): fi(0) = N",
                       "MySqlGetRS(): fi->name = a",      "MySqlGetRS(): field found; row[0] = __NULL__",
                       "MySqlGetRS(): connection closed", "MySqlGetRS(): library freed",
                   }));
}

// The client allocates each connection structure and gets every one back, also after a failed
// login; every stored result set is freed. The test holds the client loaded so that its counts
// outlive the exports' own loads.
TEST_F(Server, ConnectionsAndResultSetsAreReleasedOnEveryPath) {
    HMODULE client = LoadLibraryA(dk::test::mysql::StandinClient().c_str());
    ASSERT_NE(client, nullptr);
    using Count = LONG(WINAPI*)(void);
    auto connections =
        reinterpret_cast<Count>(reinterpret_cast<void*>(GetProcAddress(client, "standin_open_connections")));
    auto results =
        reinterpret_cast<Count>(reinterpret_cast<void*>(GetProcAddress(client, "standin_open_results")));
    ASSERT_TRUE(connections && results);

    EXPECT_EQ(MySqlTestCONN(kUser, "wrong", kHost, kPort, kDatabase), -10);
    Owned error{MySqlTestCONN2(kUser, "wrong", kHost, kPort, kDatabase)};
    EXPECT_EQ(MySqlTestCONN2(kUser, kPassword, kHost, kPort, kDatabase), nullptr);
    EXPECT_EQ(MySqlExistsDB(kUser, kPassword, kHost, kPort, "dk_nowhere"), -10);
    WriteFile(Path("s.sql"), "SELECT 1;\n");
    EXPECT_EQ(MySqlExecSQL(kUser, "wrong", kHost, kPort, kDatabase, Path("s.sql").c_str(), nullptr), -10);
    EXPECT_EQ(MySqlExecSQL(kUser, kPassword, kHost, kPort, "dk_nowhere", Path("s.sql").c_str(), nullptr), -2);
    EXPECT_EQ(MySqlExecSQL(kUser, kPassword, kHost, kPort, kDatabase, Path("none.sql").c_str(), nullptr),
              999);
    EXPECT_EQ(connections(), 0);

    for (const char* query : {"SELECT 1 AS a", "SELECT NULL AS a", "SELECT 1 AS a FROM DUAL WHERE 1 = 0",
                              "SELECT 1 AS b", "SELEC nonsense"})
        Value(query, "a");
    Owned wrong{MySqlGetRS(kUser, "wrong", kHost, kPort, kDatabase, "SELECT 1 AS a", "a")};
    EXPECT_EQ(connections(), 0);
    EXPECT_EQ(results(), 0);
    FreeLibrary(client);
}

// The deliverable exports them under their plain names with their conventions.
TEST_F(Server, ThroughTheDll) {
    dk::test::Library lib;
    auto test_conn = lib.get<DK_PFN_MySqlTestCONN>("MySqlTestCONN");
    auto get_rs = lib.get<DK_PFN_MySqlGetRS>("MySqlGetRS");
    ASSERT_TRUE(test_conn && get_rs);
    EXPECT_EQ(test_conn(kUser, kPassword, kHost, kPort, kDatabase), 0);
    Owned v{get_rs(kUser, kPassword, kHost, kPort, kDatabase, "SELECT DATABASE() AS db", "db")};
    EXPECT_EQ(v.str(), kDatabase);
}

}  // namespace

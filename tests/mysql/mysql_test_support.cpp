#include "mysql_test_support.h"

#include <regex>

namespace dk::test::mysql {

std::string StandinClient() { return BinDir() + "\\standins\\libmysql\\libmysql.dll"; }
std::string PartialStandinClient() { return BinDir() + "\\standins\\libmysql_partial\\libmysql.dll"; }

void MySqlWorkDir::SetUp() {
    char cwd[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, cwd);
    previous_ = cwd;
    ASSERT_TRUE(SetCurrentDirectoryA(dir_.path().c_str()));
    GetCurrentDirectoryA(MAX_PATH, cwd);
    cwd_ = cwd;
}

void MySqlWorkDir::TearDown() { SetCurrentDirectoryA(previous_.c_str()); }

void MySqlWorkDir::UseClient(const std::string& library) {
    WriteFile(Path("qiv_mysql.ini"), "[LibMysql]\r\npath=" + library + "\r\n");
}

std::string MySqlWorkDir::TraceLog() const { return ReadFile(Path("qiv_mysql.log")); }

std::vector<std::string> MySqlWorkDir::TraceMessages() const {
    static const std::regex line(R"((\d{4})-(\d\d)-(\d\d) (\d\d):(\d\d):(\d\d)\.(\d{3}) - ([^\r\n]*)\r\n)");
    std::vector<std::string> messages;
    const std::string log = TraceLog();
    std::size_t consumed = 0;
    for (auto it = std::sregex_iterator(log.begin(), log.end(), line); it != std::sregex_iterator(); ++it) {
        EXPECT_EQ(static_cast<std::size_t>(it->position()), consumed) << "malformed trace line in\n" << log;
        consumed = static_cast<std::size_t>(it->position() + it->length());
        messages.push_back((*it)[8]);
    }
    EXPECT_EQ(consumed, log.size()) << "malformed trace line in\n" << log;
    return messages;
}

}  // namespace dk::test::mysql

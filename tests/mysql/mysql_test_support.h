// Shared pieces of the MySQL tests: each test works in a folder of its own as the current
// directory (where the library looks for qiv_mysql.ini and writes qiv_mysql.log).
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/dk_test.h"

namespace dk::test::mysql {

// The stand-in client over ODBC, and its build that lacks mysql_get_client_version.
std::string StandinClient();
std::string PartialStandinClient();
inline constexpr char kStandinClientInfo[] = "10.11.19-odbc-standin";

class MySqlWorkDir : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Writes qiv_mysql.ini with [LibMysql] path=library.
    void UseClient(const std::string& library);
    std::string Path(const std::string& name) const { return dir_ / name; }
    std::string TraceLog() const;
    // The messages of the trace log, each line's timestamp checked and removed.
    std::vector<std::string> TraceMessages() const;
    // The current directory as the C run time reports it.
    const std::string& cwd() const { return cwd_; }

private:
    TempDir dir_;
    std::string previous_;
    std::string cwd_;
};

}  // namespace dk::test::mysql

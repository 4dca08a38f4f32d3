#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "frame/log.h"
#include "support/dk_test.h"

namespace {

using dk::test::FileExists;
using dk::test::ReadFile;

SYSTEMTIME Today() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return now;
}

std::string Format(const char* format, unsigned a, unsigned b, unsigned c) {
    char text[16];
    snprintf(text, sizeof text, format, a, b, c);
    return text;
}

// Each test starts without the log files and removes them at the end.
class Logs : public ::testing::Test {
protected:
    void SetUp() override { Clear(); }
    void TearDown() override { Clear(); }
    static void Clear() {
        for (const char* path : {dk::kIisTraceLog, dk::kDbErrorLog}) {
            RemoveDirectoryA(path);
            DeleteFileA(path);
        }
    }
};

TEST_F(Logs, NullTraceCreatesAnEmptyLogAndAddsNothing) {
    dk::TraceIis(nullptr);
    ASSERT_TRUE(FileExists(dk::kIisTraceLog));
    EXPECT_EQ(ReadFile(dk::kIisTraceLog), "");
    dk::TraceIis("first");
    const std::string before = ReadFile(dk::kIisTraceLog);
    dk::TraceIis(nullptr);
    EXPECT_EQ(ReadFile(dk::kIisTraceLog), before);
}

TEST_F(Logs, TraceRecordHasTimestampAndTextModeLineEnds) {
    dk::TraceIis("one\r\ntwo");
    dk::TraceResult(-2701);
    const std::string log = ReadFile(dk::kIisTraceLog);
    const std::regex record(
        R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d - one\r\r\ntwo\r\n\d{4}-\d\d-\d\d \d\d:\d\d:\d\d - result = -2701\r\n)");
    EXPECT_TRUE(std::regex_match(log, record)) << log;
    const SYSTEMTIME now = Today();
    EXPECT_EQ(log.substr(0, 10), Format("%04u-%02u-%02u", now.wYear, now.wMonth, now.wDay));
}

TEST_F(Logs, DbErrorRecordAndCounter) {
    int counter = 5;
    EXPECT_EQ(dk::LogDbError("statement failed\nline two", &counter), 0);
    EXPECT_EQ(counter, 6);
    EXPECT_EQ(dk::LogDbError("no counter", nullptr), 0);
    const std::string log = ReadFile(dk::kDbErrorLog);
    const std::regex record(
        R"(\d\d/\d\d/\d\d \d\d:\d\d:\d\d statement failed\r\nline two\r\n\d\d/\d\d/\d\d \d\d:\d\d:\d\d no counter\r\n)");
    EXPECT_TRUE(std::regex_match(log, record)) << log;
    const SYSTEMTIME now = Today();
    EXPECT_EQ(log.substr(0, 8), Format("%02u/%02u/%02u", now.wMonth, now.wDay, now.wYear % 100));
}

TEST_F(Logs, UnwritableLogLosesTheRecordAndLeavesTheCounter) {
    // The tests run as root, so a directory where the file would be is what makes it unwritable.
    ASSERT_TRUE(CreateDirectoryA(dk::kDbErrorLog, nullptr));
    int counter = 5;
    EXPECT_EQ(dk::LogDbError("lost", &counter), 0);
    EXPECT_EQ(counter, 5);
    ASSERT_TRUE(CreateDirectoryA(dk::kIisTraceLog, nullptr));
    dk::TraceIis("lost too");  // must simply return
}

}  // namespace

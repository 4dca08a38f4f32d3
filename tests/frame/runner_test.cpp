#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "deploykit.h"
#include "frame/log.h"
#include "frame/runner.h"
#include "support/dk_test.h"

namespace {

using dk::test::ReadFile;

std::string Child(const std::string& args) { return "\"" + dk::test::BinDir() + "\\dk_child.exe\" " + args; }

class Runner : public ::testing::Test {
protected:
    void SetUp() override { DeleteFileA(dk::kIisTraceLog); }
    void TearDown() override { DeleteFileA(dk::kIisTraceLog); }
};

TEST_F(Runner, MissingArgumentsGiveMinus100AndTouchNothing) {
    char buffer[8] = "keep";
    EXPECT_EQ(dk::RunAndCapture(nullptr, buffer, sizeof buffer), -100);
    EXPECT_EQ(dk::RunAndCapture("cmd /c echo x", nullptr, 10), -100);
    EXPECT_EQ(dk::RunAndCapture("cmd /c echo x", buffer, 0), -100);
    EXPECT_STREQ(buffer, "keep");
    EXPECT_FALSE(dk::test::FileExists(dk::kIisTraceLog));
}

TEST_F(Runner, MissingProgramGivesMinus2700WithTheSystemError) {
    char buffer[256];
    EXPECT_EQ(dk::RunAndCapture("no_such_program_here.exe", buffer, sizeof buffer), -2700);
    EXPECT_STREQ(buffer, "\r\nError message: Redirect console error: 2\r\n");
    const std::string log = ReadFile(dk::kIisTraceLog);
    EXPECT_NE(log.find(" - no_such_program_here.exe\r\n"), std::string::npos);
    EXPECT_NE(log.find(" - result = -2700\r\n"), std::string::npos);
}

TEST_F(Runner, ExitCodeWithoutOutputTracesNoOutputRecord) {
    char buffer[64];
    EXPECT_EQ(dk::RunAndCapture(Child("exit=5").c_str(), buffer, sizeof buffer), 5);
    EXPECT_STREQ(buffer, "");
    const std::string log = ReadFile(dk::kIisTraceLog);
    EXPECT_NE(log.find(" - result = 5\r\n"), std::string::npos);
    EXPECT_EQ(log.size(), log.rfind(" - result = 5\r\n") + std::strlen(" - result = 5\r\n")) << log;
}

TEST_F(Runner, OutputBeyondTheCapacityIsCut) {
    static char buffer[10240];
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(dk::RunAndCapture(Child("print=20000 exit=3").c_str(), buffer, sizeof buffer), 3);
    ASSERT_EQ(std::strlen(buffer), 10239u);
    for (int i = 0; i < 10239; ++i) ASSERT_EQ(buffer[i], 'a' + i % 26) << i;
}

TEST_F(Runner, ExitCodeSurvivesAnOutputClosedBeforeTheChildEnds) {
    char buffer[64];
    EXPECT_EQ(dk::RunAndCapture(Child("text=bye close sleep=300 exit=7").c_str(), buffer, sizeof buffer), 7);
    EXPECT_STREQ(buffer, "bye");
}

TEST_F(Runner, ChildOutlivingTheDeadlineGivesMinus2701AndKeepsRunning) {
    dk::test::TempDir dir;
    const std::string pidfile = dir / "pid";
    char buffer[64];
    const DWORD start = GetTickCount();
    EXPECT_EQ(dk::RunAndCapture(Child("text=started pidfile=" + pidfile + " sleep=30000").c_str(), buffer,
                                sizeof buffer),
              -2701);
    EXPECT_GE(GetTickCount() - start, 9000u);
    EXPECT_STREQ(buffer, "started");
    const DWORD pid = std::stoul(ReadFile(pidfile));
    HANDLE child = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, pid);
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(WaitForSingleObject(child, 0), static_cast<DWORD>(WAIT_TIMEOUT));
    TerminateProcess(child, 0);
    CloseHandle(child);
    EXPECT_NE(ReadFile(dk::kIisTraceLog).find(" - result = -2701\r\n"), std::string::npos);
}

class TestEsegui : public ::testing::Test {
protected:
    void SetUp() override { DeleteFileA(dk::kCommandTestLog); }
    void TearDown() override { DeleteFileA(dk::kCommandTestLog); }
    dk::test::Library dll;
    DK_PFN_TEST_esegui run = dll.get<DK_PFN_TEST_esegui>("TEST_esegui");
};

TEST_F(TestEsegui, AppendsTheOutputToTheTestLog) {
    EXPECT_EQ(run(Child("text=abc").c_str()), 0);
    EXPECT_EQ(run(Child("text=def").c_str()), 0);
    EXPECT_EQ(ReadFile(dk::kCommandTestLog), "abc\r\ndef\r\n");
}

TEST_F(TestEsegui, ReturnsTheExitCodeAndMinus997WhenNothingStarts) {
    EXPECT_EQ(run(Child("exit=42").c_str()), 42);
    EXPECT_EQ(run("no_such_program_here.exe"), -997);
    EXPECT_EQ(run(nullptr), -997);
}

}  // namespace

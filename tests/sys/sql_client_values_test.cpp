// ReadSubValues reads one fixed key of the SQL Server client; this program alone touches it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "deploykit.h"
#include "support/dk_test.h"
#include "test_keys.h"

namespace {

namespace reg = dk::test::reg;

constexpr char kTds[] = "SOFTWARE\\Microsoft\\MSSQLServer\\Client\\TDS";
constexpr char kMssql[] = "SOFTWARE\\Microsoft\\MSSQLServer";

struct Freed {
    void operator()(char* p) const { std::free(p); }
};
using owned = std::unique_ptr<char, Freed>;

class SqlClientValues : public ::testing::Test {
protected:
    void SetUp() override {
        // Never touch a key this machine really has.
        if (reg::KeyExists(kMssql)) GTEST_SKIP() << kMssql << " exists on this machine";
    }
    void TearDown() override { reg::RemoveTree(kMssql); }
    dk::test::Library dll;
    DK_PFN_ReadSubValues read_values = dll.get<DK_PFN_ReadSubValues>("ReadSubValues");
};

TEST_F(SqlClientValues, NamesWithoutTheDefaultValue) {
    EXPECT_EQ(read_values(), nullptr);
    reg::CreateKey(kTds);
    EXPECT_EQ(read_values(), nullptr);
    reg::SetString(kTds, "", "default");
    EXPECT_EQ(read_values(), nullptr);
    reg::SetString(kTds, "X", "1");
    reg::SetString(kTds, "Y", "2");
    const owned list(read_values());
    ASSERT_NE(list, nullptr);
    EXPECT_STREQ(list.get(), "X,Y");
}

TEST_F(SqlClientValues, ANameTooLongForTheBufferEndsTheList) {
    reg::SetString(kTds, "A", "1");
    reg::SetString(kTds, std::string(255, 'M'), "2");  // the longest name that fits
    reg::SetString(kTds, std::string(256, 'N'), "3");
    reg::SetString(kTds, "Z", "4");
    const owned list(read_values());
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(std::string(list.get()), "A," + std::string(255, 'M'));
}

}  // namespace

#include "iis/appcmd_commands.h"

#include <gtest/gtest.h>

#include "iis/arguments.h"

namespace dk::iis {
namespace {

const std::string kWindir = "C:\\Windows";

TEST(AppcmdCommands, AddVdirPutsOneSlashBeforeTheName) {
    struct Case {
        const char* name;
        const char* want;
    };
    constexpr Case cases[] = {
        {"upload",
         "C:\\Windows\\system32\\inetsrv\\appcmd.exe add vdir /app.name:\"Web/\" /path:\"/upload\" "
         "/physicalPath:\"c:\\up\""},
        {"/upload",
         "C:\\Windows\\system32\\inetsrv\\appcmd.exe add vdir /app.name:\"Web/\" /path:\"/upload\" "
         "/physicalPath:\"c:\\up\""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(cmd::AddVdir(kWindir, "Web", c.name, "c:\\up"), c.want);
    }
}

TEST(AppcmdCommands, QueriesAndDirectories) {
    const std::string p = kWindir + "\\system32\\inetsrv\\appcmd.exe ";
    EXPECT_EQ(cmd::SiteNameById(kWindir, 3), p + "list site -id:3 /text:site.name");
    EXPECT_EQ(cmd::SiteStateById(kWindir, 3), p + "list site -id:3 /text:state");
    EXPECT_EQ(cmd::SiteStateByName(kWindir, "Web"), p + "list site \"Web\" /text:state");
    EXPECT_EQ(cmd::SiteIds(kWindir), p + "list site /text:site.id");
    EXPECT_EQ(cmd::SiteIdByName(kWindir, "Web"), p + "list site \"Web\" /text:site.id");
    EXPECT_EQ(cmd::AnonymousUser(kWindir), p + "list config /section:anonymousAuthentication /text:username");
    EXPECT_EQ(cmd::SiteBindings(kWindir, 1), p + "list site -id:1 /text:bindings");
    EXPECT_EQ(cmd::ListVdirs(kWindir, "Web"), p + "list vdir /app.name:\"Web\"");
    EXPECT_EQ(cmd::DeleteVdir(kWindir, "Web", "upload"), p + "delete vdir /vdir.name:\"Web/upload\"");
}

TEST(AppcmdCommands, LongValuesAreNeverCut) {
    const std::string path = "c:\\" + std::string(3000, 'p');
    const std::string command = cmd::AddVdir(kWindir, "Web", "upload", path.c_str());
    EXPECT_EQ(command.substr(command.size() - path.size() - 1), path + "\"");
}

TEST(Arguments, RefusalReason) {
    struct Case {
        const char* value;
        const char* want;
    };
    constexpr Case cases[] = {
        {"Default Web Site", ""},
        {"", ""},
        {nullptr, "refused: no pool name given"},
        {"a\" /x:\"b", "refused: the pool name holds a double quote"},
        {"\"", "refused: the pool name holds a double quote"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value ? c.value : "(null)");
        EXPECT_EQ(RefusalReason("pool name", c.value), c.want);
    }
}

}  // namespace
}  // namespace dk::iis

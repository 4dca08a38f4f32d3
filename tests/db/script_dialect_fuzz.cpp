// The whole preparation of a script for MySQL and SQL Server on arbitrary bytes, with the linear
// comment removal, statement-end conversion and replacement checked against the step-by-step
// transcriptions of their rules on the same input.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "db/script_dialect.h"
#include "dialect_reference.h"

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace dk::db;
    const std::string text = ScriptTextFromBytes({reinterpret_cast<const char*>(data), size});

    for (std::string statement : PrepareMySqlScript(text)) {
        Check(!statement.empty() && statement.back() == ';');
    }

    std::string sqlserver = text;
    StripBlockComments(sqlserver);
    ConvertStatementEnds(sqlserver, kSqlServer);
    std::string rewritten;
    for (std::string_view statement : SplitAtBatchSeparators(sqlserver)) {
        int belongs = RewriteForDialect(statement, rewritten, kSqlServer);
        Check(belongs >= kAccess && belongs <= kMySql);
    }

    // The transcriptions are quadratic: compare on the smaller inputs only.
    if (text.size() <= 1024) {
        std::string stripped = text;
        StripBlockComments(stripped);
        Check(stripped == reference::StripComments(text));
        for (int dialect : {kSqlServer, kMySql}) {
            std::string converted = text, ref = text;
            Check(ConvertStatementEnds(converted, dialect) == reference::ConvertEnds(ref, dialect));
            Check(converted == ref);
        }
        // Pairs whose replacement can join its neighbours into a new occurrence.
        const char* pairs[][2] = {{"[[[LIKE]]]", "LIKE"}, {"ab", "a"}, {"aab", "b"}, {"(x)", "x"}};
        for (const auto& pair : pairs)
            Check(ReplaceAllNoCase(text, pair[0], pair[1]) == reference::ReplaceAll(text, pair[0], pair[1]));
    }
    return 0;
}

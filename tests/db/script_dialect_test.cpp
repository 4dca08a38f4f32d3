#include "db/script_dialect.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>

#include "dialect_reference.h"

namespace dk::db {
namespace {

std::string Printable(std::string_view s) {
    std::string out;
    for (char c : s) {
        if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else
            out += c;
    }
    return out;
}

class ScriptFile : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("dk_script_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::string Write(std::string_view bytes) {
        auto path = dir_ / "script.sql";
        std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return path.string();
    }
    std::filesystem::path dir_;
};

TEST_F(ScriptFile, LoadsBytesAsReadWithOneBlankAfter) {
    struct Case {
        std::string_view bytes;
        std::string_view want;
    };
    const Case cases[] = {
        {"select 1;\r\n", "select 1;\r\n "},
        {"", " "},
        {std::string_view("ab\0cd", 5), "ab "},   // a NUL ends the usable text
        {"\xEF\xBB\xBFselect 1;", "select 1; "},  // byte-order mark skipped
        {"\xEF\xBB\xBF", " "},                    // nothing but the mark
        {"x\xEF\xBB\xBF", "x\xEF\xBB\xBF "},      // only a leading mark goes
        {"\xEF\xBBselect", "\xEF\xBBselect "},    // a partial mark stays
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Printable(c.bytes));
        auto text = LoadScriptText(Write(c.bytes).c_str());
        ASSERT_TRUE(text.has_value());
        EXPECT_EQ(*text, c.want);
    }
}

TEST_F(ScriptFile, MissingFileOrNullPathIsAFailure) {
    EXPECT_FALSE(LoadScriptText((dir_ / "none.sql").string().c_str()).has_value());
    EXPECT_FALSE(LoadScriptText(nullptr).has_value());
}

TEST(StripBlockComments, RemovesCommentsLikeTheRule) {
    struct Case {
        std::string_view text, want;
    };
    const Case cases[] = {
        {"a/*x*/b", "ab"},
        {"a/*/b", "ab"},          // slash, asterisk, slash: a whole comment
        {"a/*x*/b*/c", "ab*/c"},  // no nesting: a later close stays
        {"a/*x/*y*/b", "ab"},
        {"keep; /*unclosed\nselect 2;", "keep; "},
        {"'/*' x */y", "'y"},  // also inside quoted text
        {"//**/*", "/*"},      // the search goes on after the join, not before it
        {"/**//**/", ""},
        {"no comment", "no comment"},
        {"", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Printable(c.text));
        std::string text(c.text);
        StripBlockComments(text);
        EXPECT_EQ(text, c.want);
        EXPECT_EQ(text, reference::StripComments(std::string(c.text)));
    }
}

TEST(ConvertStatementEnds, TurnsMarkersIntoTheDialectsEnd) {
    struct Case {
        std::string_view text;
        int dialect;
        std::string_view want;
        int count;
    };
    const Case cases[] = {
        {"create table t (a int)$END_STATEMENT$", 2, "create table t (a int)\nGO\n", 1},
        {"create table t (a int)$END_STATEMENT$", 3, "create table t (a int);\n", 1},
        {"a \r\n\t$end_statement$b", 3, "a;\nb", 1},         // white space before goes
        {"a$END_STATEMENT$$END_STATEMENT$", 3, "a;;\n", 2},  // steps back over its own line end
        {"a$END_STATEMENT$ $END_STATEMENT$x", 2, "a\nGO\nGO\nx", 2},
        {"  $END_STATEMENT$x", 3, ";\nx", 1},  // stops at the start
        {"$END_STATEMENT", 3, "$END_STATEMENT", 0},
        {"a$END_STATEMENT$", 1, "a$END_STATEMENT$", 0},  // Access keeps the marker
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Printable(c.text));
        std::string text(c.text);
        EXPECT_EQ(ConvertStatementEnds(text, c.dialect), c.count);
        EXPECT_EQ(text, c.want);
        if (c.dialect != 1) {
            std::string ref(c.text);
            EXPECT_EQ(reference::ConvertEnds(ref, c.dialect), c.count);
            EXPECT_EQ(text, ref);
        }
    }
}

// "GO" lines and ';' line ends: what may stand before the token, and only white space after it.
TEST(Separators, TokenEndingALine) {
    struct Case {
        bool (*test)(std::string_view, std::size_t);
        std::string_view text;
        std::size_t pos;
        bool want;
    };
    const Case cases[] = {
        {IsBatchSeparator, "a\n  go  \r\nb", 4, true},  // indented, lower case, trailing blanks
        {IsBatchSeparator, "select 1 GO\n", 9, true},   // at the end of a line of SQL, after a blank
        {IsBatchSeparator, "select 1 GO", 9, true},     // up to the end of the text
        {IsBatchSeparator, "GO\n", 0, true},            // first character of the text
        {IsBatchSeparator, "a\nGO -- c\n", 2, false},   // a line comment after it
        {IsBatchSeparator, "a\nGOTO x\n", 2, false},    // part of a longer word
        {IsBatchSeparator, "ALGO\n", 2, false},
        {IsBatchSeparator, "x G", 2, false},  // no room for the O
        {IsStatementEnd, "select 1;\n", 8, true},
        {IsStatementEnd, "select 1; \t\r\nx", 8, true},
        {IsStatementEnd, "select 1;", 8, true},
        {IsStatementEnd, "select 1 ;\n", 9, false},  // white space before
        {IsStatementEnd, ";\n", 0, false},           // first character
        {IsStatementEnd, "a; b;\n", 1, false},       // more on its line
        {IsStatementEnd, "a\n;\n", 2, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Printable(c.text));
        EXPECT_EQ(c.test(c.text, c.pos), c.want);
    }
}

TEST(ReplaceAllNoCase, SameBytesAsRestartingFromTheStart) {
    struct Case {
        std::string_view text;
        const char* search;
        const char* replacement;
    };
    const Case cases[] = {
        {"a [[[like]]] b [[[LIKE]]]", "[[[LIKE]]]", "LIKE"},
        {"[[[CRLF]]]+[[[crlf]]]", "[[[CRLF]]]", "'\\r\\n'"},
        {"aabb", "ab", "a"},  // the replacement joins the text before it
        {"abbb", "ab", "a"},  // ... and the text after it, again and again
        {"aaab", "aab", "a"},
        {"xaXbbY", "ab", "A"},
        {"abab", "ab", "ba"},  // joins with the preceding b
        {"aabab", "ab", "b"},
        {"((x))", "(x)", "x"},  // nested brackets unwind
        {"((((x))))", "(x)", "x"},
        {"no match", "zz", "y"},
        {"", "a", "b"},
        {"AbC", "abc", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " / " + c.search + " -> " + c.replacement);
        EXPECT_EQ(ReplaceAllNoCase(std::string(c.text), c.search, c.replacement),
                  reference::ReplaceAll(c.text, c.search, c.replacement));
    }
}

TEST(ReplaceAllNoCase, ReplacementHoldingTheSearchTextIsOnePass) {
    EXPECT_EQ(ReplaceAllNoCase("a-b-c", "-", "--"), "a--b--c");
    EXPECT_EQ(ReplaceAllNoCase("xAy", "a", "AA"), "xAAy");
}

// Random texts over a tiny alphabet make joins common; the linear functions must agree with the
// transcriptions byte for byte.
TEST(ScriptRules, AgreeWithTheTranscriptionsOnRandomTexts) {
    std::mt19937 rng(12345);
    const std::string alphabet = "ab/*$ \n";
    const char* pairs[][2] = {{"ab", "a"}, {"ba", "b"}, {"aab", "b"}, {"ab", ""}, {"a/", "/"}};
    for (int round = 0; round < 3000; ++round) {
        std::string text(rng() % 24, ' ');
        for (char& c : text) c = alphabet[rng() % alphabet.size()];
        SCOPED_TRACE(Printable(text));
        std::string stripped = text;
        StripBlockComments(stripped);
        ASSERT_EQ(stripped, reference::StripComments(text));
        const auto& pair = pairs[round % std::size(pairs)];
        ASSERT_EQ(ReplaceAllNoCase(text, pair[0], pair[1]), reference::ReplaceAll(text, pair[0], pair[1]));
        std::string marked;
        for (char c : text) marked += c == '$' ? std::string("$END_statement$") : std::string(1, c);
        std::string converted = marked, ref = marked;
        int dialect = 2 + round % 2;
        ASSERT_EQ(ConvertStatementEnds(converted, dialect), reference::ConvertEnds(ref, dialect));
        ASSERT_EQ(converted, ref);
    }
}

TEST(RewriteForDialect, PlaceholdersAndMarkers) {
    struct Case {
        std::string_view statement;
        int dialect;
        std::string_view want;
        int belongs;
    };
    const Case cases[] = {
        {"a [[[like]]] b", 1, "a = b", 1},
        {"a [[[LIKE]]] b", 2, "a LIKE b", 2},
        {"a [[[LIKE]]] b", 3, "a LIKE b", 3},
        {"x[[[CRLF]]]y", 1, "xchr(13) + chr(10)y", 1},
        {"x[[[crlf]]]y", 2, "xchar(13) + char(10)y", 2},
        {"x[[[CRLF]]]y", 3, "x'\\r\\n'y", 3},
        {"a$END_ROW$b", 3, "a;b", 3},
        {"a$END_ROW$b", 2, "a$END_ROW$b", 2},
        {"a$END_ROW$b", 1, "a$END_ROW$b", 1},
        {"$sql_only$select 1", 1, "          select 1", 2},
        {"$sql_only$select 1", 2, "          select 1", 2},
        {"$ACCESS_ONLY$x", 3, "             x", 1},
        {"$SQL_ONLY$ x $MYSQL_ONLY$", 2, "           x             ", 3},
        {"$SQL_ONLY$$ACCESS_ONLY$", 3, "                       ", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.statement) + " for " + std::to_string(c.dialect));
        std::string out;
        EXPECT_EQ(RewriteForDialect(c.statement, out, c.dialect), c.belongs);
        EXPECT_EQ(out, c.want);
    }
}

TEST(RewriteForDialect, AbsentStatementOrUnknownDialectProducesNothing) {
    std::string out = "stale";
    EXPECT_EQ(RewriteForDialect(std::nullopt, out, 3), kRewriteAbsent);
    EXPECT_EQ(out, "");
    out = "stale";
    EXPECT_EQ(RewriteForDialect("select 1", out, 4), kRewriteBadDialect);
    EXPECT_EQ(out, "");
    EXPECT_EQ(RewriteForDialect("select 1", out, 0), kRewriteBadDialect);
}

using Statements = std::vector<std::string_view>;

TEST(SplitAtBatchSeparators, GoLinesSeparate) {
    struct Case {
        std::string_view text;
        Statements want;
    };
    const Case cases[] = {
        {"create table t (a int)\nGO\n ", {"create table t (a int)"}},
        {"create table t (a int) ", {}},        // no separator, nothing runs
        {"a\n  go  \r\nb\nGO\nc", {"a", "b"}},  // text after the last GO is not run
        {"select 1 GO\nx GO", {"select 1", "x"}},
        {"GOTO x\nGO\n", {"GOTO x"}},  // the GO of GOTO is no separator
        {"a\nGO\nGO\n", {"a", ""}},    // an empty statement between two lines
        {"GO\n", {""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Printable(c.text));
        EXPECT_EQ(SplitAtBatchSeparators(c.text), c.want);
    }
}

TEST(SplitAtStatementEnds, SemicolonsEndingLines) {
    struct Case {
        std::string_view text;
        Statements want;
    };
    const Case cases[] = {
        {"select 1;\nselect 2;\n ", {"select 1;", "select 2;"}},
        {"select 1 ;\nselect 2;\n ", {"select 1 ;\nselect 2;"}},  // a blank before ';' runs on
        {"select 1;\nselect 2 ", {"select 1;"}},                  // the last one has no end
        {"insert 'a;b';\n ", {"insert 'a;b';"}},
        {"a;", {"a;"}},              // ';' as the last character
        {"a;;\nb;\n", {"a;;\nb;"}},  // more after it on its line
        {"", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Printable(c.text));
        EXPECT_EQ(SplitAtStatementEnds(c.text), c.want);
    }
}

TEST(PrepareMySqlScript, WholePipeline) {
    const std::string script =
        "/* header */\n"
        "create table t (v varchar(20))$END_STATEMENT$\n"
        "insert into t values ('a[[[crlf]]]b');\n"
        "$SQL_ONLY$ insert into t values ('sql');\n"
        "$MYSQL_ONLY$insert into t values ('my$END_ROW$');\n"
        "select 1 from t where v [[[LIKE]]] 'a%' ;\n"
        "select 2;\n"
        "/* unclosed\nselect 3;\n ";
    const std::vector<std::string> want = {
        "create table t (v varchar(20));",
        "insert into t values ('a'\\r\\n'b');",
        "            insert into t values ('my;');",  // the marker leaves its blanks
        "select 1 from t where v LIKE 'a%' ;\nselect 2;",
    };
    EXPECT_EQ(PrepareMySqlScript(ScriptTextFromBytes(script)), want);
}

}  // namespace
}  // namespace dk::db

// The product's SQL script language: one script serves Access, SQL Server and MySQL. Statements
// may be marked for one engine, a few placeholders are spelt per engine, and statements end at
// "GO" lines (Access, SQL Server) or at a ';' that ends a line (MySQL).
//
// Everything here works on bytes in the C locale (only A-Z/a-z fold; white space is blank, \t,
// \n, \v, \f, \r) and runs in time linear in the text. A script text never holds a NUL byte:
// the loader ends the usable text at the first one.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dk::db {

// The engine a runner works for and a statement belongs to.
enum SqlDialect : int { kAccess = 1, kSqlServer = 2, kMySql = 3 };

inline constexpr int kRewriteAbsent = -1;
inline constexpr int kRewriteBadDialect = -2;

// The file's bytes up to its first NUL, then one blank; nullopt when it cannot be opened (or the
// path is null). A UTF-8 byte-order mark at the start is skipped: servers reject it as part of
// the first statement.
std::optional<std::string> LoadScriptText(const char* path);
// The same for bytes already in memory.
std::string ScriptTextFromBytes(std::string_view bytes);

// Removes every "/*" ... "*/" comment in place. Comments do not nest, "/*/" is a whole comment,
// and an unclosed "/*" drops the rest of the text.
void StripBlockComments(std::string& text);

// Turns every "$END_STATEMENT$" (any case) into a "GO" line (kSqlServer) or ";" and a line feed
// (kMySql), together with the white space before it. Returns the count; other dialects convert
// nothing. The text never grows.
int ConvertStatementEnds(std::string& text, int dialect);

// Whether the "GO" found at pos separates statements: white space (or the start of the text)
// before it, nothing but white space after it on its line.
bool IsBatchSeparator(std::string_view text, std::size_t pos);

// Whether the ';' at pos ends a MySQL statement: no white space right before it (and not the
// first character), nothing but white space after it on its line.
bool IsStatementEnd(std::string_view text, std::size_t pos);

// Every occurrence of search (any letter case) replaced, exactly as if each replacement were
// followed by a new search from the start of the text: a replacement that joins its neighbours
// into a new occurrence is replaced too. A replacement holding the search text itself would make
// that rule endless; such a pair is replaced in one left-to-right pass instead.
std::string ReplaceAllNoCase(std::string text, std::string_view search, std::string_view replacement);

// The statement rewritten for dialect into out: placeholders replaced, dialect markers blanked.
// Returns the dialect the statement belongs to, kRewriteAbsent for no statement or
// kRewriteBadDialect for a dialect other than 1, 2 or 3 (out is then left empty).
int RewriteForDialect(std::optional<std::string_view> statement, std::string& out, int dialect);

// Trims C white space at both ends.
std::string_view TrimView(std::string_view text);

// The statements of a SQL Server or Access script (comments already removed, ends converted),
// split at "GO" lines and trimmed. Text after the last separator is not a statement.
std::vector<std::string_view> SplitAtBatchSeparators(std::string_view text);

// The statements of a MySQL script (comments removed, ends converted), each up to and with its
// ';', trimmed. Text after the last statement end is not a statement.
std::vector<std::string_view> SplitAtStatementEnds(std::string_view text);

// A script text as the MySQL runner sends it: comments removed, ends converted, split, rewritten
// for MySQL, statements of the other engines left out.
std::vector<std::string> PrepareMySqlScript(std::string text);

}  // namespace dk::db

// The library's plain-text logs: records appended one open/write/close at a time.
#pragma once

namespace dk {

inline constexpr char kIisTraceLog[] = "c:/qiv_iis7.log";
inline constexpr char kDbErrorLog[] = "c:\\db_error.log";
inline constexpr char kCommandTestLog[] = "c:/qiv_test.log";

// "YYYY-MM-DD HH:MM:SS - text\n" to the IIS trace log. A null text only creates the file.
void TraceIis(const char* text) noexcept;
// TraceIis("result = %d").
void TraceResult(int n) noexcept;
// "MM/DD/YY HH:MM:SS text\n" to the database error log; adds one to *counter when the record
// was written and counter is not null. Always returns 0.
int LogDbError(const char* text, int* counter) noexcept;

}  // namespace dk

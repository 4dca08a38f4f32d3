#include <cstdarg>
#include <cstdio>

#include "frame/win/raii.h"
#include "mysql/mysql_binding.h"

namespace dk::mysql {

void MySqlTimestamp(char (&buffer)[25]) noexcept {
    // One reading of the clock: the milliseconds belong to the second shown.
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d.%03hu", now.wYear, now.wMonth,
                  now.wDay, now.wHour, now.wMinute, now.wSecond, now.wMilliseconds);
}

void TraceMySqlLine(const char* format, ...) noexcept {
    win::unique_file log(std::fopen(kTraceLog, "a+"));
    if (!log) return;
    char stamp[25];
    MySqlTimestamp(stamp);
    std::fprintf(log.get(), "%s - ", stamp);
    va_list args;
    va_start(args, format);
    std::vfprintf(log.get(), format, args);
    va_end(args);
    std::fputs("\n", log.get());
}

}  // namespace dk::mysql

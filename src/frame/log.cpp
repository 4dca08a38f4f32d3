#include "frame/log.h"

#include <cstdio>
#include <ctime>

#include "frame/win/raii.h"

namespace dk {
namespace {

std::tm LocalNow() noexcept {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    if (const std::tm* t = std::localtime(&now)) local = *t;
    return local;
}

}  // namespace

void TraceIis(const char* text) noexcept {
    win::unique_file log(std::fopen(kIisTraceLog, "a+"));
    if (!log || !text) return;
    const std::tm local = LocalNow();
    char stamp[20];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &local);
    std::fprintf(log.get(), "%s - %s\n", stamp, text);
}

void TraceResult(int n) noexcept {
    char text[32];
    std::snprintf(text, sizeof text, "result = %d", n);
    TraceIis(text);
}

int LogDbError(const char* text, int* counter) noexcept {
    const std::tm local = LocalNow();
    char date[16];
    char time[16];
    std::strftime(date, sizeof date, "%m/%d/%y", &local);
    std::strftime(time, sizeof time, "%H:%M:%S", &local);
    win::unique_file log(std::fopen(kDbErrorLog, "a+"));
    if (!log) return 0;
    std::fprintf(log.get(), "%s %s %s\n", date, time, text ? text : "(null)");
    if (counter) ++*counter;
    return 0;
}

}  // namespace dk

// Test child: dk_child [print=N] [text=T] [close] [sleep=MS] [pidfile=PATH] [exit=CODE], in order.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

int main(int argc, char** argv) {
    int code = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const auto value = [&](const char* key) -> const char* {
            const std::size_t n = std::strlen(key);
            return a.compare(0, n, key) == 0 ? argv[i] + n : nullptr;
        };
        if (const char* v = value("print=")) {
            const long n = std::atol(v);
            for (long k = 0; k < n; ++k) std::putchar('a' + static_cast<int>(k % 26));
            std::fflush(stdout);
        } else if (const char* t = value("text=")) {
            std::fputs(t, stdout);
            std::fflush(stdout);
        } else if (a == "close") {
            std::fflush(stdout);
            CloseHandle(GetStdHandle(STD_OUTPUT_HANDLE));
            CloseHandle(GetStdHandle(STD_ERROR_HANDLE));
        } else if (const char* ms = value("sleep=")) {
            Sleep(static_cast<DWORD>(std::atol(ms)));
        } else if (const char* path = value("pidfile=")) {
            if (FILE* f = std::fopen(path, "w")) {
                std::fprintf(f, "%lu", GetCurrentProcessId());
                std::fclose(f);
            }
        } else if (const char* c = value("exit=")) {
            code = std::atoi(c);
        }
    }
    return code;
}

#include <winsock2.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <string>

#include "deploykit.h"
#include "support/dk_test.h"

namespace {

using namespace std::string_literals;

struct Freed {
    void operator()(char* p) const { std::free(p); }
};
using owned = std::unique_ptr<char, Freed>;

class Host : public ::testing::Test {
protected:
    template <class Fn>
    Fn get(const char* name) {
        return dll.get<Fn>(name);
    }
    dk::test::Library dll;
};

TEST_F(Host, ComputerNameIsTheNetbiosName) {
    char want[MAX_COMPUTERNAME_LENGTH + 1];
    DWORD size = sizeof want;
    ASSERT_TRUE(GetComputerNameA(want, &size));
    const owned name(get<DK_PFN_ComputerName>("ComputerName")());
    ASSERT_NE(name, nullptr);
    EXPECT_STREQ(name.get(), want);
}

TEST_F(Host, GetIPsListsTheResolverAddressesInOrder) {
    std::string want;
    {
        WSADATA data;
        ASSERT_EQ(WSAStartup(MAKEWORD(1, 1), &data), 0);
        char host[1000];
        ASSERT_EQ(gethostname(host, sizeof host), 0);
        const hostent* entry = gethostbyname(host);
        ASSERT_NE(entry, nullptr);
        for (char** a = entry->h_addr_list; *a; ++a) {
            in_addr ip;
            std::memcpy(&ip, *a, sizeof ip);
            want += (want.empty() ? "" : ",") + std::string(inet_ntoa(ip));
        }
        WSACleanup();
    }
    const owned ips(get<DK_PFN_getIPs>("getIPs")());
    ASSERT_NE(ips, nullptr);
    EXPECT_EQ(ips.get(), want);
    EXPECT_EQ(std::string(ips.get()).find(' '), std::string::npos);
}

// A TCP socket of the test's own on 127.0.0.1, bound to a port the system picks.
class OwnSocket {
public:
    explicit OwnSocket(bool listen) {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
        s_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = inet_addr("127.0.0.1");
        EXPECT_EQ(bind(s_, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
        int size = sizeof a;
        getsockname(s_, reinterpret_cast<sockaddr*>(&a), &size);
        port_ = ntohs(a.sin_port);
        if (listen) {
            EXPECT_EQ(::listen(s_, 1), 0);
        }
    }
    ~OwnSocket() {
        close();
        WSACleanup();
    }
    void close() {
        if (s_ != INVALID_SOCKET) closesocket(s_);
        s_ = INVALID_SOCKET;
    }
    int port() const { return port_; }

private:
    SOCKET s_ = INVALID_SOCKET;
    int port_ = 0;
};

TEST_F(Host, CheckTcpPortTellsFreeFromInUse) {
    auto check = get<DK_PFN_checkTCPport>("checkTCPport");
    OwnSocket listener(true);
    EXPECT_EQ(check("127.0.0.1", listener.port()), 0);
    EXPECT_EQ(check("0.0.0.0", listener.port()), 0);              // every local address, this one included
    EXPECT_EQ(check("127.0.0.1", listener.port() + 0x10000), 0);  // only the low 16 bits count
    OwnSocket released(false);
    released.close();
    EXPECT_EQ(check("127.0.0.1", released.port()), 1);
    // TEST-NET-2: documentation addresses, never the host's own.
    const owned ips(get<DK_PFN_getIPs>("getIPs")());
    ASSERT_EQ(std::string(ips ? ips.get() : "").find("198.51.100."), std::string::npos);
    for (const char* bad : {"198.51.100.7", "not an address", "", static_cast<const char*>(nullptr)}) {
        SCOPED_TRACE(bad ? bad : "(null)");
        EXPECT_EQ(check(bad, released.port()), -3);
    }
}

TEST_F(Host, CheckStringThroughTheExport) {
    auto check = get<DK_PFN_checkString>("checkString");
    struct Case {
        const char* text;
        int mode;
        int want;
    };
    constexpr Case cases[] = {{"ab_c", 1, 2}, {"ab_c", 3, 0}, {"a1", 1, 1}, {"a1", 2, 0},   {"a ", 1, 1},
                              {"abc", 0, -1}, {"abc", 4, -1}, {"", 9, 0},   {nullptr, 9, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text ? c.text : "(null)");
        EXPECT_EQ(check(c.text, c.mode), c.want);
    }
}

TEST_F(Host, RandomStringDrawsFromItsAlphabet) {
    auto random = get<DK_PFN_randomString>("randomString");
    auto check = get<DK_PFN_checkString>("checkString");
    for (int alphabet = 1; alphabet <= 3; ++alphabet) {
        const owned text(random(40, alphabet));
        ASSERT_NE(text, nullptr);
        EXPECT_EQ(std::strlen(text.get()), 40u);
        EXPECT_EQ(check(text.get(), alphabet), 0) << text.get();
    }
    EXPECT_EQ(random(0, 1), nullptr);
    EXPECT_EQ(random(-5, 1), nullptr);
    EXPECT_EQ(random(10, 0), nullptr);
    EXPECT_EQ(random(10, 4), nullptr);
    // Seeded with the time in seconds: two calls within one second agree.
    for (;;) {
        const std::time_t before = std::time(nullptr);
        const owned a(random(16, 3)), b(random(16, 3));
        if (std::time(nullptr) != before) continue;
        EXPECT_STREQ(a.get(), b.get());
        break;
    }
}

class FindInFile : public Host {
protected:
    std::string Write(const std::string& name, const std::string& bytes) {
        const std::string path = dir / name;
        dk::test::WriteFile(path, bytes);
        return path;
    }
    dk::test::TempDir dir;
    DK_PFN_findInFile find = get<DK_PFN_findInFile>("findInFile");
};

TEST_F(FindInFile, WideFilesAreReadWhole) {
    // U+041A holds the byte 0x1A, which ends a file read in text mode; U+0D0A holds CR LF.
    const std::string wide =
        Write("utf16.txt", "\xFF\xFE\x1A\x04 \0\x0D\x0A=\0S\0e\0t\0u\0p\0 \0d\0o\0n\0e\0"s);
    struct Case {
        const char* text;
        int wide;
        int want;
    };
    constexpr Case cases[] = {
        {"Setup done", 1, 1}, {"setup done", 1, 0}, {"Setup", 0x101, 1},  // low byte 1
        {"Setup", 0x100, 0},                                              // low byte 0: 8-bit search
        {"done!", 1, 0},      {"", 1, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(find(wide.c_str(), c.text, c.wide), c.want);
    }
}

TEST_F(FindInFile, EightBitFilesAreReadAsText) {
    const std::string narrow = Write("log.txt", "Installation LOG\r\nsecond line\x1A after the end\0"s);
    struct Case {
        const char* text;
        int wide;
        int want;
    };
    constexpr Case cases[] = {
        {"installation log", 0, 1},
        {"LOG\nSECOND", 0, 1},    // CR LF read as LF
        {"after the end", 0, 0},  // 0x1A ends a text-mode read
        {"Installation", 1, 0},   // letters adjacent: not UTF-16
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(find(narrow.c_str(), c.text, c.wide), c.want);
    }
    EXPECT_EQ(find((dir / "missing.txt").c_str(), "x", 0), -1);
    EXPECT_EQ(find(nullptr, "x", 0), -1);
}

TEST_F(Host, GetOsArchitectureIsOneConstantText) {
    auto arch = get<DK_PFN_getOSArchitecture>("getOSArchitecture");
    const char* first = arch();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(arch(), first);
    // This test program is 64-bit, which only a 64-bit Windows runs.
    EXPECT_STREQ(first, sizeof(void*) == 8 ? "64bit" : first);
}

std::string LocalDate(__time64_t when) {
    const std::tm* t = _localtime64(&when);
    char text[16];
    std::snprintf(text, sizeof text, "%02d/%02d/%04d", t->tm_mday, t->tm_mon + 1, t->tm_year + 1900);
    return text;
}

TEST_F(Host, XDaysFromNow) {
    auto days = get<DK_PFN_x_days_from_now>("x_days_from_now");
    for (int n : {0, -1, 1, 36500}) {
        SCOPED_TRACE(n);
        const __time64_t before = _time64(nullptr);
        const owned date(days(n));
        const __time64_t after = _time64(nullptr);
        ASSERT_NE(date, nullptr);
        const std::string got = date.get();
        EXPECT_TRUE(got == LocalDate(before + n * 86400LL) || got == LocalDate(after + n * 86400LL)) << got;
    }
    // Today's date as Windows itself gives it.
    const auto today = [] {
        SYSTEMTIME t;
        GetLocalTime(&t);
        char text[16];
        std::snprintf(text, sizeof text, "%02d/%02d/%04d", t.wDay, t.wMonth, t.wYear);
        return std::string(text);
    };
    const std::string before = today();
    const owned now(days(0));
    ASSERT_NE(now, nullptr);
    EXPECT_TRUE(now.get() == before || now.get() == today()) << now.get();
    // Dates the C runtime cannot convert: before 1970, after 3000.
    for (int n : {-30000, INT_MIN, 400000, INT_MAX}) {
        SCOPED_TRACE(n);
        EXPECT_EQ(days(n), nullptr);
    }
}

}  // namespace

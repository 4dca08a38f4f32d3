#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include "deploykit.h"
#include "frame/fixed_texts.h"
#include "frame/result.h"
#include "frame/win/raii.h"
#include "sys/charsets.h"
#include "sys/date_text.h"
#include "sys/file_search.h"

namespace {

constexpr int kWinsockUnavailable = -1;
constexpr int kNoSocket = -2;
constexpr int kBindFailed = -3;

bool LocalTime64(std::int64_t seconds, std::tm& out) {
    const __time64_t when = seconds;
    const std::tm* local = ::_localtime64(&when);
    if (!local) return false;
    out = *local;
    return true;
}

}  // namespace

extern "C" char* __cdecl ComputerName() noexcept {
    return dk::guarded<char*>(nullptr, []() -> char* {
        char name[MAX_COMPUTERNAME_LENGTH + 1];
        DWORD size = sizeof name;
        if (!::GetComputerNameA(name, &size)) return nullptr;
        return dk::NewResult(name, size);
    });
}

extern "C" char* __cdecl getIPs() noexcept {
    return dk::guarded<char*>(nullptr, []() -> char* {
        dk::win::wsa_session wsa;
        if (!wsa.ok()) return nullptr;
        char host[1000];
        if (::gethostname(host, sizeof host) != 0) return nullptr;
        const hostent* entry = ::gethostbyname(host);
        if (!entry || entry->h_addrtype != AF_INET || entry->h_length != sizeof(in_addr)) return nullptr;
        std::string list;
        for (char** address = entry->h_addr_list; *address; ++address) {
            in_addr ip;
            std::memcpy(&ip, *address, sizeof ip);
            if (!list.empty()) list += ',';
            list += ::inet_ntoa(ip);
        }
        return list.empty() ? nullptr : dk::NewResult(list);
    });
}

extern "C" int __cdecl checkTCPport(const char* ip_address, int port) noexcept {
    return dk::guarded(kBindFailed, [&] {
        dk::win::wsa_session wsa;
        if (!wsa.ok()) return kWinsockUnavailable;
        dk::win::unique_socket probe(::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
        if (!probe) return kNoSocket;
        // Old Windows read an empty address as "any"; text that is no address comes back as the
        // broadcast address, which some stacks let a socket bind to. Neither is a local address.
        if (!ip_address || !*ip_address) return kBindFailed;
        const unsigned long address = ::inet_addr(ip_address);
        if (address == INADDR_NONE) return kBindFailed;
        sockaddr_in where{};
        where.sin_family = AF_INET;
        where.sin_addr.s_addr = address;
        where.sin_port = ::htons(static_cast<u_short>(port & 0xFFFF));
        if (::bind(probe.get(), reinterpret_cast<const sockaddr*>(&where), sizeof where) == 0) return 1;
        return ::WSAGetLastError() == WSAEADDRINUSE ? 0 : kBindFailed;
    });
}

extern "C" int __cdecl checkString(const char* text, int mode) noexcept {
    return dk::guarded(-1, [&] { return dk::sys::CheckAllowed(text, mode); });
}

extern "C" char* __cdecl randomString(int length, int alphabet) noexcept {
    return dk::guarded<char*>(nullptr, [&]() -> char* {
        const std::string_view letters = dk::sys::Alphabet(alphabet);
        if (length < 1 || letters.empty()) return nullptr;
        std::srand(static_cast<unsigned>(std::time(nullptr)));
        return dk::NewResult(dk::sys::RandomText(length, letters, [] { return std::rand(); }));
    });
}

extern "C" int __cdecl findInFile(const char* file_path, const char* text_to_find,
                                  int wide_text_flag) noexcept {
    return dk::guarded(
        -1, [&] { return dk::sys::FindInFile(file_path, text_to_find, (wide_text_flag & 0xFF) != 0); });
}

extern "C" char* __cdecl getOSArchitecture() noexcept {
#ifdef _WIN64
    // Only a 64-bit Windows runs a 64-bit process.
    return const_cast<char*>(dk::fixed::k64bit);
#else
    using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);
    const auto is_wow64 = reinterpret_cast<IsWow64ProcessFn>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("kernel32"), "IsWow64Process")));
    BOOL wow64 = FALSE;
    if (is_wow64 && is_wow64(::GetCurrentProcess(), &wow64) && wow64)
        return const_cast<char*>(dk::fixed::k64bit);
    return const_cast<char*>(dk::fixed::k32bit);
#endif
}

extern "C" char* __cdecl x_days_from_now(int number_of_days) noexcept {
    return dk::guarded<char*>(nullptr, [&]() -> char* {
        const auto date = dk::sys::DateAfterDays(::_time64(nullptr), number_of_days, &LocalTime64);
        return date ? dk::NewResult(*date) : nullptr;
    });
}

// One owner type per Win32, COM and C runtime resource kind: each closes exactly once.
#pragma once

#include <winsock2.h>
#include <windows.h>
#include <oleauto.h>

#include <cstdio>
#include <cstdlib>
#include <utility>

namespace dk::win {

template <class Traits>
class unique_any {
public:
    using type = typename Traits::type;

    unique_any() noexcept = default;
    explicit unique_any(type value) noexcept : value_(value) {}
    unique_any(const unique_any&) = delete;
    unique_any& operator=(const unique_any&) = delete;
    unique_any(unique_any&& other) noexcept : value_(other.release()) {}
    unique_any& operator=(unique_any&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    ~unique_any() { reset(); }

    type get() const noexcept { return value_; }
    explicit operator bool() const noexcept { return value_ != Traits::invalid(); }
    // Closes what is held and hands out the slot for an API that returns a new one.
    type* put() noexcept {
        reset();
        return &value_;
    }
    type release() noexcept { return std::exchange(value_, Traits::invalid()); }
    void reset(type value = Traits::invalid()) noexcept {
        type old = std::exchange(value_, value);
        if (old != Traits::invalid()) Traits::close(old);
    }

private:
    type value_ = Traits::invalid();
};

struct handle_traits {
    using type = HANDLE;
    static type invalid() noexcept { return nullptr; }
    static void close(type h) noexcept { ::CloseHandle(h); }
};
// CreateFile and FindFirstFile report failure as INVALID_HANDLE_VALUE, not null.
struct file_handle_traits {
    using type = HANDLE;
    static type invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void close(type h) noexcept { ::CloseHandle(h); }
};
struct hkey_traits {
    using type = HKEY;
    static type invalid() noexcept { return nullptr; }
    static void close(type k) noexcept { ::RegCloseKey(k); }
};
struct hmodule_traits {
    using type = HMODULE;
    static type invalid() noexcept { return nullptr; }
    static void close(type m) noexcept { ::FreeLibrary(m); }
};
struct stdio_file_traits {
    using type = FILE*;
    static type invalid() noexcept { return nullptr; }
    static void close(type f) noexcept { std::fclose(f); }
};
struct socket_traits {
    using type = SOCKET;
    static type invalid() noexcept { return INVALID_SOCKET; }
    static void close(type s) noexcept { ::closesocket(s); }
};
struct bstr_traits {
    using type = BSTR;
    static type invalid() noexcept { return nullptr; }
    static void close(type b) noexcept { ::SysFreeString(b); }
};
struct malloc_traits {
    using type = char*;
    static type invalid() noexcept { return nullptr; }
    static void close(type p) noexcept { std::free(p); }
};

using unique_handle = unique_any<handle_traits>;
using unique_hfile = unique_any<file_handle_traits>;
using unique_hkey = unique_any<hkey_traits>;
using unique_hmodule = unique_any<hmodule_traits>;
using unique_file = unique_any<stdio_file_traits>;
using unique_socket = unique_any<socket_traits>;
using unique_bstr = unique_any<bstr_traits>;
using unique_cstr = unique_any<malloc_traits>;  // malloc'ed text (NextLine, CopyBytes, ...)

// A COM interface pointer, released once.
template <class T>
class com_ptr {
public:
    com_ptr() noexcept = default;
    com_ptr(const com_ptr&) = delete;
    com_ptr& operator=(const com_ptr&) = delete;
    com_ptr(com_ptr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
    com_ptr& operator=(com_ptr&& o) noexcept {
        if (this != &o) reset(std::exchange(o.p_, nullptr));
        return *this;
    }
    ~com_ptr() { reset(); }

    T* get() const noexcept { return p_; }
    T* operator->() const noexcept { return p_; }
    explicit operator bool() const noexcept { return p_ != nullptr; }
    T** put() noexcept {
        reset();
        return &p_;
    }
    void** put_void() noexcept { return reinterpret_cast<void**>(put()); }
    void reset(T* p = nullptr) noexcept {
        T* old = std::exchange(p_, p);
        if (old) old->Release();
    }
    template <class U>
    HRESULT query(com_ptr<U>& out) const noexcept {
        return p_ ? p_->QueryInterface(__uuidof(U), out.put_void()) : E_POINTER;
    }

private:
    T* p_ = nullptr;
};

// A VARIANT cleared exactly once.
class unique_variant {
public:
    unique_variant() noexcept { ::VariantInit(&v_); }
    unique_variant(const unique_variant&) = delete;
    unique_variant& operator=(const unique_variant&) = delete;
    ~unique_variant() { ::VariantClear(&v_); }
    VARIANT* get() noexcept { return &v_; }
    const VARIANT* get() const noexcept { return &v_; }
    VARIANT* put() noexcept {
        ::VariantClear(&v_);
        return &v_;
    }

private:
    VARIANT v_;
};

// COM initialised for the scope; uninitialised only when this scope's call succeeded.
class co_init {
public:
    explicit co_init(DWORD model = COINIT_APARTMENTTHREADED) noexcept
        : hr_(::CoInitializeEx(nullptr, model)) {}
    co_init(const co_init&) = delete;
    co_init& operator=(const co_init&) = delete;
    ~co_init() {
        if (SUCCEEDED(hr_)) ::CoUninitialize();
    }
    HRESULT result() const noexcept { return hr_; }

private:
    HRESULT hr_;
};

// Windows Sockets started for the scope.
class wsa_session {
public:
    explicit wsa_session(WORD version = MAKEWORD(1, 1)) noexcept {
        WSADATA data;
        ok_ = ::WSAStartup(version, &data) == 0;
    }
    wsa_session(const wsa_session&) = delete;
    wsa_session& operator=(const wsa_session&) = delete;
    ~wsa_session() {
        if (ok_) ::WSACleanup();
    }
    bool ok() const noexcept { return ok_; }

private:
    bool ok_ = false;
};

}  // namespace dk::win

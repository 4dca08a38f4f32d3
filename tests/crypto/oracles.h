// Reference implementations for the native tests and benchmarks: OpenSSL's DES-ECB (legacy
// provider) and MD5, and helpers for random inputs.
#pragma once

#include <openssl/evp.h>
#include <openssl/provider.h>

#include <cstdint>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace dk::test {

using Bytes = std::vector<std::uint8_t>;

// DES lives in OpenSSL 3's legacy provider; load it (with the default one) once per process and
// unload both at exit, so the leak checker sees nothing of them.
inline void LoadLegacyProvider() {
    struct Providers {
        OSSL_PROVIDER* legacy = OSSL_PROVIDER_load(nullptr, "legacy");
        OSSL_PROVIDER* fallback = OSSL_PROVIDER_load(nullptr, "default");
        ~Providers() {
            if (legacy) OSSL_PROVIDER_unload(legacy);
            if (fallback) OSSL_PROVIDER_unload(fallback);
        }
    };
    static const Providers providers;
    if (!providers.legacy || !providers.fallback)
        throw std::runtime_error("cannot load OpenSSL's legacy provider");
}

// DES-ECB without padding over len bytes (a multiple of 8) under key bytes 0-7.
class OpenSslDes {
public:
    OpenSslDes(const std::uint8_t* key, bool encipher) : ctx_(EVP_CIPHER_CTX_new()) {
        LoadLegacyProvider();
        cipher_ = EVP_CIPHER_fetch(nullptr, "DES-ECB", nullptr);
        if (!ctx_ || !cipher_ || !EVP_CipherInit_ex2(ctx_, cipher_, key, nullptr, encipher ? 1 : 0, nullptr))
            throw std::runtime_error("DES-ECB unavailable");
        EVP_CIPHER_CTX_set_padding(ctx_, 0);
    }
    ~OpenSslDes() {
        EVP_CIPHER_CTX_free(ctx_);
        EVP_CIPHER_free(cipher_);
    }
    OpenSslDes(const OpenSslDes&) = delete;
    OpenSslDes& operator=(const OpenSslDes&) = delete;

    void Run(const std::uint8_t* in, std::uint8_t* out, std::size_t len) {
        int outLen = 0;
        if (!EVP_CipherUpdate(ctx_, out, &outLen, in, static_cast<int>(len)) ||
            outLen != static_cast<int>(len))
            throw std::runtime_error("DES-ECB failed");
    }

private:
    EVP_CIPHER_CTX* ctx_;
    EVP_CIPHER* cipher_ = nullptr;
};

inline Bytes OpenSslDesEcb(const Bytes& in, const std::uint8_t* key, bool encipher) {
    Bytes out(in.size());
    OpenSslDes des(key, encipher);
    if (!in.empty()) des.Run(in.data(), out.data(), in.size());
    return out;
}

inline Bytes OpenSslMd5(const void* data, std::size_t len) {
    Bytes out(16);
    unsigned int outLen = 0;
    if (!EVP_Digest(data, len, out.data(), &outLen, EVP_md5(), nullptr))
        throw std::runtime_error("MD5 failed");
    return out;
}

inline Bytes RandomBytes(std::mt19937& rng, std::size_t n) {
    Bytes b(n);
    for (auto& x : b) x = static_cast<std::uint8_t>(rng());
    return b;
}

inline std::string UpperHex(const Bytes& b) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string s;
    for (auto x : b) {
        s += kDigits[x >> 4];
        s += kDigits[x & 15];
    }
    return s;
}

inline Bytes FromHex(const std::string& hex) {
    Bytes b;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        b.push_back(static_cast<std::uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    return b;
}

}  // namespace dk::test

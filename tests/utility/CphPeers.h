#pragma once
// Independent peers for the hash and cipher tests: OpenSSL's MD5 and libgcrypt's Serpent,
// driven through their public interfaces, plus hex and random-byte helpers.

#include <gcrypt.h>
#include <gtest/gtest.h>
#include <openssl/evp.h>

#include <cstdint>
#include <random>
#include <stdexcept>
#include <string>
#include <string_view>

namespace CphPeers {

inline std::string Hex(std::string_view bytes)
{
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    for (unsigned char c : bytes) {
        hex += digits[c >> 4];
        hex += digits[c & 15];
    }
    return hex;
}

inline std::string FromHex(std::string_view hex)
{
    auto nibble = [](char c) { return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10; };
    std::string bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes += static_cast<char>(nibble(hex[i]) << 4 | nibble(hex[i + 1]));
    return bytes;
}

inline std::string RandomBytes(std::mt19937_64& rng, size_t count)
{
    std::string bytes(count, '\0');
    for (char& c : bytes)
        c = static_cast<char>(rng());
    return bytes;
}

inline std::string OpenSslMd5(std::string_view data)
{
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int size = 0;
    if (EVP_Digest(data.data(), data.size(), digest, &size, EVP_md5(), nullptr) != 1)
        throw std::runtime_error("EVP_Digest failed");
    return std::string(reinterpret_cast<const char*>(digest), size);
}

inline void InitGcrypt()
{
    static const bool done = [] {
        gcry_check_version(nullptr);
        gcry_control(GCRYCTL_DISABLE_SECMEM, 0);
        gcry_control(GCRYCTL_INITIALIZATION_FINISHED, 0);
        return true;
    }();
    (void)done;
}

// libgcrypt's Serpent in one of its modes, keyed with 16, 24 or 32 raw bytes.
class GcryptSerpent {
public:
    GcryptSerpent(std::string_view key, int mode, std::string_view iv = {})
    {
        InitGcrypt();
        const int algorithm = key.size() == 16 ? GCRY_CIPHER_SERPENT128
                              : key.size() == 24 ? GCRY_CIPHER_SERPENT192
                                                 : GCRY_CIPHER_SERPENT256;
        Check(gcry_cipher_open(&FHandle, algorithm, mode, 0));
        Check(gcry_cipher_setkey(FHandle, key.data(), key.size()));
        if (!iv.empty()) {
            if (mode == GCRY_CIPHER_MODE_CTR)
                Check(gcry_cipher_setctr(FHandle, iv.data(), iv.size()));
            else
                Check(gcry_cipher_setiv(FHandle, iv.data(), iv.size()));
        }
    }
    ~GcryptSerpent() { gcry_cipher_close(FHandle); }
    GcryptSerpent(const GcryptSerpent&) = delete;
    GcryptSerpent& operator=(const GcryptSerpent&) = delete;

    std::string Encrypt(std::string_view in)
    {
        std::string out(in.size(), '\0');
        Check(gcry_cipher_encrypt(FHandle, out.data(), out.size(), in.data(), in.size()));
        return out;
    }
    std::string Decrypt(std::string_view in)
    {
        std::string out(in.size(), '\0');
        Check(gcry_cipher_decrypt(FHandle, out.data(), out.size(), in.data(), in.size()));
        return out;
    }

private:
    static void Check(gcry_error_t error)
    {
        if (error)
            throw std::runtime_error(std::string("libgcrypt: ") + gcry_strerror(error));
    }
    gcry_cipher_hd_t FHandle = nullptr;
};

} // namespace CphPeers

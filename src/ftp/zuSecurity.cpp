// The credential cipher.

#include "ftp/zuSecurity.h"

#include "utility/CphHash.h"
#include "utility/CphSerpent.h"

namespace {

// The key material: stored credentials can be read back only by a program with these bytes.
constexpr unsigned char KeyMaterial[32] = {
    0x5A, 0x65, 0x6E, 0x74, 0x75, 0x2D, 0x46, 0x54, 0x50, 0x9C, 0x3E, 0xA1, 0x07, 0xD4, 0x62, 0xB8,
    0x1F, 0xE3, 0x48, 0x95, 0x2C, 0x7B, 0xF0, 0x36, 0x81, 0x5D, 0xCA, 0x14, 0x6F, 0xB2, 0x09, 0xE7,
};

// A fresh cipher for one call, so every call starts its chain from the same value.
template <typename TWork>
std::string WithCipher(TWork work)
{
    TCph_serpent cipher(nullptr);
    cipher.InitKeyFromPassphrase(std::string_view(reinterpret_cast<const char*>(KeyMaterial), sizeof KeyMaterial),
                                 TCph_md5::ClassRef());
    std::string result;
    try {
        result = work(cipher);
    } catch (...) {
        cipher.WipeState();
        throw;
    }
    cipher.WipeState();
    return result;
}

} // namespace

std::string EncryptCredential(std::string_view plain)
{
    if (plain.empty())
        return {};
    return WithCipher([plain](TCph_serpent& cipher) { return cipher.EncryptText(plain); });
}

std::string DecryptCredential(std::string_view stored)
{
    if (stored.empty())
        return {};
    return WithCipher([stored](TCph_serpent& cipher) { return cipher.DecryptText(stored); });
}

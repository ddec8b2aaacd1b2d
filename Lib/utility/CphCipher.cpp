// The cipher and block-cipher bases, key derivation from a passphrase, and Base64.

#include "utility/CphCipher.h"

#include "utility/CphHash.h"
#include "utility/CphWipe.h"

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace {

constexpr TCph_cipherClass KCipherClass(-1, "", -1, -1, [] { return false; });

constexpr char KBase64Alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// Character → 6-bit value; anything outside the alphabet (the fill character too) counts as 0.
constexpr std::array<std::uint8_t, 256> KBase64Values = [] {
    std::array<std::uint8_t, 256> values{};
    for (std::uint8_t i = 0; i < 64; ++i)
        values[static_cast<unsigned char>(KBase64Alphabet[i])] = i;
    return values;
}();

} // namespace

// ---- TCph_cipher

TCph_cipher::TCph_cipher(TComponent* AOwner) : TComponent(AOwner) {}

TCph_cipher::~TCph_cipher()
{
    FInitialized = false;
}

const TCph_cipherClass& TCph_cipher::ClassRef()
{
    return KCipherClass;
}

void TCph_cipher::SetupKey(const void* /*key*/, unsigned size, const void* /*iv*/)
{
    if (FInitialized)
        WipeState();
    if (size == 0 || size % 4 != 0 || static_cast<long long>(size) > MaxKeySize())
        throw ECph_cipher("Invalid key size");
    FInitialized = true;
}

void TCph_cipher::WipeState()
{
    FInitialized = false;
}

std::string TCph_cipher::EncryptText(std::string_view text)
{
    std::string enciphered(text.size(), '\0');
    EncryptBytes(text.data(), enciphered.data(), text.size());
    return Base64EncodeText(enciphered);
}

std::string TCph_cipher::DecryptText(std::string_view text)
{
    std::string bytes = Base64DecodeText(text);
    DecryptBytes(bytes.data(), bytes.data(), bytes.size());
    return bytes;
}

void TCph_cipher::InitKeyFromPassphrase(std::string_view passphrase, const TCph_hashClass& hashClass)
{
    if (FInitialized)
        WipeState();
    std::vector<std::uint8_t> digest;
    try {
        const int hashSize = hashClass.HashSize();
        if (hashSize <= 0)
            throw ECph_cipher("no digest");
        digest.resize(static_cast<std::size_t>(hashSize / 8));
        {
            const std::unique_ptr<TCph_hash> hash(hashClass.Create(nullptr));
            hash->StartDigest();
            hash->AddText(passphrase);
            hash->FinishDigest(digest.data());
        }
        const int keySize = MaxKeySize() < hashSize ? MaxKeySize() : hashSize;
        SetupKey(digest.data(), static_cast<unsigned>(keySize), nullptr);
        CphWipe(digest.data(), digest.size(), 0xFF);
    } catch (...) {
        CphWipe(digest.data(), digest.size(), 0xFF);
        if (FInitialized)
            WipeState();
        throw ECph_cipher("Unable to allocate sufficient memory for hash digest");
    }
}

// ---- TCph_blockcipher

TCph_blockcipher::TCph_blockcipher(TComponent* AOwner) : TCph_cipher(AOwner) {}

const TCph_cipherClass& TCph_blockcipher::ClassRef()
{
    return KCipherClass;
}

void TCph_blockcipher::EncryptBytes(const void* in, void* out, std::size_t count)
{
    switch (FCipherMode) {
    case cmCBC: EncryptCbcMode(in, out, count); break;
    case cmCFB8bit: EncryptCfb8Mode(in, out, count); break;
    case cmCFBblock: EncryptCfbBlockMode(in, out, count); break;
    case cmOFB: EncryptOfbMode(in, out, count); break;
    case cmCTR: EncryptCtrMode(in, out, count); break;
    }
}

void TCph_blockcipher::DecryptBytes(const void* in, void* out, std::size_t count)
{
    switch (FCipherMode) {
    case cmCBC: DecryptCbcMode(in, out, count); break;
    case cmCFB8bit: DecryptCfb8Mode(in, out, count); break;
    case cmCFBblock: DecryptCfbBlockMode(in, out, count); break;
    case cmOFB: DecryptOfbMode(in, out, count); break;
    case cmCTR: DecryptCtrMode(in, out, count); break;
    }
}

std::string TCph_blockcipher::EncryptText(std::string_view text)
{
    std::string enciphered(text.size(), '\0');
    EncryptCfb8Mode(text.data(), enciphered.data(), text.size());
    return Base64EncodeText(enciphered);
}

std::string TCph_blockcipher::DecryptText(std::string_view text)
{
    std::string bytes = Base64DecodeText(text);
    DecryptCfb8Mode(bytes.data(), bytes.data(), bytes.size());
    return bytes;
}

// ---- Base64

std::size_t Base64EncodeBytes(const void* in, void* out, std::size_t count)
{
    auto src = static_cast<const std::uint8_t*>(in);
    auto dst = static_cast<char*>(out);
    const std::size_t whole = count / 3 * 3;
    for (std::size_t i = 0; i < whole; i += 3, dst += 4) {
        const std::uint32_t v = std::uint32_t{src[i]} << 16 | std::uint32_t{src[i + 1]} << 8 | src[i + 2];
        dst[0] = KBase64Alphabet[v >> 18];
        dst[1] = KBase64Alphabet[(v >> 12) & 63];
        dst[2] = KBase64Alphabet[(v >> 6) & 63];
        dst[3] = KBase64Alphabet[v & 63];
    }
    switch (count - whole) {
    case 1:
        dst[0] = KBase64Alphabet[src[whole] >> 2];
        dst[1] = KBase64Alphabet[(src[whole] & 3) << 4];
        dst[2] = '=';
        dst[3] = '=';
        break;
    case 2:
        dst[0] = KBase64Alphabet[src[whole] >> 2];
        dst[1] = KBase64Alphabet[(src[whole] & 3) << 4 | src[whole + 1] >> 4];
        dst[2] = KBase64Alphabet[(src[whole + 1] & 15) << 2];
        dst[3] = '=';
        break;
    default:
        break;
    }
    return (count + 2) / 3 * 4;
}

std::string Base64EncodeText(std::string_view bytes)
{
    std::string text((bytes.size() + 2) / 3 * 4, '\0');
    Base64EncodeBytes(bytes.data(), text.data(), bytes.size());
    return text;
}

std::size_t Base64DecodeBytes(const void* in, void* out, std::size_t count)
{
    auto src = static_cast<const unsigned char*>(in);
    auto dst = static_cast<std::uint8_t*>(out);
    std::size_t written = 0;
    for (std::size_t i = 0; i + 4 <= count; i += 4) {
        const unsigned char* g = src + i;
        const std::uint8_t c0 = KBase64Values[g[0]], c1 = KBase64Values[g[1]];
        const std::uint8_t c2 = KBase64Values[g[2]], c3 = KBase64Values[g[3]];
        dst[written++] = static_cast<std::uint8_t>(c0 << 2 | c1 >> 4);
        if (g[2] == '=')
            continue;
        dst[written++] = static_cast<std::uint8_t>(c1 << 4 | c2 >> 2);
        if (g[3] == '=')
            continue;
        dst[written++] = static_cast<std::uint8_t>(c2 << 6 | c3);
    }
    return written;
}

std::string Base64DecodeText(std::string_view text)
{
    std::string bytes(text.size() / 4 * 3, '\0');
    bytes.resize(Base64DecodeBytes(text.data(), bytes.data(), text.size()));
    return bytes;
}

// Chaining modes for 128-bit block ciphers.

#include "utility/CphBlockCipher128.h"

#include "utility/CphWipe.h"

#include <cstring>

namespace {

constexpr std::size_t KBlock = 16;

constexpr TCph_cipherClass KBlockCipher128Class(-1, "", -1, 128, [] { return false; });

// dst := a xor b over `count` bytes; dst may be a or b.
inline void Xor(std::uint8_t* dst, const std::uint8_t* a, const std::uint8_t* b, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i)
        dst[i] = a[i] ^ b[i];
}

// Wipes a key-stream block when the mode call ends, on every way out.
class BlockWipe {
public:
    explicit BlockWipe(TCph_blockcipher128::TBlock& block) : FBlock(block) {}
    ~BlockWipe() { CphWipe(FBlock.data(), FBlock.size()); }
    BlockWipe(const BlockWipe&) = delete;
    BlockWipe& operator=(const BlockWipe&) = delete;

private:
    TCph_blockcipher128::TBlock& FBlock;
};

} // namespace

TCph_blockcipher128::TCph_blockcipher128(TComponent* AOwner) : TCph_blockcipher(AOwner)
{
    FIV.fill(0xFF);
    FCV.fill(0xFF);
}

TCph_blockcipher128::~TCph_blockcipher128()
{
    CphWipe(FIV.data(), FIV.size(), 0xFF);
    CphWipe(FCV.data(), FCV.size(), 0xFF);
}

const TCph_cipherClass& TCph_blockcipher128::ClassRef()
{
    return KBlockCipher128Class;
}

void TCph_blockcipher128::CheckInitialized() const
{
    if (!Initialized())
        throw ECph_blockcipher("Cipher not initialized");
}

void TCph_blockcipher128::SetupKey(const void* key, unsigned size, const void* iv)
{
    TCph_blockcipher::SetupKey(key, size, iv);
    try {
        ExpandKey(key, size);
        if (iv) {
            std::memcpy(FIV.data(), iv, KBlock);
        } else {
            FIV.fill(0);
            EncryptBlockDirect(FIV.data(), FIV.data());
        }
        RestartChain();
    } catch (...) {
        // invariant: a cipher is either fully keyed or wiped
        WipeState();
        throw;
    }
}

void TCph_blockcipher128::WipeState()
{
    CphWipe(FIV.data(), FIV.size(), 0xFF);
    CphWipe(FCV.data(), FCV.size(), 0xFF);
    TCph_blockcipher::WipeState();
}

void TCph_blockcipher128::RestartChain()
{
    CheckInitialized();
    FCV = FIV;
}

void TCph_blockcipher128::PutIV(const void* iv)
{
    CheckInitialized();
    std::memcpy(FIV.data(), iv, KBlock);
    FCV = FIV;
}

void TCph_blockcipher128::TakeIV(void* iv) const
{
    CheckInitialized();
    std::memcpy(iv, FCV.data(), KBlock);
}

void TCph_blockcipher128::StreamTail(const std::uint8_t* in, std::uint8_t* out, std::size_t count)
{
    EncryptBlockDirect(FCV.data(), FCV.data());
    Xor(out, in, FCV.data(), count);
}

void TCph_blockcipher128::EncryptCbcMode(const void* inBuffer, void* outBuffer, std::size_t count)
{
    CheckInitialized();
    auto in = static_cast<const std::uint8_t*>(inBuffer);
    auto out = static_cast<std::uint8_t*>(outBuffer);
    for (; count >= KBlock; in += KBlock, out += KBlock, count -= KBlock) {
        Xor(FCV.data(), FCV.data(), in, KBlock);
        EncryptBlockDirect(FCV.data(), FCV.data());
        std::memcpy(out, FCV.data(), KBlock);
    }
    if (count > 0)
        StreamTail(in, out, count);
}

void TCph_blockcipher128::DecryptCbcMode(const void* inBuffer, void* outBuffer, std::size_t count)
{
    CheckInitialized();
    auto in = static_cast<const std::uint8_t*>(inBuffer);
    auto out = static_cast<std::uint8_t*>(outBuffer);
    TBlock cipherText, plain;
    const BlockWipe wipe(plain);
    for (; count >= KBlock; in += KBlock, out += KBlock, count -= KBlock) {
        // why: read before the output is written, so in-place decryption works
        std::memcpy(cipherText.data(), in, KBlock);
        DecryptBlockDirect(cipherText.data(), plain.data());
        Xor(out, plain.data(), FCV.data(), KBlock);
        FCV = cipherText;
    }
    if (count > 0)
        StreamTail(in, out, count);
}

void TCph_blockcipher128::EncryptCfb8Mode(const void* in, void* out, std::size_t count)
{
    CheckInitialized();
    Cfb8(static_cast<const std::uint8_t*>(in), static_cast<std::uint8_t*>(out), count, true);
}

void TCph_blockcipher128::DecryptCfb8Mode(const void* in, void* out, std::size_t count)
{
    CheckInitialized();
    Cfb8(static_cast<const std::uint8_t*>(in), static_cast<std::uint8_t*>(out), count, false);
}

void TCph_blockcipher128::Cfb8(const std::uint8_t* in, std::uint8_t* out, std::size_t count, bool encrypt)
{
    TBlock key;
    const BlockWipe wipe(key);
    for (std::size_t i = 0; i < count; ++i) {
        EncryptBlockDirect(FCV.data(), key.data());
        const std::uint8_t inByte = in[i];
        const std::uint8_t outByte = inByte ^ key[0];
        out[i] = outByte;
        std::memmove(FCV.data(), FCV.data() + 1, KBlock - 1);
        FCV[KBlock - 1] = encrypt ? outByte : inByte;
    }
}

void TCph_blockcipher128::EncryptCfbBlockMode(const void* in, void* out, std::size_t count)
{
    CheckInitialized();
    CfbBlock(static_cast<const std::uint8_t*>(in), static_cast<std::uint8_t*>(out), count, true);
}

void TCph_blockcipher128::DecryptCfbBlockMode(const void* in, void* out, std::size_t count)
{
    CheckInitialized();
    CfbBlock(static_cast<const std::uint8_t*>(in), static_cast<std::uint8_t*>(out), count, false);
}

void TCph_blockcipher128::CfbBlock(const std::uint8_t* in, std::uint8_t* out, std::size_t count, bool encrypt)
{
    TBlock cipherText;
    for (; count >= KBlock; in += KBlock, out += KBlock, count -= KBlock) {
        EncryptBlockDirect(FCV.data(), FCV.data());
        if (!encrypt)
            std::memcpy(cipherText.data(), in, KBlock);
        Xor(out, in, FCV.data(), KBlock);
        std::memcpy(FCV.data(), encrypt ? out : cipherText.data(), KBlock);
    }
    if (count > 0)
        StreamTail(in, out, count);
}

void TCph_blockcipher128::EncryptOfbMode(const void* in, void* out, std::size_t count)
{
    CheckInitialized();
    Ofb(static_cast<const std::uint8_t*>(in), static_cast<std::uint8_t*>(out), count);
}

void TCph_blockcipher128::DecryptOfbMode(const void* in, void* out, std::size_t count)
{
    CheckInitialized();
    Ofb(static_cast<const std::uint8_t*>(in), static_cast<std::uint8_t*>(out), count);
}

void TCph_blockcipher128::Ofb(const std::uint8_t* in, std::uint8_t* out, std::size_t count)
{
    while (count > 0) {
        const std::size_t n = count < KBlock ? count : KBlock;
        EncryptBlockDirect(FCV.data(), FCV.data());
        Xor(out, in, FCV.data(), n);
        in += n;
        out += n;
        count -= n;
    }
}

void TCph_blockcipher128::EncryptCtrMode(const void* in, void* out, std::size_t count)
{
    CheckInitialized();
    Ctr(static_cast<const std::uint8_t*>(in), static_cast<std::uint8_t*>(out), count);
}

void TCph_blockcipher128::DecryptCtrMode(const void* in, void* out, std::size_t count)
{
    CheckInitialized();
    Ctr(static_cast<const std::uint8_t*>(in), static_cast<std::uint8_t*>(out), count);
}

void TCph_blockcipher128::Ctr(const std::uint8_t* in, std::uint8_t* out, std::size_t count)
{
    TBlock key;
    const BlockWipe wipe(key);
    while (count > 0) {
        const std::size_t n = count < KBlock ? count : KBlock;
        EncryptBlockDirect(FCV.data(), key.data());
        IncrementCounter();
        Xor(out, in, key.data(), n);
        in += n;
        out += n;
        count -= n;
    }
}

void TCph_blockcipher128::IncrementCounter()
{
    // invariant: the CV is a big-endian number; a carry out of byte 0 is dropped
    for (std::size_t i = KBlock; i-- > 0;)
        if (++FCV[i] != 0)
            break;
}

#pragma once
// The chaining modes (CBC, CFB-8, CFB-block, OFB, CTR) once for every cipher with 16-byte
// blocks; an algorithm adds only its key schedule and the direct block operations.

#include "utility/CphCipher.h"

#include <array>
#include <cstdint>

// Holds the IV and the running chaining value (CV). Without an IV argument the key set-up
// takes the encryption of sixteen zero bytes as IV. CBC and CFB-block end with a stream step
// over a partial block instead of padding, so such a tail ends the stream.
class TCph_blockcipher128 : public TCph_blockcipher {
public:
    using TBlock = std::array<std::uint8_t, 16>;

    explicit TCph_blockcipher128(TComponent* AOwner);
    ~TCph_blockcipher128() override;

    static const TCph_cipherClass& ClassRef();
    const TCph_cipherClass& ClassType() const override { return ClassRef(); }

    void SetupKey(const void* key, unsigned size, const void* iv) override;
    // Sets IV and CV to 0xFF bytes and leaves the cipher not initialised.
    void WipeState() override;
    void RestartChain() override;
    void PutIV(const void* iv) override;
    void TakeIV(void* iv) const override;

    void EncryptCbcMode(const void* in, void* out, std::size_t count) override;
    void DecryptCbcMode(const void* in, void* out, std::size_t count) override;
    void EncryptCfb8Mode(const void* in, void* out, std::size_t count) override;
    void DecryptCfb8Mode(const void* in, void* out, std::size_t count) override;
    void EncryptCfbBlockMode(const void* in, void* out, std::size_t count) override;
    void DecryptCfbBlockMode(const void* in, void* out, std::size_t count) override;
    void EncryptOfbMode(const void* in, void* out, std::size_t count) override;
    void DecryptOfbMode(const void* in, void* out, std::size_t count) override;
    void EncryptCtrMode(const void* in, void* out, std::size_t count) override;
    void DecryptCtrMode(const void* in, void* out, std::size_t count) override;

protected:
    // Raises ECph_blockcipher "Cipher not initialized" unless the cipher is keyed.
    void CheckInitialized() const;

private:
    void Cfb8(const std::uint8_t* in, std::uint8_t* out, std::size_t count, bool encrypt);
    void CfbBlock(const std::uint8_t* in, std::uint8_t* out, std::size_t count, bool encrypt);
    void Ofb(const std::uint8_t* in, std::uint8_t* out, std::size_t count);
    void Ctr(const std::uint8_t* in, std::uint8_t* out, std::size_t count);
    // The stream step of a CBC or CFB-block tail: CV := E(CV), out := in xor CV.
    void StreamTail(const std::uint8_t* in, std::uint8_t* out, std::size_t count);
    void IncrementCounter();

    TBlock FIV;
    TBlock FCV;
};

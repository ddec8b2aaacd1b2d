#pragma once
// The Serpent block cipher (128-bit blocks, 32 rounds, keys up to 256 bits), the cipher of the
// stored FTP credentials.
//
// Byte conventions, binding for stored texts: a block is four 32-bit words read little-endian
// (word 0 from bytes 0-3); the key is read the same way into eight words and, when shorter
// than 256 bits, continued by a single 1 bit at bit number `size` and zeros; bit j of the four
// words forms the input of an S-box, word 0 its least significant bit.

#include "utility/CphBlockCipher128.h"

#include <cstdint>

// Id 26, Algorithm "Serpent", MaxKeySize 256, BlockSize 128.
class TCph_serpent : public TCph_blockcipher128 {
public:
    explicit TCph_serpent(TComponent* AOwner);
    ~TCph_serpent() override;

    static const TCph_cipherClass& ClassRef();
    const TCph_cipherClass& ClassType() const override { return ClassRef(); }

    // Zeroes the key schedule, then the IV/CV wipe of the base.
    void WipeState() override;
    void ExpandKey(const void* key, unsigned size) override;
    void EncryptBlockDirect(const void* in, void* out) override;
    void DecryptBlockDirect(const void* in, void* out) override;

private:
    std::uint32_t FRoundKeys[132] = {};   // 33 round keys of 4 words
};

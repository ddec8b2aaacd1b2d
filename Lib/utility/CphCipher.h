#pragma once
// Symmetric cipher components: the cipher base with key set-up from a passphrase and text
// encryption to Base64, the block-cipher base with its chaining modes, and the Base64 codec
// (RFC 4648 alphabet, "=" fill, never a line break) that the text operations use.

#include "Platform/core/Component.h"
#include "Platform/core/Exceptions.h"

#include <cstddef>
#include <string>
#include <string_view>

ZENTU_DECLARE_EXCEPTION(ECph_cipher, Exception);
ZENTU_DECLARE_EXCEPTION(ECph_blockcipher, ECph_cipher);

class TCph_hashClass;

// What a cipher class answers without an instance. BlockSize is -1 for ciphers without blocks.
class TCph_cipherClass {
public:
    using TSelfTest = bool (*)();

    constexpr TCph_cipherClass(int id, std::string_view algorithm, int maxKeySize, int blockSize, TSelfTest selfTest)
        : FId(id), FAlgorithm(algorithm), FMaxKeySize(maxKeySize), FBlockSize(blockSize), FSelfTest(selfTest)
    {
    }

    int Id() const { return FId; }
    std::string Algorithm() const { return std::string(FAlgorithm); }
    // Largest key in bits.
    int MaxKeySize() const { return FMaxKeySize; }
    // Block size in bits.
    int BlockSize() const { return FBlockSize; }
    bool RunSelfTest() const { return FSelfTest(); }

private:
    int FId;
    std::string_view FAlgorithm;
    int FMaxKeySize;
    int FBlockSize;
    TSelfTest FSelfTest;
};

// The lifecycle every cipher follows: key set-up (with an optional IV), any number of
// encrypt and decrypt calls that continue one chain, WipeState. The base enciphers nothing;
// its class answers Id -1, an empty Algorithm and MaxKeySize -1.
class TCph_cipher : public TComponent {
public:
    explicit TCph_cipher(TComponent* AOwner);
    ~TCph_cipher() override;

    static const TCph_cipherClass& ClassRef();
    virtual const TCph_cipherClass& ClassType() const { return ClassRef(); }

    int Id() const { return ClassType().Id(); }
    std::string Algorithm() const { return ClassType().Algorithm(); }
    int MaxKeySize() const { return ClassType().MaxKeySize(); }
    bool RunSelfTest() const { return ClassType().RunSelfTest(); }

    // Keys the cipher with the first size / 8 bytes of `key`; `iv` may be null. Wipes a keyed
    // cipher first. Raises ECph_cipher "Invalid key size" unless the size is non-zero, a
    // multiple of 4 and not above MaxKeySize.
    virtual void SetupKey(const void* key, unsigned size, const void* iv);
    // Clears the key material; the cipher is no longer initialised.
    virtual void WipeState();
    // Rewinds the chaining value to the IV.
    virtual void RestartChain() {}
    virtual void EncryptBytes(const void* /*in*/, void* /*out*/, std::size_t /*count*/) {}
    virtual void DecryptBytes(const void* /*in*/, void* /*out*/, std::size_t /*count*/) {}
    // Base64 of the text's bytes enciphered from the current chaining value. The chain is not
    // restarted, so only a freshly keyed cipher gives repeatable results.
    virtual std::string EncryptText(std::string_view text);
    // The bytes of the Base64 text deciphered from the current chaining value.
    virtual std::string DecryptText(std::string_view text);

    // Keys the cipher with the digest of `passphrase` under `hashClass`, at the digest's size or
    // at MaxKeySize when that is smaller, with the default IV. Every failure comes out as
    // ECph_cipher "Unable to allocate sufficient memory for hash digest", the cipher unkeyed.
    void InitKeyFromPassphrase(std::string_view passphrase, const TCph_hashClass& hashClass);

    bool Initialized() const { return FInitialized; }

private:
    bool FInitialized = false;
};

enum TCph_ciphermode { cmCBC = 0, cmCFB8bit = 1, cmCFBblock = 2, cmOFB = 3, cmCTR = 4 };

// A block cipher with selectable chaining modes. EncryptBytes and DecryptBytes follow
// CipherMode; the text operations always use CFB-8, whatever CipherMode says (the stored
// credential format depends on it). Everything block-specific does nothing here.
class TCph_blockcipher : public TCph_cipher {
public:
    explicit TCph_blockcipher(TComponent* AOwner);

    static const TCph_cipherClass& ClassRef();
    const TCph_cipherClass& ClassType() const override { return ClassRef(); }
    int BlockSize() const { return ClassType().BlockSize(); }

    TCph_ciphermode CipherMode() const { return FCipherMode; }
    void SetCipherMode(TCph_ciphermode value) { FCipherMode = value; }

    void EncryptBytes(const void* in, void* out, std::size_t count) override;
    void DecryptBytes(const void* in, void* out, std::size_t count) override;
    std::string EncryptText(std::string_view text) override;
    std::string DecryptText(std::string_view text) override;

    // Expands `size` bits of `key` into the algorithm's key schedule.
    virtual void ExpandKey(const void* /*key*/, unsigned /*size*/) {}
    // Sets the IV from a buffer of one block and rewinds the chain to it.
    virtual void PutIV(const void* /*iv*/) {}
    // Copies the current chaining value (not the IV) out.
    virtual void TakeIV(void* /*iv*/) const {}
    virtual void EncryptBlockDirect(const void* /*in*/, void* /*out*/) {}
    virtual void DecryptBlockDirect(const void* /*in*/, void* /*out*/) {}

    // The modes: `count` bytes from `in` to `out`, which may be the same buffer.
    virtual void EncryptCbcMode(const void* /*in*/, void* /*out*/, std::size_t /*count*/) {}
    virtual void DecryptCbcMode(const void* /*in*/, void* /*out*/, std::size_t /*count*/) {}
    virtual void EncryptCfb8Mode(const void* /*in*/, void* /*out*/, std::size_t /*count*/) {}
    virtual void DecryptCfb8Mode(const void* /*in*/, void* /*out*/, std::size_t /*count*/) {}
    virtual void EncryptCfbBlockMode(const void* /*in*/, void* /*out*/, std::size_t /*count*/) {}
    virtual void DecryptCfbBlockMode(const void* /*in*/, void* /*out*/, std::size_t /*count*/) {}
    virtual void EncryptOfbMode(const void* /*in*/, void* /*out*/, std::size_t /*count*/) {}
    virtual void DecryptOfbMode(const void* /*in*/, void* /*out*/, std::size_t /*count*/) {}
    virtual void EncryptCtrMode(const void* /*in*/, void* /*out*/, std::size_t /*count*/) {}
    virtual void DecryptCtrMode(const void* /*in*/, void* /*out*/, std::size_t /*count*/) {}

private:
    TCph_ciphermode FCipherMode = cmCBC;
};

// Writes (count + 2) / 3 * 4 characters for `count` bytes and returns that number.
std::size_t Base64EncodeBytes(const void* in, void* out, std::size_t count);
std::string Base64EncodeText(std::string_view bytes);
// Decodes the count / 4 whole groups of 4 characters (characters beyond them are ignored) and
// returns the number of bytes written, at most count / 4 * 3. "=" as the third or fourth
// character of a group shortens it; a character outside the alphabet counts as 0. Never fails.
std::size_t Base64DecodeBytes(const void* in, void* out, std::size_t count);
std::string Base64DecodeText(std::string_view text);

#pragma once
// Message-digest components: the hash base TCph_hash with its class reference, and MD5
// (RFC 1321), the digest that turns a passphrase into a cipher key.

#include "Platform/core/Component.h"
#include "Platform/core/Exceptions.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

ZENTU_DECLARE_EXCEPTION(ECph_hash, Exception);

class TCph_hash;

// A hash class as a value: what the class answers without an instance, and how an instance
// is made. Key derivation takes one of these.
class TCph_hashClass {
public:
    using TFactory = TCph_hash* (*)(TComponent* owner);
    using TSelfTest = bool (*)();

    constexpr TCph_hashClass(int id, std::string_view algorithm, int hashSize, TSelfTest selfTest, TFactory factory)
        : FId(id), FAlgorithm(algorithm), FHashSize(hashSize), FSelfTest(selfTest), FFactory(factory)
    {
    }

    int Id() const { return FId; }
    std::string Algorithm() const { return std::string(FAlgorithm); }
    // Digest size in bits.
    int HashSize() const { return FHashSize; }
    bool RunSelfTest() const { return FSelfTest(); }
    // A new instance; it belongs to `owner` when one is given, else to the caller.
    TCph_hash* Create(TComponent* owner) const { return FFactory(owner); }

private:
    int FId;
    std::string_view FAlgorithm;
    int FHashSize;
    TSelfTest FSelfTest;
    TFactory FFactory;
};

// One digest at a time: StartDigest, any number of AddBytes/AddText, FinishDigest. The base
// computes nothing; its class answers Id -1, an empty Algorithm and HashSize -1.
class TCph_hash : public TComponent {
public:
    explicit TCph_hash(TComponent* AOwner);
    ~TCph_hash() override;

    static const TCph_hashClass& ClassRef();
    virtual const TCph_hashClass& ClassType() const { return ClassRef(); }

    int Id() const { return ClassType().Id(); }
    std::string Algorithm() const { return ClassType().Algorithm(); }
    int HashSize() const { return ClassType().HashSize(); }
    bool RunSelfTest() const { return ClassType().RunSelfTest(); }

    virtual void StartDigest() {}
    // Writes HashSize / 8 bytes to `digest`, then wipes the state.
    virtual void FinishDigest(void* /*digest*/) {}
    virtual void WipeDigest() {}
    virtual void AddBytes(const void* /*buffer*/, std::size_t /*count*/) {}
    // AddBytes over the text's bytes.
    void AddText(std::string_view text) { AddBytes(text.data(), text.size()); }

    bool Initialized() const { return FInitialized; }

protected:
    void SetInitialized(bool value) { FInitialized = value; }
    // Raises ECph_hash "Hash not initialized" unless a digest is running.
    void CheckInitialized() const;

private:
    bool FInitialized = false;
};

// MD5 as RFC 1321 defines it: Id 16, Algorithm "MD5", HashSize 128.
class TCph_md5 : public TCph_hash {
public:
    explicit TCph_md5(TComponent* AOwner);
    ~TCph_md5() override;

    static const TCph_hashClass& ClassRef();
    const TCph_hashClass& ClassType() const override { return ClassRef(); }

    void StartDigest() override;
    void FinishDigest(void* digest) override;
    void WipeDigest() override;
    void AddBytes(const void* buffer, std::size_t count) override;

private:
    // Runs the compression over one 64-byte block and adds the result into the chaining words.
    void Compress(const std::uint8_t* block);
    // Compresses the block buffer and empties it.
    void CompressBuffer();

    std::uint64_t FBitLength = 0;
    std::size_t FWaiting = 0;   // invariant: 0..63 bytes wait in FBuffer, the rest of it is zero
    std::uint32_t FState[4] = {};
    std::uint8_t FBuffer[64] = {};
};

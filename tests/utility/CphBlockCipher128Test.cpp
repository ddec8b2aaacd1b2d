// The chaining modes for 128-bit blocks, run on Serpent: agreement with libgcrypt where the
// modes coincide, the stream-step tails, split and in-place calls, the counter, the IV.

#include "utility/CphSerpent.h"

#include "utility/CphPeers.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>
#include <vector>

using namespace CphPeers;

namespace {

using TModeCall = void (TCph_blockcipher128::*)(const void*, void*, std::size_t);

struct Mode {
    const char* Name;
    TCph_ciphermode CipherMode;
    TModeCall Encrypt;
    TModeCall Decrypt;
    int GcryptMode;
};

const Mode KModes[] = {
    {"CBC", cmCBC, &TCph_blockcipher128::EncryptCbcMode, &TCph_blockcipher128::DecryptCbcMode, GCRY_CIPHER_MODE_CBC},
    {"CFB-8", cmCFB8bit, &TCph_blockcipher128::EncryptCfb8Mode, &TCph_blockcipher128::DecryptCfb8Mode,
     GCRY_CIPHER_MODE_CFB8},
    {"CFB-block", cmCFBblock, &TCph_blockcipher128::EncryptCfbBlockMode, &TCph_blockcipher128::DecryptCfbBlockMode,
     GCRY_CIPHER_MODE_CFB},
    {"OFB", cmOFB, &TCph_blockcipher128::EncryptOfbMode, &TCph_blockcipher128::DecryptOfbMode, GCRY_CIPHER_MODE_OFB},
    {"CTR", cmCTR, &TCph_blockcipher128::EncryptCtrMode, &TCph_blockcipher128::DecryptCtrMode, GCRY_CIPHER_MODE_CTR},
};

std::string Apply(TCph_blockcipher128& cipher, TModeCall call, std::string_view in)
{
    std::string out(in.size(), '\0');
    (cipher.*call)(in.data(), out.data(), in.size());
    return out;
}

std::string ChainingValue(const TCph_blockcipher128& cipher)
{
    std::string cv(16, '\0');
    cipher.TakeIV(cv.data());
    return cv;
}

// A keyed Serpent with a random key and IV, and the same key and IV kept for the peers.
class CphBlockCipher128Fixture : public ::testing::Test {
protected:
    void SetUp() override { Rekey(16); }

    void Rekey(size_t keyBytes)
    {
        FKey = RandomBytes(FRng, keyBytes);
        FIv = RandomBytes(FRng, 16);
    }

    std::unique_ptr<TCph_serpent> Keyed() const
    {
        auto cipher = std::make_unique<TCph_serpent>(nullptr);
        cipher->SetupKey(FKey.data(), static_cast<unsigned>(FKey.size() * 8), FIv.data());
        return cipher;
    }

    std::mt19937_64 FRng{99};
    std::string FKey;
    std::string FIv;
};

using CphBlockCipher128 = CphBlockCipher128Fixture;

} // namespace

TEST_F(CphBlockCipher128, ModesAgreeWithLibgcryptThroughTheCipherMode)
{
    for (const Mode& mode : KModes) {
        SCOPED_TRACE(mode.Name);
        for (size_t keyBytes : {16u, 24u, 32u}) {
            for (int i = 0; i < 20; ++i) {
                Rekey(keyBytes);
                // CBC coincides only on whole blocks; the other modes at any length.
                size_t length = FRng() % 200;
                if (mode.CipherMode == cmCBC)
                    length -= length % 16;
                const std::string plain = RandomBytes(FRng, length);

                auto encrypter = Keyed();
                encrypter->SetCipherMode(mode.CipherMode);
                std::string cipherText(length, '\0');
                encrypter->EncryptBytes(plain.data(), cipherText.data(), length);
                ASSERT_EQ(Hex(cipherText), Hex(GcryptSerpent(FKey, mode.GcryptMode, FIv).Encrypt(plain)));

                auto decrypter = Keyed();
                decrypter->SetCipherMode(mode.CipherMode);
                std::string back(length, '\0');
                decrypter->DecryptBytes(cipherText.data(), back.data(), length);
                ASSERT_EQ(Hex(back), Hex(plain));
            }
        }
    }
}

TEST_F(CphBlockCipher128, CbcAndCfbBlockEndWithAStreamStepInsteadOfPadding)
{
    const std::string plain = RandomBytes(FRng, 37);   // two blocks and a 5-byte tail
    GcryptSerpent ecb(FKey, GCRY_CIPHER_MODE_ECB);
    for (const Mode& mode : {KModes[0], KModes[2]}) {
        SCOPED_TRACE(mode.Name);
        auto encrypter = Keyed();
        const std::string cipherText = Apply(*encrypter, mode.Encrypt, plain);
        const std::string whole = GcryptSerpent(FKey, mode.GcryptMode, FIv).Encrypt(plain.substr(0, 32));
        EXPECT_EQ(Hex(cipherText.substr(0, 32)), Hex(whole));

        // The tail is xored with E(CV), and that encryption becomes the CV.
        const std::string key = ecb.Encrypt(whole.substr(16, 16));
        std::string tail(5, '\0');
        for (size_t i = 0; i < 5; ++i)
            tail[i] = static_cast<char>(plain[32 + i] ^ key[i]);
        EXPECT_EQ(Hex(cipherText.substr(32)), Hex(tail));
        EXPECT_EQ(Hex(ChainingValue(*encrypter)), Hex(key));

        for (size_t length : {16u, 17u, 37u}) {
            SCOPED_TRACE(length);
            auto a = Keyed();
            auto b = Keyed();
            EXPECT_EQ(Apply(*b, mode.Decrypt, Apply(*a, mode.Encrypt, plain.substr(0, length))), plain.substr(0, length));
        }
    }
}

TEST_F(CphBlockCipher128, SplitCallsGiveTheSameOutputAsOneCall)
{
    const std::string plain = RandomBytes(FRng, 80);
    for (const Mode& mode : KModes) {
        SCOPED_TRACE(mode.Name);
        auto whole = Keyed();
        const std::string expected = Apply(*whole, mode.Encrypt, plain);
        // CFB-8 splits anywhere; the block modes at multiples of 16.
        const size_t step = mode.CipherMode == cmCFB8bit ? 1 : 16;
        auto pieces = Keyed();
        std::string joined;
        for (size_t pos = 0; pos < plain.size(); pos += step)
            joined += Apply(*pieces, mode.Encrypt, plain.substr(pos, step));
        EXPECT_EQ(Hex(joined), Hex(expected));

        auto decrypter = Keyed();
        std::string back;
        for (size_t pos = 0; pos < plain.size(); pos += step)
            back += Apply(*decrypter, mode.Decrypt, expected.substr(pos, step));
        EXPECT_EQ(Hex(back), Hex(plain));
    }
}

TEST_F(CphBlockCipher128, InPlaceCallsGiveTheSameOutput)
{
    const std::string plain = RandomBytes(FRng, 45);
    for (const Mode& mode : KModes) {
        SCOPED_TRACE(mode.Name);
        for (TModeCall call : {mode.Encrypt, mode.Decrypt}) {
            auto apart = Keyed();
            auto inPlace = Keyed();
            std::string buffer = plain;
            (inPlace.get()->*call)(buffer.data(), buffer.data(), buffer.size());
            EXPECT_EQ(Hex(buffer), Hex(Apply(*apart, call, plain)));
            EXPECT_EQ(Hex(ChainingValue(*inPlace)), Hex(ChainingValue(*apart)));
        }
    }
}

TEST_F(CphBlockCipher128, CounterIsABigEndianNumberThatWraps)
{
    struct Case {
        const char* Counter;
        const char* AfterTwoBlocks;
    };
    const Case cases[] = {
        {"00ffffffffffffffffffffffffffffff", "01000000000000000000000000000001"},
        {"0000000000000000000000000000fffe", "00000000000000000000000000010000"},
        {"ffffffffffffffffffffffffffffffff", "00000000000000000000000000000001"},   // the carry out is dropped
    };
    const std::string plain = RandomBytes(FRng, 32);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Counter);
        const std::string counter = FromHex(c.Counter);
        auto cipher = Keyed();
        cipher->PutIV(counter.data());
        const std::string out = Apply(*cipher, &TCph_blockcipher128::EncryptCtrMode, plain);
        EXPECT_EQ(Hex(ChainingValue(*cipher)), c.AfterTwoBlocks);
        EXPECT_EQ(Hex(out), Hex(GcryptSerpent(FKey, GCRY_CIPHER_MODE_CTR, counter).Encrypt(plain)));
    }
}

TEST_F(CphBlockCipher128, IvComesFromTheKeySetUpOrPutIvAndTheChainRewinds)
{
    const std::string zero(16, '\0');
    TCph_serpent defaulted(nullptr);
    defaulted.SetupKey(FKey.data(), 128, nullptr);
    EXPECT_EQ(Hex(ChainingValue(defaulted)), Hex(GcryptSerpent(FKey, GCRY_CIPHER_MODE_ECB).Encrypt(zero)));

    auto cipher = Keyed();
    EXPECT_EQ(Hex(ChainingValue(*cipher)), Hex(FIv));

    // TakeIV gives the chaining value, which after one CBC block is that cipher text block.
    const std::string block = RandomBytes(FRng, 16);
    const std::string first = Apply(*cipher, &TCph_blockcipher128::EncryptCbcMode, block);
    EXPECT_EQ(Hex(ChainingValue(*cipher)), Hex(first));
    cipher->RestartChain();
    EXPECT_EQ(Hex(ChainingValue(*cipher)), Hex(FIv));
    EXPECT_EQ(Apply(*cipher, &TCph_blockcipher128::EncryptCbcMode, block), first);

    const std::string other = RandomBytes(FRng, 16);
    cipher->PutIV(other.data());
    EXPECT_EQ(Hex(ChainingValue(*cipher)), Hex(other));
    Apply(*cipher, &TCph_blockcipher128::EncryptOfbMode, block);
    cipher->RestartChain();
    EXPECT_EQ(Hex(ChainingValue(*cipher)), Hex(other));

    // A zero byte count changes nothing.
    for (const Mode& mode : KModes) {
        (cipher.get()->*mode.Encrypt)(nullptr, nullptr, 0);
        (cipher.get()->*mode.Decrypt)(nullptr, nullptr, 0);
    }
    EXPECT_EQ(Hex(ChainingValue(*cipher)), Hex(other));
}

TEST_F(CphBlockCipher128, EveryChainOperationNeedsAKey)
{
    TCph_serpent cipher(nullptr);
    std::string buffer(16, 'b');
    std::vector<std::function<void()>> calls = {
        [&] { cipher.RestartChain(); },
        [&] { cipher.PutIV(buffer.data()); },
        [&] { cipher.TakeIV(buffer.data()); },
        [&] { cipher.EncryptText("x"); },
        [&] { cipher.DecryptText("QUJD"); },
    };
    for (const Mode& mode : KModes) {
        calls.push_back([&, mode] { (cipher.*mode.Encrypt)(buffer.data(), buffer.data(), 0); });
        calls.push_back([&, mode] { (cipher.*mode.Decrypt)(buffer.data(), buffer.data(), buffer.size()); });
    }
    for (size_t i = 0; i < calls.size(); ++i) {
        SCOPED_TRACE(i);
        try {
            calls[i]();
            ADD_FAILURE() << "no exception";
        } catch (const ECph_blockcipher& e) {
            EXPECT_STREQ(e.what(), "Cipher not initialized");
        }
        EXPECT_EQ(buffer, std::string(16, 'b'));
    }
}

TEST(CphBlockCipher128Setup, AKeySetUpThatFailsHalfwayLeavesTheCipherWiped)
{
    // A key schedule that fails after the size check has already marked the cipher keyed.
    class TRefusingCipher : public TCph_serpent {
    public:
        using TCph_serpent::TCph_serpent;
        void ExpandKey(const void* key, unsigned size) override
        {
            if (size == 192)
                throw ECph_blockcipher("refused");
            TCph_serpent::ExpandKey(key, size);
        }
    };
    TRefusingCipher cipher(nullptr);
    const std::string key(32, 'k');
    cipher.SetupKey(key.data(), 128, nullptr);
    EXPECT_THROW(cipher.SetupKey(key.data(), 192, nullptr), ECph_blockcipher);
    EXPECT_FALSE(cipher.Initialized());
    std::string block(16, 'b');
    EXPECT_THROW(cipher.EncryptCfb8Mode(block.data(), block.data(), block.size()), ECph_blockcipher);
    EXPECT_EQ(block, std::string(16, 'b'));
}

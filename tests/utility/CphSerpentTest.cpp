// Serpent: known answers, agreement with libgcrypt over random keys and blocks, the key
// padding rule, and wiping of the key schedule.

#include "utility/CphSerpent.h"

#include "utility/CphPeers.h"
#include "utility/CphWipeCheck.h"

#include <gtest/gtest.h>

#include <new>
#include <random>
#include <string>

using namespace CphPeers;

namespace {

std::string EncryptBlock(TCph_serpent& serpent, std::string_view block)
{
    std::string out(16, '\0');
    serpent.EncryptBlockDirect(block.data(), out.data());
    return out;
}

std::string DecryptBlock(TCph_serpent& serpent, std::string_view block)
{
    std::string out(16, '\0');
    serpent.DecryptBlockDirect(block.data(), out.data());
    return out;
}

} // namespace

TEST(CphSerpent, ClassValuesAndSelfTest)
{
    const TCph_cipherClass& cls = TCph_serpent::ClassRef();
    EXPECT_EQ(cls.Id(), 26);
    EXPECT_EQ(cls.Algorithm(), "Serpent");
    EXPECT_EQ(cls.MaxKeySize(), 256);
    EXPECT_EQ(cls.BlockSize(), 128);
    EXPECT_TRUE(cls.RunSelfTest());

    TCph_serpent serpent(nullptr);
    EXPECT_EQ(serpent.Id(), 26);
    EXPECT_EQ(serpent.BlockSize(), 128);
    EXPECT_EQ(serpent.CipherMode(), cmCBC);
    EXPECT_FALSE(serpent.Initialized());
}

TEST(CphSerpent, KnownAnswersForEachKeySize)
{
    // NESSIE set 1, vector 0 of each key size: key 80 00 .. 00, zero plain text.
    struct Case {
        const char* Key;
        const char* Plain;
        const char* Cipher;
    };
    const Case cases[] = {
        {"80000000000000000000000000000000", "00000000000000000000000000000000", "264e5481eff42a4606abda06c0bfda3d"},
        {"800000000000000000000000000000000000000000000000", "00000000000000000000000000000000",
         "9e274ead9b737bb21efcfca548602689"},
        {"8000000000000000000000000000000000000000000000000000000000000000", "00000000000000000000000000000000",
         "a223aa1288463c0e2be38ebd825616c0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Key);
        const std::string key = FromHex(c.Key);
        TCph_serpent serpent(nullptr);
        serpent.SetupKey(key.data(), static_cast<unsigned>(key.size() * 8), nullptr);
        const std::string cipher = EncryptBlock(serpent, FromHex(c.Plain));
        EXPECT_EQ(Hex(cipher), c.Cipher);
        EXPECT_EQ(Hex(DecryptBlock(serpent, cipher)), c.Plain);
    }
}

TEST(CphSerpent, AgreesWithLibgcryptOverRandomKeysAndBlocks)
{
    std::mt19937_64 rng(20240611);
    for (size_t keyBytes : {16u, 24u, 32u}) {
        for (int k = 0; k < 100; ++k) {
            const std::string key = RandomBytes(rng, keyBytes);
            SCOPED_TRACE(Hex(key));
            TCph_serpent serpent(nullptr);
            serpent.SetupKey(key.data(), static_cast<unsigned>(keyBytes * 8), nullptr);
            GcryptSerpent peer(key, GCRY_CIPHER_MODE_ECB);
            for (int b = 0; b < 8; ++b) {
                const std::string block = RandomBytes(rng, 16);
                const std::string cipher = EncryptBlock(serpent, block);
                ASSERT_EQ(Hex(cipher), Hex(peer.Encrypt(block)));
                ASSERT_EQ(Hex(DecryptBlock(serpent, block)), Hex(peer.Decrypt(block)));
                ASSERT_EQ(DecryptBlock(serpent, cipher), block);
            }
        }
    }
}

TEST(CphSerpent, ShortKeysContinueWithOneBitAtBitNumberSize)
{
    // The equivalent 256-bit key: the whole key bytes, the 1 bit at bit `size`, zeros.
    std::mt19937_64 rng(7);
    for (unsigned size : {4u, 8u, 60u, 64u, 124u, 128u, 132u, 136u, 192u, 200u, 252u}) {
        SCOPED_TRACE(size);
        const std::string key = RandomBytes(rng, 32);
        std::string padded(32, '\0');
        padded.replace(0, size / 8, key.substr(0, size / 8));
        padded[size / 8] = static_cast<char>(padded[size / 8] | 1 << (size % 8));

        TCph_serpent serpent(nullptr);
        serpent.SetupKey(key.data(), size, nullptr);
        GcryptSerpent peer(padded, GCRY_CIPHER_MODE_ECB);
        const std::string block = RandomBytes(rng, 16);
        EXPECT_EQ(Hex(EncryptBlock(serpent, block)), Hex(peer.Encrypt(block)));

        TCph_serpent extended(nullptr);
        extended.SetupKey(padded.data(), 256, nullptr);
        EXPECT_EQ(Hex(EncryptBlock(serpent, block)), Hex(EncryptBlock(extended, block)));
    }
}

TEST(CphSerpent, BlockOperationsNeedAKey)
{
    TCph_serpent serpent(nullptr);
    const std::string block(16, 'x');
    std::string out(16, 'o');
    EXPECT_THROW(
        {
            try {
                serpent.EncryptBlockDirect(block.data(), out.data());
            } catch (const ECph_blockcipher& e) {
                EXPECT_STREQ(e.what(), "Cipher not initialized");
                throw;
            }
        },
        ECph_blockcipher);
    EXPECT_THROW(serpent.DecryptBlockDirect(block.data(), out.data()), ECph_blockcipher);
    EXPECT_EQ(out, std::string(16, 'o'));

    const std::string key(16, 'k');
    serpent.SetupKey(key.data(), 128, nullptr);
    serpent.WipeState();
    EXPECT_FALSE(serpent.Initialized());
    EXPECT_THROW(serpent.EncryptBlockDirect(block.data(), out.data()), ECph_blockcipher);
}

TEST(CphSerpent, WipeAndDestructionLeaveNoKeyMaterial)
{
    const std::string key = FromHex("000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f");
    alignas(TCph_serpent) unsigned char storage[sizeof(TCph_serpent)];

    auto* serpent = new (storage) TCph_serpent(nullptr);
    const ObjectBytes blank(storage, sizeof storage);
    serpent->SetupKey(key.data(), 256, nullptr);
    const ObjectBytes keyed(storage, sizeof storage);
    EXPECT_GT(keyed.ChangedFrom(blank), 500u);   // 132 schedule words, IV and CV
    serpent->WipeState();
    EXPECT_EQ(ObjectBytes(storage, sizeof storage).ChangedFrom(blank), 0u);

    serpent->SetupKey(key.data(), 256, nullptr);
    serpent->~TCph_serpent();
    EXPECT_EQ(ObjectBytes(storage, sizeof storage).SurvivingFrom(blank, keyed), 0u);
}

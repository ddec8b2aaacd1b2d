// The cipher framework: key set-up checks, keys from a passphrase, the text operations and
// their Base64, and the stored credential format checked against independent peers.

#include "utility/CphCipher.h"
#include "utility/CphHash.h"
#include "utility/CphSerpent.h"

#include "utility/CphPeers.h"

#include <QByteArray>
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

using namespace CphPeers;
using namespace std::string_literals;

namespace {

// The IDE's credential cipher: a fresh keyed Serpent per call, wiped and freed afterwards.
const std::string KPassphrase = "\x13\x8a\x00\x7f zentu-test-key-material \xff\x01\x02"s.substr(0, 32);

std::string EncryptCredential(std::string_view plain)
{
    auto serpent = std::make_unique<TCph_serpent>(nullptr);
    serpent->InitKeyFromPassphrase(KPassphrase, TCph_md5::ClassRef());
    std::string text = serpent->EncryptText(plain);
    serpent->WipeState();
    return text;
}

std::string DecryptCredential(std::string_view text)
{
    auto serpent = std::make_unique<TCph_serpent>(nullptr);
    serpent->InitKeyFromPassphrase(KPassphrase, TCph_md5::ClassRef());
    std::string plain = serpent->DecryptText(text);
    serpent->WipeState();
    return plain;
}

void ExpectCipherError(const std::function<void()>& call, const char* message)
{
    try {
        call();
        ADD_FAILURE() << "no exception";
    } catch (const ECph_cipher& e) {
        EXPECT_STREQ(e.what(), message);
    }
}

// Hash classes that provoke the corners of key derivation.
class TWideHash : public TCph_hash {   // 512 bits: byte i of the digest is i + the text length
public:
    using TCph_hash::TCph_hash;
    static const TCph_hashClass& ClassRef();
    const TCph_hashClass& ClassType() const override { return ClassRef(); }
    void StartDigest() override { FLength = 0; }
    void AddBytes(const void*, std::size_t count) override { FLength += count; }
    void FinishDigest(void* digest) override
    {
        for (int i = 0; i < HashSize() / 8; ++i)
            static_cast<std::uint8_t*>(digest)[i] = static_cast<std::uint8_t>(i + FLength);
    }

private:
    std::size_t FLength = 0;
};
constexpr TCph_hashClass KWideHash(1000, "Wide", 512, [] { return false; },
                                   [](TComponent* owner) -> TCph_hash* { return new TWideHash(owner); });
const TCph_hashClass& TWideHash::ClassRef() { return KWideHash; }

class TOddHash : public TWideHash {   // 130 bits: not a key size any cipher takes
public:
    using TWideHash::TWideHash;
    const TCph_hashClass& ClassType() const override;
};
constexpr TCph_hashClass KOddHash(1001, "Odd", 130, [] { return false; },
                                  [](TComponent* owner) -> TCph_hash* { return new TOddHash(owner); });
const TCph_hashClass& TOddHash::ClassType() const { return KOddHash; }

class TFailingHash : public TCph_hash {
public:
    using TCph_hash::TCph_hash;
    void StartDigest() override { throw ECph_hash("Hash not initialized"); }
};
constexpr TCph_hashClass KFailingHash(1002, "Failing", 128, [] { return false; },
                                      [](TComponent* owner) -> TCph_hash* { return new TFailingHash(owner); });

} // namespace

TEST(CphCipher, BaseClassesAnswerTheirDefaults)
{
    TCph_cipher cipher(nullptr);
    EXPECT_EQ(cipher.Id(), -1);
    EXPECT_EQ(cipher.Algorithm(), "");
    EXPECT_EQ(cipher.MaxKeySize(), -1);
    EXPECT_FALSE(cipher.RunSelfTest());
    const char key[32] = {};
    ExpectCipherError([&] { cipher.SetupKey(key, 128, nullptr); }, "Invalid key size");

    TCph_blockcipher block(nullptr);
    EXPECT_EQ(block.BlockSize(), -1);
    EXPECT_EQ(block.CipherMode(), cmCBC);
    EXPECT_EQ(TCph_blockcipher128::ClassRef().BlockSize(), 128);
}

TEST(CphCipher, SetupKeyTakesOnlySizesUpToTheMaximumInStepsOfFour)
{
    struct Case {
        unsigned Size;
        bool Valid;
    };
    const Case cases[] = {{0, false},   {2, false},   {4, true},    {128, true},      {130, false},
                          {132, true},  {256, true},  {257, false}, {260, false},     {0xFFFFFFFCu, false}};
    const char key[32] = {1, 2, 3};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Size);
        TCph_serpent serpent(nullptr);
        serpent.SetupKey(key, 128, nullptr);
        if (c.Valid) {
            serpent.SetupKey(key, c.Size, nullptr);
            EXPECT_TRUE(serpent.Initialized());
        } else {
            // A keyed cipher is wiped before the check, so it ends unkeyed.
            ExpectCipherError([&] { serpent.SetupKey(key, c.Size, nullptr); }, "Invalid key size");
            EXPECT_FALSE(serpent.Initialized());
        }
    }
}

TEST(CphCipher, PassphraseKeysWithItsDigestAndTheDefaultIv)
{
    const std::string passphrase = "correct horse battery staple";
    TCph_serpent derived(nullptr);
    derived.InitKeyFromPassphrase(passphrase, TCph_md5::ClassRef());

    const std::string digest = OpenSslMd5(passphrase);
    TCph_serpent direct(nullptr);
    direct.SetupKey(digest.data(), 128, nullptr);

    std::string derivedIv(16, '\0'), directIv(16, '\0'), zeroBlock(16, '\0');
    derived.TakeIV(derivedIv.data());
    direct.TakeIV(directIv.data());
    EXPECT_EQ(Hex(derivedIv), Hex(directIv));
    EXPECT_EQ(Hex(derivedIv), Hex(GcryptSerpent(digest, GCRY_CIPHER_MODE_ECB).Encrypt(zeroBlock)));
}

TEST(CphCipher, PassphraseDigestLongerThanTheLargestKeyIsCut)
{
    TCph_serpent derived(nullptr);
    derived.InitKeyFromPassphrase("four", KWideHash);
    std::string key(32, '\0');
    for (int i = 0; i < 32; ++i)
        key[static_cast<size_t>(i)] = static_cast<char>(i + 4);
    TCph_serpent direct(nullptr);
    direct.SetupKey(key.data(), 256, nullptr);
    std::string a(16, '\0'), b(16, '\0');
    derived.TakeIV(a.data());
    direct.TakeIV(b.data());
    EXPECT_EQ(Hex(a), Hex(b));
}

TEST(CphCipher, PassphraseFailuresComeOutAsOneMessageAndLeaveTheCipherUnkeyed)
{
    for (const TCph_hashClass* hashClass : {&KOddHash, &KFailingHash, &TCph_hash::ClassRef()}) {
        SCOPED_TRACE(hashClass->Algorithm());
        TCph_serpent serpent(nullptr);
        serpent.InitKeyFromPassphrase("first", TCph_md5::ClassRef());
        ExpectCipherError([&] { serpent.InitKeyFromPassphrase("second", *hashClass); },
                          "Unable to allocate sufficient memory for hash digest");
        EXPECT_FALSE(serpent.Initialized());
    }
}

TEST(CphCipher, TextIsBase64OfAsManyBytesAsTheInput)
{
    struct Case {
        std::string Plain;
        size_t Length;
        const char* Fill;
    };
    const std::vector<Case> cases = {{"", 0, ""}, {"a", 4, "=="}, {"abc", 4, ""}, {"abcde", 8, "="}, {"abcdef", 8, ""}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Plain);
        TCph_serpent encrypter(nullptr), decrypter(nullptr);
        encrypter.InitKeyFromPassphrase("key", TCph_md5::ClassRef());
        decrypter.InitKeyFromPassphrase("key", TCph_md5::ClassRef());
        const std::string text = encrypter.EncryptText(c.Plain);
        EXPECT_EQ(text.size(), c.Length);
        EXPECT_EQ(text.substr(text.find_first_of('=') == std::string::npos ? text.size() : text.find('=')), c.Fill);
        EXPECT_EQ(decrypter.DecryptText(text), c.Plain);
    }
}

TEST(CphCipher, TextOperationsUseCfb8WhateverTheMode)
{
    const std::string plain = "a password with more than one block of text in it";
    TCph_serpent reference(nullptr);
    reference.InitKeyFromPassphrase("key", TCph_md5::ClassRef());
    std::string cfb8(plain.size(), '\0');
    reference.EncryptCfb8Mode(plain.data(), cfb8.data(), plain.size());
    const std::string expected = Base64EncodeText(cfb8);

    for (TCph_ciphermode mode : {cmCBC, cmCFB8bit, cmCFBblock, cmOFB, cmCTR}) {
        SCOPED_TRACE(mode);
        TCph_serpent encrypter(nullptr), decrypter(nullptr);
        encrypter.SetCipherMode(mode);
        decrypter.SetCipherMode(mode == cmCBC ? cmCTR : cmCBC);
        encrypter.InitKeyFromPassphrase("key", TCph_md5::ClassRef());
        decrypter.InitKeyFromPassphrase("key", TCph_md5::ClassRef());
        EXPECT_EQ(encrypter.EncryptText(plain), expected);
        EXPECT_EQ(decrypter.DecryptText(expected), plain);
    }
}

TEST(CphCipher, TextOperationsContinueTheChainUntilRestarted)
{
    TCph_serpent serpent(nullptr);
    serpent.InitKeyFromPassphrase("key", TCph_md5::ClassRef());
    const std::string first = serpent.EncryptText("secret");
    EXPECT_NE(serpent.EncryptText("secret"), first);
    serpent.RestartChain();
    EXPECT_EQ(serpent.EncryptText("secret"), first);
}

TEST(CphCredential, RoundTripsEmptyAsciiUtf8AndBinaryText)
{
    const std::vector<std::string> cases = {
        "",
        "p",
        "anonymous@example.org",
        "pässwörd – 密码 🔑",
        "\0\x01\xff\x80\r\n\0"s,
        std::string(300, '\xAA'),
    };
    for (const std::string& plain : cases) {
        SCOPED_TRACE(Hex(plain));
        const std::string text = EncryptCredential(plain);
        EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos);
        EXPECT_EQ(Base64DecodeText(text).size(), plain.size());
        EXPECT_EQ(EncryptCredential(plain), text) << "the same credential gives the same stored text";
        EXPECT_EQ(DecryptCredential(text), plain);
    }
    EXPECT_EQ(EncryptCredential(""), "");
    EXPECT_EQ(DecryptCredential(""), "");
    EXPECT_EQ(DecryptCredential("QUJD").size(), 3u);
}

TEST(CphCredential, StoredTextMatchesTheFormatBuiltFromPeers)
{
    // Base64 of CFB-8 under Serpent keyed with MD5(passphrase), IV = E(zero block).
    const std::string key = OpenSslMd5(KPassphrase);
    const std::string iv = GcryptSerpent(key, GCRY_CIPHER_MODE_ECB).Encrypt(std::string(16, '\0'));
    std::mt19937_64 rng(3);
    for (int i = 0; i < 100; ++i) {
        const std::string plain = RandomBytes(rng, rng() % 80);
        SCOPED_TRACE(Hex(plain));
        const std::string enciphered = GcryptSerpent(key, GCRY_CIPHER_MODE_CFB8, iv).Encrypt(plain);
        const QByteArray expected = QByteArray(enciphered.data(), static_cast<qsizetype>(enciphered.size())).toBase64();
        ASSERT_EQ(EncryptCredential(plain), expected.toStdString());
    }
}

TEST(CphBase64, AgreesWithQtInBothDirections)
{
    std::mt19937_64 rng(5);
    for (size_t length = 0; length < 300; ++length) {
        SCOPED_TRACE(length);
        const std::string data = RandomBytes(rng, length);
        const QByteArray bytes(data.data(), static_cast<qsizetype>(data.size()));
        const std::string text = Base64EncodeText(data);
        ASSERT_EQ(text, bytes.toBase64().toStdString());
        ASSERT_EQ(Base64DecodeText(text), data);
        ASSERT_EQ(QByteArray::fromBase64(QByteArray::fromStdString(text)).toStdString(), data);
    }
}

TEST(CphBase64, DecodingTakesWholeGroupsOnly)
{
    struct Case {
        std::string Text;
        std::string Bytes;
    };
    const std::vector<Case> cases = {
        {"", ""},
        {"QUJD", "ABC"},
        {"QUJDRA", "ABC"},        // the 2 characters after the last whole group are ignored
        {"QUJ", ""},
        {"QUI=", "AB"},
        {"QQ==", "A"},
        {"QQ==QUJD", "AABC"},     // a padded group in the middle does not stop decoding
        {"QQ=AQUJD", "AABC"},     // "=" in the third place ends the group whatever follows it
        {"A*A=", "\0\0"s},        // a character outside the alphabet counts as 0
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Text);
        EXPECT_EQ(Hex(Base64DecodeText(c.Text)), Hex(c.Bytes));
    }
}

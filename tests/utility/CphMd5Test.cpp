// MD5 and the hash lifecycle: RFC 1321 answers, agreement with OpenSSL however the input is
// cut, the calling order, and wiping of the digest state.

#include "utility/CphHash.h"

#include "utility/CphPeers.h"
#include "utility/CphWipeCheck.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <new>
#include <random>
#include <string>

using namespace CphPeers;

namespace {

std::string Finish(TCph_hash& hash)
{
    std::string digest(static_cast<size_t>(hash.HashSize() / 8), '\0');
    hash.FinishDigest(digest.data());
    return digest;
}

std::string Md5(std::string_view data)
{
    TCph_md5 md5(nullptr);
    md5.StartDigest();
    md5.AddText(data);
    return Finish(md5);
}

// The digest of `data` fed in pieces whose lengths come from `rng` (0 included).
std::string Md5InPieces(std::string_view data, std::mt19937_64& rng)
{
    TCph_md5 md5(nullptr);
    md5.StartDigest();
    size_t pos = 0;
    while (pos < data.size()) {
        const size_t n = std::min<size_t>(rng() % 150, data.size() - pos);
        md5.AddBytes(data.data() + pos, n);
        pos += n;
    }
    return Finish(md5);
}

void ExpectNotInitialized(const std::function<void()>& call)
{
    try {
        call();
        ADD_FAILURE() << "no exception";
    } catch (const ECph_hash& e) {
        EXPECT_STREQ(e.what(), "Hash not initialized");
    }
}

} // namespace

TEST(CphMd5, ClassValuesAndSelfTest)
{
    const TCph_hashClass& cls = TCph_md5::ClassRef();
    EXPECT_EQ(cls.Id(), 16);
    EXPECT_EQ(cls.Algorithm(), "MD5");
    EXPECT_EQ(cls.HashSize(), 128);
    EXPECT_TRUE(cls.RunSelfTest());

    const TCph_hashClass& base = TCph_hash::ClassRef();
    EXPECT_EQ(base.Id(), -1);
    EXPECT_EQ(base.Algorithm(), "");
    EXPECT_EQ(base.HashSize(), -1);
    EXPECT_FALSE(base.RunSelfTest());

    // The class reference makes instances of its own class.
    const std::unique_ptr<TCph_hash> hash(cls.Create(nullptr));
    EXPECT_EQ(hash->Algorithm(), "MD5");
    EXPECT_NE(dynamic_cast<TCph_md5*>(hash.get()), nullptr);
}

TEST(CphMd5, Rfc1321TestSuite)
{
    struct Case {
        const char* Text;
        const char* Digest;
    };
    const Case cases[] = {
        {"", "d41d8cd98f00b204e9800998ecf8427e"},
        {"a", "0cc175b9c0f1b6a831c399e269772661"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "d174ab98d277d9f5a5611c2c9f419d9f"},
        {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
         "57edf4a22be3c955ac49da2e2107b67a"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Text);
        EXPECT_EQ(Hex(Md5(c.Text)), c.Digest);
    }
}

TEST(CphMd5, AgreesWithOpenSslAtEveryLengthAroundTheBlockEnd)
{
    // 55 and 56 decide whether the length still fits the last block; 64 fills it exactly.
    std::mt19937_64 rng(11);
    for (size_t length = 0; length <= 200; ++length) {
        SCOPED_TRACE(length);
        const std::string data = RandomBytes(rng, length);
        const std::string expected = Hex(OpenSslMd5(data));
        ASSERT_EQ(Hex(Md5(data)), expected);

        TCph_md5 md5(nullptr);
        md5.StartDigest();
        for (char c : data)
            md5.AddBytes(&c, 1);
        ASSERT_EQ(Hex(Finish(md5)), expected);
    }
}

TEST(CphMd5, AgreesWithOpenSslOverRandomInputsCutAtRandom)
{
    std::mt19937_64 rng(12);
    for (int i = 0; i < 200; ++i) {
        const std::string data = RandomBytes(rng, rng() % 5000);
        SCOPED_TRACE(data.size());
        ASSERT_EQ(Hex(Md5InPieces(data, rng)), Hex(OpenSslMd5(data)));
    }
    const std::string large = RandomBytes(rng, 3 << 20);
    EXPECT_EQ(Hex(Md5InPieces(large, rng)), Hex(OpenSslMd5(large)));
}

TEST(CphMd5, DigestNeedsAStartAndEndsWithTheFinish)
{
    TCph_md5 md5(nullptr);
    char digest[16];
    ExpectNotInitialized([&] { md5.AddBytes("x", 1); });
    ExpectNotInitialized([&] { md5.AddText(""); });
    ExpectNotInitialized([&] { md5.FinishDigest(digest); });

    md5.StartDigest();
    md5.AddText("abc");
    md5.FinishDigest(digest);
    EXPECT_FALSE(md5.Initialized());
    ExpectNotInitialized([&] { md5.FinishDigest(digest); });

    // A second start throws away what was added before it.
    md5.StartDigest();
    md5.AddText("something else");
    md5.StartDigest();
    md5.AddText("abc");
    EXPECT_EQ(Hex(Finish(md5)), "900150983cd24fb0d6963f7d28e17f72");

    // WipeDigest ends a running digest.
    md5.StartDigest();
    md5.AddText("a");
    md5.WipeDigest();
    ExpectNotInitialized([&] { md5.AddText("bc"); });
}

TEST(CphMd5, FinishWipeAndDestructionLeaveNoDigestState)
{
    alignas(TCph_md5) unsigned char storage[sizeof(TCph_md5)];
    auto* md5 = new (storage) TCph_md5(nullptr);
    const ObjectBytes blank(storage, sizeof storage);

    md5->StartDigest();
    md5->AddText("a secret passphrase that fills part of the block buffer");
    const ObjectBytes running(storage, sizeof storage);
    EXPECT_GT(running.ChangedFrom(blank), 40u);
    char digest[16];
    md5->FinishDigest(digest);
    EXPECT_EQ(ObjectBytes(storage, sizeof storage).ChangedFrom(blank), 0u);

    md5->StartDigest();
    md5->AddText("a secret passphrase that fills part of the block buffer");
    md5->WipeDigest();
    EXPECT_EQ(ObjectBytes(storage, sizeof storage).ChangedFrom(blank), 0u);

    md5->StartDigest();
    md5->AddText("a secret passphrase that fills part of the block buffer");
    md5->~TCph_md5();
    EXPECT_EQ(ObjectBytes(storage, sizeof storage).SurvivingFrom(blank, running), 0u);
}

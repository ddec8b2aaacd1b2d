// Properties of the hash and cipher framework over seeded random inputs: what is enciphered
// deciphers back, streamed calls equal one call, damage never escapes the buffers, and MD5
// fed in any pieces equals MD5 in one piece and Qt's MD5.

#include "utility/CphHash.h"
#include "utility/CphSerpent.h"

#include "utility/CphPeers.h"

#include <QByteArray>
#include <QCryptographicHash>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <memory>
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
    // Calls may be split anywhere (CFB-8) or only at whole blocks.
    bool SplitsAnywhere;
    // Damage to one ciphertext byte reaches the plaintext block after it as well.
    bool DamageSpreadsToNextBlock;
};

const Mode KModes[] = {
    {"CBC", cmCBC, &TCph_blockcipher128::EncryptCbcMode, &TCph_blockcipher128::DecryptCbcMode, false, true},
    {"CFB-8", cmCFB8bit, &TCph_blockcipher128::EncryptCfb8Mode, &TCph_blockcipher128::DecryptCfb8Mode, true, true},
    {"CFB-block", cmCFBblock, &TCph_blockcipher128::EncryptCfbBlockMode, &TCph_blockcipher128::DecryptCfbBlockMode,
     false, true},
    {"OFB", cmOFB, &TCph_blockcipher128::EncryptOfbMode, &TCph_blockcipher128::DecryptOfbMode, false, false},
    {"CTR", cmCTR, &TCph_blockcipher128::EncryptCtrMode, &TCph_blockcipher128::DecryptCtrMode, false, false},
};

// A heap buffer of exactly the given size, so that the address sanitizer sees any access past
// either end (a std::string would hide small overruns in its spare capacity).
using TBuffer = std::vector<std::uint8_t>;

TBuffer Bytes(std::mt19937_64& rng, std::size_t count)
{
    TBuffer bytes(count);
    for (auto& b : bytes)
        b = static_cast<std::uint8_t>(rng());
    return bytes;
}

// Key material of `bits` bits held in exactly bits / 8 bytes.
struct Key {
    unsigned Bits;
    std::unique_ptr<std::uint8_t[]> Data;
    TBuffer Iv;
    bool WithIv;
};

Key RandomKey(std::mt19937_64& rng, unsigned bits, bool withIv)
{
    Key key{bits, std::make_unique<std::uint8_t[]>(bits / 8), Bytes(rng, 16), withIv};
    for (unsigned i = 0; i < bits / 8; ++i)
        key.Data[i] = static_cast<std::uint8_t>(rng());
    return key;
}

std::unique_ptr<TCph_serpent> Keyed(const Key& key, TCph_ciphermode mode)
{
    auto cipher = std::make_unique<TCph_serpent>(nullptr);
    cipher->SetupKey(key.Data.get(), key.Bits, key.WithIv ? key.Iv.data() : nullptr);
    cipher->SetCipherMode(mode);
    return cipher;
}

TBuffer Apply(TCph_blockcipher128& cipher, TModeCall call, const TBuffer& in)
{
    TBuffer out(in.size());
    (cipher.*call)(in.data(), out.data(), in.size());
    return out;
}

// The same call cut into random pieces, some of them empty; the pieces of block modes are
// whole blocks except the last.
TBuffer ApplyInPieces(TCph_blockcipher128& cipher, TModeCall call, const TBuffer& in, bool anywhere,
                    std::mt19937_64& rng)
{
    TBuffer out(in.size());
    std::size_t done = 0;
    while (done < in.size()) {
        std::size_t piece = rng() % 70;
        if (!anywhere)
            piece -= piece % 16;
        if (piece > in.size() - done || (!anywhere && in.size() - done < 16))
            piece = in.size() - done;
        // invariant: a piece of exact size, so an overrun of the call is caught
        TBuffer chunkIn(in.begin() + static_cast<std::ptrdiff_t>(done),
                        in.begin() + static_cast<std::ptrdiff_t>(done + piece));
        TBuffer chunkOut(piece);
        (cipher.*call)(chunkIn.data(), chunkOut.data(), piece);
        std::copy(chunkOut.begin(), chunkOut.end(), out.begin() + static_cast<std::ptrdiff_t>(done));
        done += piece;
    }
    return out;
}

// Lengths 0..300 and a few large ones that cross many blocks and an odd tail.
std::vector<std::size_t> Lengths()
{
    std::vector<std::size_t> lengths;
    for (std::size_t n = 0; n <= 300; ++n)
        lengths.push_back(n);
    for (std::size_t n : {4096u, 4111u})
        lengths.push_back(n);
    return lengths;
}

std::string Md5OneShot(const std::string& data)
{
    TCph_md5 md5(nullptr);
    md5.StartDigest();
    md5.AddText(data);
    std::string digest(16, '\0');
    md5.FinishDigest(digest.data());
    return digest;
}

} // namespace

// One instance per chaining mode, so that each stays quick under the sanitizers.
class CphRoundTripMode : public ::testing::TestWithParam<int> {
protected:
    const Mode& TheMode() const { return KModes[GetParam()]; }
};

INSTANTIATE_TEST_SUITE_P(Modes, CphRoundTripMode, ::testing::Range(0, static_cast<int>(std::size(KModes))),
                         [](const ::testing::TestParamInfo<int>& info) {
                             std::string name = KModes[info.param].Name;
                             std::erase(name, '-');
                             return name;
                         });

TEST_P(CphRoundTripMode, DeciphersWhatItEnciphersAtEveryLengthAndKeySize)
{
    std::mt19937_64 rng(20261210 + static_cast<unsigned>(GetParam()));
    const Mode& mode = TheMode();
    unsigned step = 0;
    for (std::size_t length : Lengths()) {
        SCOPED_TRACE(length);
        // why: cycling through every allowed size (4..256 in steps of 4) keeps the run short
        const unsigned bits = 4 * (1 + step++ % 64);
        SCOPED_TRACE(bits);
        const Key key = RandomKey(rng, bits, length % 3 != 0);
        const TBuffer plain = Bytes(rng, length);

        auto encrypter = Keyed(key, mode.CipherMode);
        const TBuffer cipherText = Apply(*encrypter, mode.Encrypt, plain);
        auto decrypter = Keyed(key, mode.CipherMode);
        ASSERT_EQ(Apply(*decrypter, mode.Decrypt, cipherText), plain);

        // The same through EncryptBytes / DecryptBytes in place; every other length only,
        // to keep CFB-8 (one block operation per byte) quick.
        if (length % 2 == 1) {
            TBuffer inPlace = plain;
            auto viaMode = Keyed(key, mode.CipherMode);
            viaMode->EncryptBytes(inPlace.data(), inPlace.data(), length);
            ASSERT_EQ(inPlace, cipherText);
            auto back = Keyed(key, mode.CipherMode);
            back->DecryptBytes(inPlace.data(), inPlace.data(), length);
            ASSERT_EQ(inPlace, plain);
        }
    }
}

TEST_P(CphRoundTripMode, StreamedCallsEqualOneCall)
{
    std::mt19937_64 rng(77 + static_cast<unsigned>(GetParam()));
    const Mode& mode = TheMode();
    for (std::size_t length : {0u, 1u, 15u, 16u, 17u, 63u, 64u, 65u, 200u, 301u, 1000u, 4111u}) {
        SCOPED_TRACE(length);
        for (int round = 0; round < 4; ++round) {
            const Key key = RandomKey(rng, 4 * (1 + static_cast<unsigned>(rng() % 64)), round % 2 == 0);
            const TBuffer plain = Bytes(rng, length);
            auto one = Keyed(key, mode.CipherMode);
            const TBuffer whole = Apply(*one, mode.Encrypt, plain);
            auto pieces = Keyed(key, mode.CipherMode);
            ASSERT_EQ(ApplyInPieces(*pieces, mode.Encrypt, plain, mode.SplitsAnywhere, rng), whole);
            auto back = Keyed(key, mode.CipherMode);
            ASSERT_EQ(ApplyInPieces(*back, mode.Decrypt, whole, mode.SplitsAnywhere, rng), plain);
        }
    }
}

TEST(CphRoundTrip, EveryWholeWordKeySizeAgreesWithLibgcrypt)
{
    // why: libgcrypt reads short keys in whole 32-bit words only, so it can check just these sizes
    std::mt19937_64 rng(1998);
    for (std::size_t keyBytes = 4; keyBytes <= 32; keyBytes += 4) {
        SCOPED_TRACE(keyBytes);
        const std::string key = RandomBytes(rng, keyBytes);
        const std::string blocks = RandomBytes(rng, 64);
        TCph_serpent serpent(nullptr);
        serpent.SetupKey(key.data(), static_cast<unsigned>(keyBytes * 8), nullptr);
        std::string ours(blocks.size(), '\0');
        for (std::size_t at = 0; at < blocks.size(); at += 16)
            serpent.EncryptBlockDirect(blocks.data() + at, ours.data() + at);
        ASSERT_EQ(Hex(ours), Hex(GcryptSerpent(key, GCRY_CIPHER_MODE_ECB).Encrypt(blocks)));
    }
}

TEST(CphRoundTrip, WrongKeyOrDamagedLastBlockGivesOtherBytesWithinTheBuffer)
{
    std::mt19937_64 rng(4242);
    for (const Mode& mode : KModes) {
        SCOPED_TRACE(mode.Name);
        for (std::size_t length : {16u, 17u, 31u, 32u, 33u, 48u, 100u, 257u}) {
            SCOPED_TRACE(length);
            const Key key = RandomKey(rng, 128, true);
            const TBuffer plain = Bytes(rng, length);
            auto encrypter = Keyed(key, mode.CipherMode);
            const TBuffer cipherText = Apply(*encrypter, mode.Encrypt, plain);

            Key other = RandomKey(rng, 128, true);
            other.Iv = key.Iv;
            auto wrong = Keyed(other, mode.CipherMode);
            EXPECT_NE(Apply(*wrong, mode.Decrypt, cipherText), plain);

            // Damage the last byte of the last whole block: the plaintext before that block
            // stays, that block changes.
            const std::size_t lastBlock = (length / 16 - 1) * 16;
            TBuffer damaged = cipherText;
            damaged[lastBlock + 15] ^= 0x01;
            auto decrypter = Keyed(key, mode.CipherMode);
            const TBuffer back = Apply(*decrypter, mode.Decrypt, damaged);
            ASSERT_EQ(back.size(), plain.size());
            EXPECT_TRUE(std::equal(back.begin(), back.begin() + static_cast<std::ptrdiff_t>(lastBlock), plain.begin()));
            EXPECT_NE(back, plain);
            if (!mode.DamageSpreadsToNextBlock) {
                // A stream mode changes exactly the damaged byte.
                for (std::size_t i = lastBlock; i < length; ++i)
                    EXPECT_EQ(back[i] ^ plain[i], i == lastBlock + 15 ? 0x01 : 0x00) << i;
            }
        }
    }
}

TEST(CphRoundTrip, TextRoundTripsAnyBytesAndDamagedTextStaysInBounds)
{
    std::mt19937_64 rng(5150);
    const char garbage[] = "AZaz09+/=\r\n -_*";
    for (std::size_t length = 0; length <= 300; ++length) {
        SCOPED_TRACE(length);
        const std::string plain = RandomBytes(rng, length);
        const std::string passphrase = RandomBytes(rng, rng() % 40);
        TCph_serpent encrypter(nullptr);
        encrypter.InitKeyFromPassphrase(passphrase, TCph_md5::ClassRef());
        const std::string text = encrypter.EncryptText(plain);
        ASSERT_EQ(text.size(), (length + 2) / 3 * 4);
        ASSERT_EQ(text.find_first_of("\r\n"), std::string::npos);

        TCph_serpent decrypter(nullptr);
        decrypter.InitKeyFromPassphrase(passphrase, TCph_md5::ClassRef());
        ASSERT_EQ(decrypter.DecryptText(text), plain);

        // Any text at all deciphers to at most 3 bytes per whole group of 4 characters.
        std::string damaged(rng() % 64, '\0');
        for (char& c : damaged)
            c = garbage[rng() % (sizeof garbage - 1)];
        decrypter.RestartChain();
        EXPECT_LE(decrypter.DecryptText(damaged).size(), damaged.size() / 4 * 3);
    }
}

TEST(CphRoundTrip, TextCallsInARowContinueOneCfb8Stream)
{
    std::mt19937_64 rng(8);
    for (int round = 0; round < 40; ++round) {
        SCOPED_TRACE(round);
        const Key key = RandomKey(rng, 4 * (1 + static_cast<unsigned>(rng() % 64)), round % 2 == 0);
        std::vector<std::string> parts;
        std::string all;
        for (int i = 0, n = static_cast<int>(rng() % 6); i < n; ++i) {
            parts.push_back(RandomBytes(rng, rng() % 40));
            all += parts.back();
        }
        auto texts = Keyed(key, cmCBC);
        auto bytes = Keyed(key, cmCFB8bit);
        std::string streamed;
        for (const std::string& part : parts)
            streamed += Base64DecodeText(texts->EncryptText(part));
        const TBuffer whole = Apply(*bytes, &TCph_blockcipher128::EncryptCfb8Mode, TBuffer(all.begin(), all.end()));
        ASSERT_EQ(Hex(streamed), Hex(std::string(whole.begin(), whole.end())));

        auto back = Keyed(key, cmOFB);
        std::string plain;
        for (std::size_t at = 0, i = 0; i < parts.size(); at += parts[i].size(), ++i)
            plain += back->DecryptText(Base64EncodeText(streamed.substr(at, parts[i].size())));
        ASSERT_EQ(Hex(plain), Hex(all));
    }
}

TEST(CphRoundTrip, Base64RoundTripsAndAgreesWithQt)
{
    std::mt19937_64 rng(1066);
    for (std::size_t length = 0; length <= 300; ++length) {
        SCOPED_TRACE(length);
        const std::string bytes = RandomBytes(rng, length);
        const std::string text = Base64EncodeText(bytes);
        ASSERT_EQ(text, QByteArray::fromStdString(bytes).toBase64().toStdString());
        ASSERT_EQ(Base64DecodeText(text), bytes);
        ASSERT_EQ(QByteArray::fromBase64(QByteArray::fromStdString(text)).toStdString(), bytes);

        // Without its fill the last partial group is ignored: only whole groups are decoded.
        std::string unpadded = text;
        while (!unpadded.empty() && unpadded.back() == '=')
            unpadded.pop_back();
        ASSERT_EQ(Base64DecodeText(unpadded), bytes.substr(0, length / 3 * 3));

        // Into and out of exact-size buffers: the counts returned are what was written.
        const TBuffer in(bytes.begin(), bytes.end());
        TBuffer encoded((length + 2) / 3 * 4);
        ASSERT_EQ(Base64EncodeBytes(in.data(), encoded.data(), length), encoded.size());
        TBuffer decoded(encoded.size() / 4 * 3);
        const std::size_t written = Base64DecodeBytes(encoded.data(), decoded.data(), encoded.size());
        ASSERT_EQ(written, length);
        ASSERT_TRUE(std::equal(in.begin(), in.end(), decoded.begin()));
    }
}

TEST(CphRoundTrip, Base64DecodingOfAnyTextStaysInItsBuffers)
{
    std::mt19937_64 rng(31337);
    for (int round = 0; round < 2000; ++round) {
        // Mostly alphabet with "=" and strangers mixed in, and a ragged end.
        TBuffer text(rng() % 90);
        for (auto& c : text) {
            const auto pick = rng() % 10;
            c = pick < 6   ? static_cast<std::uint8_t>("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/"[rng() % 64])
                : pick < 9 ? static_cast<std::uint8_t>('=')
                           : static_cast<std::uint8_t>(rng());
        }
        SCOPED_TRACE(std::string(text.begin(), text.end()));
        TBuffer out(text.size() / 4 * 3);
        const std::size_t written = Base64DecodeBytes(text.data(), out.data(), text.size());
        ASSERT_LE(written, out.size());
        // Between one and three bytes for every whole group.
        ASSERT_GE(written, text.size() / 4);
        const std::string viaText = Base64DecodeText(std::string(text.begin(), text.end()));
        ASSERT_EQ(viaText, std::string(out.begin(), out.begin() + static_cast<std::ptrdiff_t>(written)));
    }
}

TEST(CphRoundTrip, Md5InAnyPiecesEqualsOnePieceAndQt)
{
    std::mt19937_64 rng(1321);
    for (std::size_t length = 0; length <= 1000; ++length) {
        SCOPED_TRACE(length);
        const std::string data = RandomBytes(rng, length);
        const std::string whole = Md5OneShot(data);
        ASSERT_EQ(Hex(whole), Hex(QCryptographicHash::hash(QByteArray::fromStdString(data), QCryptographicHash::Md5)
                                      .toStdString()));

        TCph_md5 md5(nullptr);
        md5.StartDigest();
        std::size_t done = 0;
        while (done < length) {
            // Empty pieces, small ones and ones that cross one or two block boundaries.
            const std::size_t pick = rng() % 4;
            std::size_t piece = pick == 0 ? 0 : pick == 1 ? rng() % 8 : pick == 2 ? rng() % 70 : rng() % 200;
            piece = std::min(piece, length - done);
            const TBuffer chunk(data.begin() + static_cast<std::ptrdiff_t>(done),
                                data.begin() + static_cast<std::ptrdiff_t>(done + piece));
            md5.AddBytes(chunk.data(), piece);
            done += piece;
        }
        md5.AddBytes(nullptr, 0);
        std::string digest(16, '\0');
        md5.FinishDigest(digest.data());
        ASSERT_EQ(Hex(digest), Hex(whole));
    }
}

TEST(CphRoundTrip, Md5RestartsCleanlyAfterAnAbandonedDigest)
{
    std::mt19937_64 rng(7);
    TCph_md5 md5(nullptr);
    for (std::size_t length : {0u, 1u, 55u, 56u, 63u, 64u, 65u, 119u, 120u, 128u, 999u}) {
        SCOPED_TRACE(length);
        const std::string data = RandomBytes(rng, length);
        md5.StartDigest();
        md5.AddText(RandomBytes(rng, rng() % 100));   // abandoned by the next start
        md5.StartDigest();
        md5.AddText(data);
        std::string digest(16, '\0');
        md5.FinishDigest(digest.data());
        EXPECT_EQ(Hex(digest), Hex(Md5OneShot(data)));
    }
}

// The hash base and MD5.

#include "utility/CphHash.h"

#include "utility/CphBytes.h"
#include "utility/CphWipe.h"

#include <bit>
#include <cstring>
#include <memory>

namespace {

// The four auxiliary functions of RFC 1321 in forms with fewer operations.
inline std::uint32_t F(std::uint32_t x, std::uint32_t y, std::uint32_t z) { return z ^ (x & (y ^ z)); }
inline std::uint32_t G(std::uint32_t x, std::uint32_t y, std::uint32_t z) { return y ^ (z & (x ^ y)); }
inline std::uint32_t H(std::uint32_t x, std::uint32_t y, std::uint32_t z) { return x ^ y ^ z; }
inline std::uint32_t I(std::uint32_t x, std::uint32_t y, std::uint32_t z) { return y ^ (x | ~z); }

template <std::uint32_t (*Fn)(std::uint32_t, std::uint32_t, std::uint32_t)>
inline void Step(std::uint32_t& a, std::uint32_t b, std::uint32_t c, std::uint32_t d, std::uint32_t x,
                 std::uint32_t t, int s)
{
    a = b + std::rotl(a + Fn(b, c, d) + x + t, s);
}

template <class T>
TCph_hash* CreateHash(TComponent* owner)
{
    return new T(owner);
}

bool Md5SelfTest()
{
    struct Vector {
        const char* Text;
        std::uint8_t Digest[16];
    };
    static const Vector vectors[] = {
        {"abc", {0x90, 0x01, 0x50, 0x98, 0x3c, 0xd2, 0x4f, 0xb0, 0xd6, 0x96, 0x3f, 0x7d, 0x28, 0xe1, 0x7f, 0x72}},
        {"abcdefghijklmnopqrstuvwxyz",
         {0xc3, 0xfc, 0xd3, 0xd7, 0x61, 0x92, 0xe4, 0x00, 0x7d, 0xfb, 0x49, 0x6c, 0xca, 0x67, 0xe1, 0x3b}},
    };
    auto md5 = std::make_unique<TCph_md5>(nullptr);
    bool passed = true;
    for (const Vector& v : vectors) {
        std::uint8_t digest[16];
        md5->StartDigest();
        md5->AddText(v.Text);
        md5->FinishDigest(digest);
        passed = passed && std::memcmp(digest, v.Digest, 16) == 0;
    }
    return passed;
}

constexpr TCph_hashClass KHashClass(-1, "", -1, [] { return false; }, CreateHash<TCph_hash>);
constexpr TCph_hashClass KMd5Class(16, "MD5", 128, Md5SelfTest, CreateHash<TCph_md5>);

} // namespace

// ---- TCph_hash

TCph_hash::TCph_hash(TComponent* AOwner) : TComponent(AOwner) {}

TCph_hash::~TCph_hash() = default;

const TCph_hashClass& TCph_hash::ClassRef()
{
    return KHashClass;
}

void TCph_hash::CheckInitialized() const
{
    if (!FInitialized)
        throw ECph_hash("Hash not initialized");
}

// ---- TCph_md5

TCph_md5::TCph_md5(TComponent* AOwner) : TCph_hash(AOwner) {}

TCph_md5::~TCph_md5()
{
    // why: the base destructor can no longer reach this class's state
    TCph_md5::WipeDigest();
}

const TCph_hashClass& TCph_md5::ClassRef()
{
    return KMd5Class;
}

void TCph_md5::StartDigest()
{
    WipeDigest();
    FState[0] = 0x67452301;
    FState[1] = 0xefcdab89;
    FState[2] = 0x98badcfe;
    FState[3] = 0x10325476;
    SetInitialized(true);
}

void TCph_md5::AddBytes(const void* buffer, std::size_t count)
{
    CheckInitialized();
    if (count == 0)
        return;
    FBitLength += static_cast<std::uint64_t>(count) << 3;
    auto in = static_cast<const std::uint8_t*>(buffer);
    if (FWaiting > 0) {
        const std::size_t room = 64 - FWaiting;
        if (count < room) {
            std::memcpy(FBuffer + FWaiting, in, count);
            FWaiting += count;
            return;
        }
        std::memcpy(FBuffer + FWaiting, in, room);
        CompressBuffer();
        in += room;
        count -= room;
    }
    // why: whole blocks go straight from the caller's buffer; copying them first halves the speed
    for (; count >= 64; in += 64, count -= 64)
        Compress(in);
    if (count > 0) {
        std::memcpy(FBuffer, in, count);
        FWaiting = count;
    }
}

void TCph_md5::FinishDigest(void* digest)
{
    CheckInitialized();
    FBuffer[FWaiting] = 0x80;
    if (FWaiting >= 56)
        CompressBuffer();
    StoreLe32(FBuffer + 56, static_cast<std::uint32_t>(FBitLength));
    StoreLe32(FBuffer + 60, static_cast<std::uint32_t>(FBitLength >> 32));
    CompressBuffer();
    auto out = static_cast<std::uint8_t*>(digest);
    for (int i = 0; i < 4; ++i)
        StoreLe32(out + 4 * i, FState[i]);
    WipeDigest();
}

void TCph_md5::WipeDigest()
{
    CphWipe(&FBitLength, sizeof FBitLength);
    FWaiting = 0;
    CphWipe(FState, sizeof FState);
    CphWipe(FBuffer, sizeof FBuffer);
    SetInitialized(false);
}

void TCph_md5::CompressBuffer()
{
    Compress(FBuffer);
    FWaiting = 0;
    CphWipe(FBuffer, sizeof FBuffer);
}

void TCph_md5::Compress(const std::uint8_t* block)
{
    std::uint32_t x[16];
    for (int i = 0; i < 16; ++i)
        x[i] = LoadLe32(block + 4 * i);
    std::uint32_t a = FState[0], b = FState[1], c = FState[2], d = FState[3];

    Step<F>(a, b, c, d, x[0], 0xd76aa478, 7);
    Step<F>(d, a, b, c, x[1], 0xe8c7b756, 12);
    Step<F>(c, d, a, b, x[2], 0x242070db, 17);
    Step<F>(b, c, d, a, x[3], 0xc1bdceee, 22);
    Step<F>(a, b, c, d, x[4], 0xf57c0faf, 7);
    Step<F>(d, a, b, c, x[5], 0x4787c62a, 12);
    Step<F>(c, d, a, b, x[6], 0xa8304613, 17);
    Step<F>(b, c, d, a, x[7], 0xfd469501, 22);
    Step<F>(a, b, c, d, x[8], 0x698098d8, 7);
    Step<F>(d, a, b, c, x[9], 0x8b44f7af, 12);
    Step<F>(c, d, a, b, x[10], 0xffff5bb1, 17);
    Step<F>(b, c, d, a, x[11], 0x895cd7be, 22);
    Step<F>(a, b, c, d, x[12], 0x6b901122, 7);
    Step<F>(d, a, b, c, x[13], 0xfd987193, 12);
    Step<F>(c, d, a, b, x[14], 0xa679438e, 17);
    Step<F>(b, c, d, a, x[15], 0x49b40821, 22);

    Step<G>(a, b, c, d, x[1], 0xf61e2562, 5);
    Step<G>(d, a, b, c, x[6], 0xc040b340, 9);
    Step<G>(c, d, a, b, x[11], 0x265e5a51, 14);
    Step<G>(b, c, d, a, x[0], 0xe9b6c7aa, 20);
    Step<G>(a, b, c, d, x[5], 0xd62f105d, 5);
    Step<G>(d, a, b, c, x[10], 0x02441453, 9);
    Step<G>(c, d, a, b, x[15], 0xd8a1e681, 14);
    Step<G>(b, c, d, a, x[4], 0xe7d3fbc8, 20);
    Step<G>(a, b, c, d, x[9], 0x21e1cde6, 5);
    Step<G>(d, a, b, c, x[14], 0xc33707d6, 9);
    Step<G>(c, d, a, b, x[3], 0xf4d50d87, 14);
    Step<G>(b, c, d, a, x[8], 0x455a14ed, 20);
    Step<G>(a, b, c, d, x[13], 0xa9e3e905, 5);
    Step<G>(d, a, b, c, x[2], 0xfcefa3f8, 9);
    Step<G>(c, d, a, b, x[7], 0x676f02d9, 14);
    Step<G>(b, c, d, a, x[12], 0x8d2a4c8a, 20);

    Step<H>(a, b, c, d, x[5], 0xfffa3942, 4);
    Step<H>(d, a, b, c, x[8], 0x8771f681, 11);
    Step<H>(c, d, a, b, x[11], 0x6d9d6122, 16);
    Step<H>(b, c, d, a, x[14], 0xfde5380c, 23);
    Step<H>(a, b, c, d, x[1], 0xa4beea44, 4);
    Step<H>(d, a, b, c, x[4], 0x4bdecfa9, 11);
    Step<H>(c, d, a, b, x[7], 0xf6bb4b60, 16);
    Step<H>(b, c, d, a, x[10], 0xbebfbc70, 23);
    Step<H>(a, b, c, d, x[13], 0x289b7ec6, 4);
    Step<H>(d, a, b, c, x[0], 0xeaa127fa, 11);
    Step<H>(c, d, a, b, x[3], 0xd4ef3085, 16);
    Step<H>(b, c, d, a, x[6], 0x04881d05, 23);
    Step<H>(a, b, c, d, x[9], 0xd9d4d039, 4);
    Step<H>(d, a, b, c, x[12], 0xe6db99e5, 11);
    Step<H>(c, d, a, b, x[15], 0x1fa27cf8, 16);
    Step<H>(b, c, d, a, x[2], 0xc4ac5665, 23);

    Step<I>(a, b, c, d, x[0], 0xf4292244, 6);
    Step<I>(d, a, b, c, x[7], 0x432aff97, 10);
    Step<I>(c, d, a, b, x[14], 0xab9423a7, 15);
    Step<I>(b, c, d, a, x[5], 0xfc93a039, 21);
    Step<I>(a, b, c, d, x[12], 0x655b59c3, 6);
    Step<I>(d, a, b, c, x[3], 0x8f0ccc92, 10);
    Step<I>(c, d, a, b, x[10], 0xffeff47d, 15);
    Step<I>(b, c, d, a, x[1], 0x85845dd1, 21);
    Step<I>(a, b, c, d, x[8], 0x6fa87e4f, 6);
    Step<I>(d, a, b, c, x[15], 0xfe2ce6e0, 10);
    Step<I>(c, d, a, b, x[6], 0xa3014314, 15);
    Step<I>(b, c, d, a, x[13], 0x4e0811a1, 21);
    Step<I>(a, b, c, d, x[4], 0xf7537e82, 6);
    Step<I>(d, a, b, c, x[11], 0xbd3af235, 10);
    Step<I>(c, d, a, b, x[2], 0x2ad7d2bb, 15);
    Step<I>(b, c, d, a, x[9], 0xeb86d391, 21);

    FState[0] += a;
    FState[1] += b;
    FState[2] += c;
    FState[3] += d;
    CphWipe(x, sizeof x);
}

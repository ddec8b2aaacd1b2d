// The Serpent block cipher in its bitsliced form.

#include "utility/CphSerpent.h"

#include "utility/CphBytes.h"
#include "utility/CphWipe.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <memory>
#include <utility>

namespace {

using TBox = std::array<std::uint8_t, 16>;

constexpr TBox KBoxes[8] = {
    {3, 8, 15, 1, 10, 6, 5, 11, 14, 13, 4, 2, 7, 0, 9, 12},
    {15, 12, 2, 7, 9, 0, 5, 10, 1, 11, 14, 8, 6, 13, 3, 4},
    {8, 6, 7, 9, 3, 12, 10, 15, 13, 1, 14, 4, 0, 11, 5, 2},
    {0, 15, 11, 8, 12, 9, 6, 3, 13, 1, 2, 4, 10, 7, 5, 14},
    {1, 15, 8, 3, 12, 0, 11, 6, 2, 5, 4, 10, 9, 14, 7, 13},
    {15, 5, 2, 11, 4, 10, 9, 12, 0, 3, 14, 8, 13, 6, 7, 1},
    {7, 2, 12, 5, 8, 4, 6, 11, 14, 9, 1, 15, 13, 3, 10, 0},
    {1, 13, 15, 0, 14, 8, 2, 11, 7, 4, 12, 10, 9, 3, 5, 6},
};

constexpr std::uint32_t KPhi = 0x9E3779B9;

constexpr TBox Inverse(const TBox& box)
{
    TBox inverse{};
    for (std::uint8_t x = 0; x < 16; ++x)
        inverse[box[x]] = x;
    return inverse;
}

// ---- S-boxes as boolean formulas over whole words, derived from the tables at compile time.
//
// Each output bit is written as P0 ^ (c & Q0) ^ (d & (P1 ^ (c & Q1))), where P0, Q0, P1 and Q1
// are functions of the two other inputs a and b only. Which inputs play a, b, c and d is
// chosen per box to need the fewest operations; the compiler shares the common terms.

// Truth table of a function of (a, b): bit a + 2b holds its value there.
using TInnerTable = std::uint8_t;

struct TBoxPlan {
    std::array<int, 4> Var{};                          // input word taken as a, b, c, d
    std::array<std::array<TInnerTable, 4>, 4> Bit{};   // per output bit: P0, Q0, P1, Q1
};

constexpr TInnerTable InnerTable(const TBox& box, const std::array<int, 4>& var, int bit, int c, int d)
{
    TInnerTable table = 0;
    for (int b = 0; b < 2; ++b)
        for (int a = 0; a < 2; ++a) {
            const int x = a << var[0] | b << var[1] | c << var[2] | d << var[3];
            if ((box[static_cast<std::size_t>(x)] >> bit) & 1)
                table = static_cast<TInnerTable>(table | 1 << (a + 2 * b));
        }
    return table;
}

// Operations that Inner needs for a table, given a and b.
constexpr int InnerCost(TInnerTable t)
{
    switch (t) {
    case 0x0: case 0xF: case 0xA: case 0xC: return 0;
    case 0x5: case 0x3: case 0x8: case 0xE: case 0x6: return 1;
    default: return 2;
    }
}

constexpr int PlanCost(const TBoxPlan& plan)
{
    std::array<bool, 16> used{};
    int cost = 0;
    for (const auto& t : plan.Bit) {
        const TInnerTable p0 = t[0], q0 = t[1], p1 = t[2], q1 = t[3];
        if (q0 != 0)
            cost += (q0 != 0xF) + (p0 != 0);
        if (q1 != 0)
            cost += (q1 != 0xF) + (p1 != 0);
        if (p1 != 0 || q1 != 0)
            cost += 2;
        for (TInnerTable x : t)
            used[x] = true;
    }
    for (int x = 0; x < 16; ++x)
        if (used[static_cast<std::size_t>(x)])
            cost += InnerCost(static_cast<TInnerTable>(x));
    return cost;
}

constexpr TBoxPlan MakePlan(const TBox& box)
{
    TBoxPlan best;
    int bestCost = 1 << 30;
    std::array<int, 4> var = {0, 1, 2, 3};
    do {
        TBoxPlan plan;
        plan.Var = var;
        for (int bit = 0; bit < 4; ++bit) {
            const TInnerTable g00 = InnerTable(box, var, bit, 0, 0), g10 = InnerTable(box, var, bit, 1, 0);
            const TInnerTable g01 = InnerTable(box, var, bit, 0, 1), g11 = InnerTable(box, var, bit, 1, 1);
            plan.Bit[static_cast<std::size_t>(bit)] = {g00, static_cast<TInnerTable>(g10 ^ g00),
                                                       static_cast<TInnerTable>(g01 ^ g00),
                                                       static_cast<TInnerTable>(g11 ^ g10 ^ g01 ^ g00)};
        }
        const int cost = PlanCost(plan);
        if (cost < bestCost) {
            bestCost = cost;
            best = plan;
        }
    } while (std::next_permutation(var.begin(), var.end()));
    return best;
}

// Boxes 0..7 and their inverses as 8..15.
constexpr std::array<TBoxPlan, 16> KPlans = [] {
    std::array<TBoxPlan, 16> plans{};
    for (std::size_t i = 0; i < 8; ++i) {
        plans[i] = MakePlan(KBoxes[i]);
        plans[i + 8] = MakePlan(Inverse(KBoxes[i]));
    }
    return plans;
}();

template <TInnerTable T>
inline std::uint32_t Inner(std::uint32_t a, std::uint32_t b)
{
    if constexpr (T == 0x0) return 0;
    else if constexpr (T == 0xF) return ~0u;
    else if constexpr (T == 0xA) return a;
    else if constexpr (T == 0x5) return ~a;
    else if constexpr (T == 0xC) return b;
    else if constexpr (T == 0x3) return ~b;
    else if constexpr (T == 0x8) return a & b;
    else if constexpr (T == 0x7) return ~(a & b);
    else if constexpr (T == 0xE) return a | b;
    else if constexpr (T == 0x1) return ~(a | b);
    else if constexpr (T == 0x6) return a ^ b;
    else if constexpr (T == 0x9) return ~(a ^ b);
    else if constexpr (T == 0x2) return a & ~b;
    else if constexpr (T == 0xD) return ~a | b;
    else if constexpr (T == 0x4) return ~a & b;
    else return a | ~b;   // 0xB
}

template <int Box, int Bit>
inline std::uint32_t OutputBit(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d)
{
    constexpr auto t = KPlans[Box].Bit[Bit];
    return Inner<t[0]>(a, b) ^ (c & Inner<t[1]>(a, b)) ^ (d & (Inner<t[2]>(a, b) ^ (c & Inner<t[3]>(a, b))));
}

// Applies box `Box` (8..15: the inverse of Box - 8) to bit j of the four words, for every j.
template <int Box>
inline void ApplyBox(std::uint32_t* x)
{
    constexpr auto var = KPlans[Box].Var;
    const std::uint32_t a = x[var[0]], b = x[var[1]], c = x[var[2]], d = x[var[3]];
    x[0] = OutputBit<Box, 0>(a, b, c, d);
    x[1] = OutputBit<Box, 1>(a, b, c, d);
    x[2] = OutputBit<Box, 2>(a, b, c, d);
    x[3] = OutputBit<Box, 3>(a, b, c, d);
}

inline void Transform(std::uint32_t* x)
{
    x[0] = std::rotl(x[0], 13);
    x[2] = std::rotl(x[2], 3);
    x[1] ^= x[0] ^ x[2];
    x[3] ^= x[2] ^ (x[0] << 3);
    x[1] = std::rotl(x[1], 1);
    x[3] = std::rotl(x[3], 7);
    x[0] ^= x[1] ^ x[3];
    x[2] ^= x[3] ^ (x[1] << 7);
    x[0] = std::rotl(x[0], 5);
    x[2] = std::rotl(x[2], 22);
}

inline void InverseTransform(std::uint32_t* x)
{
    x[2] = std::rotr(x[2], 22);
    x[0] = std::rotr(x[0], 5);
    x[2] ^= x[3] ^ (x[1] << 7);
    x[0] ^= x[1] ^ x[3];
    x[3] = std::rotr(x[3], 7);
    x[1] = std::rotr(x[1], 1);
    x[3] ^= x[2] ^ (x[0] << 3);
    x[1] ^= x[0] ^ x[2];
    x[2] = std::rotr(x[2], 3);
    x[0] = std::rotr(x[0], 13);
}

inline void AddRoundKey(std::uint32_t* x, const std::uint32_t* k)
{
    x[0] ^= k[0];
    x[1] ^= k[1];
    x[2] ^= k[2];
    x[3] ^= k[3];
}

template <int R>
inline void EncryptRound(std::uint32_t* x, const std::uint32_t* keys)
{
    AddRoundKey(x, keys + 4 * R);
    ApplyBox<R % 8>(x);
    if constexpr (R < 31)
        Transform(x);
    else
        AddRoundKey(x, keys + 128);
}

template <int R>
inline void DecryptRound(std::uint32_t* x, const std::uint32_t* keys)
{
    if constexpr (R < 31)
        InverseTransform(x);
    else
        AddRoundKey(x, keys + 128);
    ApplyBox<R % 8 + 8>(x);
    AddRoundKey(x, keys + 4 * R);
}

template <std::size_t... R>
inline void EncryptRounds(std::uint32_t* x, const std::uint32_t* keys, std::index_sequence<R...>)
{
    (EncryptRound<static_cast<int>(R)>(x, keys), ...);
}

template <std::size_t... R>
inline void DecryptRounds(std::uint32_t* x, const std::uint32_t* keys, std::index_sequence<R...>)
{
    (DecryptRound<31 - static_cast<int>(R)>(x, keys), ...);
}

using TBoxFunction = void (*)(std::uint32_t*);
constexpr TBoxFunction KForwardBoxes[8] = {ApplyBox<0>, ApplyBox<1>, ApplyBox<2>, ApplyBox<3>,
                                           ApplyBox<4>, ApplyBox<5>, ApplyBox<6>, ApplyBox<7>};

void LoadBlock(std::uint32_t* x, const void* in)
{
    auto p = static_cast<const std::uint8_t*>(in);
    for (int i = 0; i < 4; ++i)
        x[i] = LoadLe32(p + 4 * i);
}

void StoreBlock(void* out, const std::uint32_t* x)
{
    auto p = static_cast<std::uint8_t*>(out);
    for (int i = 0; i < 4; ++i)
        StoreLe32(p + 4 * i, x[i]);
}

// NESSIE known answers (set 1, vector 0 of each key size): key 80 00 .. 00, plain text zero.
bool SerpentSelfTest()
{
    struct Vector {
        unsigned KeySize;
        std::uint8_t Cipher[16];
    };
    static const Vector vectors[] = {
        {128, {0x26, 0x4E, 0x54, 0x81, 0xEF, 0xF4, 0x2A, 0x46, 0x06, 0xAB, 0xDA, 0x06, 0xC0, 0xBF, 0xDA, 0x3D}},
        {192, {0x9E, 0x27, 0x4E, 0xAD, 0x9B, 0x73, 0x7B, 0xB2, 0x1E, 0xFC, 0xFC, 0xA5, 0x48, 0x60, 0x26, 0x89}},
        {256, {0xA2, 0x23, 0xAA, 0x12, 0x88, 0x46, 0x3C, 0x0E, 0x2B, 0xE3, 0x8E, 0xBD, 0x82, 0x56, 0x16, 0xC0}},
    };
    std::uint8_t key[32] = {0x80};
    const std::uint8_t plain[16] = {};
    auto serpent = std::make_unique<TCph_serpent>(nullptr);
    bool passed = true;
    for (const Vector& v : vectors) {
        std::uint8_t cipher[16], back[16];
        serpent->SetupKey(key, v.KeySize, nullptr);
        serpent->EncryptBlockDirect(plain, cipher);
        passed = passed && std::memcmp(cipher, v.Cipher, 16) == 0;
        serpent->DecryptBlockDirect(cipher, back);
        passed = passed && std::memcmp(back, plain, 16) == 0;
        serpent->WipeState();
    }
    return passed;
}

constexpr TCph_cipherClass KSerpentClass(26, "Serpent", 256, 128, SerpentSelfTest);

} // namespace

TCph_serpent::TCph_serpent(TComponent* AOwner) : TCph_blockcipher128(AOwner) {}

TCph_serpent::~TCph_serpent()
{
    CphWipe(FRoundKeys, sizeof FRoundKeys);
}

const TCph_cipherClass& TCph_serpent::ClassRef()
{
    return KSerpentClass;
}

void TCph_serpent::WipeState()
{
    CphWipe(FRoundKeys, sizeof FRoundKeys);
    TCph_blockcipher128::WipeState();
}

void TCph_serpent::ExpandKey(const void* key, unsigned size)
{
    // w[0..7] are the key words, w[8 + i] the prekey w(i).
    std::uint32_t w[8 + 132];
    std::uint8_t bytes[32] = {};
    std::memcpy(bytes, key, std::min<std::size_t>(size / 8, sizeof bytes));
    for (int i = 0; i < 8; ++i)
        w[i] = LoadLe32(bytes + 4 * i);
    if (size < 256)
        w[size / 32] |= std::uint32_t{1} << (size % 32);
    for (std::uint32_t i = 0; i < 132; ++i)
        w[i + 8] = std::rotl(w[i] ^ w[i + 3] ^ w[i + 5] ^ w[i + 7] ^ KPhi ^ i, 11);
    for (int r = 0; r < 33; ++r) {
        std::uint32_t* k = FRoundKeys + 4 * r;
        std::memcpy(k, w + 8 + 4 * r, 4 * sizeof(std::uint32_t));
        KForwardBoxes[(3 - r + 32) % 8](k);
    }
    CphWipe(w, sizeof w);
    CphWipe(bytes, sizeof bytes);
}

void TCph_serpent::EncryptBlockDirect(const void* in, void* out)
{
    CheckInitialized();
    std::uint32_t x[4];
    LoadBlock(x, in);
    EncryptRounds(x, FRoundKeys, std::make_index_sequence<32>());
    StoreBlock(out, x);
}

void TCph_serpent::DecryptBlockDirect(const void* in, void* out)
{
    CheckInitialized();
    std::uint32_t x[4];
    LoadBlock(x, in);
    DecryptRounds(x, FRoundKeys, std::make_index_sequence<32>());
    StoreBlock(out, x);
}

// MD5 and Serpent over 64 MB, each beside the same work done by a widely used library in the
// same run: OpenSSL's MD5 and libgcrypt's Serpent (ECB for the bare block function, CBC and
// CFB-8 for the chained modes the program uses).

#include "utility/CphHash.h"
#include "utility/CphSerpent.h"

#include <benchmark/benchmark.h>
#include <gcrypt.h>
#include <openssl/evp.h>

#include <random>
#include <string>

namespace {

constexpr size_t KBytes = 64u << 20;
constexpr size_t KCfb8Bytes = 4u << 20;   // why: one block encryption per byte; 64 MB takes minutes

const std::string& Data()
{
    static const std::string data = [] {
        std::string bytes(KBytes, '\0');
        std::mt19937_64 rng(1);
        for (char& c : bytes)
            c = static_cast<char>(rng());
        return bytes;
    }();
    return data;
}

const unsigned char KKey[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
const unsigned char KIv[16] = {};

void ZentuMd5(benchmark::State& state)
{
    const std::string& data = Data();
    unsigned char digest[16];
    for (auto _ : state) {
        TCph_md5 md5(nullptr);
        md5.StartDigest();
        md5.AddBytes(data.data(), data.size());
        md5.FinishDigest(digest);
        benchmark::DoNotOptimize(digest);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * data.size()));
}
BENCHMARK(ZentuMd5)->Unit(benchmark::kMillisecond);

void OpenSslMd5(benchmark::State& state)
{
    const std::string& data = Data();
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned size = 0;
    for (auto _ : state) {
        EVP_Digest(data.data(), data.size(), digest, &size, EVP_md5(), nullptr);
        benchmark::DoNotOptimize(digest);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * data.size()));
}
BENCHMARK(OpenSslMd5)->Unit(benchmark::kMillisecond);

// Our Serpent in a mode; `mode` < 0 runs the bare block function over every block.
void ZentuSerpent(benchmark::State& state, int mode, size_t bytes)
{
    const std::string& data = Data();
    std::string out(bytes, '\0');
    TCph_serpent serpent(nullptr);
    serpent.SetupKey(KKey, 128, KIv);
    for (auto _ : state) {
        switch (mode) {
        case -1:
            for (size_t i = 0; i < bytes; i += 16)
                serpent.EncryptBlockDirect(data.data() + i, out.data() + i);
            break;
        case cmCBC: serpent.EncryptCbcMode(data.data(), out.data(), bytes); break;
        case cmCFB8bit: serpent.EncryptCfb8Mode(data.data(), out.data(), bytes); break;
        }
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}

void GcryptSerpent(benchmark::State& state, int mode, size_t bytes)
{
    static const bool init = [] {
        gcry_check_version(nullptr);
        gcry_control(GCRYCTL_DISABLE_SECMEM, 0);
        gcry_control(GCRYCTL_INITIALIZATION_FINISHED, 0);
        return true;
    }();
    (void)init;
    const std::string& data = Data();
    std::string out(bytes, '\0');
    gcry_cipher_hd_t handle;
    gcry_cipher_open(&handle, GCRY_CIPHER_SERPENT128, mode, 0);
    gcry_cipher_setkey(handle, KKey, sizeof KKey);
    if (mode != GCRY_CIPHER_MODE_ECB)
        gcry_cipher_setiv(handle, KIv, sizeof KIv);
    for (auto _ : state) {
        gcry_cipher_encrypt(handle, out.data(), bytes, data.data(), bytes);
        benchmark::DoNotOptimize(out.data());
    }
    gcry_cipher_close(handle);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}

BENCHMARK_CAPTURE(ZentuSerpent, Block, -1, KBytes)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(GcryptSerpent, Ecb, GCRY_CIPHER_MODE_ECB, KBytes)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ZentuSerpent, Cbc, static_cast<int>(cmCBC), KBytes)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(GcryptSerpent, Cbc, GCRY_CIPHER_MODE_CBC, KBytes)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ZentuSerpent, Cfb8, static_cast<int>(cmCFB8bit), KCfb8Bytes)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(GcryptSerpent, Cfb8, GCRY_CIPHER_MODE_CFB8, KCfb8Bytes)->Unit(benchmark::kMillisecond);

} // namespace
BENCHMARK_MAIN();

// A bounded fuzz table: every corpus file cut short, with bytes flipped and with numbers
// overwritten by huge values, loaded by each reader. Each load ends in a picture or in one of
// the readers' errors, never in a read or write outside a buffer (ASan), an endless loop or a
// huge allocation. ZENTU_IMAGE_FUZZ_ROUNDS adds that many random mutations per file.

#include "imageformats/ImageTestSupport.h"

#include "imageformats/gif/GIFGraphic.h"
#include "imageformats/png/PNGGraphic.h"
#include "imageformats/tiff/TIFFGraphic.h"

#include "support/TempDir.h"

#include "Platform/core/Application.h"

#include <gtest/gtest.h>

#include <QDir>

#include <chrono>
#include <random>

namespace {

std::vector<std::string> Mutations(const std::string& original, unsigned rounds)
{
    std::vector<std::string> out;
    const std::size_t n = original.size();
    for (std::size_t cut : {std::size_t{0}, std::size_t{7}, std::size_t{8}, std::size_t{9}, std::size_t{23}, std::size_t{40},
                            n / 5, n / 3, n / 2, 2 * n / 3, n - 13, n - 1})
        if (cut < n)
            out.push_back(original.substr(0, cut));
    for (std::size_t i = 0; i < 48; ++i) {
        std::string flipped = original;
        const std::size_t at = (i * 7919 + 8) % n;
        flipped[at] = static_cast<char>(flipped[at] ^ static_cast<char>(0xFF >> (i % 8)));
        out.push_back(std::move(flipped));
    }
    for (std::size_t i = 0; i < 24; ++i) {
        std::string big = original;
        const std::size_t at = (i * 131 + 4) % (n > 4 ? n - 4 : 1);
        for (std::size_t k = 0; k < 4 && at + k < n; ++k)
            big[at + k] = static_cast<char>(i % 2 ? 0xFF : (k == 0 ? 0x7F : 0xFF));
        out.push_back(std::move(big));
    }
    std::mt19937 random(static_cast<unsigned>(n));
    for (unsigned r = 0; r < rounds; ++r) {
        std::string mutated = original;
        for (int k = 0, edits = 1 + static_cast<int>(random() % 8); k < edits; ++k)
            mutated[random() % n] = static_cast<char>(random());
        if (random() % 4 == 0)
            mutated.resize(random() % n);
        out.push_back(std::move(mutated));
    }
    return out;
}

TEST(HostileFiles, EveryMutationEndsInAPictureOrAReaderError)
{
    unsigned rounds = 0;
    if (const QByteArray text = qgetenv("ZENTU_IMAGE_FUZZ_ROUNDS"); !text.isEmpty())
        rounds = text.toUInt();
    const TGraphicClass readers[] = {TPNGGraphic::ClassInfo(), TGIFGraphic::ClassInfo(), TTIFFGraphic::ClassInfo()};
    // why: damaged JPEG data in TIFF files shows the library's warnings in message boxes
    TApplication& app = *Application();
    const auto hook = app.MessageBoxHook;
    app.MessageBoxHook = [](const TMessageBoxRequest&) { return IDOK; };
    const QDir folder(QStringLiteral(ZENTU_TEST_SOURCE_DIR "/corpus/files"));
    std::size_t loads = 0, pictures = 0;
    for (const QFileInfo& info : folder.entryInfoList(QDir::Files, QDir::Name)) {
        const std::string original = ReadWholeFile(info.absoluteFilePath().toStdString());
        for (const std::string& bytes : Mutations(original, rounds)) {
            for (TGraphicClass reader : readers) {
                const auto started = std::chrono::steady_clock::now();
                try {
                    const auto image = LoadFromBytes(reader, bytes);
                    ++pictures;
                } catch (const Exception&) {
                    // the readers' errors and the stream read error
                }
                ++loads;
                const auto took = std::chrono::steady_clock::now() - started;
                ASSERT_LT(took, std::chrono::seconds(5)) << info.fileName().toStdString() << " with " << reader->ClassName;
            }
        }
    }
    app.MessageBoxHook = hook;
    EXPECT_GT(loads, 10000u);
    EXPECT_GT(pictures, 0u);
}

} // namespace

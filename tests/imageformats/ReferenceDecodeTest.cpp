// Pixel-by-pixel comparison of our readers with real decoders (pngtopam, giftopnm, libtiff through ImageMagick) on
// images made by real encoders (make_corpus.py): the committed corpus, and a larger one named by
// ZENTU_IMAGE_CORPUS when set. Where our readers convert on purpose differently, the expected
// value is derived from the reference as stated beside it.

#include "imageformats/ImageTestSupport.h"

#include "imageformats/common/GraphicStrings.h"

#include <gtest/gtest.h>

#include <QDir>

#include <cmath>

namespace {

std::vector<std::string> CorpusFiles()
{
    std::vector<std::string> files;
    QStringList folders{QStringLiteral(ZENTU_TEST_SOURCE_DIR "/corpus/files")};
    if (const QByteArray extra = qgetenv("ZENTU_IMAGE_CORPUS"); !extra.isEmpty())
        folders << QString::fromLocal8Bit(extra);
    for (const QString& folder : folders)
        for (const QFileInfo& info : QDir(folder).entryInfoList({"*.png", "*.gif", "*.tif"}, QDir::Files, QDir::Name))
            files.push_back(info.absoluteFilePath().toStdString());
    return files;
}

std::string TestName(const testing::TestParamInfo<std::string>& info)
{
    std::string name = QFileInfo(QString::fromStdString(info.param)).fileName().toStdString();
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c)))
            c = '_';
    return name + "_" + std::to_string(info.index);
}

bool EndsWith(const std::string& s, const std::string& tail)
{
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

class CorpusImage : public testing::TestWithParam<std::string> {};

TEST_P(CorpusImage, PixelsEqualTheReferenceDecode)
{
    const std::string file = GetParam();
    if (EndsWith(file, ".unsupported.tif")) {
        // Two-dimensional fax codings are refused as compressions the reader does not support.
        try {
            LoadWithDetectedReader(file);
            FAIL() << "loaded " << file;
        } catch (const EInvalidGraphic& e) {
            EXPECT_STREQ(e.what(), "Cannot load image. The compression scheme is not supported for TIF/TIFF files.");
        }
        return;
    }
    const TPNMImage reference = ReferenceDecode(file);
    ASSERT_TRUE(reference.Valid()) << "the reference decoder refused " << file;
    const std::unique_ptr<TImgLibGraphic> image = LoadWithDetectedReader(file);
    ASSERT_NE(image, nullptr) << "no reader detected for " << file;
    ASSERT_EQ(image->Width(), reference.Width);
    ASSERT_EQ(image->Height(), reference.Height);

    // A file gamma g is applied on purpose: level v shows as (v / 255)^(1 / (g × 2.2)).
    const bool gamma = image->ImageProperties().Flags & ioUseGamma;
    const double exponent = 1.0 / (static_cast<double>(image->ImageProperties().Gamma) * 2.2);
    const auto expected = [&](std::uint8_t v) {
        return gamma ? static_cast<std::uint8_t>(std::lrint(std::pow(v / 255.0, exponent) * 255)) : v;
    };
    // Alpha is kept for PNG truecolour with alpha; a PNG transparent colour (tRNS) becomes the
    // bitmap's transparent colour; grey with alpha drops it.
    const bool referenceAlpha = EndsWith(file, ".png") && (reference.Depth == 4 || reference.Depth == 2);
    const bool compareAlpha = referenceAlpha && image->PixelFormat() == TPixelFormat::pf32bit;
    const bool keyed = referenceAlpha && image->Transparent;
    int mismatches = 0;
    for (int y = 0; y < reference.Height && mismatches < 5; ++y)
        for (int x = 0; x < reference.Width && mismatches < 5; ++x) {
            const TColor c = image->Pixel(x, y);
            const bool grey = reference.Depth <= 2;
            std::uint8_t r = expected(Scaled(reference, x, y, 0));
            std::uint8_t g = expected(Scaled(reference, x, y, grey ? 0 : 1));
            std::uint8_t b = expected(Scaled(reference, x, y, grey ? 0 : 2));
            if (reference.TupleType == "CMYK") {
                // CMYK converts on purpose by 255 - S - K + S × K ÷ 255 for each of C, M and Y.
                const int k = Scaled(reference, x, y, 3);
                const auto channel = [k](int s) { return static_cast<std::uint8_t>(std::clamp(255 - s - k + s * k / 255, 0, 255)); };
                r = channel(r);
                g = channel(g);
                b = channel(b);
            }
            bool same = GetRValue(c) == r && GetGValue(c) == g && GetBValue(c) == b;
            if (compareAlpha)
                same = same && image->Alpha(x, y) == Scaled(reference, x, y, 3);
            if (keyed)
                same = same && (c == image->TransparentColor) == (reference.At(x, y, reference.Depth - 1) == 0);
            if (!same) {
                ++mismatches;
                ADD_FAILURE() << file << " pixel " << x << "," << y << ": ours " << GetRValue(c) << " " << GetGValue(c)
                              << " " << GetBValue(c) << " alpha " << int(image->Alpha(x, y)) << ", reference " << int(r)
                              << " " << int(g) << " " << int(b);
            }
        }
}

INSTANTIATE_TEST_SUITE_P(Corpus, CorpusImage, testing::ValuesIn(CorpusFiles()), TestName);

} // namespace

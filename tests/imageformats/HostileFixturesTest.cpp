// Small files that once crashed a reader or tripped a sanitizer, each kept beside the reader
// error it now ends in.

#include "imageformats/ImageTestSupport.h"

#include "imageformats/gif/GIFGraphic.h"
#include "imageformats/png/PNGGraphic.h"
#include "imageformats/tiff/TIFFGraphic.h"

#include "support/MutationFuzzer.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cctype>

namespace {

struct TFixture {
    const char* File;
    TGraphicClass (*Reader)();
    const char* Message;
};

class HostileFixtures : public testing::TestWithParam<TFixture> {};

TEST_P(HostileFixtures, EndInTheReadersError)
{
    const std::string bytes = ReadWholeFile(std::string(ZENTU_TEST_SOURCE_DIR "/hostile/") + GetParam().File);
    ASSERT_FALSE(bytes.empty());
    std::string message = "loaded";
    try {
        LoadFromBytes(GetParam().Reader(), bytes);
    } catch (const std::exception& e) {
        message = e.what();
    }
    EXPECT_EQ(message, GetParam().Message);
}

INSTANTIATE_TEST_SUITE_P(
    Files, HostileFixtures,
    testing::Values(
        // a bit depth of 0 once divided by zero when tRNS or bKGD scaled its levels
        TFixture{"png-depth0-trns.png", &TPNGGraphic::ClassInfo, "Invalid color format in PNG file."},
        TFixture{"png-depth0-bkgd.png", &TPNGGraphic::ClassInfo, "Invalid color format in PNG file."},
        // an image of width 0 on a screen of width 0 once decoded into no buffer at all
        TFixture{"gif-width0.gif", &TGIFGraphic::ClassInfo, "Cannot load image. Invalid or unexpected GIF image format."},
        // a fax row of 268 million pixels in 126 bytes once took the better part of a gigabyte
        TFixture{"tiff-fax-huge-row.tif", &TTIFFGraphic::ClassInfo,
                 "Cannot load image. Invalid or unexpected TIF/TIFF image format."}),
    [](const testing::TestParamInfo<TFixture>& info) {
        std::string name = info.param.File;
        for (char& c : name)
            if (!std::isalnum(static_cast<unsigned char>(c)))
                c = '_';
        return name;
    });

// The fixtures once more under the fuzzer's bounds, so that one that loads only after taking
// hundreds of megabytes fails too (the harness ends the run with the file named).
TEST(HostileFixtures, StayWithinTheCaseBounds)
{
    const std::vector<std::string> files = fuzz::ReadCorpus(ZENTU_TEST_SOURCE_DIR "/hostile");
    ASSERT_FALSE(files.empty());
    fuzz::TFuzzOptions options;
    options.Cases = 0;
    options.CaseMemoryBound = std::size_t(64) << 20;
    options.CaseTimeoutMs = 5000;
    const auto loadWithEach = [](const std::string& bytes) {
        for (TGraphicClass reader : {TPNGGraphic::ClassInfo(), TGIFGraphic::ClassInfo(), TTIFFGraphic::ClassInfo()}) {
            try {
                LoadFromBytes(reader, bytes);
            } catch (const Exception&) {
            }
        }
    };
    EXPECT_GE(fuzz::FuzzReader("hostile fixtures", files, loadWithEach, options), static_cast<int>(files.size()));
}

} // namespace

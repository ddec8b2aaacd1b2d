// The registry of picture file extensions and detection by content.

#include "imageformats/ImageTestSupport.h"

#include "imageformats/common/FileFormatList.h"
#include "imageformats/common/GraphicStrings.h"
#include "imageformats/gif/GIFGraphic.h"
#include "imageformats/png/PNGGraphic.h"
#include "imageformats/tiff/TIFFGraphic.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace {

const std::string PNGSignature = Hex("89 50 4E 47 0D 0A 1A 0A");

class Registry : public testing::Test {
protected:
    void SetUp() override { InitImgLibFormats(); }
    TFileFormatList& List() { return *FileFormatList(); }
};

TEST_F(Registry, StartUpOrderTriesTiffThenGifThenPng)
{
    std::vector<std::string> names;
    for (const auto& entry : List().Classes())
        names.push_back(entry->GraphicClass->ClassName);
    EXPECT_EQ(names, (std::vector<std::string>{"TBitmap", "TIcon", "TMetafile", "TJPEGImage", "TTIFFGraphic",
                                               "TGIFGraphic", "TPNGGraphic"}));
    EXPECT_EQ(List().Extensions().size(), 15u);
    EXPECT_EQ(TPicture::ClassOfExtension("/x/a.TIF"), TTIFFGraphic::ClassInfo());
}

TEST_F(Registry, SecondRegistrationOfAnExtensionFailsWithoutRegardToCase)
{
    try {
        List().AddExtension("PNG", "", "", 8, TPNGGraphic::ClassInfo());
        FAIL();
    } catch (const EInvalidGraphic& e) {
        EXPECT_STREQ(e.what(), "Attempt to register PNG twice.");
    }
    EXPECT_EQ(List().Extensions().size(), 15u);
}

TEST(FileFormatList, RemovingExtensionsUnregistersTheClassWithItsLast)
{
    static const TGraphicClassInfo dummy{"TDummy", nullptr, nullptr};
    TFileFormatList list;
    list.AddExtension("aa", "A files", "", 8, &dummy);
    list.AddExtension("ab", "", "", 8, &dummy);
    list.RemoveExtension("aa", &dummy);
    EXPECT_EQ(list.ClassIndex(&dummy), 0);
    EXPECT_EQ(TPicture::ClassOfExtension("x.ab"), &dummy);
    list.RemoveExtension("ab", &dummy);
    EXPECT_EQ(list.ClassIndex(&dummy), -1);
    EXPECT_EQ(TPicture::ClassOfExtension("x.ab"), nullptr);
    EXPECT_EQ(list.ExtensionIndex(""), -1);
}

struct TDetectCase {
    const char* Name;
    std::string Bytes;
    TGraphicClass Expected;
};

class Detection : public Registry, public testing::WithParamInterface<TDetectCase> {};

TEST_P(Detection, ByContentKeepingThePosition)
{
    TMemoryStream stream("pad" + GetParam().Bytes);
    stream.SetPosition(3);
    EXPECT_EQ(List().GraphicClassOfStream(stream), GetParam().Expected);
    EXPECT_EQ(stream.Position(), 3);
}

std::string BigTiff(std::uint32_t offset, std::size_t size)
{
    std::string bytes = "MM" + Hex("00 2A") + std::string(4, '\0');
    for (int i = 0; i < 4; ++i)
        bytes[4 + i] = static_cast<char>((offset >> (24 - 8 * i)) & 0xFF);
    bytes.resize(size, '\0');
    return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Detection,
    testing::Values(TDetectCase{"PngSignatureAlone", PNGSignature, nullptr},
                    TDetectCase{"PngSignaturePlusOne", PNGSignature + "x", TPNGGraphic::ClassInfo()},
                    TDetectCase{"GifLowerCase23", "gif87a" + std::string(17, '\0'), TGIFGraphic::ClassInfo()},
                    TDetectCase{"Gif22", "GIF89a" + std::string(16, '\0'), nullptr},
                    TDetectCase{"TiffOffsetInside", BigTiff(8, 100), TTIFFGraphic::ClassInfo()},
                    TDetectCase{"TiffOffsetOutside", BigTiff(100, 100), nullptr},
                    TDetectCase{"Jpeg", Hex("FF D8 FF E0") + std::string(30, '\0'), nullptr}),
    [](const testing::TestParamInfo<TDetectCase>& info) { return std::string(info.param.Name); });

TEST_F(Registry, FileContentWinsOverItsExtension)
{
    TempDir dir;
    const std::string png = ReadWholeFile(ZENTU_TEST_SOURCE_DIR "/corpus/files/rgb8.png");
    EXPECT_EQ(List().GraphicClassOfFile(dir.Write("picture.jpg", png)), TPNGGraphic::ClassInfo());
    EXPECT_EQ(List().GraphicClassOfFile(dir.Write("picture.png", Hex("FF D8 FF E0") + std::string(30, '\0'))), nullptr);
    EXPECT_THROW(List().GraphicClassOfFile(dir.File("missing.png")), EFOpenError);
}

} // namespace

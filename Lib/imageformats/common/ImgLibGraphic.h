#pragma once
// TImgLibGraphic: the base of the image readers. A platform bitmap that a reader fills from a
// file, with the image properties read from the header, the colour manager that turns the
// file's rows into bitmap rows, the stream position of the image and the progress rectangle.

#include "imageformats/common/GraphicColor.h"
#include "imageformats/common/ImgLibTypes.h"

#include "Platform/graphics/Picture.h"

#include <memory>
#include <string>

class TImgLibGraphic;

// The class reference of a reader: a picture class with a content test.
struct TImgLibGraphicClassInfo : TGraphicClassInfo {
    bool (*IsStreamOfThisFormat)(TStream& stream);
};

class TImgLibGraphic : public TBitmap {
public:
    TImgLibGraphic();
    ~TImgLibGraphic() override;

    static TGraphicClass ClassInfo();
    // Opens the file (denying other writers) and answers the content test of `cls`.
    static bool IsFileOfThisFormat(TGraphicClass cls, const std::string& fileName);
    // The base recognises nothing.
    static bool IsStreamOfThisFormat(TStream& stream);

    // Fills the image properties from the header without decoding pixels; the base clears them
    // and answers false.
    virtual bool ReadImageHeader(TStream& stream, int imageIndex);

    const TImageProperties& ImageProperties() const { return FImageProperties; }
    TColorManager& ColorManager() { return *FColorManager; }
    const TRect& ProgressRect() const { return FProgressRect; }

    void Assign(const TPersistent& source) override;
    std::unique_ptr<TGraphic> Clone() const override;

protected:
    // Raises EInvalidGraphic "Cannot load image. Invalid or unexpected %s image format.".
    [[noreturn]] static void InvalidImage(const char* formatName);
    // Raises EInvalidGraphic "Cannot load image. %s not supported for %s files." for compression.
    [[noreturn]] static void UnsupportedCompression(const char* formatName);
    // Refuses an image whose pixels cannot come from `available` bytes of data at a compression
    // ratio of at most `maxRatio`, or whose rows exceed the bitmap's limit, before anything
    // is allocated for it.
    static void CheckImageSize(std::uint64_t width, std::uint64_t height, std::uint64_t bitsPerPixel,
                               std::uint64_t available, std::uint64_t maxRatio, const char* formatName);
    // Reports progress with the image as sender.
    void Report(TProgressStage stage, std::uint8_t percent, const std::string& message = {});
    // The running stage after a finished row (percent from `row` of `height`), then the rectangle
    // moves down one row.
    void ReportRow(std::uint64_t row, std::uint64_t height);

    TImageProperties FImageProperties;
    std::int64_t FBasePosition = 0;
    TStream* FStream = nullptr;
    TRect FProgressRect;

private:
    std::unique_ptr<TColorManager> FColorManager;
};

#include "imageformats/common/ImgLibGraphic.h"

#include "imageformats/common/GraphicStrings.h"

#include "Platform/text/Format.h"

using namespace GraphicStrings;

TImgLibGraphic::TImgLibGraphic() : FColorManager(std::make_unique<TColorManager>()) {}

TImgLibGraphic::~TImgLibGraphic() = default;

TGraphicClass TImgLibGraphic::ClassInfo()
{
    static const TImgLibGraphicClassInfo info{
        {"TImgLibGraphic", BitmapClassInfo(), nullptr}, &TImgLibGraphic::IsStreamOfThisFormat};
    return &info;
}

bool TImgLibGraphic::IsFileOfThisFormat(TGraphicClass cls, const std::string& fileName)
{
    if (!InheritsFrom(cls, ClassInfo()))
        return false;
    TFileStream stream(fileName, fmOpenRead | fmShareDenyWrite);
    return static_cast<const TImgLibGraphicClassInfo*>(cls)->IsStreamOfThisFormat(stream);
}

bool TImgLibGraphic::IsStreamOfThisFormat(TStream&)
{
    return false;
}

bool TImgLibGraphic::ReadImageHeader(TStream&, int)
{
    FImageProperties = TImageProperties{};
    return false;
}

void TImgLibGraphic::Assign(const TPersistent& source)
{
    if (const auto* image = dynamic_cast<const TImgLibGraphic*>(&source))
        FImageProperties = image->FImageProperties;
    TBitmap::Assign(source);
}

std::unique_ptr<TGraphic> TImgLibGraphic::Clone() const
{
    return TBitmap::Clone();
}

void TImgLibGraphic::InvalidImage(const char* formatName)
{
    throw EInvalidGraphic(Format(gesInvalidImage, {formatName}));
}

void TImgLibGraphic::UnsupportedCompression(const char* formatName)
{
    throw EInvalidGraphic(Format(gesUnsupportedFeature, {gesCompression, formatName}));
}

void TImgLibGraphic::CheckImageSize(std::uint64_t width, std::uint64_t height, std::uint64_t bitsPerPixel,
                                    std::uint64_t available, std::uint64_t maxRatio, const char* formatName)
{
    constexpr std::uint64_t limit = std::uint64_t{1} << 31;
    if (width >= limit || height >= limit)
        InvalidImage(formatName);
    const std::uint64_t rowBytes = (width * bitsPerPixel + 7) / 8;
    if (rowBytes * height > TBitmap::MaxBytes || (rowBytes * height) / maxRatio > available)
        InvalidImage(formatName);
}

void TImgLibGraphic::Report(TProgressStage stage, std::uint8_t percent, const std::string& message)
{
    Progress(this, stage, percent, stage == TProgressStage::psRunning, FProgressRect, message);
}

void TImgLibGraphic::ReportRow(std::uint64_t row, std::uint64_t height)
{
    Report(TProgressStage::psRunning, static_cast<std::uint8_t>(height ? row * 100 / height : 100));
    FProgressRect.Top = FProgressRect.Bottom;
    ++FProgressRect.Bottom;
}

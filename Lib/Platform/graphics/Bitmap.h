#pragma once
// The class library's pictures: TGraphic, the base of every picture class with its progress
// event, and TBitmap, a device-independent bitmap with the platform's pixel formats (rows of
// 1, 4, 8, 15, 24 or 32 bits per pixel, top row first, each row padded to 4 bytes, colour
// order blue, green, red as the platform stores it), a palette and a transparent colour.
// EInvalidGraphic is the platform's error for picture data it cannot use.

#include "Platform/core/Component.h"
#include "Platform/core/Exceptions.h"
#include "Platform/core/Types.h"
#include "Platform/files/Streams.h"
#include "Platform/graphics/Colors.h"

#include <QImage>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

ZENTU_DECLARE_EXCEPTION(EInvalidGraphic, Exception);

enum class TProgressStage { psStarting, psRunning, psEnding };
using TProgressEvent = std::function<void(TObject* Sender, TProgressStage stage, std::uint8_t percentDone,
                                          bool redrawNow, const TRect& rect, const std::string& message)>;

class TGraphic : public TPersistent {
public:
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual bool Empty() const = 0;
    virtual void LoadFromStream(TStream& stream) = 0;
    // Opens the file for reading and loads it; the file's open error reaches the caller.
    virtual void LoadFromFile(const std::string& fileName);
    // The picture as Qt draws it.
    virtual QImage ToQImage() const = 0;
    // A copy that draws the same.
    virtual std::unique_ptr<TGraphic> Clone() const = 0;

    TProgressEvent OnProgress;

protected:
    void Progress(TObject* sender, TProgressStage stage, std::uint8_t percentDone, bool redrawNow,
                  const TRect& rect, const std::string& message);
};

enum class TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };

struct TPaletteEntry {
    std::uint8_t Red = 0, Green = 0, Blue = 0;
    bool operator==(const TPaletteEntry&) const = default;
};
using TPalette = std::vector<TPaletteEntry>;

class TBitmap : public TGraphic {
public:
    // The largest bitmap the class makes, in bytes of pixel rows.
    static constexpr std::uint64_t MaxBytes = std::uint64_t{1} << 30;

    int Width() const override { return FWidth; }
    int Height() const override { return FHeight; }
    bool Empty() const override { return FWidth == 0 || FHeight == 0; }

    TPixelFormat PixelFormat() const { return FPixelFormat; }
    // Changing the format keeps the size and clears the pixels.
    void SetPixelFormat(TPixelFormat format);
    // Bits per pixel of the format; 0 for the device and custom formats, which hold no pixels.
    static int BitsPerPixel(TPixelFormat format);
    // Bytes of one row of `width` pixels, padded to 4 bytes.
    static std::uint64_t RowBytes(TPixelFormat format, std::uint64_t width);
    // Raises EInvalidGraphic when the rows would exceed MaxBytes; new pixels are 0.
    void SetSize(int width, int height);
    // Releases the pixels and the palette; the format stays.
    void Clear();
    std::uint8_t* ScanLine(int row);
    const std::uint8_t* ScanLine(int row) const;
    int RowStride() const { return static_cast<int>(RowBytes(FPixelFormat, static_cast<std::uint64_t>(FWidth))); }

    const TPalette& Palette() const { return FPalette; }
    void SetPalette(TPalette palette) { FPalette = std::move(palette); }

    // Every pixel becomes `color` (indexed formats take the nearest palette entry).
    void Fill(TColor color);
    // The RGB colour of a pixel, through the palette for indexed formats.
    TColor Pixel(int x, int y) const;
    // The fourth byte of a 32-bit pixel, 255 for the other formats.
    std::uint8_t Alpha(int x, int y) const;

    bool Transparent = false;
    TColor TransparentColor = clNone;

    void Assign(const TPersistent& source) override;
    void LoadFromStream(TStream& stream) override;
    QImage ToQImage() const override;
    std::unique_ptr<TGraphic> Clone() const override;

protected:
    // Reads the stream's remaining bytes with Qt's reader of `format` into 32-bit pixels.
    void LoadWithQt(TStream& stream, const char* format);

private:
    std::uint8_t IndexAt(int x, int y) const;

    TPixelFormat FPixelFormat = TPixelFormat::pfDevice;
    int FWidth = 0;
    int FHeight = 0;
    std::vector<std::uint8_t> FBits;
    TPalette FPalette;
};

// A picture the platform reads through Qt's image readers (Windows bitmaps, icons, JPEG),
// held as a bitmap; an unreadable stream raises EInvalidGraphic.
class TQtReadBitmap : public TBitmap {
public:
    explicit TQtReadBitmap(const char* format) : FFormat(format) {}
    void LoadFromStream(TStream& stream) override;

private:
    const char* FFormat;
};

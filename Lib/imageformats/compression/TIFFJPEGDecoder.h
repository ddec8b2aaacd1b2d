#pragma once
// TTIFFJPEGDecoder: JPEG data of TIFF files (compression 7, TIFF technical note 2) through
// libjpeg. Each block is one strip or tile holding a complete JPEG image, after the file's
// shared JPEG tables; the decoded rows hold blue, green and red bytes.

#include "imageformats/compression/Decoder.h"

#include <functional>
#include <memory>
#include <string>

class TTIFFJPEGDecoder : public TDecoder {
public:
    explicit TTIFFJPEGDecoder(const TImageProperties& properties);
    ~TTIFFJPEGDecoder() override;

    void BeginDecoding() override;
    // The size every following block must have, in pixels.
    void SetBlockSize(std::uint32_t width, std::uint32_t height);
    void DecodeBlock(const std::uint8_t*& source, std::uint8_t*& target, std::uint32_t packedSize,
                     std::uint32_t unpackedSize) override;
    void EndDecoding() override;

    // Shows a warning of the library; by default a message box captioned "Warning".
    std::function<void(const std::string& text)> OnWarning;

    struct TState;

private:
    const TImageProperties& FProperties;
    std::unique_ptr<TState> FState;
    std::uint32_t FBlockWidth = 0, FBlockHeight = 0;
};

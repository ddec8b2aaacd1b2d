#pragma once
// The texts of the image formats: file-kind descriptions, errors and progress messages.

namespace GraphicStrings {
inline constexpr const char* gesBitmaps = "Windows bitmaps";
inline constexpr const char* gesRLEBitmaps = "Run length encoded Windows bitmaps";
inline constexpr const char* gesDIBs = "Device independant Windows bitmaps";
inline constexpr const char* gesIcons = "Windows icons";
inline constexpr const char* gesMetaFiles = "Windows metafiles";
inline constexpr const char* gesEnhancedMetaFiles = "Windows enhanced meta files";
inline constexpr const char* gesJPGImages = "JPG images";
inline constexpr const char* gesJFIFImages = "JFIF images";
inline constexpr const char* gesJPEImages = "JPE images";
inline constexpr const char* gesJPEGImages = "JPEG images";
inline constexpr const char* gesTIFF = "Tagged image file format images";
inline constexpr const char* gesMacTIFF = "Macintosh TIFF images";
inline constexpr const char* gesPCTIF = "PC TIF images";
inline constexpr const char* gesGFIFax = "GFI fax images";
inline constexpr const char* gesCompuserve = "CompuServe images";
inline constexpr const char* gesPortableNetworkGraphic = "Portable network graphic images";

inline constexpr const char* gesRegistration = "Attempt to register %s twice.";

inline constexpr const char* gesInvalidSampleCount = "Sample count per pixel does not correspond to the given color scheme.";
inline constexpr const char* gesInvalidSubSampling = "Subsampling value is invalid. Allowed are 1, 2 and 4.";
inline constexpr const char* gesVerticalSubSamplingError = "Vertical subsampling value must be <= horizontal subsampling value.";
inline constexpr const char* gesInvalidColorFormat = "Color depth is invalid. Bits per sample must be 1, 2, 4, 8 or 16.";
inline constexpr const char* gesIndexedNotSupported = "Conversion between indexed and non-indexed pixel formats is not supported.";
inline constexpr const char* gesConversionUnsupported = "Color conversion failed. Could not find a proper method.";

inline constexpr const char* gesPreparing = "Preparing...";
inline constexpr const char* gesLoadingData = "Loading data...";
inline constexpr const char* gesTransfering = "Transfering...";

inline constexpr const char* gesInvalidImage = "Cannot load image. Invalid or unexpected %s image format.";
inline constexpr const char* gesUnsupportedFeature = "Cannot load image. %s not supported for %s files.";
inline constexpr const char* gesCompression = "The compression scheme is";
inline constexpr const char* gesInvalidPNGColorFormat = "Invalid color format in %s file.";
inline constexpr const char* gesInvalidCRC = "Cannot load image. CRC error found in %s file.";
inline constexpr const char* gesCompressionError = "Cannot load image. Compression error found in %s file.";
inline constexpr const char* gesExtraCompressedData = "Cannot load image. Extra compressed data found in %s file.";
inline constexpr const char* gesInvalidPalette = "Cannot load image. Palette in %s file is invalid.";
inline constexpr const char* gesUnknownCriticalChunk = "Cannot load PNG image. Unexpected but critical chunk detected.";

inline constexpr const char* gesLZ77Error = "LZ77 decompression error.";
inline constexpr const char* gesJPEGStripSize = "Improper JPEG strip/tile size.";
inline constexpr const char* gesJPEGComponentCount = "Improper JPEG component count.";
inline constexpr const char* gesJPEGDataPrecision = "Improper JPEG data precision.";
inline constexpr const char* gesJPEGSamplingFactors = "Improper JPEG sampling factors.";
inline constexpr const char* gesJPEGBogusTableField = "Bogus JPEG tables field.";
inline constexpr const char* gesJPEGFractionalLine = "Fractional JPEG scanline unsupported.";
inline constexpr const char* gesJPEGEOI = "JPEG decompression error. Unexpected end of input.";
inline constexpr const char* gesWarning = "Warning";

inline constexpr const char* gesFormatTIFF = "TIF/TIFF";
inline constexpr const char* gesFormatGIF = "GIF";
inline constexpr const char* gesFormatPNG = "PNG";
} // namespace GraphicStrings

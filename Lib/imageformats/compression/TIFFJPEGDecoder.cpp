#include "imageformats/compression/TIFFJPEGDecoder.h"

#include "imageformats/common/GraphicStrings.h"

#include "Platform/core/Application.h"
#include "Platform/text/Format.h"

#include <csetjmp>
#include <cstdio>
#include <jpeglib.h>

using namespace GraphicStrings;

struct TTIFFJPEGDecoder::TState {
    jpeg_decompress_struct Info{};
    jpeg_error_mgr Errors{};
    jpeg_source_mgr Source{};
    std::jmp_buf Jump{};
    int ErrorCode = 0;
    bool Created = false;
    TTIFFJPEGDecoder* Owner = nullptr;
    const std::uint8_t* Data = nullptr;
    std::size_t Length = 0;
};

namespace {

constexpr JOCTET EndOfImage[2] = {0xFF, 0xD9};

TTIFFJPEGDecoder::TState& StateOf(j_common_ptr info)
{
    return *static_cast<TTIFFJPEGDecoder::TState*>(info->client_data);
}

void Warn(TTIFFJPEGDecoder::TState& state, const std::string& text)
{
    if (state.Owner->OnWarning)
        state.Owner->OnWarning(text);
}

void ErrorExit(j_common_ptr info)
{
    TTIFFJPEGDecoder::TState& state = StateOf(info);
    state.ErrorCode = info->err->msg_code;
    std::longjmp(state.Jump, 1);
}

void OutputMessage(j_common_ptr info)
{
    char text[JMSG_LENGTH_MAX];
    info->err->format_message(info, text);
    Warn(StateOf(info), text);
}

void InitSource(j_decompress_ptr) {}
void TermSource(j_decompress_ptr) {}

void SupplyEnd(j_decompress_ptr info)
{
    Warn(StateOf(reinterpret_cast<j_common_ptr>(info)), gesJPEGEOI);
    info->src->next_input_byte = EndOfImage;
    info->src->bytes_in_buffer = 2;
}

boolean FillInputBuffer(j_decompress_ptr info)
{
    SupplyEnd(info);
    return TRUE;
}

void SkipInputData(j_decompress_ptr info, long count)
{
    if (count <= 0)
        return;
    if (static_cast<std::size_t>(count) > info->src->bytes_in_buffer) {
        SupplyEnd(info);
        return;
    }
    info->src->next_input_byte += count;
    info->src->bytes_in_buffer -= static_cast<std::size_t>(count);
}

void SetSource(TTIFFJPEGDecoder::TState& state, const std::uint8_t* data, std::size_t length)
{
    state.Source.next_input_byte = data;
    state.Source.bytes_in_buffer = length;
}

// Reads the tables-only stream; false when it is anything else. The caller has set the jump.
bool ReadTables(TTIFFJPEGDecoder::TState& state)
{
    return jpeg_read_header(&state.Info, FALSE) == JPEG_HEADER_TABLES_ONLY;
}

} // namespace

TTIFFJPEGDecoder::TTIFFJPEGDecoder(const TImageProperties& properties)
    : FProperties(properties), FState(std::make_unique<TState>())
{
    FState->Owner = this;
    OnWarning = [](const std::string& text) {
        if (TApplication* app = Application())
            app->MessageBox(text, gesWarning, MB_OK | MB_ICONWARNING);
    };
}

TTIFFJPEGDecoder::~TTIFFJPEGDecoder()
{
    if (FState->Created)
        jpeg_destroy_decompress(&FState->Info);
}

void TTIFFJPEGDecoder::SetBlockSize(std::uint32_t width, std::uint32_t height)
{
    FBlockWidth = width;
    FBlockHeight = height;
}

void TTIFFJPEGDecoder::BeginDecoding()
{
    TState& state = *FState;
    state.Info.err = jpeg_std_error(&state.Errors);
    state.Errors.error_exit = ErrorExit;
    state.Errors.output_message = OutputMessage;
    state.Info.client_data = &state;
    if (setjmp(state.Jump))
        throw EInvalidGraphic(Format("JPEG error #%d", {state.ErrorCode}));
    jpeg_create_decompress(&state.Info);
    state.Created = true;
    state.Source.init_source = InitSource;
    state.Source.fill_input_buffer = FillInputBuffer;
    state.Source.skip_input_data = SkipInputData;
    state.Source.resync_to_restart = jpeg_resync_to_restart;
    state.Source.term_source = TermSource;
    state.Info.src = &state.Source;
    if (!FProperties.JPEGTableData.empty()) {
        SetSource(state, FProperties.JPEGTableData.data(), FProperties.JPEGTableData.size());
        if (!ReadTables(state))
            throw EGraphicCompression(gesJPEGBogusTableField);
    }
}

// The checks of one block, raising the message that names what does not fit.
static const char* BlockMismatch(const jpeg_decompress_struct& info, const TImageProperties& properties,
                                 std::uint32_t width, std::uint32_t height)
{
    if (info.image_width != width || info.image_height != height)
        return gesJPEGStripSize;
    const bool interleaved = properties.PlaneLayout != 2;
    if (info.num_components != (interleaved ? properties.SampleCount : 1))
        return gesJPEGComponentCount;
    if (info.data_precision != properties.SampleBits)
        return gesJPEGDataPrecision;
    int h = 1, v = 1;
    if (interleaved && properties.Scheme == schemeYCbCr && properties.ChromaSubsampling.size() >= 2) {
        h = properties.ChromaSubsampling[0];
        v = properties.ChromaSubsampling[1];
    }
    for (int c = 0; c < info.num_components; ++c) {
        const int wantH = c == 0 ? h : 1, wantV = c == 0 ? v : 1;
        if (info.comp_info[c].h_samp_factor != wantH || info.comp_info[c].v_samp_factor != wantV)
            return gesJPEGSamplingFactors;
    }
    return nullptr;
}

void TTIFFJPEGDecoder::DecodeBlock(const std::uint8_t*& source, std::uint8_t*& target, std::uint32_t packedSize,
                                   std::uint32_t unpackedSize)
{
    TState& state = *FState;
    FProduced = 0;
    if (!state.Created)
        return;
    const std::uint64_t rowBytes = std::uint64_t{FBlockWidth} * 3;
    const char* volatile mismatch = nullptr;
    volatile std::uint32_t rows = 0;
    if (setjmp(state.Jump)) {
        jpeg_abort_decompress(&state.Info);
        throw EInvalidGraphic(Format("JPEG error #%d", {state.ErrorCode}));
    }
    jpeg_abort_decompress(&state.Info);
    SetSource(state, source, packedSize);
    jpeg_read_header(&state.Info, TRUE);
    mismatch = BlockMismatch(state.Info, FProperties, FBlockWidth, FBlockHeight);
    if (!mismatch && (rowBytes == 0 || unpackedSize % rowBytes != 0))
        mismatch = gesJPEGFractionalLine;
    if (!mismatch) {
        if (FProperties.Scheme == schemeYCbCr)
            state.Info.jpeg_color_space = JCS_YCbCr;
        else if (state.Info.num_components == 3)
            state.Info.jpeg_color_space = JCS_RGB;
        state.Info.out_color_space = JCS_RGB;
        state.Info.raw_data_out = FALSE;
        jpeg_start_decompress(&state.Info);
        if (state.Info.output_components != 3)
            mismatch = gesJPEGComponentCount;
    }
    if (!mismatch) {
        const std::uint32_t wanted = static_cast<std::uint32_t>(unpackedSize / rowBytes);
        while (rows < wanted && state.Info.output_scanline < state.Info.output_height) {
            JSAMPROW row = target + std::uint64_t{rows} * rowBytes;
            if (jpeg_read_scanlines(&state.Info, &row, 1) != 1)
                break;
            for (std::uint64_t x = 0; x < rowBytes; x += 3)
                std::swap(row[x], row[x + 2]);
            rows = rows + 1;
        }
    }
    jpeg_abort_decompress(&state.Info);
    if (mismatch)
        throw EGraphicCompression(mismatch);
    FProduced = static_cast<std::uint32_t>(std::uint64_t{rows} * rowBytes);
}

void TTIFFJPEGDecoder::EndDecoding()
{
    if (FState->Created) {
        jpeg_destroy_decompress(&FState->Info);
        FState->Created = false;
    }
}

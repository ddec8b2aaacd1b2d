#include "TreeView/Source/stream/LTTreeData.h"

#include "TreeView/Source/core/LTErrors.h"

#include <vector>

namespace {
std::int32_t Int32At(std::string_view data, std::size_t pos)
{
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i)
        v |= static_cast<std::uint32_t>(static_cast<unsigned char>(data[pos + static_cast<std::size_t>(i)])) << (8 * i);
    return static_cast<std::int32_t>(v);
}

// One node block at `pos` that must end by `end`; answers where it ends. An explicit stack keeps
// deep data from exhausting the call stack.
std::size_t ValidateBlock(std::string_view data, std::size_t pos, std::size_t end, int version)
{
    struct TFrame {
        std::size_t BlockEnd;   // end of the node block being read
        std::size_t Cursor;     // next chunk header of that block
        std::size_t ChunkEnd;   // end of its node chunk while children are read, else 0
        std::uint32_t Children; // children still expected in the node chunk
    };
    const std::size_t bodySize = version >= 2 ? NodeBodySizeV2 : NodeBodySizeV1;
    std::vector<TFrame> stack;
    auto openBlock = [&](std::size_t at, std::size_t limit) {
        if (limit < at || limit - at < ChunkHeaderSize)
            RaiseTreeError(hcTFStreamTooSmall);
        if (Int32At(data, at) != 1)
            RaiseTreeError(hcTFCorruptStream1);
        const std::int32_t size = Int32At(data, at + 4);
        if (size < 0 || static_cast<std::size_t>(size) > limit - at - ChunkHeaderSize)
            RaiseTreeError(hcTFStreamTooSmall);
        if (stack.size() >= static_cast<std::size_t>(MaxTreeDataDepth))
            RaiseTreeError(hcTFCorruptStream2);
        stack.push_back({at + ChunkHeaderSize + static_cast<std::size_t>(size), at + ChunkHeaderSize, 0, 0});
    };
    openBlock(pos, end);
    std::size_t finished = 0;
    while (!stack.empty()) {
        TFrame& frame = stack.back();
        if (frame.ChunkEnd != 0) {
            // Reading the children of the node chunk.
            if (frame.Children > 0) {
                if (frame.Cursor >= frame.ChunkEnd)
                    RaiseTreeError(hcTFStreamTooSmall);
                --frame.Children;
                openBlock(frame.Cursor, frame.ChunkEnd);
                continue;
            }
            if (frame.Cursor != frame.ChunkEnd)
                RaiseTreeError(hcTFCorruptStream2);
            frame.ChunkEnd = 0;
        }
        if (frame.Cursor >= frame.BlockEnd) {
            finished = frame.BlockEnd;
            stack.pop_back();
            if (!stack.empty())
                stack.back().Cursor = finished;
            continue;
        }
        if (frame.BlockEnd - frame.Cursor < ChunkHeaderSize)
            RaiseTreeError(hcTFCorruptStream2);
        const std::int32_t type = Int32At(data, frame.Cursor);
        const std::int32_t size = Int32At(data, frame.Cursor + 4);
        const std::size_t body = frame.Cursor + ChunkHeaderSize;
        if (size < 0 || static_cast<std::size_t>(size) > frame.BlockEnd - body)
            RaiseTreeError(hcTFCorruptStream2);
        const std::size_t chunkEnd = body + static_cast<std::size_t>(size);
        if (type == 2) {
            if (static_cast<std::size_t>(size) < bodySize)
                RaiseTreeError(hcTFCorruptStream2);
            frame.Children = static_cast<std::uint32_t>(Int32At(data, body));
            frame.ChunkEnd = chunkEnd;
            frame.Cursor = body + bodySize;
            continue;
        }
        frame.Cursor = chunkEnd;
    }
    return finished;
}
} // namespace

std::size_t ValidateNodeBlocks(std::string_view blocks, int version, std::int64_t count)
{
    std::size_t pos = 0;
    while (pos < blocks.size() && count > 0) {
        --count;
        pos = ValidateBlock(blocks, pos, blocks.size(), version);
    }
    return pos;
}

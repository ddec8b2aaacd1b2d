#include "ExLib/run/dialogs/ExKnownFolders.h"

namespace {

using F = TFromDirectory;
constexpr TSpecialFolderInfo I(int csidl, std::uint32_t version = 0, bool ntOnly = false, bool byPath = false,
                               std::optional<TFromDirectory> fallback = std::nullopt)
{
    return TSpecialFolderInfo{csidl, version, ntOnly, byPath, fallback};
}
constexpr std::uint32_t V4_71 = 0x00040071, V4_72 = 0x00040072, V5 = 0x00050000, V6 = 0x00060000;

// In the order of TFromDirectory.
const TSpecialFolderInfo Table[] = {
    I(0x00), I(0x00), I(0x0A), I(0x03), I(0x00), I(0x10), I(0x11), I(0x14), I(0x13), I(0x12),
    I(0x05, 0, false, true), I(0x04), I(0x02), I(0x08), I(0x09), I(0x0B), I(0x07), I(0x15), I(0x1D),
    I(0x1E, 0, true), I(0x2E, 0, false, true), I(0x1F, 0, true), I(0x17, 0, true), I(0x18, 0, true), I(0x2D, 0, true),
    I(0x21, 0, false, true), I(0x06), I(0x22, 0, false, true), I(0x01), I(0x0D), I(0x1B), I(0x31),
    I(0x1A, V4_71, false, true), I(0x20, V4_72, false, true), I(0x30, V5, false, true), I(0x2F, V5, false, true),
    I(0x23, V5, false, true), I(0x1C, V5, false, true), I(0x27, V5, false, true, F::fdPersonal), I(0x28, V5),
    I(0x26, V5, false, true), I(0x2B, V5, true, true), I(0x25, V5, false, true), I(0x24, V5, false, true),
    I(0x3B, V6), I(0x35, V6, false, false, F::fdCommonDocuments), I(0x36, V6, false, false, F::fdCommonDocuments),
    I(0x37, V6, false, false, F::fdCommonDocuments), I(0x0C, V6, false, false, F::fdPersonal),
    I(0x0E, V6, false, false, F::fdPersonal), I(0x3E, V6), I(0x38, V6), I(0x39, V6), I(0x3A, V6), I(0x3D, V6),
};
static_assert(std::size(Table) == static_cast<size_t>(F::fdComputersNearMe) + 1);

} // namespace

const TSpecialFolderInfo& SpecialFolderInfo(TFromDirectory folder)
{
    return Table[static_cast<size_t>(folder)];
}

bool SpecialFolderSupported(TFromDirectory folder, std::uint32_t version)
{
    // The NT family is the only family here.
    return version >= SpecialFolderInfo(folder).MinVersion;
}

TFromDirectory ResolveSpecialFolder(TFromDirectory folder, std::uint32_t version)
{
    while (folder != F::fdNoSpecialFolder && !SpecialFolderInfo(folder).ByPath &&
           !SpecialFolderSupported(folder, version)) {
        const auto fallback = SpecialFolderInfo(folder).Fallback;
        if (!fallback)
            break;
        folder = *fallback;
    }
    return folder;
}

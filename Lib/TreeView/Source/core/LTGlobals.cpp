#include "TreeView/Source/core/LTGlobals.h"

#include "TreeView/Source/core/LTCheckImages.h"
#include "TreeView/Source/core/LTErrors.h"
#include "TreeView/Source/core/LTNode.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <algorithm>
#include <map>
#include <memory>
#include <mutex>

const TLTTreeClass BaseLazyTreeClass{"TBaseLazyTree", nullptr};
const TLTTreeClass CustomLazyStringTreeClass{"TCustomLazyStringTree", &BaseLazyTreeClass};

std::uint16_t LTReferenceFormatId = 0;
std::uint16_t LTDataFormatId = 0;
std::uint16_t HTMLFormatId = 0;
std::uint16_t RTFNoObjectsFormatId = 0;
std::uint16_t RTFFormatId = 0;
std::uint16_t CSVFormatId = 0;

bool TLTTreeClass::InheritsFrom(const TLTTreeClass* base) const
{
    for (const TLTTreeClass* c = this; c; c = c->Parent)
        if (c == base)
            return true;
    return false;
}

namespace {

const char* const StandardFormatNames[16] = {
    "Plain text", "Windows bitmap", "Windows metafile", "Symbolic link", "Data interchange format",
    "Tiff image", "OEM text", "DIB image", "Palette data", "Pen data", "Riff audio data", "Wav audio data",
    "Unicode text", "Enhanced metafile image", "File name(s)", "Locale descriptor",
};

struct TFormatNames {
    std::mutex Lock; // why: drag and drop may ask for names while another tree registers
    std::map<std::string, std::uint16_t> Ids;
    std::map<std::uint16_t, std::string> Names;
};

TFormatNames& FormatNames()
{
    static TFormatNames names;
    return names;
}

bool SameTextNoCase(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

std::unique_ptr<TClipboardFormatList>& FormatListSlot()
{
    static std::unique_ptr<TClipboardFormatList> list;
    return list;
}

bool GlobalsReady = false;

void FinalizeTreeGlobals()
{
    if (!GlobalsReady)
        return;
    FreeCheckImageSets();
    GlobalsReady = false;
}

} // namespace

std::uint16_t RegisterClipboardFormat(const std::string& name)
{
    TFormatNames& names = FormatNames();
    std::lock_guard lock(names.Lock);
    for (const auto& [known, id] : names.Ids)
        if (SameTextNoCase(known, name))
            return id;
    const auto id = static_cast<std::uint16_t>(0xC000 + names.Ids.size());
    names.Ids.emplace(name, id);
    names.Names.emplace(id, name);
    return id;
}

std::string ClipboardFormatName(std::uint16_t id)
{
    if (id >= 1 && id <= 16)
        return StandardFormatNames[id - 1];
    TFormatNames& names = FormatNames();
    std::lock_guard lock(names.Lock);
    const auto it = names.Names.find(id);
    return it == names.Names.end() ? std::string() : it->second;
}

QString MimeTypeOfFormat(std::uint16_t id)
{
    if (id == CF_TEXT || id == CF_OEMTEXT || id == CF_UNICODETEXT)
        return QStringLiteral("text/plain");
    const std::string name = ClipboardFormatName(id);
    if (name == "HTML Format")
        return QStringLiteral("text/html");
    if (name == "Rich Text Format")
        return QStringLiteral("text/rtf");
    if (name == "CSV")
        return QStringLiteral("text/csv");
    // A format registered under a MIME type ("text/uri-list") travels as that type.
    if (name.find('/') != std::string::npos)
        return QString::fromStdString(name);
    QString type = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())).toLower();
    type.replace(QLatin1Char(' '), QLatin1Char('-'));
    return QStringLiteral("application/x-zentu-") + type;
}

void TClipboardFormatList::AddEntry(const std::string& description, const TLTTreeClass* treeClass,
                                    const TFormatEtc& formatEtc, std::int32_t priority)
{
    FEntries.push_back({description, treeClass, priority, formatEtc});
    std::stable_sort(FEntries.begin(), FEntries.end(),
                     [](const auto& a, const auto& b) { return a.Precedence < b.Precedence; });
}

void TClipboardFormatList::ClearEntries()
{
    FEntries.clear();
}

TFormatEtcArray TClipboardFormatList::FormatsForClass(const TLTTreeClass* treeClass,
                                                      const std::vector<std::string>* allowedNames) const
{
    TFormatEtcArray result;
    for (const auto& entry : FEntries) {
        if (!treeClass || !treeClass->InheritsFrom(entry.OwnerClass))
            continue;
        if (allowedNames &&
            std::none_of(allowedNames->begin(), allowedNames->end(),
                         [&](const std::string& name) { return SameTextNoCase(name, entry.FormatName); }))
            continue;
        result.push_back(entry.FormatSpec);
    }
    return result;
}

std::optional<TClipboardFormatList::TFound> TClipboardFormatList::FindByDescription(const std::string& name) const
{
    for (auto it = FEntries.rbegin(); it != FEntries.rend(); ++it)
        if (SameTextNoCase(it->FormatName, name))
            return TFound{it->OwnerClass, it->FormatSpec.cfFormat};
    return std::nullopt;
}

TClipboardFormatList& RegisteredTreeFormats()
{
    auto& slot = FormatListSlot();
    if (!slot)
        slot = std::make_unique<TClipboardFormatList>();
    return *slot;
}

void RegisterTreeClipboardFormat(std::uint16_t formatId, const TLTTreeClass* treeClass, std::int32_t priority)
{
    if (formatId == 0)
        return;
    const TFormatEtc format{formatId, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    RegisteredTreeFormats().AddEntry(ClipboardFormatName(formatId), treeClass, format, priority);
}

std::uint16_t RegisterNamedTreeClipboardFormat(const std::string& description, const TLTTreeClass* treeClass,
                                               std::int32_t priority, std::int32_t index, std::uint32_t aspect,
                                               const void* targetDevice, std::uint32_t media)
{
    const std::uint16_t id = RegisterClipboardFormat(description);
    RegisteredTreeFormats().AddEntry(description, treeClass, {id, targetDevice, aspect, index, media}, priority);
    return id;
}

void InitializeTreeGlobals()
{
    if (GlobalsReady)
        return;
    GlobalsReady = true;
    LTReferenceFormatId = RegisterClipboardFormat("Lazy Tree Reference");
    CreateCheckImageSets();
    LTDataFormatId = RegisterNamedTreeClipboardFormat("Lazy Tree Data", &BaseLazyTreeClass, 50);
    HTMLFormatId = RegisterNamedTreeClipboardFormat("HTML Format", &CustomLazyStringTreeClass, 80);
    RTFNoObjectsFormatId =
        RegisterNamedTreeClipboardFormat("Rich Text Format Without Objects", &CustomLazyStringTreeClass, 84);
    RTFFormatId = RegisterNamedTreeClipboardFormat("Rich Text Format", &CustomLazyStringTreeClass, 85);
    CSVFormatId = RegisterNamedTreeClipboardFormat("CSV", &CustomLazyStringTreeClass, 90);
    RegisterTreeClipboardFormat(CF_TEXT, &CustomLazyStringTreeClass, 100);
    RegisterTreeClipboardFormat(CF_UNICODETEXT, &CustomLazyStringTreeClass, 95);
    // why: the image lists hold pixmaps, which must go while the application object still exists.
    qAddPostRoutine(FinalizeTreeGlobals);
}

bool TreeGlobalsReady()
{
    return GlobalsReady;
}

TBaseLazyTree* OwningTreeOf(PLazyNode node)
{
    LTAssert(node != nullptr, "Node must not be nil.");
    while (node->NextLink != node)
        node = node->ParentLink;
    return reinterpret_cast<TBaseLazyTree*>(node->ParentLink);
}

TRect NormalizeRect(const TRect& r)
{
    return {std::min(r.Left, r.Right), std::min(r.Top, r.Bottom), std::max(r.Left, r.Right),
            std::max(r.Top, r.Bottom)};
}

void SortNodePointers(PLazyNode* nodes, int l, int r)
{
    if (l >= r)
        return;
    std::sort(nodes + l, nodes + r + 1,
              [](PLazyNode a, PLazyNode b) { return reinterpret_cast<std::uintptr_t>(a) < reinterpret_cast<std::uintptr_t>(b); });
}

QString ShortenWithEllipsis(const QFontMetrics& metrics, const QString& s, int width, bool rightToLeft,
                            int ellipsisWidth)
{
    const QString ellipsis = QStringLiteral("...");
    if (s.isEmpty() || width <= 0)
        return {};
    if (ellipsisWidth == 0)
        ellipsisWidth = metrics.horizontalAdvance(ellipsis);
    if (ellipsisWidth >= width)
        return {};
    const int n = static_cast<int>(s.size());
    if (!rightToLeft) {
        int lo = 0;
        int hi = n - 1;
        while (lo < hi) {
            const int c = (lo + hi + 1) / 2;
            if (metrics.horizontalAdvance(s.left(c)) + ellipsisWidth > width)
                hi = c - 1;
            else
                lo = c;
        }
        return s.left(lo) + ellipsis;
    }
    int lo = 0;
    int hi = n - 1;
    while (lo < hi) {
        const int m = (lo + hi) / 2;
        if (metrics.horizontalAdvance(s.mid(m)) + ellipsisWidth > width)
            lo = m + 1;
        else
            hi = m;
    }
    return ellipsis + s.mid(lo);
}

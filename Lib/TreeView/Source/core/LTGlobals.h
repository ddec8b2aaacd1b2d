#pragma once
// Process-wide services of the tree view: the registry of clipboard formats that tree classes
// render, the one-time set-up of the shared resources, and small routines several parts use.

#include "TreeView/Source/core/LTTypes.h"

#include <QString>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class QFontMetrics;

// A tree class as the format registry knows it: a name and the class it derives from.
struct TLTTreeClass {
    const char* Name;
    const TLTTreeClass* Parent;
    // True for this class and every class derived from `base`.
    bool InheritsFrom(const TLTTreeClass* base) const;
};
extern const TLTTreeClass BaseLazyTreeClass;
extern const TLTTreeClass CustomLazyStringTreeClass;

// A clipboard format description: the format id, the target device (always none here), the
// aspect, the index and the storage media the format travels in.
struct TFormatEtc {
    std::uint16_t cfFormat = 0;
    const void* ptd = nullptr;
    std::uint32_t dwAspect = 0;
    std::int32_t lindex = -1;
    std::uint32_t tymed = 0;
    bool operator==(const TFormatEtc&) const = default;
};
using TFormatEtcArray = std::vector<TFormatEtc>;

enum : std::uint32_t { DVASPECT_CONTENT = 1 };
enum : std::uint32_t { TYMED_HGLOBAL = 1, TYMED_ISTREAM = 4 };
enum : std::uint16_t { CF_TEXT = 1, CF_OEMTEXT = 7, CF_UNICODETEXT = 13 };

// Clipboard formats of this process. The same name always yields the same id; ids of named
// formats start at 0xC000, ids 1 to 16 are the standard formats.
std::uint16_t RegisterClipboardFormat(const std::string& name);
// The name of a registered format or the description of a standard one; empty when unknown.
std::string ClipboardFormatName(std::uint16_t id);
// The MIME type a format travels as through Qt's clipboard and drag and drop (a format named
// by a MIME type travels as that type).
QString MimeTypeOfFormat(std::uint16_t id);

struct TClipboardFormatListEntry {
    std::string FormatName;
    const TLTTreeClass* OwnerClass = nullptr;
    std::int32_t Precedence = 0;
    TFormatEtc FormatSpec;
};

// The formats tree classes can render, ordered by ascending precedence.
class TClipboardFormatList {
public:
    void AddEntry(const std::string& description, const TLTTreeClass* treeClass, const TFormatEtc& formatEtc,
                  std::int32_t priority);
    void ClearEntries();
    // Every entry, in list order, whose owner class is `treeClass` or an ancestor of it and,
    // when `allowedNames` is given, whose name that list holds.
    TFormatEtcArray FormatsForClass(const TLTTreeClass* treeClass,
                                    const std::vector<std::string>* allowedNames = nullptr) const;
    struct TFound {
        const TLTTreeClass* TreeClass;
        std::uint16_t FormatId;
    };
    // The last entry whose name equals `name` without regard to letter case.
    std::optional<TFound> FindByDescription(const std::string& name) const;
    const std::vector<TClipboardFormatListEntry>& Entries() const { return FEntries; }

private:
    std::vector<TClipboardFormatListEntry> FEntries;
};

// The registry shared by all trees (created on first use).
TClipboardFormatList& RegisteredTreeFormats();
// Registers a format by id: ids 1 to 16 take the standard description, higher ids their
// registered name; id 0 registers nothing.
void RegisterTreeClipboardFormat(std::uint16_t formatId, const TLTTreeClass* treeClass, std::int32_t priority);
std::uint16_t RegisterNamedTreeClipboardFormat(const std::string& description, const TLTTreeClass* treeClass,
                                               std::int32_t priority, std::int32_t index = -1,
                                               std::uint32_t aspect = DVASPECT_CONTENT,
                                               const void* targetDevice = nullptr,
                                               std::uint32_t media = TYMED_HGLOBAL);

// Format ids set up by InitializeTreeGlobals.
extern std::uint16_t LTReferenceFormatId;
extern std::uint16_t LTDataFormatId;
extern std::uint16_t HTMLFormatId;
extern std::uint16_t RTFNoObjectsFormatId;
extern std::uint16_t RTFFormatId;
extern std::uint16_t CSVFormatId;

// The header's column-split cursor number.
constexpr TCursor crHeaderSplit = 100;

// Set-up on the first tree's construction (formats and the check image sets); the tear-down
// runs when the application object goes.
void InitializeTreeGlobals();
bool TreeGlobalsReady();

// The tree a node belongs to: walks up to the hidden root, whose parent link holds the tree.
TBaseLazyTree* OwningTreeOf(PLazyNode node);
TRect NormalizeRect(const TRect& r);
// Sorts node pointers ascending by address between indices l and r (inclusive).
void SortNodePointers(PLazyNode* nodes, int l, int r);
// `s` shortened to fit `width` pixels behind or in front of "..." (right to left); callers use
// it for texts that do not fit. `ellipsisWidth` 0 measures "...".
QString ShortenWithEllipsis(const QFontMetrics& metrics, const QString& s, int width, bool rightToLeft,
                            int ellipsisWidth = 0);

// TNamespace: construction, folders, attributes and names.

#include "ShellBrowsing/Source/namespace/Namespace.h"

#include "ShellBrowsing/Source/common/ShellTexts.h"
#include "ShellBrowsing/Source/common/WideStrings.h"
#include "ShellBrowsing/Source/namespace/ItemTexts.h"
#include "ShellBrowsing/Source/namespace/ShellLocations.h"

#include <QMenu>

TNamespace::TNamespace(PItemIDList pidl, TNamespace* parent)
{
    const TPIDLManager& m = PIDLMgr();
    if (parent) {
        FParent = parent;
        if (m.IsDesktopFolder(parent->AbsolutePIDL())) {
            FAbsolutePIDL = pidl;
            FRelativePIDL = m.GetPointerToLastID(pidl);
        } else {
            FAbsolutePIDL = m.AppendPIDL(parent->AbsolutePIDL(), pidl);
            FRelativePIDL = m.GetPointerToLastID(FAbsolutePIDL);
            m.FreePIDL(pidl);
        }
    } else if (!pidl || m.IsDesktopFolder(pidl)) {
        FAbsolutePIDL = pidl ? pidl : MakeDesktopPIDL();
        FRelativePIDL = FAbsolutePIDL;
    } else {
        FAbsolutePIDL = pidl;
        FRelativePIDL = m.GetPointerToLastID(pidl);
    }
}

std::unique_ptr<TNamespace> TNamespace::CreateFromFileName(const std::string& pathBytes)
{
    PItemIDList pidl = PathToPIDL(pathBytes);
    if (!pidl)
        throw EVSTInvalidFileName(ShellTexts::InvalidFileName);
    return std::make_unique<TNamespace>(pidl, nullptr);
}

std::unique_ptr<TNamespace> TNamespace::CreateFromFileName(const QString& path)
{
    return CreateFromFileName(::PathBytes(path));
}

TNamespace::~TNamespace()
{
    if (FreePIDLOnDestroy())
        PIDLFree(FAbsolutePIDL);
}

void TNamespace::SetFreePIDLOnDestroy(bool value)
{
    FFlags = value ? (FFlags | FlagFreePIDL) : (FFlags & ~FlagFreePIDL);
}

bool TNamespace::IsDesktop() const
{
    return PIDLMgr().IsDesktopFolder(FAbsolutePIDL);
}

bool TNamespace::IsRecycleBin()
{
    if (!(FFlags & FlagRecycleBinKnown)) {
        const bool trash = PIDLMgr().IDCount(FAbsolutePIDL) == 1 && ItemKind(FAbsolutePIDL) == TItemKind::Trash;
        FFlags |= FlagRecycleBinKnown | (trash ? FlagRecycleBin : 0);
    }
    return FFlags & FlagRecycleBin;
}

bool TNamespace::IsMyComputer() const
{
    return PIDLMgr().IDCount(FAbsolutePIDL) == 1 && ItemKind(FAbsolutePIDL) == TItemKind::Computer;
}

std::unique_ptr<TNamespace> TNamespace::CloneNamespace(bool ownsPIDL) const
{
    auto clone = std::make_unique<TNamespace>(PIDLMgr().CopyPIDL(FAbsolutePIDL), nullptr);
    clone->SetFreePIDLOnDestroy(ownsPIDL);
    return clone;
}

PShellFolder TNamespace::ParentShellFolder()
{
    if (FParent)
        return FParent->ShellFolder();
    if (IsDesktop())
        return DesktopShellFolder();
    FOwnedParent = std::make_unique<TNamespace>(PIDLMgr().StripLastID(PIDLMgr().CopyPIDL(FAbsolutePIDL)), nullptr);
    FParent = FOwnedParent.get();
    FFlags |= FlagOwnsParent;
    return FParent->ShellFolder();
}

PShellFolder TNamespace::ShellFolder()
{
    if (!FShellFolderTried) {
        FShellFolderTried = true;
        if (IsDesktop()) {
            FShellFolder = DesktopShellFolder();
        } else if (FParent) {
            if (PShellFolder parent = FParent->ShellFolder())
                FShellFolder = parent->BindToObject(FRelativePIDL);
        } else {
            FShellFolder = BindFolder(FAbsolutePIDL);
        }
    }
    return FShellFolder;
}

// ---- attributes

bool TNamespace::TestAttributesOf(std::uint32_t mask)
{
    const PShellFolder folder = ParentShellFolder();
    return folder && (folder->GetAttributesOf(FRelativePIDL, mask) & mask) == mask;
}

bool TNamespace::CachedAttribute(TValid bit, std::uint16_t cachedBit, std::uint32_t mask)
{
    if (!Valid(bit)) {
        if (TestAttributesOf(mask))
            FCachedBits |= cachedBit;
        else
            FCachedBits &= static_cast<std::uint16_t>(~cachedBit);
        SetValid(bit);
    }
    return FCachedBits & cachedBit;
}

bool TNamespace::FindDataAttr(std::uint32_t attribute)
{
    const TItemData* data = IsFileSystemItem() ? FindData() : nullptr;
    return data && (data->Attributes & attribute);
}

bool TNamespace::IsArchiveAttr() { return FindDataAttr(FILE_ATTRIBUTE_ARCHIVE); }
bool TNamespace::IsDirectoryAttr() { return FindDataAttr(FILE_ATTRIBUTE_DIRECTORY); }
bool TNamespace::IsHiddenAttr() { return FindDataAttr(FILE_ATTRIBUTE_HIDDEN); }
bool TNamespace::IsNormalAttr() { return FindDataAttr(FILE_ATTRIBUTE_NORMAL); }
bool TNamespace::IsOfflineAttr() { return FindDataAttr(FILE_ATTRIBUTE_OFFLINE); }
bool TNamespace::IsReadOnlyAttr() { return FindDataAttr(FILE_ATTRIBUTE_READONLY); }
bool TNamespace::IsSystemAttr() { return FindDataAttr(FILE_ATTRIBUTE_SYSTEM); }
bool TNamespace::IsTemporaryAttr() { return FindDataAttr(FILE_ATTRIBUTE_TEMPORARY); }

bool TNamespace::IsCompressedAttr()
{
    if (!Valid(vIsCompressed)) {
        if (FindDataAttr(FILE_ATTRIBUTE_COMPRESSED))
            FCachedBits |= 0x400;
        SetValid(vIsCompressed);
    }
    return FCachedBits & 0x400;
}

QString TNamespace::AttributesText()
{
    const TItemData* data = IsFileSystemItem() ? FindData() : nullptr;
    return data ? ::AttributesText(data->Attributes) : QString();
}

bool TNamespace::IsFileSystemItem() { return CachedAttribute(vIsFileSystem, 0x0001, SFGAO_FILESYSTEM); }
bool TNamespace::IsFolderItem() { return CachedAttribute(vIsFolder, 0x0002, SFGAO_FOLDER); }
bool TNamespace::CanDeleteItem() { return CachedAttribute(vCanDelete, 0x0004, SFGAO_CANDELETE); }
bool TNamespace::CanRenameItem() { return CachedAttribute(vCanRename, 0x0008, SFGAO_CANRENAME); }
bool TNamespace::IsHiddenItem() { return CachedAttribute(vIsHidden, 0x0010, SFGAO_HIDDEN); }
bool TNamespace::CanCopyItem() { return CachedAttribute(vCanCopy, 0x0020, SFGAO_CANCOPY); }
bool TNamespace::CanMoveItem() { return CachedAttribute(vCanMove, 0x0040, SFGAO_CANMOVE); }
bool TNamespace::CanLinkItem() { return CachedAttribute(vCanLink, 0x0080, SFGAO_CANLINK); }
bool TNamespace::IsShellLinkItem() { return CachedAttribute(vIsShellLink, 0x0100, SFGAO_LINK); }
bool TNamespace::IsFileSystemAncestor()
{
    return CachedAttribute(vIsFileSystemAncestor, 0x0200, SFGAO_FILESYSANCESTOR);
}

bool TNamespace::AcceptsDrops() { return TestAttributesOf(SFGAO_DROPTARGET) || IsDesktop(); }
bool TNamespace::HasPropertySheet() { return TestAttributesOf(SFGAO_HASPROPSHEET); }
bool TNamespace::HasSubFolders() { return TestAttributesOf(SFGAO_HASSUBFOLDER); }
bool TNamespace::HasNewContent() { return TestAttributesOf(SFGAO_NEWCONTENT); }
bool TNamespace::IsNonEnumerated() { return TestAttributesOf(SFGAO_NONENUMERATED); }
bool TNamespace::IsReadOnlyItem() { return TestAttributesOf(SFGAO_READONLY); }
bool TNamespace::IsRemovableItem() { return TestAttributesOf(SFGAO_REMOVABLE); }
bool TNamespace::IsSharedItem() { return TestAttributesOf(SFGAO_SHARE); }

// ---- names

QString TNamespace::DisplayNameOf(std::uint32_t flags)
{
    const PShellFolder folder = ParentShellFolder();
    return folder ? DisplayText(folder->GetDisplayNameOf(FRelativePIDL, flags)) : QString();
}

QString TNamespace::CachedName(TValid bit, QString& text, std::uint32_t flags)
{
    if (!Valid(bit)) {
        text = DisplayNameOf(flags);
        SetValid(bit);
    }
    return text;
}

QString TNamespace::NameForAddressBar() { return DisplayNameOf(SHGDN_FORADDRESSBAR); }
QString TNamespace::NameForAddressBarInFolder() { return DisplayNameOf(SHGDN_FORADDRESSBAR | SHGDN_INFOLDER); }
QString TNamespace::NameForEditing() { return DisplayNameOf(SHGDN_FOREDITING); }
QString TNamespace::NameForEditingInFolder() { return DisplayNameOf(SHGDN_FOREDITING | SHGDN_INFOLDER); }
QString TNamespace::ParsingPath() { return DisplayNameOf(SHGDN_FORPARSING); }
QString TNamespace::ParsingNameInFolder()
{
    return IsDesktop() ? ParsingPath() : DisplayNameOf(SHGDN_FORPARSING | SHGDN_INFOLDER);
}
QString TNamespace::DisplayNameInFolder() { return CachedName(vInFolderName, FTextInFolderName, SHGDN_INFOLDER); }
QString TNamespace::DisplayNameNormal() { return CachedName(vNormalName, FTextNormalName, SHGDN_NORMAL); }
QString TNamespace::ParsingPathForAddressBar()
{
    return CachedName(vParsingAddressBar, FTextParsingAddressBar, SHGDN_FORPARSING | SHGDN_FORADDRESSBAR);
}
QString TNamespace::ParsingNameInFolderForAddressBar()
{
    return DisplayNameOf(SHGDN_FORPARSING | SHGDN_FORADDRESSBAR | SHGDN_INFOLDER);
}

QString TNamespace::ExtensionText()
{
    return ExtractFileExtW(ParsingNameInFolder());
}

QString TNamespace::InfoTipText()
{
    if (!IsFileSystemItem())
        return FileTypeText();
    QString tip = QStringLiteral("Type: ") + FileTypeText();
    if (!IsFolderItem())
        tip += QStringLiteral("\nSize: ") + SizeText();
    const QString modified = ModifiedText();
    if (!modified.isEmpty())
        tip += QStringLiteral("\nDate Modified: ") + modified;
    return tip;
}

std::string TNamespace::PathBytes()
{
    if (IsDesktop())
        return PIDLToFileSystemPath(FAbsolutePIDL);
    const PShellFolder folder = ParentShellFolder();
    return folder ? folder->ChildPath(FRelativePIDL) : std::string();
}

QString TNamespace::CurrentContextMenuVerb(int command) const
{
    if (!CurrentContextMenu || command == 0 || command == -1)
        return {};
    const QList<QAction*> actions = CurrentContextMenu->findChildren<QAction*>();
    for (const QAction* action : actions)
        if (action->property("zentuCommand").toInt() == command)
            return action->property("zentuVerb").toString();
    return {};
}

QString PIDLToPath(PCItemIDList pidl)
{
    if (!pidl)
        return {};
    TNamespace item(const_cast<PItemIDList>(pidl), nullptr);
    item.SetFreePIDLOnDestroy(false);
    return item.ParsingPath();
}

TPIDLArray NamespaceArrayToRelativePIDLs(const TNamespaceArray& items)
{
    TPIDLArray lists;
    for (TNamespace* item : items)
        lists.push_back(item->RelativePIDL());
    return lists;
}

TPIDLArray NamespaceArrayToAbsolutePIDLs(const TNamespaceArray& items)
{
    TPIDLArray lists;
    for (TNamespace* item : items)
        lists.push_back(item->AbsolutePIDL());
    return lists;
}

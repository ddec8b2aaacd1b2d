#include "TreeView/Source/transfer/LTDataObject.h"

#include "TreeView/Source/core/LazyTree.h"

#include <QCoreApplication>
#include <QtEndian>

// ---- the enumerator

int TEnumFormatEtc::Next(std::size_t count, TFormatEtcArray& out, std::size_t* fetched)
{
    const std::size_t n = std::min(count, FFormats.size() - std::min(FIndex, FFormats.size()));
    out.assign(FFormats.begin() + static_cast<std::ptrdiff_t>(FIndex),
               FFormats.begin() + static_cast<std::ptrdiff_t>(FIndex + n));
    FIndex += n;
    if (fetched)
        *fetched = n;
    return n > 0 ? S_OK : S_FALSE;
}

int TEnumFormatEtc::Skip(std::size_t count)
{
    if (FIndex + count > FFormats.size())
        return S_FALSE;
    FIndex += count;
    return S_OK;
}

int TEnumFormatEtc::Reset()
{
    FIndex = 0;
    return S_OK;
}

int TEnumFormatEtc::Clone(std::unique_ptr<TEnumFormatEtc>& out) const
{
    out = std::make_unique<TEnumFormatEtc>(FFormats, FIndex);
    return S_OK;
}

// ---- the data object

bool SameFormatEtc(const TFormatEtc& a, const TFormatEtc& b)
{
    return a.cfFormat == b.cfFormat && a.ptd == b.ptd && a.dwAspect == b.dwAspect && a.lindex == b.lindex &&
           (a.tymed & b.tymed) != 0;
}

TLTDataObject::TLTDataObject(TBaseLazyTree* owner, bool forClipboard) : FOwner(owner), FForClipboard(forClipboard)
{
    if (owner)
        owner->CollectClipboardFormats(FFormats);
}

TLTDataObject::~TLTDataObject()
{
    if (FForClipboard && FOwner && !FOwner->TreeStates().Contains(tsClipboardFlushing))
        FOwner->DropCutCopyMarks();
}

int TLTDataObject::QueryGetData(const TFormatEtc& format) const
{
    int result = DV_E_FORMATETC;
    for (const TFormatEtc& entry : FFormats) {
        if (entry.cfFormat != format.cfFormat)
            continue;
        if ((entry.tymed & format.tymed) == 0)
            result = DV_E_TYMED;
        else if (entry.dwAspect != format.dwAspect)
            result = DV_E_DVASPECT;
        else if (entry.lindex != format.lindex)
            result = DV_E_LINDEX;
        else
            return S_OK;
    }
    return result;
}

int TLTDataObject::GetData(const TFormatEtc& format, QByteArray& medium)
{
    medium.clear();
    if (format.cfFormat == LTReferenceFormatId) {
        if (!FOwner || FOwner->TreeStates().Contains(tsClipboardFlushing))
            return E_FAIL;
        // The process and the tree, for readers in this process (which compare the object itself).
        medium.resize(12);
        qToLittleEndian<std::uint32_t>(static_cast<std::uint32_t>(QCoreApplication::applicationPid()), medium.data());
        qToLittleEndian<std::uint64_t>(reinterpret_cast<std::uintptr_t>(FOwner.data()), medium.data() + 4);
        return S_OK;
    }
    const int query = QueryGetData(format);
    if (query != S_OK)
        return query;
    for (const TFormatEtc& entry : FFormats) {
        if (!SameFormatEtc(entry, format))
            continue;
        if (const auto stored = FStored.find(entry.cfFormat); stored != FStored.end()) {
            medium = stored->second;
            return S_OK;
        }
        break;
    }
    if (!FOwner)
        return E_FAIL;
    try {
        return FOwner->RenderDataFormat(format, medium, FForClipboard);
    } catch (...) {
        medium.clear();
        return E_FAIL;
    }
}

int TLTDataObject::SetData(const TFormatEtc& format, const QByteArray& medium)
{
    const bool known = std::any_of(FFormats.begin(), FFormats.end(),
                                   [&](const TFormatEtc& entry) { return SameFormatEtc(entry, format); });
    if (!known)
        FFormats.push_back(format);
    FStored[format.cfFormat] = medium;
    return S_OK;
}

int TLTDataObject::EnumFormatEtc(int direction, std::unique_ptr<TEnumFormatEtc>& enumerator) const
{
    if (direction != DATADIR_GET) {
        enumerator.reset();
        return OLE_S_USEREG;
    }
    enumerator = std::make_unique<TEnumFormatEtc>(FFormats);
    return S_OK;
}

const TFormatEtc* TLTDataObject::FormatOfMime(const QString& mimeType) const
{
    for (const TFormatEtc& entry : FFormats)
        if (MimeTypeOfFormat(entry.cfFormat) == mimeType)
            return &entry;
    return nullptr;
}

QStringList TLTDataObject::formats() const
{
    QStringList types;
    for (const TFormatEtc& entry : FFormats) {
        const QString type = MimeTypeOfFormat(entry.cfFormat);
        if (!types.contains(type))
            types.push_back(type);
    }
    if (FOwner && !FOwner->TreeStates().Contains(tsClipboardFlushing))
        types.push_back(MimeTypeOfFormat(LTReferenceFormatId));
    return types;
}

bool TLTDataObject::hasFormat(const QString& mimeType) const
{
    return formats().contains(mimeType);
}

QVariant TLTDataObject::retrieveData(const QString& mimeType, QMetaType type) const
{
    auto* self = const_cast<TLTDataObject*>(this);
    TFormatEtc format;
    if (mimeType == MimeTypeOfFormat(LTReferenceFormatId)) {
        format = {LTReferenceFormatId, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    } else if (const TFormatEtc* entry = FormatOfMime(mimeType)) {
        format = *entry;
    } else {
        return QMimeData::retrieveData(mimeType, type);
    }
    QByteArray medium;
    if (self->GetData(format, medium) != S_OK)
        return {};
    const QByteArray bytes = MimeBytesOfMedium(format.cfFormat, medium);
    if (type.id() == QMetaType::QString)
        return QString::fromUtf8(bytes);
    return bytes;
}

void TLTDataObject::Flush()
{
    if (!FOwner)
        return;
    for (const TFormatEtc& entry : TFormatEtcArray(FFormats)) {
        if (FStored.count(entry.cfFormat))
            continue;
        QByteArray medium;
        if (GetData(entry, medium) == S_OK)
            FStored[entry.cfFormat] = medium;
    }
    FOwner = nullptr;
}

QByteArray MimeBytesOfMedium(std::uint16_t format, const QByteArray& medium)
{
    QByteArray bytes = medium;
    if (format == LTDataFormatId)
        return bytes;
    if (format == CF_UNICODETEXT) {
        const auto* units = reinterpret_cast<const char16_t*>(bytes.constData());
        qsizetype count = bytes.size() / 2;
        while (count > 0 && units[count - 1] == 0)
            --count;
        bytes = QString::fromUtf16(units, count).toUtf8();
    }
    while (!bytes.isEmpty() && bytes.back() == '\0')
        bytes.chop(1);
    if (format == CF_TEXT || format == CF_UNICODETEXT)
        bytes.replace("\r\n", "\n");
    if (format == HTMLFormatId) {
        const qsizetype document = bytes.indexOf("<!DOCTYPE");
        if (document > 0)
            bytes.remove(0, document);
    }
    return bytes;
}

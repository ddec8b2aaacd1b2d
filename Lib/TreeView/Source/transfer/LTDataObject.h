#pragma once
// The tree's data object for the clipboard and drag and drop: it lists the formats the tree
// offers and renders each one only when a consumer asks (Qt's lazy QMimeData), keeps data that
// others store into it, and names its tree for drops and pastes within this process. Format
// identifiers, descriptions and results follow the platform's data transfer model.

#include "TreeView/Source/core/LTGlobals.h"

#include "Platform/core/ResultCodes.h"

#include <QByteArray>
#include <QMimeData>
#include <QPointer>
#include <map>
#include <memory>

class TBaseLazyTree;

// Results of the data transfer operations.
enum : int {
    E_NOTIMPL = static_cast<int>(0x80004001u), E_FAIL = static_cast<int>(0x80004005u),
    E_UNEXPECTED = static_cast<int>(0x8000FFFFu), E_OUTOFMEMORY = static_cast<int>(0x8007000Eu),
    DV_E_FORMATETC = static_cast<int>(0x80040064u), DV_E_TYMED = static_cast<int>(0x80040069u),
    DV_E_DVASPECT = static_cast<int>(0x8004006Bu), DV_E_LINDEX = static_cast<int>(0x80040068u),
    DATA_S_SAMEFORMATETC = 0x00040130, OLE_S_USEREG = 0x00040000,
};
enum : int { DATADIR_GET = 1, DATADIR_SET = 2 };

// An enumerator over a copy of a format list.
class TEnumFormatEtc {
public:
    explicit TEnumFormatEtc(TFormatEtcArray formats, std::size_t index = 0)
        : FFormats(std::move(formats)), FIndex(index)
    {
    }
    // Copies up to `count` entries from the current one on; S_OK when any was copied.
    int Next(std::size_t count, TFormatEtcArray& out, std::size_t* fetched);
    int Skip(std::size_t count);
    int Reset();
    int Clone(std::unique_ptr<TEnumFormatEtc>& out) const;

private:
    TFormatEtcArray FFormats;
    std::size_t FIndex;
};

class TLTDataObject : public QMimeData {
public:
    TLTDataObject(TBaseLazyTree* owner, bool forClipboard);
    ~TLTDataObject() override;

    TBaseLazyTree* Owner() const { return FOwner; }
    bool ForClipboard() const { return FForClipboard; }
    const TFormatEtcArray& FormatList() const { return FFormats; }

    // The data of a format (the reference format names the tree and this process).
    virtual int GetData(const TFormatEtc& format, QByteArray& medium);
    virtual int QueryGetData(const TFormatEtc& format) const;
    virtual int SetData(const TFormatEtc& format, const QByteArray& medium);
    virtual int EnumFormatEtc(int direction, std::unique_ptr<TEnumFormatEtc>& enumerator) const;
    int GetDataHere() const { return E_NOTIMPL; }
    int GetCanonicalFormatEtc() const { return DATA_S_SAMEFORMATETC; }

    // Renders every format into the object, so that the data outlives the tree (clipboard flush).
    void Flush();

    // Qt's side: the MIME types of the formats, rendered when asked.
    QStringList formats() const override;
    bool hasFormat(const QString& mimeType) const override;

protected:
    QVariant retrieveData(const QString& mimeType, QMetaType type) const override;

private:
    const TFormatEtc* FormatOfMime(const QString& mimeType) const;

    QPointer<TBaseLazyTree> FOwner;
    bool FForClipboard;
    TFormatEtcArray FFormats;
    std::map<std::uint16_t, QByteArray> FStored;
};

// Two format descriptions match: same format, device, aspect and index, and a common medium.
bool SameFormatEtc(const TFormatEtc& a, const TFormatEtc& b);
// The bytes a format's renderings carry as the MIME type of that format: without the trailing
// NUL, plain text with LF line breaks, HTML without the platform clipboard header.
QByteArray MimeBytesOfMedium(std::uint16_t format, const QByteArray& medium);

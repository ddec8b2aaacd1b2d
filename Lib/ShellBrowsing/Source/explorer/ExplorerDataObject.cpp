#include "ShellBrowsing/Source/explorer/ExplorerDataObject.h"

#include "TreeView/Source/core/LazyTree.h"

TVETDataObject::TVETDataObject(TBaseLazyTree* owner, std::shared_ptr<const QMimeData> itemsData)
    : TLTDataObject(owner, false), FItemsData(std::move(itemsData))
{
}

int TVETDataObject::GetData(const TFormatEtc& format, QByteArray& medium)
{
    const int result = TLTDataObject::GetData(format, medium);
    if (result == S_OK || !FItemsData)
        return result;
    const QString type = MimeTypeOfFormat(format.cfFormat);
    if (!FItemsData->hasFormat(type))
        return result;
    medium = FItemsData->data(type);
    if (format.cfFormat == CF_UNICODETEXT) {
        // why: this format's medium is UTF-16 with a closing NUL, as the tree renders it.
        const QString text = QString::fromUtf8(medium);
        medium = QByteArray(reinterpret_cast<const char*>(text.utf16()), (text.size() + 1) * 2);
    }
    return S_OK;
}

TFormatEtcArray ItemsDataFormats(const QMimeData& itemsData)
{
    TFormatEtcArray formats;
    for (const QString& type : itemsData.formats()) {
        const std::uint16_t id = type == QLatin1String("text/plain") ? std::uint16_t{CF_TEXT}
                                                                      : RegisterClipboardFormat(type.toStdString());
        formats.push_back({id, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL});
    }
    return formats;
}

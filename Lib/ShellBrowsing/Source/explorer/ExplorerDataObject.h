#pragma once
// TVETDataObject: what an explorer tree drags. It answers first with the tree's own formats (its
// tree data and the reference that names the tree to drops within the program) and, for a format
// the tree cannot render, with the files' data of the dragged items: "text/uri-list" and the
// forms file managers read, so that editors and other programs take the items as files.

#include "TreeView/Source/transfer/LTDataObject.h"

#include <memory>

class TVETDataObject : public TLTDataObject {
public:
    // `itemsData` is the files' data of the dragged items (the tree's SelectionDataObject).
    TVETDataObject(TBaseLazyTree* owner, std::shared_ptr<const QMimeData> itemsData);

    int GetData(const TFormatEtc& format, QByteArray& medium) override;
    const QMimeData* ItemsData() const { return FItemsData.get(); }

private:
    std::shared_ptr<const QMimeData> FItemsData;
};

// The format ids under which the items' data travels: one per MIME type it carries.
TFormatEtcArray ItemsDataFormats(const QMimeData& itemsData);

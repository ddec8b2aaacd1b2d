#pragma once
// The tree's data on the clipboard: "Lazy Tree Data" (the node blocks of the cut or copied
// nodes behind a 32-bit length) and "Lazy Tree Reference", which names the source tree and is
// honoured only inside this process (the object itself is what the clipboard hands back here).

#include <QMimeData>
#include <QPointer>

class TBaseLazyTree;

class TLTTreeMimeData : public QMimeData {
public:
    TLTTreeMimeData(TBaseLazyTree* source, const QByteArray& treeData);

    TBaseLazyTree* SourceTree() const;

private:
    QPointer<QObject> FSource;
    TBaseLazyTree* FTree;
};

// The MIME types of the tree's two private formats.
QString TreeDataMimeType();
QString TreeReferenceMimeType();

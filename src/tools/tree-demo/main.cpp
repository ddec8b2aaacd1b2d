// tree-demo: two string trees side by side.
//
//   tree-demo [--nodes N] [--shot FILE]
//
// The left tree holds N nodes (100,000 by default: root folders of nine files each) with three
// columns, check boxes and images; the right one a few folders to drag into. Nodes are dragged
// between and within the trees (Shift moves, Ctrl copies), edited with F2, found by typing,
// sorted by a click on a column header and copied, cut and pasted with the Edit menu. --shot
// saves a picture of the window and ends.

#include "TreeView/Source/header/LTHeader.h"
#include "TreeView/Source/strings/LazyStringTree.h"

#include "Platform/core/Application.h"
#include "Platform/graphics/ImgList.h"

#include <QKeySequence>
#include <QMainWindow>
#include <QMenuBar>
#include <QPainter>
#include <QSplitter>
#include <QStatusBar>
#include <QTimer>
#include <cstring>
#include <map>
#include <memory>

namespace {

// What a node carries: an id of its own (edited names are kept by it) and the number its texts
// are made of, which a copy keeps.
struct TDemoNode {
    std::uint64_t Id;
    std::uint64_t Shown;
};

// Names given by editing, by id; shared by both trees so that copies keep them.
std::map<std::uint64_t, QString>& EditedNames()
{
    static std::map<std::uint64_t, QString> names;
    return names;
}

std::uint64_t NextId()
{
    static std::uint64_t next = std::uint64_t{1} << 40;
    return next++;
}

// Small pictures drawn here: a folder, a file and a marker.
std::unique_ptr<TCustomImageList> DemoImages()
{
    auto list = std::make_unique<TCustomImageList>(nullptr, 16, 16);
    for (int kind = 0; kind < 3; ++kind) {
        QImage picture(16, 16, QImage::Format_ARGB32);
        picture.fill(Qt::transparent);
        QPainter p(&picture);
        p.setRenderHint(QPainter::Antialiasing);
        if (kind == 0) {
            p.setPen(QColor(0x9A, 0x74, 0x1E));
            p.setBrush(QColor(0xF2, 0xC9, 0x4C));
            p.drawRect(QRectF(1.5, 4.5, 13, 9));
            p.drawRect(QRectF(1.5, 2.5, 5, 2));
        } else if (kind == 1) {
            p.setPen(QColor(0x55, 0x66, 0x88));
            p.setBrush(Qt::white);
            p.drawRect(QRectF(3.5, 1.5, 9, 13));
            p.drawLine(QPointF(5, 5), QPointF(11, 5));
            p.drawLine(QPointF(5, 8), QPointF(11, 8));
        } else {
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(0xD0, 0x30, 0x30));
            p.drawEllipse(QRectF(4, 4, 8, 8));
        }
        p.end();
        list->Add(picture);
    }
    return list;
}

class TDemoTree : public TLazyStringTree {
public:
    // Ids of the tree's own nodes start at `idBase`, so that the two trees' nodes differ.
    TDemoTree(std::uint32_t roots, std::uint32_t childrenPerRoot, std::uint64_t idBase, TCustomImageList* images)
        : FChildren(childrenPerRoot), FIdBase(idBase)
    {
        SetNodeDataSize(sizeof(TDemoNode));
        TLTHeader& header = Header();
        const char* captions[] = {"Name", "Size", "Kind"};
        const int widths[] = {220, 80, 90};
        for (int i = 0; i < 3; ++i) {
            TLazyTreeColumn* column = header.Columns().AddColumn();
            column->SetText(captions[i]);
            column->SetWidth(widths[i]);
            if (i == 1)
                column->SetAlignment(taRightJustify);
        }
        header.SetMainColumn(0);
        header.SetOptions(header.Options() + hoVisible + hoShowSortGlyphs + hoHotTrack + hoShowImages);
        header.SetHeight(20);
        TCustomLazyTreeOptions& options = TreeOptions();
        options.SetMiscOptions(options.MiscOptions() + toCheckSupport + toEditable);
        options.SetSelectionOptions(options.SelectionOptions() + toMultiSelect + toExtendedFocus);
        options.SetPaintOptions(options.PaintOptions() + toHotTrack + toShowVertGridLines);
        options.SetAutoOptions(options.AutoOptions() + toAutoScroll);
        SetImages(images);
        SetHintMode(TLTHintMode::hmTooltip);
        SetShowHint(true);
        SetIncrementalSearch(TLTIncrementalSearch::isVisibleOnly);
        SetDragMode(*this, TDragMode::dmAutomatic);

        OnInitNode = [this](TBaseLazyTree*, PLazyNode parent, PLazyNode node, TShellNodeInitStates& states) {
            TDemoNode* data = NodeData<TDemoNode>(node);
            if (data->Id == 0) {
                data->Shown = parent ? NodeData<TDemoNode>(parent)->Shown * 10 + node->SiblingIndex + 1
                                     : (node->SiblingIndex + 1) * 10;
                data->Id = FIdBase + data->Shown;
            }
            if (!parent && FChildren > 0)
                states.Include(ivsHasChildren);
            node->CheckKind = parent ? chkBox : chkTriState;
        };
        OnInitChildren = [this](TBaseLazyTree*, PLazyNode, std::uint32_t& count) { count = FChildren; };
        OnGetText = [this](TCustomLazyStringTree*, PLazyNode node, TColumnIndex column, TVSTTextType type,
                           QString& text) {
            if (type == TVSTTextType::ttStatic)
                return;
            const std::uint64_t id = NodeData<TDemoNode>(node)->Id;
            const std::uint64_t shown = NodeData<TDemoNode>(node)->Shown;
            const bool folder = node->Has(nsMayHaveChildren);
            switch (column) {
            case 0: {
                const auto edited = EditedNames().find(id);
                text = edited != EditedNames().end() ? edited->second
                       : folder ? QString("Folder %1 with a longer name").arg(shown / 10)
                                : QString("File %1.txt").arg(shown);
                break;
            }
            case 1:
                text = folder ? QString() : QString("%1 KB").arg(shown % 977);
                break;
            default:
                text = folder ? "Folder" : "Text document";
                break;
            }
        };
        OnNewText = [this](TCustomLazyStringTree*, PLazyNode node, TColumnIndex column, const QString& text) {
            if (column <= 0)
                EditedNames()[NodeData<TDemoNode>(node)->Id] = text;
        };
        OnGetImageIndex = [](TBaseLazyTree* tree, PLazyNode node, TLTImageKind kind, TColumnIndex column, bool&,
                             int& index) {
            if (column > 0 || kind == TLTImageKind::ikState || kind == TLTImageKind::ikOverlay)
                return;
            index = node->Has(nsMayHaveChildren) ? 0 : 1;
            (void)tree;
        };
        OnSaveNode = [this](TBaseLazyTree*, PLazyNode node, TStream& stream) {
            stream.WriteBuffer(NodeData<TDemoNode>(node), sizeof(TDemoNode));
        };
        OnLoadNode = [this](TBaseLazyTree*, PLazyNode node, TStream& stream) {
            TDemoNode original{};
            stream.ReadBuffer(&original, sizeof original);
            // A copy is a node of its own; it keeps the name it was given and the texts it showed.
            const std::uint64_t copy = NextId();
            if (const auto edited = EditedNames().find(original.Id); edited != EditedNames().end())
                EditedNames()[copy] = edited->second;
            *NodeData<TDemoNode>(node) = {copy, original.Shown};
        };
        OnCompareNodes = [this](TBaseLazyTree*, PLazyNode a, PLazyNode b, TColumnIndex column, int& result) {
            result = GetCellText(a, column).compare(GetCellText(b, column), Qt::CaseInsensitive);
        };
        OnHeaderClick = [this](TLTHeader* header, TColumnIndex column, TMouseButton, TShiftState, int, int) {
            if (header->SortColumn() == column)
                header->SetSortDirection(header->SortDirection() == TSortDirection::sdAscending
                                             ? TSortDirection::sdDescending
                                             : TSortDirection::sdAscending);
            header->SetSortColumn(column);
            SortAllNodes(column, header->SortDirection(), false);
        };
        OnDragOver = [this](TBaseLazyTree*, QObject*, TShiftState, TDragState, TPoint, TDropMode, int&, bool& accept) {
            // Nothing lands on the dragged nodes or inside them.
            accept = true;
            for (PLazyNode dragged : DragSelection())
                if (DropTargetNode() == dragged || IsDescendantOf(DropTargetNode(), dragged))
                    accept = false;
        };
        OnDragDrop = [this](TBaseLazyTree*, QObject* source, const QMimeData* data, const std::vector<std::uint16_t>&,
                            TShiftState, TPoint, int&, TDropMode mode) {
            const TLTNodeAttachMode attach = mode == TDropMode::dmAbove   ? TLTNodeAttachMode::amInsertBefore
                                             : mode == TDropMode::dmBelow ? TLTNodeAttachMode::amInsertAfter
                                                                          : TLTNodeAttachMode::amAddChildLast;
            InsertFromDataObject(dynamic_cast<TBaseLazyTree*>(source), data, false, attach, DropTargetNode());
        };
        SetRootNodeCount(roots);
    }

private:
    std::uint32_t FChildren;
    std::uint64_t FIdBase;
};

} // namespace

int main(int argc, char** argv)
{
    TApplication app(argc, argv);
    std::uint32_t nodes = 100000;
    QString shot;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--nodes") == 0 && i + 1 < argc)
            nodes = static_cast<std::uint32_t>(std::max(10, std::atoi(argv[++i])));
        else if (std::strcmp(argv[i], "--shot") == 0 && i + 1 < argc)
            shot = QString::fromLocal8Bit(argv[++i]);
    }
    const std::unique_ptr<TCustomImageList> images = DemoImages();
    QMainWindow window;
    window.setWindowTitle("Tree view demo");
    auto* splitter = new QSplitter(&window);
    // Root folders of nine files each: ten nodes per root.
    auto* left = new TDemoTree(nodes / 10, 9, 0, images.get());
    auto* right = new TDemoTree(5, 2, 1000000000, images.get());
    splitter->addWidget(left);
    splitter->addWidget(right);
    splitter->setSizes({620, 380});
    window.setCentralWidget(splitter);
    window.resize(1000, 640);

    TBaseLazyTree* trees[] = {left, right};
    auto focused = [&]() -> TBaseLazyTree* {
        for (TBaseLazyTree* tree : trees)
            if (tree->hasFocus())
                return tree;
        return left;
    };
    QMenu* edit = window.menuBar()->addMenu("&Edit");
    edit->addAction("Cu&t", QKeySequence::Cut, [&] { focused()->Perform(WM_CUT); });
    edit->addAction("&Copy", QKeySequence::Copy, [&] { focused()->Perform(WM_COPY); });
    edit->addAction("&Paste", QKeySequence::Paste, [&] { focused()->Perform(WM_PASTE); });
    edit->addAction("&Delete", QKeySequence::Delete, [&] { focused()->RemoveSelectedNodes(); });
    edit->addSeparator();
    edit->addAction("Expand &all", [&] { focused()->ExpandSubtree(nullptr); });
    edit->addAction("Co&llapse all", [&] { focused()->CollapseSubtree(nullptr); });

    auto status = [&] {
        TBaseLazyTree* tree = focused();
        auto* strings = static_cast<TCustomLazyStringTree*>(tree);
        const QString at = tree->FocusNode() ? strings->GetCellText(tree->FocusNode(), 0) : QString("-");
        window.statusBar()->showMessage(QString("%1 rows shown, %2 selected, focus: %3")
                                            .arg(tree->VisibleRowCount())
                                            .arg(tree->SelectionCount())
                                            .arg(at));
    };
    for (TBaseLazyTree* tree : trees)
        tree->OnChange = [&](TBaseLazyTree*, PLazyNode) { status(); };
    left->SetNodeSelected(left->FirstNode(), true);
    left->AssignFocusedNode(left->FirstNode());
    left->FlipExpanded(left->FirstNode());
    left->SetNodeCheckMark(left->FirstChildOf(left->FirstNode()), csCheckedNormal);
    status();
    window.show();
    left->setFocus();
    if (!shot.isEmpty()) {
        QTimer::singleShot(300, [&] {
            window.grab().save(shot);
            app.quit();
        });
    }
    return app.exec();
}

#include "ShellBrowsing/Source/views/ColumnSettingsDialog.h"

#include "ShellBrowsing/Source/common/ShellTexts.h"
#include "ShellBrowsing/Source/explorer/ShellExplorerTree.h"
#include "ShellBrowsing/Source/views/ColumnLayout.h"

#include "TreeView/Source/core/LTOptions.h"
#include "TreeView/Source/header/LTColumn.h"
#include "TreeView/Source/header/LTHeader.h"

#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <algorithm>
#include <set>

namespace {

// The widest a column may be.
constexpr int MaxColumnWidth = 10000;

// A width typed into the edit: an empty edit keeps the row's width; more digits than an
// integer holds mean the widest.
bool ParseWidth(const QString& text, int& width)
{
    if (text.isEmpty() || !std::all_of(text.begin(), text.end(), [](QChar c) { return c.isDigit(); }))
        return false;
    bool ok = false;
    const qlonglong value = text.toLongLong(&ok);
    width = ok ? static_cast<int>(std::min<qlonglong>(value, MaxColumnWidth)) : MaxColumnWidth;
    return true;
}

} // namespace

TFormColumnSettings::TFormColumnSettings(QWidget* parent) : QDialog(parent)
{
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setMinimumSize(295, 370);
    resize(295, 370);

    FLabel1 = new QLabel(this);
    FLabel1->setWordWrap(true);
    FList = std::make_unique<TCustomLazyStringTree>(nullptr, this);
    TCustomLazyStringTree& list = *FList;
    list.SetNodeDataSize(static_cast<int>(sizeof(TColumnData*)));
    list.Header().SetOptions({hoColumnResize, hoDrag});
    TCustomLazyTreeOptions& options = list.TreeOptions();
    options.SetAutoOptions({toAutoDropExpand, toAutoScroll, toAutoScrollOnExpand, toAutoTristateTracking});
    options.SetMiscOptions({toAcceptOLEDrop, toCheckSupport, toInitOnSave, toToggleOnDblClick});
    options.SetPaintOptions({toShowButtons, toShowRoot, toThemeAware, toUseBlendedImages});
    list.SetCheckImageKind(TCheckImageKind::ckXP);

    list.OnGetText = [this](TCustomLazyStringTree*, PLazyNode node, TColumnIndex, TVSTTextType, QString& text) {
        if (TColumnData* row = RowOf(node))
            text = row->ColumnTitle;
    };
    list.OnInitNode = [this](TBaseLazyTree* tree, PLazyNode, PLazyNode node, TShellNodeInitStates&) {
        tree->SetNodeCheckKind(node, chkBox);
        if (TColumnData* row = RowOf(node))
            tree->SetNodeCheckMark(node, row->ColumnVisible ? csCheckedNormal : csUncheckedNormal);
    };
    list.OnChecking = [this](TBaseLazyTree*, PLazyNode node, TCheckState& newState, bool& allowed) {
        if (TColumnData* row = RowOf(node))
            row->ColumnVisible = newState == csCheckedNormal || newState == csCheckedPressed;
        allowed = true;
    };
    list.OnChecked = [this](TBaseLazyTree*, PLazyNode) { RunLiveUpdate(); };
    list.OnDragAllowed = [this](TBaseLazyTree*, PLazyNode node, TColumnIndex, bool& allowed) {
        allowed = true;
        FDraggedNode = node;
    };
    list.OnDragOver = [](TBaseLazyTree*, QObject*, TShiftState, TDragState, TPoint, TDropMode, int&, bool& accept) {
        accept = true;
    };
    list.OnDragDrop = [this](TBaseLazyTree* tree, QObject*, const QMimeData*, const std::vector<std::uint16_t>&,
                             TShiftState, TPoint, int& effect, TDropMode) {
        DropDraggedOn(tree->DropTargetNode());
        // The list moved the row itself.
        effect = 0;
    };
    list.OnFocusChanging = [this](TBaseLazyTree*, PLazyNode oldNode, PLazyNode newNode, TColumnIndex, TColumnIndex,
                                  bool& allowed) {
        StoreWidthIn(oldNode);
        if (TColumnData* row = RowOf(newNode))
            FEditPixelWidth->setText(QString::number(row->ColumnWidth));
        allowed = true;
    };

    FLabel2 = new QLabel(this);
    FEditPixelWidth = new QLineEdit(this);
    FEditPixelWidth->setFixedWidth(48);
    FEditPixelWidth->installEventFilter(this);
    FLabel3 = new QLabel(this);
    FLiveUpdate = new QCheckBox(this);
    connect(FLiveUpdate, &QCheckBox::clicked, this, [this] { RunLiveUpdate(); });
    FBevel = new QFrame(this);
    FBevel->setFrameShape(QFrame::HLine);
    FBevel->setFrameShadow(QFrame::Sunken);
    FButtonOk = new QPushButton(this);
    FButtonCancel = new QPushButton(this);
    connect(FButtonOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(FButtonCancel, &QPushButton::clicked, this, &QDialog::reject);
}

TFormColumnSettings::~TFormColumnSettings()
{
    // why: the list's nodes point into the rows.
    FList.reset();
}

TColumnData* TFormColumnSettings::RowOf(PLazyNode node) const
{
    if (!node || node == FList->HiddenRoot())
        return nullptr;
    TColumnData** slot = FList->NodeData<TColumnData*>(node);
    return slot ? *slot : nullptr;
}

void TFormColumnSettings::AddRow(const TColumnData& row)
{
    FRows.push_back(std::make_unique<TColumnData>(row));
    PLazyNode node = FList->AppendChildNode(nullptr);
    *FList->NodeData<TColumnData*>(node) = FRows.back().get();
    FList->SetNodeCheckKind(node, chkBox);
    FList->SetNodeCheckMark(node, row.ColumnVisible ? csCheckedNormal : csUncheckedNormal);
}

std::vector<TColumnData> TFormColumnSettings::Rows() const
{
    std::vector<TColumnData> rows;
    for (PLazyNode node = FList->HiddenRoot()->ChildHead; node; node = node->NextLink)
        if (TColumnData* row = RowOf(node))
            rows.push_back(*row);
    return rows;
}

PLazyNode TFormColumnSettings::RowNode(int index) const
{
    PLazyNode node = FList->HiddenRoot()->ChildHead;
    for (; node && index > 0; --index)
        node = node->NextLink;
    return node;
}

void TFormColumnSettings::DropDraggedOn(PLazyNode target)
{
    PLazyNode dragged = FDraggedNode;
    FDraggedNode = nullptr;
    if (!dragged || !target || dragged == target || target->ParentLink != FList->HiddenRoot())
        return;
    int draggedAt = -1;
    int targetAt = -1;
    int index = 0;
    for (PLazyNode node = FList->HiddenRoot()->ChildHead; node; node = node->NextLink, ++index) {
        if (node == dragged)
            draggedAt = index;
        if (node == target)
            targetAt = index;
    }
    if (draggedAt < 0 || targetAt < 0)
        return;
    FList->RelocateNode(dragged, target,
                        draggedAt < targetAt ? TLTNodeAttachMode::amInsertAfter : TLTNodeAttachMode::amInsertBefore,
                        false);
    RunLiveUpdate();
}

void TFormColumnSettings::StoreWidthIn(PLazyNode node)
{
    TColumnData* row = RowOf(node);
    if (!row)
        return;
    int width = 0;
    if (ParseWidth(FEditPixelWidth->text(), width))
        row->ColumnWidth = width;
    else
        QApplication::beep();
}

void TFormColumnSettings::StoreEditedWidth()
{
    StoreWidthIn(FList->FocusNode());
    RunLiveUpdate();
}

void TFormColumnSettings::RunLiveUpdate()
{
    if (FLiveUpdate->isChecked() && OnLiveUpdate)
        OnLiveUpdate(this);
}

bool TFormColumnSettings::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == FEditPixelWidth) {
        if (event->type() == QEvent::KeyPress) {
            auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
                if (FList->FocusNode())
                    StoreEditedWidth();
                return true;
            }
            const QString text = key->text();
            const bool digit = text.size() == 1 && text[0] >= QLatin1Char('0') && text[0] <= QLatin1Char('9');
            const bool editing = key->key() == Qt::Key_Backspace || key->key() == Qt::Key_Delete ||
                                 key->key() == Qt::Key_Left || key->key() == Qt::Key_Right ||
                                 key->key() == Qt::Key_Home || key->key() == Qt::Key_End ||
                                 key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab || text.isEmpty();
            if (!digit && !editing) {
                QApplication::beep();
                return true;
            }
        } else if (event->type() == QEvent::FocusOut) {
            if (FList->FocusNode())
                StoreEditedWidth();
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TFormColumnSettings::keyPressEvent(QKeyEvent* event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && !FEditPixelWidth->hasFocus()) {
        FButtonOk->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TFormColumnSettings::showEvent(QShowEvent* event)
{
    setWindowTitle(QString::fromUtf8(ShellTexts::ColumnSettings));
    FLabel1->setText(QString::fromUtf8(ShellTexts::ColumnSettingsHint));
    FLabel2->setText(QString::fromUtf8(ShellTexts::ColumnWidthPrefix));
    FLabel3->setText(QString::fromUtf8(ShellTexts::ColumnWidthSuffix));
    FLiveUpdate->setText(QString::fromUtf8(ShellTexts::LiveUpdate));
    FButtonOk->setText(QString::fromUtf8(ShellTexts::OK));
    FButtonCancel->setText(QString::fromUtf8(ShellTexts::Cancel));
    FList->SetCheckImageKind(TCheckImageKind::ckXP);
    // The width row must fit whatever the font makes of its texts.
    FLabel2->adjustSize();
    FLabel3->adjustSize();
    const int widthRow = FLabel2->width() + FLabel3->width() + FEditPixelWidth->width() + 8 + 2 * 16;
    if (width() < widthRow)
        resize(widthRow, height());
    // The first row starts focused, so the width edit shows something to change.
    if (!FList->FocusNode() && RowNode(0)) {
        FList->AssignFocusedNode(RowNode(0));
        FList->SetNodeSelected(RowNode(0), true);
    }
    if (const QScreen* screen = parentWidget() ? parentWidget()->screen() : QApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    LayOutWidthRow();
    QDialog::showEvent(event);
}

void TFormColumnSettings::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    LayOutWidthRow();
}

void TFormColumnSettings::LayOutWidthRow()
{
    const int w = width();
    const int h = height();
    const int margin = 8;
    FLabel1->setGeometry(margin, margin, w - 2 * margin, 48);
    const int buttonsTop = h - margin - 25;
    const int liveTop = buttonsTop - 12 - 22;
    const int widthTop = liveTop - 6 - 22;
    FList->setGeometry(margin, 60, w - 2 * margin, widthTop - 8 - 60);
    FLabel2->adjustSize();
    FLabel3->adjustSize();
    const int left = (w - FLabel2->width() - FLabel3->width() - FEditPixelWidth->width()) / 2 - 8;
    FLabel2->move(std::max(left, margin), widthTop + 3);
    FEditPixelWidth->setGeometry(FLabel2->x() + FLabel2->width() + 4, widthTop, FEditPixelWidth->width(), 22);
    FLabel3->move(FEditPixelWidth->x() + FEditPixelWidth->width() + 4, widthTop + 3);
    FLiveUpdate->adjustSize();
    FLiveUpdate->move(FLabel2->x(), liveTop);
    FBevel->setGeometry(margin, buttonsTop - 8, w - 2 * margin, 2);
    FButtonCancel->setGeometry(w - margin - 75, buttonsTop, 75, 25);
    FButtonOk->setGeometry(w - 2 * margin - 150, buttonsTop, 75, 25);
}

// ---- TColumnSettingsSession

TColumnSettingsSession::TColumnSettingsSession(TCustomShellExplorerTree& tree)
    : FTree(tree), FDialog(std::make_unique<TFormColumnSettings>(&tree))
{
    TLazyTreeColumns& columns = FTree.Header().Columns();
    std::set<QString> captions;
    FDialog->VSTColumnNames().StartBatchUpdate();
    for (int position = 0; position < columns.Count(); ++position) {
        const TColumnIndex index = columns.ColumnIndexAtPosition(position);
        TLazyTreeColumn* column = columns[index];
        if (!column || column->Text().isEmpty() || !captions.insert(column->Text()).second)
            continue;
        FDialog->AddRow({column->Text(), column->Options().Contains(coVisible), column->Width(), index});
    }
    FDialog->VSTColumnNames().FinishBatchUpdate();
    FHeader = TakeColumnLayout(columns);
    FDialog->OnLiveUpdate = [this](TFormColumnSettings*) { ApplyRows(); };
}

TColumnSettingsSession::~TColumnSettingsSession() = default;

void TColumnSettingsSession::ApplyRows()
{
    TLazyTreeColumns& columns = FTree.Header().Columns();
    FTree.StartBatchUpdate();
    const std::vector<TColumnData> rows = FDialog->Rows();
    for (std::size_t n = 0; n < rows.size(); ++n) {
        TLazyTreeColumn* column = columns[rows[n].HeaderIndex];
        if (!column)
            continue;
        column->SetPosition(static_cast<TColumnPosition>(n));
        column->SetOptions(rows[n].ColumnVisible ? column->Options() + coVisible : column->Options() - coVisible);
        column->SetWidth(rows[n].ColumnWidth);
    }
    FTree.FinishBatchUpdate();
    FTree.Header().RepaintHeader();
    FTree.viewport()->update();
}

void TColumnSettingsSession::Finish(bool accepted)
{
    if (accepted) {
        ApplyRows();
        FTree.StoreColumnState();
        if (FTree.OnColumnUserChangedVisiblility)
            FTree.OnColumnUserChangedVisiblility(&FTree);
        return;
    }
    FTree.StartBatchUpdate();
    ApplyColumnLayout(FTree.Header().Columns(), FHeader);
    FTree.FinishBatchUpdate();
    FTree.Header().RepaintHeader();
    FTree.viewport()->update();
}

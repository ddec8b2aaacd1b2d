#include "TreeView/Source/strings/LTStringEditLink.h"

#include "TreeView/Source/header/LTHeader.h"
#include "TreeView/Source/strings/LazyStringTree.h"

#include <QFocusEvent>
#include <QFontMetrics>
#include <QScrollBar>
#include <QTextDocument>

namespace {

TAlignment Mirrored(TAlignment alignment)
{
    return alignment == taLeftJustify ? taRightJustify : alignment == taRightJustify ? taLeftJustify : alignment;
}

constexpr int MinimumEditWidth = 30;

} // namespace

// ---- the edit

TLTEdit::TLTEdit(const std::shared_ptr<TStringEditLink>& link)
    : TCustomMemo(nullptr), FLinkReference(link), FLink(link), FOwningLink(link.get())
{
    setToolTip({});
    setFrameShape(QFrame::Box);
    setLineWidth(1);
    document()->setDocumentMargin(0);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    hide();
    // The text-change notice: the edit follows its text.
    QObject::connect(this, &QPlainTextEdit::textChanged, this, [this] { AutoAdjustSize(); });
}

TLTEdit::~TLTEdit()
{
    // The window goes: a changed text is kept when the tree accepts edits that way.
    TStringEditLink* link = FOwningLink;
    if (link && !link->FFinished && link->FTree) {
        try {
            if (link->FTree->StringOptions().Contains(toAutoAcceptEditChange) && Modified())
                link->FTree->ApplyNewText(link->FNode, link->FColumn, EditText());
        } catch (...) {
            // why: destructors never throw; the text is lost, the tree goes on.
        }
    }
    FOwningLink = nullptr;
    // The link must not reach this half-destroyed edit; it may die with the reference.
    if (const std::shared_ptr<TStringEditLink> alive = FLink.lock())
        alive->FEdit = nullptr;
    FLinkReference.reset();
}

void TLTEdit::Detach()
{
    FOwningLink = nullptr;
    // why: the reference may be the link's last owner; release it after leaving the link's call.
    std::shared_ptr<TStringEditLink> last = std::move(FLinkReference);
    QMetaObject::invokeMethod(this, [last] {}, Qt::QueuedConnection);
}

void TLTEdit::Release()
{
    PostMessage(CM_RELEASE);
}

void TLTEdit::WndProc(TMessage& message)
{
    if (message.Msg == CM_RELEASE) {
        deleteLater();
        return;
    }
    TCustomMemo::WndProc(message);
}

void TLTEdit::SetEditText(const QString& text)
{
    const QSignalBlocker quiet(this);
    setPlainText(text);
    document()->setModified(false);
}

bool TLTEdit::Modified() const
{
    return document()->isModified();
}

LRESULT TLTEdit::NativeDialogCode() const
{
    return TCustomMemo::NativeDialogCode() | DLGC_WANTARROWS | DLGC_WANTTAB | DLGC_WANTALLKEYS;
}

void TLTEdit::KeyPress(char32_t& key)
{
    if (key == U'\t' || key == 0x1B) {
        key = 0;
        return;
    }
    TCustomMemo::KeyPress(key);
}

void TLTEdit::KeyDown(WORD& key, TShiftState shift)
{
    TCustomMemo::KeyDown(key, shift);
    TStringEditLink* link = FOwningLink;
    if (key == 0 || !link || !link->FTree)
        return;
    TCustomLazyStringTree* tree = link->FTree;
    const bool singleLine = !link->FNode->Has(nsWrapText);
    switch (key) {
    case VK_RETURN:
        if (singleLine || shift.Contains(ssCtrl)) {
            key = 0;
            tree->RepaintNode(link->FNode);
            tree->CommitNodeEdit();
            tree->setFocus();
        }
        break;
    case VK_ESCAPE:
        key = 0;
        tree->AbortNodeEdit();
        tree->setFocus();
        break;
    case VK_TAB:
        key = 0;
        break;
    case VK_UP:
    case VK_DOWN:
        if (singleLine) {
            // A single line has no lines above or below: the arrows move along it.
            moveCursor(key == VK_UP ? QTextCursor::Left : QTextCursor::Right,
                       shift.Contains(ssShift) ? QTextCursor::KeepAnchor : QTextCursor::MoveAnchor);
            key = 0;
        }
        break;
    default:
        break;
    }
}

void TLTEdit::focusOutEvent(QFocusEvent* event)
{
    TCustomMemo::focusOutEvent(event);
    TStringEditLink* link = FOwningLink;
    if (!link || link->FFinished || !link->FTree || event->reason() == Qt::PopupFocusReason)
        return;
    if (link->FTree->StringOptions().Contains(toAutoAcceptEditChange))
        link->FTree->CommitNodeEdit();
    else
        link->FTree->AbortNodeEdit();
}

void TLTEdit::AutoAdjustSize()
{
    TStringEditLink* link = FOwningLink;
    if (!link || !link->FTree || link->FFinished || link->FTree->HasOption(toGridExtensions) ||
        link->FNode->Has(nsWrapText))
        return;
    setUpdatesEnabled(false);
    const int width = QFontMetrics(font()).horizontalAdvance(toPlainText()) + 2 * link->FTree->TextMargin();
    if (width < this->width())
        link->FTree->RepaintNode(link->FNode);
    const QRect g = geometry();
    TRect r = TRect::FromQt(g);
    if (link->FAlignment == taRightJustify)
        r.Left = r.Right - width;
    else
        r.Right = r.Left + width;
    link->PlaceEditor(r);
    setUpdatesEnabled(true);
}

// ---- the link

TStringEditLink::TStringEditLink() = default;

TStringEditLink::~TStringEditLink()
{
    if (FEdit)
        FEdit->Release();
}

void TStringEditLink::EnsureEdit()
{
    if (!FEdit)
        FEdit = new TLTEdit(shared_from_this());
}

bool TStringEditLink::AttachToCell(TBaseLazyTree* tree, PLazyNode node, TColumnIndex column)
{
    auto* stringTree = dynamic_cast<TCustomLazyStringTree*>(tree);
    if (!stringTree)
        return false;
    EnsureEdit();
    FTree = stringTree;
    FNode = node;
    FColumn = column;
    TFont font;
    QString text;
    FTree->CellTextInfo(node, column, font, FCellTextRect, text);
    font.SetColor(clWindowText);
    FEdit->setFont(FTree->QtFontOf(font));
    QPalette palette = FEdit->palette();
    palette.setColor(QPalette::Text, ToQColor(clWindowText));
    FEdit->setPalette(palette);
    FEdit->SetParent(FTree->viewport());
    FEdit->SetEditText(text);
    TBiDiMode bidi;
    if (column < 0 || FTree->Header().Columns().Count() == 0) {
        bidi = FTree->layoutDirection() == Qt::RightToLeft ? TBiDiMode::bdRightToLeft : TBiDiMode::bdLeftToRight;
        FAlignment = FTree->Alignment();
    } else {
        const TLazyTreeColumn* c = FTree->Header().Columns().ColumnAt(column);
        bidi = c->BiDiMode();
        FAlignment = c->Alignment();
    }
    FEdit->setLayoutDirection(bidi == TBiDiMode::bdLeftToRight ? Qt::LeftToRight : Qt::RightToLeft);
    if (bidi != TBiDiMode::bdLeftToRight)
        FAlignment = Mirrored(FAlignment);
    const bool multiLine = node->Has(nsWrapText);
    FEdit->setLineWrapMode(multiLine ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
    FEdit->setVerticalScrollBarPolicy(multiLine ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    return true;
}

bool TStringEditLink::ShowEditor()
{
    if (!FFinished && FEdit) {
        FEdit->show();
        FEdit->selectAll();
        FEdit->setFocus();
    }
    return !FFinished;
}

bool TStringEditLink::AbandonEdit()
{
    if (FFinished)
        return false;
    FFinished = true;
    const std::shared_ptr<TStringEditLink> keep = shared_from_this();
    if (FEdit)
        FEdit->hide();
    if (FTree)
        FTree->CancelNodeEdit();
    if (FEdit)
        FEdit->Detach();
    return true;
}

bool TStringEditLink::ConcludeEdit()
{
    if (FFinished)
        return false;
    FFinished = true;
    const std::shared_ptr<TStringEditLink> keep = shared_from_this();
    try {
        if (FEdit && FTree && FEdit->Modified())
            FTree->ApplyNewText(FNode, FColumn, FEdit->EditText());
    } catch (...) {
        FFinished = false;
        throw;
    }
    if (FEdit) {
        FEdit->hide();
        FEdit->Detach();
    }
    return true;
}

TRect TStringEditLink::EditorBounds()
{
    return FEdit ? TRect::FromQt(FEdit->geometry()) : TRect{};
}

void TStringEditLink::RelayMessage(TMessage& message)
{
    if (FEdit)
        FEdit->WindowProc(message);
}

void TStringEditLink::PlaceEditor(const TRect& bounds)
{
    if (FFinished || !FEdit || !FTree)
        return;
    TRect r = bounds;
    if (r.Left < 0)
        r.Left = 0;
    if (r.Width() < MinimumEditWidth) {
        if (FAlignment == taRightJustify)
            r.Left = r.Right - MinimumEditWidth;
        else
            r.Right = r.Left + MinimumEditWidth;
    }
    r.Right = std::min(r.Right, FTree->ClientWidth());
    FEdit->setGeometry(r.ToQt());
    // The text inside stands where the cell's text stood.
    const int k = FTree->TreeStates().Contains(tsUseThemes) ? 3 : 2;
    const int side = std::max(FTree->TextMargin() - k, 0);
    int top = 0;
    if (!FNode->Has(nsWrapText))
        top = std::max(FCellTextRect.Top - r.Top - FEdit->frameWidth(), 0);
    FEdit->SetTextInset(side, top);
}

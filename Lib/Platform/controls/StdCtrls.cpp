#include "Platform/controls/StdCtrls.h"

#include "Platform/controls/EditClipboard.h"
#include "Platform/core/QtBridge.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QScrollBar>

namespace {

// The memo's text with the library's CR LF line breaks.
std::string WithCrLf(const QString& text)
{
    std::string result;
    const std::string bytes = StdStr(text);
    result.reserve(bytes.size() + bytes.size() / 16);
    for (char c : bytes) {
        if (c == '\n')
            result += '\r';
        result += c;
    }
    return result;
}

// Any line break (CR LF, LF or CR) becomes Qt's LF.
QString WithLf(std::string_view text)
{
    std::string result;
    result.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            result += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            result += text[i];
        }
    }
    return QStr(result);
}

// The lines of a memo, read and written through its document.
class TMemoStrings : public TStrings {
public:
    explicit TMemoStrings(TCustomMemo& memo) : FMemo(memo) {}

    int Count() const override
    {
        const QTextDocument* doc = FMemo.document();
        if (doc->isEmpty())
            return 0;
        const int blocks = doc->blockCount();
        return doc->lastBlock().length() <= 1 ? blocks - 1 : blocks;
    }

    std::string Get(int index) const override
    {
        CheckIndex(index);
        return StdStr(FMemo.document()->findBlockByNumber(index).text());
    }

    void Put(int index, const std::string& s) override
    {
        CheckIndex(index);
        const QTextBlock block = FMemo.document()->findBlockByNumber(index);
        QTextCursor cursor(block);
        cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        cursor.insertText(QStr(s));
    }

    void Insert(int index, const std::string& s) override
    {
        QTextDocument* doc = FMemo.document();
        if (index < 0 || index > Count())
            Error("List index out of bounds (%d)", index);
        // A line that exists, or the empty block after a final line break, takes the text before it.
        if (index < doc->blockCount()) {
            QTextCursor cursor(doc->findBlockByNumber(index));
            cursor.insertText(QStr(s) + QLatin1Char('\n'));
            return;
        }
        // why: appending to a text without a final line break first ends its last line.
        QTextCursor cursor(doc);
        cursor.movePosition(QTextCursor::End);
        cursor.insertText(QLatin1Char('\n') + QStr(s));
    }

    void Delete(int index) override
    {
        CheckIndex(index);
        QTextDocument* doc = FMemo.document();
        const QTextBlock block = doc->findBlockByNumber(index);
        QTextCursor cursor(block);
        const QTextBlock next = block.next();
        if (next.isValid())
            cursor.setPosition(next.position(), QTextCursor::KeepAnchor);
        else
            cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
    }

    void Clear() override { FMemo.Clear(); }

    void SetText(std::string_view text) override { FMemo.SetText(WithCrLf(WithLf(text))); }

protected:
    void SetUpdateState(bool updating) override { FMemo.setUpdatesEnabled(!updating); }

private:
    void CheckIndex(int index) const
    {
        if (index < 0 || index >= Count())
            Error("List index out of bounds (%d)", index);
    }

    TCustomMemo& FMemo;
};

// Items kept by a Qt widget, reached through a handful of calls.
class TItemStrings : public TStrings {
public:
    struct Access {
        std::function<int()> Count;
        std::function<QString(int)> Get;
        std::function<void(int, const QString&)> Put;
        std::function<void(int, const QString&)> Insert;
        std::function<void(int)> Delete;
        std::function<void()> Clear;
    };

    explicit TItemStrings(Access access) : FAccess(std::move(access)) {}

    int Count() const override { return FAccess.Count(); }
    std::string Get(int index) const override
    {
        CheckIndex(index);
        return StdStr(FAccess.Get(index));
    }
    void Put(int index, const std::string& s) override
    {
        CheckIndex(index);
        FAccess.Put(index, QStr(s));
    }
    void Insert(int index, const std::string& s) override
    {
        if (index < 0 || index > Count())
            Error("List index out of bounds (%d)", index);
        FAccess.Insert(index, QStr(s));
    }
    void Delete(int index) override
    {
        CheckIndex(index);
        FAccess.Delete(index);
    }
    void Clear() override { FAccess.Clear(); }

private:
    void CheckIndex(int index) const
    {
        if (index < 0 || index >= Count())
            Error("List index out of bounds (%d)", index);
    }

    Access FAccess;
};

} // namespace

// ---- memo

TCustomMemo::TCustomMemo(TComponent* AOwner, QWidget* parent)
    : TQtScrollControl<QPlainTextEdit>(AOwner, parent), FLines(std::make_unique<TMemoStrings>(*this))
{
    SetInitialColor(clWindow);
    FTextConnection = QObject::connect(this, &QPlainTextEdit::textChanged, this, [this] {
        SyncText(WithCrLf(toPlainText()));
        Change();
    });
}

TCustomMemo::~TCustomMemo()
{
    // why: the Qt part outlives this object's members; it must not call back into them.
    QObject::disconnect(FTextConnection);
}

void TCustomMemo::Clear()
{
    clear();
}

std::string TCustomMemo::SelText() const
{
    QString text = textCursor().selectedText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return WithCrLf(text);
}

void TCustomMemo::Change()
{
    if (OnChange)
        OnChange(this);
}

void TCustomMemo::ApplyText(const std::string& text)
{
    setPlainText(WithLf(text));
}

LRESULT TCustomMemo::NativeDialogCode() const
{
    // A multi-line edit keeps arrows, Return and Escape; Tab moves on.
    return DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS | DLGC_WANTALLKEYS;
}

void TCustomMemo::WndProc(TMessage& message)
{
    if (!PerformClipboardMessage(*this, message, [this] { textCursor().removeSelectedText(); }))
        TQtScrollControl<QPlainTextEdit>::WndProc(message);
}

void TCustomMemo::keyPressEvent(QKeyEvent* event)
{
    if (!SendClipboardKey(*this, *event))
        QPlainTextEdit::keyPressEvent(event);
}

std::unique_ptr<QMenu> TCustomMemo::CreateEditMenu(const QPoint& pos)
{
    std::unique_ptr<QMenu> menu(createStandardContextMenu(pos));
    RouteEditMenuActions(*menu, *this);
    return menu;
}

void TCustomMemo::contextMenuEvent(QContextMenuEvent* event)
{
    const std::unique_ptr<QMenu> menu = CreateEditMenu(event->pos());
    menu->exec(event->globalPos());
}

// ---- combo box

TCustomComboBox::TCustomComboBox(TComponent* AOwner, QWidget* parent)
    : TQtControl<QComboBox>(AOwner, parent),
      FItems(std::make_unique<TItemStrings>(TItemStrings::Access{
          [this] { return count(); },
          [this](int i) { return itemText(i); },
          [this](int i, const QString& s) { setItemText(i, s); },
          [this](int i, const QString& s) { insertItem(i, s); },
          [this](int i) { removeItem(i); },
          [this] { clear(); },
      }))
{
    SetInitialColor(clWindow);
    setEditable(true);
    FTextConnection = QObject::connect(this, &QComboBox::currentTextChanged, this, [this](const QString& text) {
        SyncText(StdStr(text));
        Change();
    });
}

TCustomComboBox::~TCustomComboBox()
{
    QObject::disconnect(FTextConnection);
}

void TCustomComboBox::SetStyle(TComboBoxStyle style)
{
    if (style == FStyle)
        return;
    FStyle = style;
    setEditable(style == TComboBoxStyle::csDropDown || style == TComboBoxStyle::csSimple);
}

void TCustomComboBox::Change()
{
    if (OnChange)
        OnChange(this);
}

void TCustomComboBox::ApplyText(const std::string& text)
{
    if (isEditable())
        setEditText(QStr(text));
    else
        setCurrentIndex(findText(QStr(text)));
}

// ---- list box

TCustomListBox::TCustomListBox(TComponent* AOwner, QWidget* parent)
    : TQtScrollControl<QListWidget>(AOwner, parent),
      FItems(std::make_unique<TItemStrings>(TItemStrings::Access{
          [this] { return count(); },
          [this](int i) { return item(i)->text(); },
          [this](int i, const QString& s) { item(i)->setText(s); },
          [this](int i, const QString& s) {
              const std::string text = StdStr(s);
              if (i == count())
                  Perform(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(&text));
              else
                  Perform(LB_INSERTSTRING, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&text));
          },
          [this](int i) { Perform(LB_DELETESTRING, static_cast<WPARAM>(i)); },
          [this] { Perform(LB_RESETCONTENT); },
      }))
{
    SetInitialColor(clWindow);
}

TCustomListBox::~TCustomListBox() = default;

void TCustomListBox::WndProc(TMessage& message)
{
    switch (message.Msg) {
    case LB_ADDSTRING:
        addItem(QStr(*reinterpret_cast<const std::string*>(message.LParam)));
        message.Result = count() - 1;
        return;
    case LB_INSERTSTRING: {
        const int index = static_cast<int>(message.WParam);
        insertItem(index, QStr(*reinterpret_cast<const std::string*>(message.LParam)));
        message.Result = index;
        return;
    }
    case LB_DELETESTRING:
        delete takeItem(static_cast<int>(message.WParam));
        message.Result = count();
        return;
    case LB_RESETCONTENT: clear(); return;
    case LB_SETHORIZONTALEXTENT:
        FHorizontalExtent = static_cast<int>(message.WParam);
        updateGeometries();
        return;
    case LB_GETHORIZONTALEXTENT: message.Result = std::max(0, FHorizontalExtent); return;
    default: TQtScrollControl<QListWidget>::WndProc(message);
    }
}

void TCustomListBox::updateGeometries()
{
    QListWidget::updateGeometries();
    if (FHorizontalExtent >= 0)
        horizontalScrollBar()->setRange(0, std::max(0, FHorizontalExtent - viewport()->width()));
}

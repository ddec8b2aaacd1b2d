#include "ShellBrowsing/Source/combo/ShellExplorerCombobox.h"

#include "ShellBrowsing/Source/common/WideStrings.h"
#include "ShellBrowsing/Source/explorer/ChangeDispatch.h"
#include "ShellBrowsing/Source/icons/ShellSysImages.h"
#include "ShellBrowsing/Source/idlist/PIDLManager.h"
#include "ShellBrowsing/Source/namespace/KnownNamespaces.h"
#include "ShellBrowsing/Source/namespace/ShellLocations.h"

#include "Platform/controls/Keys.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <qdrawutil.h>

QString InvalidPathMessage(const QString& path)
{
    return QStringLiteral("Windows can not find ") + u'"' + path + u'"'
           + QStringLiteral(" Please check the spelling and try again.");
}

// ---- edit

TComboEdit::TComboEdit(TCustomShellExplorerCombobox* comboBox)
    : TCustomMaskEdit(comboBox, comboBox), FComboBox(comboBox)
{
    setFrame(false);
    QObject::connect(this, &QLineEdit::textChanged, this, [this] { TextChanged(); });
}

void TComboEdit::SetEditText(const QString& text)
{
    FSettingText = true;
    setText(text);
    FSettingText = false;
    FModified = false;
}

void TComboEdit::TextChanged()
{
    if (FSettingText)
        return;
    if (!FModified) {
        FModified = true;
        FSavedNamespace = FComboBox->Namespace() ? FComboBox->Namespace()->CloneNamespace() : nullptr;
        FComboBox->Repaint();
    }
    FComboBox->EditChanged();
}

void TComboEdit::keyPressEvent(QKeyEvent* event)
{
    const bool alt = event->modifiers() & Qt::AltModifier;
    if (alt && event->key() == Qt::Key_Down) {
        FComboBox->AutoCompleteDropDown()->CloseUp(false);
        FComboBox->DropTree();
        return;
    }
    if (!alt && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        if (FComboBox->Active())
            FComboBox->InterpretEditText();
        return;
    }
    FKeyIsDown = true;
    TCustomMaskEdit::keyPressEvent(event);
    FKeyIsDown = false;
}

void TComboEdit::focusInEvent(QFocusEvent* event)
{
    FSavedPalette = palette();
    TCustomMaskEdit::focusInEvent(event);
    selectAll();
}

void TComboEdit::focusOutEvent(QFocusEvent* event)
{
    TCustomMaskEdit::focusOutEvent(event);
    setPalette(FSavedPalette);
    FComboBox->Repaint();
}

void TComboEdit::ShowInvalidPath(const QString& path)
{
    if (FComboBox->OnInvalidPath)
        FComboBox->OnInvalidPath(FComboBox, path);
    else
        WideShowWarning(this, QString::fromLatin1(InvalidPathCaption), InvalidPathMessage(path));
    // The longest leading part that names a folder stays; the rest is selected for retyping.
    const QString full = FComboBox->ResolveTyped(path);
    const int offset = static_cast<int>(full.size() - path.size());
    int keep = 0;
    for (qsizetype slash = full.lastIndexOf(u'/'); slash >= 0; slash = full.lastIndexOf(u'/', slash - 1)) {
        const QString part = full.left(slash == 0 ? 1 : slash);
        if (WideDirectoryExists(part)) {
            keep = std::max(0, static_cast<int>(slash) + 1 - offset);
            break;
        }
        if (slash == 0)
            break;
    }
    setSelection(keep, static_cast<int>(text().size()) - keep);
}

// ---- combo box

TCustomShellExplorerCombobox::TCustomShellExplorerCombobox(TComponent* AOwner, QWidget* parent)
    : TCustomControl(AOwner, parent)
{
    resize(300, 23);
    FEdit = new TComboEdit(this);
    FEdit->setEnabled(false);
    FExplorerDropDown = new TPopupExplorerDropDown(this, this);
    FExplorerDropDown->Tree()->TreeOptions().SetPaintOptions(
        FExplorerDropDown->Tree()->TreeOptions().PaintOptions().Include(toShowBackground));
    FExplorerOptions = std::make_unique<TPopupExplorerOptions>(FExplorerDropDown);
    FAutoCompleteDropDown = new TPopupAutoCompleteDropDown(this, this);
    FAutoCompleteOptions = std::make_unique<TPopupAutoCompleteOptions>(FAutoCompleteDropDown);
    SetColor(clWindow);
    SetComboOptions(coThemeAware | coSelectCurrentFolder);
    FEdit->setFocusPolicy(Qt::StrongFocus);
    setFocusPolicy(Qt::NoFocus);
    setFocusProxy(FEdit);
    setMouseTracking(true);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    FFramed = true;
    if (!FNamespace && KnownNamespaces().DesktopFolder)
        SetPath(KnownNamespaces().DesktopFolder.get());
    AdjustHeight();
    LayoutEdit();
    UpdateEditText(false);
}

TCustomShellExplorerCombobox::~TCustomShellExplorerCombobox()
{
    VETChangeDispatch().UnRegisterChangeLink(this, this, TLinkMatch::Either);
    FAutoCompleteDropDown->CloseUp(false);
    FExplorerDropDown->CloseUp(false);
}

void TCustomShellExplorerCombobox::SetPath(TNamespace* ns)
{
    if (ns && ns == FNamespace.get())
        return;
    if (!ns && !FNamespace)
        return;
    FNamespace = ns ? ns->CloneNamespace() : nullptr;
    if (FNamespace)
        FIconOverride = -1;
    if (FActive) {
        UpdateEditText(true);
        Repaint();
        if (FNamespace)
            DispatchPathChange(FNamespace->AbsolutePIDL());
    }
    DoPathChange();
}

bool TCustomShellExplorerCombobox::BrowseToPath(const QString& path)
{
    FEdit->SetEditText(path);
    InterpretEditText();
    return FNamespace && FNamespace->ParsingPath() == ResolveTyped(path);
}

void TCustomShellExplorerCombobox::SetActive(bool value)
{
    if (value == FActive)
        return;
    FActive = value;
    UpdateEditText(true);
    Repaint();
    if (FActive && FNamespace)
        DispatchPathChange(FNamespace->AbsolutePIDL());
    FEdit->setEnabled(FActive && isEnabled());
}

void TCustomShellExplorerCombobox::UpdateEditText(bool select)
{
    QString text = FNamespace && FActive ? FNamespace->DisplayNameNormal() : QString();
    FEdit->SetEditText(text);
    if (select)
        FEdit->selectAll();
    FEdit->update();
}

void TCustomShellExplorerCombobox::SetComboOptions(std::uint8_t value)
{
    const std::uint8_t changed = value ^ FComboOptions;
    FComboOptions = value;
    if (changed & coThemeAware) {
        for (TDropDownWnd* dropDown : {static_cast<TDropDownWnd*>(FExplorerDropDown),
                                       static_cast<TDropDownWnd*>(FAutoCompleteDropDown)}) {
            TPopupOptions options = dropDown->Options();
            if (value & coThemeAware)
                options.Include(TPopupOption::poThemeAware);
            else
                options.Exclude(TPopupOption::poThemeAware);
            dropDown->SetOptions(options);
        }
        FThemesActive = value & coThemeAware;
        Repaint();
    }
    if (changed & coThreadedImages) {
        TVETImageOptions images = FExplorerDropDown->Tree()->VETImageOptions();
        if (value & coThreadedImages)
            images.Include(toThreadedImages);
        else
            images.Exclude(toThreadedImages);
        FExplorerDropDown->Tree()->SetVETImageOptions(images);
    }
}

void TCustomShellExplorerCombobox::SetFramed(bool value)
{
    FFramed = value;
    Invalidate();
}

void TCustomShellExplorerCombobox::SetEnabled(bool value)
{
    TCustomControl::SetEnabled(value);
    FEdit->setEnabled(value && FActive);
    Repaint();
}

void TCustomShellExplorerCombobox::DispatchPathChange(PCItemIDList list)
{
    VETChangeDispatch().DispatchChange(this, list);
}

void TCustomShellExplorerCombobox::DoPathChange()
{
    if (OnPathChange)
        OnPathChange(this, FNamespace.get());
}

// ---- layout

TRect TCustomShellExplorerCombobox::InnerRect() const
{
    const int inset = FThemesActive ? style()->pixelMetric(QStyle::PM_DefaultFrameWidth) + 1 : 2;
    return {inset, inset, Width() - inset, Height() - inset};
}

TRect TCustomShellExplorerCombobox::ButtonRect() const
{
    const TRect inner = InnerRect();
    return {inner.Right - ScrollBarWidth(), inner.Top, inner.Right, inner.Bottom};
}

TRect TCustomShellExplorerCombobox::IconRect() const
{
    const TRect inner = InnerRect();
    const int size = SmallSysImages()->Height();
    const int top = inner.Top + (inner.Height() - size) / 2;
    return {inner.Left + 2, top, inner.Left + 2 + size, top + size};
}

TRect TCustomShellExplorerCombobox::EditRect() const
{
    const TRect inner = InnerRect();
    const QString sample = FEdit->text().isEmpty() ? QStringLiteral("C:\\") : FEdit->text();
    const int textHeight = QFontMetrics(font()).boundingRect(sample).height();
    const int top = inner.Top + std::max(0, (inner.Height() - textHeight) / 2);
    return {IconRect().Right + 4, top, ButtonRect().Left - 1, std::min(inner.Bottom, top + textHeight)};
}

void TCustomShellExplorerCombobox::LayoutEdit()
{
    const QRect r = EditRect().ToQt();
    if (FEdit->geometry() != r)
        FEdit->setGeometry(r);
}

int TCustomShellExplorerCombobox::RequiredHeight() const
{
    return std::max(23, QFontMetrics(font()).height() + 8);
}

QSize TCustomShellExplorerCombobox::sizeHint() const
{
    return {300, RequiredHeight()};
}

QSize TCustomShellExplorerCombobox::minimumSizeHint() const
{
    return {ScrollBarWidth() + SmallSysImages()->Height() + 40, RequiredHeight()};
}

void TCustomShellExplorerCombobox::AdjustHeight()
{
    const int required = RequiredHeight();
    if (Height() < required)
        resize(Width(), required);
    FExplorerDropDown->setFont(font());
    FAutoCompleteDropDown->setFont(font());
}

void TCustomShellExplorerCombobox::Resize()
{
    TCustomControl::Resize();
    LayoutEdit();
}

void TCustomShellExplorerCombobox::changeEvent(QEvent* event)
{
    TCustomControl::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        AdjustHeight();
        LayoutEdit();
    } else if (event->type() == QEvent::EnabledChange) {
        FEdit->setEnabled(isEnabled() && FActive);
    }
}

// ---- painting

bool TCustomShellExplorerCombobox::IconShown() const
{
    return FActive && !FEdit->Modified();
}

int TCustomShellExplorerCombobox::ShownIconIndex()
{
    if (!IconShown())
        return -1;
    if (FNamespace) {
        FIconOverride = -1;
        return FNamespace->IconIndexFor(false);
    }
    return FIconOverride;
}

void TCustomShellExplorerCombobox::Paint()
{
    PaintTo(*Canvas().Handle());
}

void TCustomShellExplorerCombobox::PaintTo(QPainter& painter)
{
    painter.save();
    painter.setClipRect(rect());
    const QColor color = ToQColor(Color());
    const TRect inner = InnerRect();
    if (FThemesActive) {
        QStyleOptionFrame frame;
        frame.initFrom(this);
        frame.rect = rect();
        frame.lineWidth = style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
        frame.state |= QStyle::State_Sunken;
        if (!isEnabled())
            frame.state &= ~QStyle::State_Enabled;
        style()->drawPrimitive(QStyle::PE_PanelLineEdit, &frame, &painter, this);
        painter.fillRect(inner.ToQt(), color);
    } else if (FFramed) {
        painter.fillRect(rect(), color);
        qDrawWinPanel(&painter, rect(), palette(), true);
    } else {
        painter.fillRect(rect(), color);
    }
    const int icon = ShownIconIndex();
    if (icon >= 0) {
        TCanvas canvas(&painter);
        const TRect r = IconRect();
        SmallSysImages()->Sync();
        SmallSysImages()->Draw(canvas, r.Left, r.Top, icon, isEnabled());
    }
    QStyleOption button;
    button.initFrom(this);
    button.rect = ButtonRect().ToQt();
    button.state = isEnabled() ? QStyle::State_Enabled : QStyle::State_None;
    const bool pressed = FButtonState & bsPressed;
    if (pressed)
        button.state |= QStyle::State_Sunken;
    if (FButtonState & bsHot)
        button.state |= QStyle::State_MouseOver;
    if (FThemesActive) {
        style()->drawPrimitive(QStyle::PE_PanelButtonTool, &button, &painter, this);
        if (!pressed && !(FButtonState & bsHot))
            qDrawShadePanel(&painter, button.rect, palette(), false, 1);
    } else {
        painter.fillRect(button.rect, palette().color(QPalette::Button));
        if (pressed)
            qDrawPlainRect(&painter, button.rect, palette().color(QPalette::Dark));
        else
            qDrawWinButton(&painter, button.rect, palette(), false);
    }
    QStyleOption arrow = button;
    arrow.rect = button.rect.adjusted(3, 3, -3, -3);
    if (pressed)
        arrow.rect.translate(1, 1);
    style()->drawPrimitive(QStyle::PE_IndicatorArrowDown, &arrow, &painter, this);
    painter.restore();
}

// ---- mouse

void TCustomShellExplorerCombobox::SetButtonState(std::uint8_t state)
{
    if (state == FButtonState)
        return;
    FButtonState = state;
    Repaint();
}

void TCustomShellExplorerCombobox::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TCustomControl::MouseDown(button, shift, x, y);
    if (button != TMouseButton::mbLeft || !ButtonRect().Contains({x, y}))
        return;
    if (FExplorerDropDown->Dropped()) {
        FExplorerDropDown->CloseUp(false);
        return;
    }
    SetButtonState(FButtonState | bsPressed);
    DropTree();
}

void TCustomShellExplorerCombobox::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    TCustomControl::MouseUp(button, shift, x, y);
    SetButtonState(0);
}

void TCustomShellExplorerCombobox::MouseMove(TShiftState shift, int x, int y)
{
    TCustomControl::MouseMove(shift, x, y);
    const bool over = ButtonRect().Contains({x, y});
    std::uint8_t state = FButtonState;
    if (over) {
        state |= bsHot;
        if (state & bsPressedOutside)
            state = (state & ~bsPressedOutside) | bsPressed;
    } else {
        state &= ~bsHot;
        if (state & bsPressed)
            state = (state & ~bsPressed) | bsPressedOutside;
    }
    SetButtonState(state);
}

void TCustomShellExplorerCombobox::DblClick()
{
    TCustomControl::DblClick();
    const QPoint p = mapFromGlobal(QCursor::pos());
    if (p.x() < EditRect().Left)
        DropTree();
}

void TCustomShellExplorerCombobox::WndProc(TMessage& message)
{
    if (message.Msg == CM_MOUSELEAVE)
        SetButtonState(FButtonState & ~bsHot);
    TCustomControl::WndProc(message);
}

// ---- drop-downs

void TCustomShellExplorerCombobox::DropTree()
{
    if (FAutoCompleteDropDown->Dropped()) {
        FAutoCompleteDropDown->CloseUp(false);
        return;
    }
    if (!FActive)
        return;
    FEdit->deselect();
    FEdit->setCursorMoveStyle(Qt::LogicalMoveStyle);
    FExplorerDropDown->SetSelectTarget(FComboOptions & coSelectCurrentFolder);
    FExplorerDropDown->SetTargetPIDL(FNamespace ? FNamespace->AbsolutePIDL() : nullptr);
    // why: as wide as the whole box, which it hangs under, rather than only its edit.
    FExplorerDropDown->DropDown(FEdit, this, QSize(Width(), 0));
}

void TCustomShellExplorerCombobox::DropDownClosed(TDropDownWnd* dropDown)
{
    SetButtonState(0);
    if (dropDown == FExplorerDropDown) {
        FEdit->setFocus(Qt::OtherFocusReason);
        FEdit->selectAll();
    }
}

void TCustomShellExplorerCombobox::EditChanged()
{
    if (!FEdit->KeyIsDown() || !FActive)
        return;
    FExplorerDropDown->CloseUp(false);
    FAutoCompleteDropDown->DropDown(FEdit, this, QSize(Width(), 0));
    FAutoCompleteDropDown->UpdateList(FEdit->text());
}

void TCustomShellExplorerCombobox::ShowCompletion(const QString& text)
{
    FEdit->setText(text);
    FEdit->setCursorPosition(static_cast<int>(text.size()));
}

// ---- interpreting the typed text

QString TCustomShellExplorerCombobox::ResolveTyped(const QString& text) const
{
    if (text.startsWith(u'/') || text.contains(QStringLiteral(":///")))
        return text;
    // why: a relative text means a place below the folder the box shows, not below the
    // program's working folder.
    TNamespace* base = FEdit->SavedNamespace() ? FEdit->SavedNamespace() : FNamespace.get();
    const QString folder = base ? QString::fromStdString(PIDLToFileSystemPath(base->AbsolutePIDL())) : QString();
    if (folder.isEmpty() || base->IsDesktop())
        return text;
    return WideIncludeTrailingBackslash(folder) + text;
}

bool TCustomShellExplorerCombobox::GoToFolderPath(const QString& path)
{
    TPIDLHolder list(PathToPIDL(path));
    if (!list)
        return false;
    TNamespace ns(list.Release());
    SetPath(&ns);
    return true;
}

bool TCustomShellExplorerCombobox::GoToNamedItem(TNamespace& folder, const QString& name, bool foldersOnly)
{
    std::unique_ptr<TNamespace> found;
    folder.EnumerateFolderEx(true, !foldersOnly, false, [&](TNamespace& parent, PItemIDList relative, bool& terminate) {
        auto item = std::make_unique<TNamespace>(PIDLMgr().AppendPIDL(parent.AbsolutePIDL(), relative));
        PIDLMgr().FreePIDL(relative);
        if (WideCompareText(item->DisplayNameNormal(), name) == 0) {
            found = std::move(item);
            terminate = true;
        }
        return false;
    });
    if (!found)
        return false;
    if (found->IsFolderItem()) {
        SetPath(found.get());
        FEdit->selectAll();
        return true;
    }
    const QString path = found->ParsingPathForAddressBar();
    return !foldersOnly && WideFileExists(path) && OpenFile(path, FEdit->text());
}

bool TCustomShellExplorerCombobox::OpenFile(const QString& path, const QString& typed)
{
    TPIDLHolder list(PathToPIDL(path));
    if (!list)
        return false;
    TNamespace file(list.Release());
    SetPath(nullptr);
    FIconOverride = DefaultSystemImageIndex(4);
    file.ShellExecuteNamespace(QString(), QString(), false, false);
    FEdit->SetEditText(typed);
    FEdit->selectAll();
    Repaint();
    return true;
}

void TCustomShellExplorerCombobox::InterpretEditText()
{
    FEdit->FSavedNamespace = FNamespace ? FNamespace->CloneNamespace() : nullptr;
    const QString text = FEdit->text();
    if (text.isEmpty())
        return;
    TKnownNamespaces& known = KnownNamespaces();
    const QString path = ResolveTyped(text);
    if (path.contains(QStringLiteral(":///"))) {
        if (!GoToFolderPath(path))
            ReportInvalidPath(text);
        return;
    }
    if (path.startsWith(u'/') && WideDirectoryExists(path)) {
        if (GoToFolderPath(path)) {
            FEdit->selectAll();
            return;
        }
    }
    // A special folder named by its display name: the desktop's folders, then Computer's.
    for (TNamespace* folder : {known.DesktopFolder.get(), known.MyComputerFolder.get()})
        if (folder && GoToNamedItem(*folder, text, true))
            return;
    if (path.startsWith(u'/') && WideFileExists(path) && OpenFile(path, text))
        return;
    if (known.DesktopFolder) {
        if (WideCompareText(text.toUpper(), known.DesktopFolder->DisplayNameNormal()) == 0) {
            SetPath(known.DesktopFolder.get());
            return;
        }
        if (GoToNamedItem(*known.DesktopFolder, text, false))
            return;
    }
    ReportInvalidPath(text);
}

void TCustomShellExplorerCombobox::ReportInvalidPath(const QString& text)
{
    FEdit->ShowInvalidPath(text);
}

#include "ExLib/run/edits/ExComboEdit.h"

#include "ExLib/run/common/ExStrUtils.h"
#include "ExLib/run/controls/ExThemes.h"

#include "Platform/core/QtBridge.h"

#include <QApplication>
#include <QCompleter>
#include <QContextMenuEvent>
#include <QFontMetrics>
#include <QPainter>
#include <QStringListModel>
#include <QStyle>
#include <QStyleOptionFrame>

namespace {

// A picture with dark pixels where `dark` says, on white.
QImage MonoPicture(int width, int height, const std::function<bool(int, int)>& dark)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, dark(x, y) ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
    return image;
}

} // namespace

QImage EllipsisGlyph(int buttonWidth)
{
    const int width = std::max(1, buttonWidth - 6);
    const int gap = std::clamp((width - 6) / 2, 1, 3);
    const int first = (width - 6 - 2 * gap) / 2;
    return MonoPicture(width, 4, [&](int x, int y) {
        if (y < 1 || y > 2)
            return false;
        for (int dot = 0; dot < 3; ++dot) {
            const int left = first + dot * (2 + gap);
            if (x >= left && x < left + 2)
                return true;
        }
        return false;
    });
}

QImage ComboArrowGlyph()
{
    return MonoPicture(7, 4, [](int x, int y) { return x >= y && x < 7 - y; });
}

// ---- TExEditButton

TExEditButton::TExEditButton(TExCustomComboEdit* edit, QWidget* parent)
    : TExImageSpeedButton(edit, parent), FEdit(edit)
{
    SetControlStyle(ControlStyle() + TControlStyle{csReplicatable});
}

void TExEditButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TExImageSpeedButton::MouseDown(button, shift, x, y);
    if (button != TMouseButton::mbLeft || !FEdit)
        return;
    NoAction = FEdit->PopupVisible();
    if (FEdit->PopupVisible())
        FEdit->ClosePopup(Standard);
    else if ((FEdit->focusPolicy() & Qt::TabFocus) && FEdit->CanFocus() && !FEdit->Focused())
        FEdit->SetFocus();
}

void TExEditButton::Click()
{
    if (NoAction) {
        NoAction = false;
        return;
    }
    TExImageSpeedButton::Click();
}

void TExEditButton::Paint()
{
    const bool down = State() == TExButtonState::bsDown || State() == TExButtonState::bsExclusive;
    if (CurrentThemeServices().ThemesEnabled() && ThemedDropDown) {
        const TThemedState state = !Enabled() ? TThemedState::Disabled
                                   : down     ? TThemedState::Pressed
                                   : Hot()    ? TThemedState::Hot
                                              : TThemedState::Normal;
        CurrentThemeServices().DrawElement(
            *Canvas().Handle(), TExThemeServices::GetElementDetails(TThemedElement::ComboDropDown, state), ClientRect(),
            this);
    } else {
        TExImageSpeedButton::Paint();
    }
    if (down)
        return;
    TCanvas& canvas = Canvas();
    canvas.Pen().SetColor(clBtnFace);
    canvas.MoveTo(0, 0);
    canvas.LineTo(0, Height() - 1);
    canvas.Pen().SetColor(clBtnHighlight);
    canvas.MoveTo(1, 1);
    canvas.LineTo(1, Height() - 2);
}

void TExEditButton::contextMenuEvent(QContextMenuEvent* event)
{
    event->accept(); // no context menu on the button
}

// ---- TExCustomComboEdit

TExCustomComboEdit::TExCustomComboEdit(TComponent* AOwner, QWidget* parent)
    : TExExCustomMaskEdit(AOwner, parent), FItems(std::make_unique<TStringList>())
{
    resize(121, 21);
    SetControlStyle(ControlStyle() + TControlStyle{csCaptureMouse});
    auto* container = new TWinControl(nullptr, this);
    container->SetControlStyle(container->ControlStyle() + TControlStyle{csReplicatable});
    container->resize(21, 17);
    FContainer = container;
    FButton = new TExEditButton(this, container);
    FButton->SetBounds(0, 0, 21, 17);
    FButton->OnClick = [this](TObject*) { InnerButtonClick(); };
    container->show();
    FButton->show();
    ApplyDisabledColors();
    PlaceButton();
    FConstructing = false;
}

TExCustomComboEdit::~TExCustomComboEdit()
{
    Destroying();
    FPopupVisible = false;
    if (FButton)
        FButton->OnClick = nullptr;
    setCompleter(nullptr);
    if (FImages)
        FImages->RemoveFreeNotification(this);
}

TCustomImageList& TExCustomComboEdit::StockImages()
{
    static TCustomImageList images(nullptr, 14, 12);
    return images;
}

// ---- button

int TExCustomComboEdit::ButtonWidth() const
{
    if (!FShowButton)
        return FSavedWidth;
    // A width below 2 hides the button: then it has none.
    return FContainer->isVisibleTo(const_cast<TExCustomComboEdit*>(this)) ? FButton->Width() : 0;
}

void TExCustomComboEdit::SetButtonWidth(int value)
{
    if (!FShowButton) {
        FSavedWidth = value;
        return;
    }
    const bool shown = FContainer->isVisibleTo(this);
    if (shown && value == FButton->Width())
        return;
    if (value < 2) {
        if (shown)
            FSavedWidth = FButton->Width();
        FContainer->hide();
        ApplyTextRect();
        return;
    }
    // A button as wide as the edit would leave no room for text.
    if (!FConstructing && value >= width())
        return;
    ApplyButtonWidth(value);
}

void TExCustomComboEdit::ApplyButtonWidth(int value)
{
    FContainer->show();
    FButton->resize(value, FButton->Height());
    PlaceButton();
    ChooseButtonPicture();
}

void TExCustomComboEdit::SetShowButton(bool value)
{
    if (value == FShowButton)
        return;
    if (value) {
        FShowButton = true;
        ApplyButtonWidth(FSavedWidth);
    } else {
        FSavedWidth = ButtonWidth();
        FContainer->hide();
        FShowButton = false;
        ApplyTextRect();
    }
}

void TExCustomComboEdit::SetButtonFlat(bool value)
{
    FButton->SetFlat(value);
    if (CurrentThemeServices().ThemesEnabled() && FImageKind == TExImageKind::ikDropDown)
        ChooseButtonPicture();
}

void TExCustomComboEdit::PlaceButton()
{
    QStyleOptionFrame option;
    initStyleOption(&option);
    const QRect inner = style()->subElementRect(QStyle::SE_LineEditContents, &option, this);
    // The container lies inside the frame, flush with its right and upper edges.
    const int w = FButton->Width();
    const QRect area = hasFrame() ? inner : rect();
    FContainer->setGeometry(area.right() + 1 - w, area.top(), w, area.height());
    FButton->SetBounds(0, 0, w, area.height());
    ApplyTextRect();
}

void TExCustomComboEdit::ApplyTextRect()
{
    const int margin = FShowButton && FContainer->isVisibleTo(this) ? FContainer->width() + 2 : 0;
    setTextMargins(0, 0, margin, 0);
}

int TExCustomComboEdit::FontTextHeight() const
{
    return QFontMetrics(font()).height();
}

int TExCustomComboEdit::MinimumHeight() const
{
    return FontTextHeight() + (hasFrame() ? 4 + 1 : 0);
}

void TExCustomComboEdit::Resized()
{
    if (Height() < MinimumHeight()) {
        resize(Width(), MinimumHeight());
        return;
    }
    PlaceButton();
    TExExCustomMaskEdit::Resized();
}

void TExCustomComboEdit::SetFlat(bool value)
{
    setFrame(!value);
    PlaceButton();
}

void TExCustomComboEdit::ChooseButtonPicture()
{
    if (!FShowButton)
        return;
    if (FImageKind == TExImageKind::ikDropDown || FImageKind == TExImageKind::ikEllipsis) {
        FButton->SetImageIndex(-1);
        FButton->GlyphObject().SetNumGlyphs(1);
    }
    if (FImageKind == TExImageKind::ikDropDown) {
        FButton->ThemedDropDown = CurrentThemeServices().ThemesEnabled() && !FButton->Flat();
        FButton->GlyphObject().SetGlyph(FButton->ThemedDropDown ? QImage() : ComboArrowGlyph());
    } else if (FImageKind == TExImageKind::ikEllipsis) {
        FButton->ThemedDropDown = false;
        FButton->GlyphObject().SetGlyph(EllipsisGlyph(FButton->Width()));
    }
    FButton->Invalidate();
}

void TExCustomComboEdit::SetImageKind(TExImageKind kind)
{
    if (kind == FImageKind)
        return;
    FImageKind = kind;
    FButton->ThemedDropDown = false;
    ChooseButtonPicture();
    switch (kind) {
    case TExImageKind::ikCustom:
        FButton->SetImages(FImages);
        FButton->SetImageIndex(FImageIndex);
        FButton->GlyphObject().SetNumGlyphs(FNumGlyphs);
        break;
    case TExImageKind::ikDefault: ApplyStockImage(); break;
    case TExImageKind::ikDropDown:
        SetButtonWidth(QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent));
        break;
    case TExImageKind::ikEllipsis: break;
    }
}

void TExCustomComboEdit::ApplyStockImage()
{
    if (FImageKind != TExImageKind::ikDefault)
        return;
    FButton->GlyphObject().SetGlyph(QImage());
    FButton->SetImages(&StockImages());
    const int index = StockImageIndex();
    FButton->SetImageIndex(index);
    if (StockImages().ValidIndex(index))
        SetButtonWidth(std::max(StockImages().Width() + 6, FButton->Width()));
}

void TExCustomComboEdit::SetGlyph(const QImage& glyph)
{
    SetImageKind(TExImageKind::ikCustom);
    FButton->SetImageIndex(-1);
    FButton->GlyphObject().SetGlyph(glyph);
    FNumGlyphs = FButton->GlyphObject().NumGlyphs();
}

int TExCustomComboEdit::NumGlyphs() const
{
    return FImageKind == TExImageKind::ikCustom ? FButton->GlyphObject().NumGlyphs() : FNumGlyphs;
}

void TExCustomComboEdit::SetNumGlyphs(int value)
{
    FNumGlyphs = value;
    if (FImageKind == TExImageKind::ikCustom)
        FButton->GlyphObject().SetNumGlyphs(std::min(value, 5));
}

void TExCustomComboEdit::SetImages(TCustomImageList* images)
{
    if (images == FImages)
        return;
    if (FImages)
        FImages->RemoveFreeNotification(this);
    FImages = images;
    if (images)
        images->FreeNotification(this);
    else
        FImageIndex = -1;
    if (FImageKind == TExImageKind::ikCustom) {
        FButton->SetImages(images);
        FButton->SetImageIndex(FImageIndex);
    }
}

void TExCustomComboEdit::SetImageIndex(int index)
{
    FImageIndex = index;
    if (FImageKind == TExImageKind::ikCustom)
        FButton->SetImageIndex(index);
}

bool TExCustomComboEdit::ReadLegacyProperty(const std::string& name, const std::string& value)
{
    if (SameTextIgnoringCase(name, "GlyphKind")) {
        static const char* const kinds[] = {"gkCustom", "gkDefault", "gkDropDown", "gkEllipsis"};
        for (int i = 0; i < 4; ++i)
            if (SameTextIgnoringCase(value, kinds[i]))
                SetImageKind(static_cast<TExImageKind>(i));
        return true;
    }
    if (SameTextIgnoringCase(name, "Ctl3D")) {
        SetFlat(!SameTextIgnoringCase(value, "True"));
        return true;
    }
    return false;
}

// ---- read-only and direct input

void TExCustomComboEdit::ApplyReadOnly()
{
    setReadOnly(FReadOnly || !FDirectInput);
}

void TExCustomComboEdit::SetReadOnly(bool value)
{
    FReadOnly = value;
    ApplyReadOnly();
    if (value)
        SetClipboardCommands(ClipboardCommands());
}

void TExCustomComboEdit::SetDirectInput(bool value)
{
    FDirectInput = value;
    ApplyReadOnly();
}

void TExCustomComboEdit::SetClipboardCommands(TExClipboardCommands value)
{
    if (FReadOnly && !(value - TExClipboardCommands{caCopy}).Empty())
        value = TExClipboardCommands{caCopy};
    TExExCustomMaskEdit::SetClipboardCommands(value);
}

void TExCustomComboEdit::SetDisabledColor(TColor color)
{
    FDisabledColor = color;
    ApplyDisabledColors();
}

void TExCustomComboEdit::SetDisabledTextColor(TColor color)
{
    FDisabledTextColor = color;
    ApplyDisabledColors();
}

void TExCustomComboEdit::ApplyDisabledColors()
{
    QPalette p = palette();
    p.setColor(QPalette::Disabled, QPalette::Base, ToQColor(FDisabledColor));
    p.setColor(QPalette::Disabled, QPalette::Text, ToQColor(FDisabledTextColor));
    setPalette(p);
    update();
}

void TExCustomComboEdit::SetGroupIndex(int value)
{
    FGroupIndex = value;
    ClearGroupMates();
}

void TExCustomComboEdit::ClearGroupMates()
{
    if (FGroupIndex == -1 || !Owner())
        return;
    for (int i = 0; i < Owner()->ComponentCount(); ++i) {
        auto* other = dynamic_cast<TExCustomComboEdit*>(Owner()->Components(i));
        if (other && other != this && other->Name() != Name() && other->FGroupIndex == FGroupIndex)
            other->SetText("");
    }
}

// ---- keys, focus, messages

void TExCustomComboEdit::KeyDown(WORD& key, TShiftState shift)
{
    ClearGroupMates();
    if (shift.Contains(ssCtrl) && (key == VK_TAB || key == VK_RETURN)) {
        if (TWinControlCore* form = FormControl())
            form->Perform(WM_KEYDOWN, key, 0);
        key = 0;
        return;
    }
    TExExCustomMaskEdit::KeyDown(key, shift);
    if (key != 0 && ShortCut(key, shift) == ClickKey && ButtonWidth() > 0 && FShowButton) {
        InnerButtonClick();
        key = 0;
    }
}

void TExCustomComboEdit::KeyPress(char32_t& key)
{
    if (key == 13 || key == 27 || (key == 10 && PopupVisible())) {
        if (PopupVisible()) {
            ClosePopup(key != 27);
            key = 0;
            return;
        }
        if (TWinControlCore* form = FormControl())
            form->Perform(CM_DIALOGKEY, key, 0);
        if (key == 13) {
            TExExCustomMaskEdit::KeyPress(key);
            key = 0;
            return;
        }
    }
    if (key == 9 || key == 10)
        key = 0;
    TExExCustomMaskEdit::KeyPress(key);
}

void TExCustomComboEdit::DoEnter()
{
    if (AutoSelect && !(QGuiApplication::mouseButtons() & Qt::LeftButton) && FDirectInput)
        selectAll();
    TExExCustomMaskEdit::DoEnter();
}

void TExCustomComboEdit::FocusLost(QWidget* nextWindow)
{
    if (PopupVisible() && nextWindow != FPopup && !(FPopup && FPopup->isAncestorOf(nextWindow)))
        PostClosePopup(false);
    TExExCustomMaskEdit::FocusLost(nextWindow);
}

void TExCustomComboEdit::WndProc(TMessage& message)
{
    switch (message.Msg) {
    case WM_CUT:
    case WM_PASTE:
        if (!FDirectInput || FReadOnly)
            return;
        TExExCustomMaskEdit::WndProc(message);
        if (message.Msg == WM_PASTE)
            ClearGroupMates();
        return;
    case WM_CLEAR:
        if (ClipboardCommands().Contains(caClear))
            SetText("");
        else
            message.Result = 1;
        return;
    case CM_POPUPCLOSEUP: ClosePopup(message.WParam != 0); return;
    case CM_SYSCOLORCHANGE:
        // A theme switch may change the stock picture.
        ApplyStockImage();
        TExExCustomMaskEdit::WndProc(message);
        return;
    default: TExExCustomMaskEdit::WndProc(message);
    }
}

void TExCustomComboEdit::Change()
{
    if (PopupVisible())
        TextChangedWhilePopup();
    else
        PlainTextChanged();
    TExExCustomMaskEdit::Change();
}

void TExCustomComboEdit::EnabledChanged()
{
    TExExCustomMaskEdit::EnabledChanged();
    update();
    FButton->SetEnabled(Enabled());
    if (OnEnabledToggle)
        OnEnabledToggle(this);
}

void TExCustomComboEdit::FontChanged()
{
    TExExCustomMaskEdit::FontChanged();
    ApplyTextRect();
}

void TExCustomComboEdit::Notification(TComponent* component, TOperation operation)
{
    TExExCustomMaskEdit::Notification(component, operation);
    if (operation == TOperation::opRemove && component == FImages) {
        FImages = nullptr;
        FImageIndex = -1;
        if (FButton && !ComponentState().Contains(csDestroying))
            FButton->SetImages(nullptr);
    }
}

// ---- button actions and popup

void TExCustomComboEdit::InnerButtonClick()
{
    if (FReadOnly)
        return;
    HandleButton();
}

void TExCustomComboEdit::HandleButton()
{
    if (OnButtonClick)
        OnButtonClick(this);
    if (PopupVisible())
        ClosePopup(true);
    else
        RunButtonAction(true);
}

void TExCustomComboEdit::RunButtonAction(bool disableEdit)
{
    if ((FReadOnly && !FAlwaysShowPopup) || PopupVisible())
        return;
    PreparePopup();
    if (!FPopup)
        return;
    QPoint origin = mapToGlobal(QPoint(0, 0));
    const QRect monitor = screen() ? screen()->geometry() : QRect(0, 0, 1 << 16, 1 << 16);
    const QSize size = FPopup->sizeHint();
    int y = origin.y() + height();
    if (y + size.height() > monitor.bottom())
        y = origin.y() - size.height();
    int x = origin.x() + width() - size.width();
    if (x < monitor.left())
        x = origin.x();
    x = std::clamp(x, monitor.left(), std::max(monitor.left(), monitor.right() - size.width()));
    if (CanFocus())
        SetFocus();
    FPopup->move(x, y);
    FPopup->show();
    FPopupVisible = true;
    if (OnAfterPopupShow)
        OnAfterPopupShow(this);
    if (disableEdit)
        setReadOnly(true);
}

void TExCustomComboEdit::ClosePopup(bool accept)
{
    if (!PopupVisible())
        return;
    const std::string value = ReadPopupValue();
    FPopup->hide();
    FPopupVisible = false;
    if (OnAfterPopupHide)
        OnAfterPopupHide(this);
    if (CanFocus() && window()->isVisible())
        SetFocus();
    ApplyReadOnly();
    update();
    if (accept && PopupValueAllowed() && EditCanModify()) {
        TakePopupValue(value);
        if (hasFocus())
            selectAll();
    }
}

void TExCustomComboEdit::PostClosePopup(bool accept)
{
    PostMessage(CM_POPUPCLOSEUP, accept ? 1 : 0, 0);
}

std::string TExCustomComboEdit::ReadPopupValue()
{
    return {};
}

void TExCustomComboEdit::TakePopupValue(const std::string& value)
{
    if (Text() == value)
        return;
    SetText(value);
    setModified(true);
}

// ---- completion

QAbstractItemModel* TExCustomComboEdit::CompletionSource()
{
    QStringList items;
    for (int i = 0; i < FItems->Count(); ++i)
        items << QStr(FItems->Get(i));
    return new QStringListModel(items, FCompleter.get());
}

void TExCustomComboEdit::BindShellCompletion()
{
    if (ComponentState().Contains(csDesigning) || FAutoCompleteOptions.Empty()) {
        setCompleter(nullptr);
        FCompleter.reset();
        return;
    }
    if (!FCompleter) {
        FCompleter = std::make_unique<QCompleter>();
        FCompleter->setModel(CompletionSource());
        setCompleter(FCompleter.get());
    }
}

void TExCustomComboEdit::ApplyCompletionOptions()
{
    if (!FCompleter)
        return;
    const bool suggest = FAutoCompleteOptions.Contains(acoAutoSuggest);
    const bool append = FAutoCompleteOptions.Contains(acoAutoAppend);
    FCompleter->setCompletionMode(!suggest && append ? QCompleter::InlineCompletion : QCompleter::PopupCompletion);
    FCompleter->setCaseSensitivity(Qt::CaseInsensitive);
}

void TExCustomComboEdit::SetAutoCompleteOptions(TExAutoCompleteOptions options)
{
    if (options == FAutoCompleteOptions)
        return;
    FAutoCompleteOptions = options;
    BindShellCompletion();
    ApplyCompletionOptions();
}

#include "ExLib/run/edits/ExSpinEdit.h"

#include "ExLib/run/common/ExResources.h"
#include "ExLib/run/common/ExStrUtils.h"

#include "Platform/core/Exceptions.h"
#include "Platform/core/QtBridge.h"
#include "Platform/text/Format.h"

#include <QApplication>
#include <QFontMetrics>
#include <QStyle>
#include <cmath>

namespace {

// The first character of a separator, as a key.
char32_t KeyOf(const std::string& separator)
{
    const QString s = QStr(separator);
    return s.isEmpty() ? 0 : s.toUcs4().value(0);
}

std::string RemoveThousands(const std::string& text, const TNumberSeparators& separators)
{
    if (separators.Thousands == separators.Decimal || separators.Thousands.empty())
        return text;
    return ReplaceAllText(text, separators.Thousands, "");
}

int RoundedMin(double minValue)
{
    return static_cast<int>(RoundTiesEven(minValue));
}

} // namespace

// ---- TExUpDown

TExUpDown::TExUpDown(TComponent* AOwner, QWidget* parent) : TCustomUpDown(AOwner, parent)
{
    SetRange(-1, 1);
    SetPosition(0);
}

TExUpDown::~TExUpDown()
{
    OnClick = nullptr;
}

void TExUpDown::WndProc(TMessage& message)
{
    if ((message.Msg == WM_VSCROLL || message.Msg == WM_HSCROLL) && (message.WParam & 0xFFFF) == SB_THUMBPOSITION) {
        if (FHandling)
            return;
        FHandling = true;
        struct Reset {
            bool& Flag;
            ~Reset() { Flag = false; }
        } reset{FHandling};
        const int position = static_cast<std::int16_t>((message.WParam >> 16) & 0xFFFF);
        if (position > 0)
            Click(TUDBtnType::btNext);
        else if (position < 0)
            Click(TUDBtnType::btPrev);
        SetPosition(0);
        return;
    }
    TCustomUpDown::WndProc(message);
}

void TExUpDown::Resize()
{
    if (Width() != TExCustomSpinEdit::DefaultButtonWidth()) {
        resize(TExCustomSpinEdit::DefaultButtonWidth(), Height());
        return;
    }
    TCustomUpDown::Resize();
}

// ---- TExCustomSpinEdit

TExCustomSpinEdit::TExCustomSpinEdit(TComponent* AOwner, QWidget* parent) : TExExCustomMaskEdit(AOwner, parent)
{
    resize(121, 21);
    RecreateButton();
}

TExCustomSpinEdit::~TExCustomSpinEdit()
{
    FDestroying = true;
    FChanging = true;
    delete FUpDown;
    delete FContainer;
}

int TExCustomSpinEdit::DefaultButtonWidth()
{
    return std::min(QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent), 15);
}

int TExCustomSpinEdit::ButtonWidth() const
{
    if (!FShowButton)
        return 0;
    if (FUpDown)
        return FUpDown->Width();
    if (FSpinButton)
        return FSpinButton->Width();
    return DefaultButtonWidth();
}

int TExCustomSpinEdit::MinHeight() const
{
    return QFontMetrics(font()).height() + 4 + 1;
}

int TExCustomSpinEdit::IntValue()
{
    const double value = std::trunc(Value());
    if (!std::isfinite(value) || std::fabs(value) >= 9.2e18)
        return 0;
    return static_cast<int>(static_cast<std::uint32_t>(static_cast<std::int64_t>(value)));
}

// ---- bounds

double TExCustomSpinEdit::CheckValue(double value) const
{
    double result = value;
    if (FCheckMinValue && value < FMinValue)
        result = FMinValue;
    if (FCheckMaxValue && value > FMaxValue)
        result = FMaxValue;
    return result;
}

double TExCustomSpinEdit::CheckValueRange(double value, bool raiseOnError) const
{
    const double checked = CheckValue(value);
    if ((FCheckMinValue || FCheckMaxValue) && raiseOnError && checked != value)
        throw ERangeError(Format(ExRes::ValueOutOfRange, {FMinValue, FMaxValue}));
    return checked;
}

bool TExCustomSpinEdit::CheckMinValueStored() const
{
    return FMinValue == 0 && FCheckMinValue != (FMaxValue != 0);
}

bool TExCustomSpinEdit::CheckMaxValueStored() const
{
    return FMaxValue == 0 && FCheckMaxValue != (FMinValue != 0);
}

void TExCustomSpinEdit::SetCheckMinValue(bool value)
{
    FCheckMinValue = FMinValue != 0 ? true : value;
    if (ComponentState().Contains(csLoading))
        FAutoCheckMinValue = false;
    WriteValue(Value());
}

void TExCustomSpinEdit::SetCheckMaxValue(bool value)
{
    FCheckMaxValue = FMaxValue != 0 ? true : value;
    if (ComponentState().Contains(csLoading))
        FAutoCheckMaxValue = false;
    WriteValue(Value());
}

void TExCustomSpinEdit::SetMaxValue(double value)
{
    if (value == FMaxValue)
        return;
    const bool wasAuto = !CheckMaxValueStored();
    const bool crossing = (FMaxValue == 0) != (value == 0);
    FMaxValue = value;
    if (crossing && FAutoCheckMaxValue) {
        SetCheckMaxValue(AutoCheckState());
        if (wasAuto && FAutoCheckMinValue)
            SetCheckMinValue(AutoCheckState());
    }
    WriteValue(Value());
}

void TExCustomSpinEdit::SetMinValue(double value)
{
    if (value == FMinValue)
        return;
    const bool wasAuto = !CheckMinValueStored();
    const bool crossing = (FMinValue == 0) != (value == 0);
    FMinValue = value;
    if (crossing && FAutoCheckMinValue) {
        SetCheckMinValue(AutoCheckState());
        if (wasAuto && FAutoCheckMaxValue)
            SetCheckMaxValue(AutoCheckState());
    }
    WriteValue(Value());
}

void TExCustomSpinEdit::Loaded()
{
    TExExCustomMaskEdit::Loaded();
    FAutoCheckMinValue = true;
    FAutoCheckMaxValue = true;
    FOldValue = Value();
}

// ---- formats

void TExCustomSpinEdit::WriteValueType(TValueType type)
{
    if (type == FValueType)
        return;
    const double value = Value();
    FValueType = type;
    if (type == TValueType::vtInteger || type == TValueType::vtHex) {
        FIncrement = RoundTiesEven(FIncrement);
        if (FIncrement == 0)
            FIncrement = 1;
    }
    if (type == TValueType::vtHex)
        FThousands = false;
    WriteValue(value);
}

void TExCustomSpinEdit::SetDecimal(int value)
{
    if (value == FDecimal)
        return;
    FDecimal = value;
    WriteValue(Value());
}

void TExCustomSpinEdit::SetThousands(bool value)
{
    if (FValueType == TValueType::vtHex || value == FThousands)
        return;
    const double current = Value();
    FThousands = value;
    WriteValue(current);
}

void TExCustomSpinEdit::SetDisplayFormat(const std::string& format)
{
    if (format == FDisplayFormat)
        return;
    FDisplayFormat = format;
    Invalidate();
}

void TExCustomSpinEdit::SetTextKeepingModified(const std::string& text)
{
    const bool modified = isModified();
    SetText(text);
    setModified(modified);
}

void TExCustomSpinEdit::SetEditFocused(bool value)
{
    if (value == FEditFocused)
        return;
    FEditFocused = value;
    Invalidate();
    RefreshText();
}

void TExCustomSpinEdit::RefreshText()
{
    if (FValueType != TValueType::vtFloat || !FEditFocused || FDisplayFormat.empty())
        return;
    const std::string format = FDecimal > 0 ? "0." + RepeatChar('#', FDecimal) : "0";
    SetTextKeepingModified(FormatFloatPicture(format, Value(), Separators()));
}

// ---- changes

void TExCustomSpinEdit::Change()
{
    if (FChanging || FDestroying)
        return;
    FChanging = true;
    const int selStart = cursorPosition();
    try {
        if (!ComponentState().Contains(csDesigning) && CheckOptions.Contains(coCheckOnChange)) {
            const double value = Value();
            try {
                CheckValueRange(value, !CheckOptions.Contains(coCropBeyondLimit));
            } catch (const ERangeError&) {
                // while typing the value is cut to the bound instead
            }
            WriteValue(CheckValue(value));
        }
    } catch (...) {
        FChanging = false;
        throw;
    }
    FChanging = false;
    const double value = Value();
    if (value != FOldValue) {
        TExExCustomMaskEdit::Change();
        FOldValue = value;
    }
    setCursorPosition(selStart);
}

void TExCustomSpinEdit::UpClick(TObject*)
{
    if (ReadOnly()) {
        ErrorBeep();
        return;
    }
    const std::string old = Text();
    FChanging = true;
    try {
        WriteValue(Value() + FIncrement);
    } catch (...) {
        FChanging = false;
        throw;
    }
    FChanging = false;
    if (!SameTextIgnoringCase(Text(), old)) {
        setModified(true);
        Change();
    }
    if (OnTopClick)
        OnTopClick(this);
}

void TExCustomSpinEdit::DownClick(TObject*)
{
    if (ReadOnly()) {
        ErrorBeep();
        return;
    }
    const std::string old = Text();
    FChanging = true;
    try {
        WriteValue(Value() - FIncrement);
    } catch (...) {
        FChanging = false;
        throw;
    }
    FChanging = false;
    if (!SameTextIgnoringCase(Text(), old)) {
        setModified(true);
        Change();
    }
    if (OnBottomClick)
        OnBottomClick(this);
}

// ---- keys, wheel, focus

bool TExCustomSpinEdit::IsValidChar(char32_t key)
{
    const TNumberSeparators separators = Separators();
    std::u32string accepted = U"+-0123456789";
    const QString text = QStr(Text());
    if (FValueType == TValueType::vtFloat) {
        if (!text.contains(QStr(separators.Decimal))) {
            accepted += KeyOf(separators.Decimal);
            if (!(FThousands && separators.Thousands == "."))
                accepted += U'.';
        }
        if (!text.toUpper().contains(QLatin1Char('E')))
            accepted += U"Ee";
    } else if (FValueType == TValueType::vtHex) {
        accepted += U"ABCDEFabcdef";
    }
    bool valid = accepted.find(key) != std::u32string::npos || key < 32;
    if (!EditorEnabled && valid && (key >= 32 || key == 8))
        valid = false;
    return valid;
}

void TExCustomSpinEdit::KeyPress(char32_t& key)
{
    const TNumberSeparators separators = Separators();
    const char32_t decimal = KeyOf(separators.Decimal);
    if (key == decimal && FValueType == TValueType::vtFloat) {
        const qsizetype at = QStr(Text()).indexOf(QStr(separators.Decimal));
        if (at >= 0) {
            key = 0;
            deselect();
            setCursorPosition(static_cast<int>(at + QStr(separators.Decimal).size()));
            return;
        }
    }
    if (!IsValidChar(key)) {
        key = 0;
        ErrorBeep();
        return;
    }
    if (key == U'.' && decimal != U'.' && !(FThousands && separators.Thousands == ".")) {
        // The key stands for the decimal separator; the edit takes the separator instead.
        key = 0;
        TExExCustomMaskEdit::KeyPress(key);
        insert(QStr(separators.Decimal));
        return;
    }
    if (key != 0)
        TExExCustomMaskEdit::KeyPress(key);
    if (key == 13 || key == 27) {
        if (TWinControlCore* form = FormControl())
            form->Perform(CM_DIALOGKEY, key, 0);
        if (key == 13)
            key = 0;
    }
}

void TExCustomSpinEdit::KeyDown(WORD& key, TShiftState shift)
{
    TExExCustomMaskEdit::KeyDown(key, shift);
    if (!ArrowKeys)
        return;
    if (key == VK_UP) {
        UpClick(this);
        key = 0;
    } else if (key == VK_DOWN) {
        DownClick(this);
        key = 0;
    }
}

bool TExCustomSpinEdit::DoMouseWheel(TShiftState, int wheelDelta, TPoint)
{
    if (wheelDelta > 0)
        UpClick(nullptr);
    else
        DownClick(nullptr);
    return true;
}

void TExCustomSpinEdit::DoEnter()
{
    SetEditFocused(true);
    if (!(QGuiApplication::mouseButtons() & Qt::LeftButton))
        selectAll();
    TExExCustomMaskEdit::DoEnter();
}

void TExCustomSpinEdit::DoExit()
{
    SetEditFocused(false);
    if (!ComponentState().Contains(csDesigning) && CheckOptions.Contains(coCheckOnExit)) {
        try {
            const double value = Value();
            CheckValueRange(value, !CheckOptions.Contains(coCropBeyondLimit));
            WriteValue(CheckValue(value));
        } catch (...) {
            SetEditFocused(true);
            selectAll();
            if (CanFocus())
                SetFocus();
            throw;
        }
    }
    TExExCustomMaskEdit::DoExit();
}

void TExCustomSpinEdit::FocusLost(QWidget* nextWindow)
{
    if (CheckOptions.Contains(coCheckOnExit) && CheckOptions.Contains(coCropBeyondLimit) &&
        !ComponentState().Contains(csDesigning))
        WriteValue(CheckValue(Value()));
    TExExCustomMaskEdit::FocusLost(nextWindow);
}

void TExCustomSpinEdit::WndProc(TMessage& message)
{
    if ((message.Msg == WM_CUT || message.Msg == WM_PASTE) && (!EditorEnabled || ReadOnly()))
        return; // dropped
    TExExCustomMaskEdit::WndProc(message);
}

// ---- layout

void TExCustomSpinEdit::SetAlignment(TAlignment alignment)
{
    if (alignment == FAlignment)
        return;
    FAlignment = alignment;
    setAlignment(alignment == TAlignment::taCenter        ? Qt::AlignHCenter
                 : alignment == TAlignment::taRightJustify ? Qt::AlignRight
                                                           : Qt::AlignLeft);
}

void TExCustomSpinEdit::SetButtonKind(TSpinButtonKind kind)
{
    if (kind == FButtonKind)
        return;
    FButtonKind = kind;
    RecreateButton();
    ResizeButton();
    SetEditRect();
}

void TExCustomSpinEdit::SetShowButton(bool value)
{
    if (value == FShowButton)
        return;
    FShowButton = value;
    RecreateButton();
    ResizeButton();
    SetEditRect();
}

void TExCustomSpinEdit::RecreateButton()
{
    if (FDestroying)
        return;
    delete FUpDown;
    FUpDown = nullptr;
    delete FContainer;
    FContainer = nullptr;
    FSpinButton = nullptr;
    if (!FShowButton)
        return;
    if (FButtonKind == TSpinButtonKind::bkStandard) {
        FUpDown = new TExUpDown(nullptr, this);
        FUpDown->SetBounds(0, 1, DefaultButtonWidth(), Height());
        FUpDown->OnClick = [this](TObject*, TUDBtnType button) { UpDownClick(button); };
        FUpDown->show();
    } else {
        auto* container = new TWinControl(nullptr, this);
        FContainer = container;
        const int width = FButtonKind == TSpinButtonKind::bkClassic ? DefaultButtonWidth() : Height();
        container->SetBounds(0, 0, width, Height());
        FSpinButton = new TExSpinButton(nullptr, container);
        if (FButtonKind == TSpinButtonKind::bkClassic)
            FSpinButton->SetButtonStyle(TExSpinButtonStyle::sbsClassic);
        FSpinButton->SetFocusControl(this);
        FSpinButton->OnTopClick = [this](TObject* sender) { UpClick(sender); };
        FSpinButton->OnBottomClick = [this](TObject* sender) { DownClick(sender); };
        FSpinButton->SetBounds(1, 1, container->Width() - 1, container->Height() - 1);
        FSpinButton->show();
        container->show();
    }
    ResizeButton();
}

void TExCustomSpinEdit::ResizeButton()
{
    const int w = Width(), h = Height(), d = DefaultButtonWidth();
    // The table's rectangles are in client coordinates, which lie inside the 2-pixel frame.
    const bool look3D = hasFrame();
    const int shift = look3D ? 2 : 0;
    if (FUpDown) {
        FUpDown->SetBounds(w - shift - d, shift, d, h - 2 * shift);
        return;
    }
    if (!FContainer)
        return;
    TRect r;
    const bool classic = FButtonKind == TSpinButtonKind::bkClassic;
    if (look3D)
        r = classic ? Bounds(w - d - 4, -1, d, h - 3) : Bounds(w - h - 1, -1, h - 3, h - 3);
    else
        r = classic ? Bounds(w - d, 0, d, h) : Bounds(w - h, 0, h, h);
    FContainer->setGeometry(r.Left + shift, r.Top + shift, std::max(0, r.Width()), std::max(0, r.Height()));
    FSpinButton->SetBounds(1, 1, FContainer->width() - 1, FContainer->height() - 1);
}

void TExCustomSpinEdit::SetEditRect()
{
    setTextMargins(0, 0, ButtonWidth() + 2, 0);
}

void TExCustomSpinEdit::Resized()
{
    if (MinHeight() > Height()) {
        resize(Width(), MinHeight());
        return;
    }
    ResizeButton();
    SetEditRect();
    TExExCustomMaskEdit::Resized();
}

void TExCustomSpinEdit::EnabledChanged()
{
    TExExCustomMaskEdit::EnabledChanged();
    if (FUpDown) {
        FUpDown->SetEnabled(Enabled());
        ResizeButton();
    }
    if (FSpinButton)
        FSpinButton->SetEnabled(Enabled());
}

void TExCustomSpinEdit::FontChanged()
{
    TExExCustomMaskEdit::FontChanged();
    ResizeButton();
    SetEditRect();
}

void TExCustomSpinEdit::UpDownClick(TUDBtnType button)
{
    if ((focusPolicy() & Qt::TabFocus) && CanFocus())
        SetFocus();
    if (button == TUDBtnType::btNext)
        UpClick(this);
    else
        DownClick(this);
}

// ---- TExSpinEdit

TExSpinEdit::TExSpinEdit(TComponent* AOwner, QWidget* parent) : TExCustomSpinEdit(AOwner, parent)
{
    SetText("0");
}

double TExSpinEdit::GetValue()
{
    const TNumberSeparators separators = Separators();
    const std::string text = Text();
    switch (ValueType()) {
    case TValueType::vtFloat: {
        const std::string plain =
            DisplayFormat().empty() ? RemoveThousands(text, separators)
                                    : NormalizeNumberText(text, separators.Decimal, separators.Thousands);
        return TextToFloat(plain, separators).value_or(MinValue());
    }
    case TValueType::vtHex:
        if (const auto value = HexToInt32(text))
            return *value;
        return RoundedMin(MinValue());
    case TValueType::vtInteger: break;
    }
    if (const auto value = TextToInt32(RemoveThousands(text, separators)))
        return *value;
    return RoundedMin(MinValue());
}

void TExSpinEdit::WriteValue(double value)
{
    const double checked = CheckValue(value);
    const TNumberSeparators separators = Separators();
    std::string text;
    switch (ValueType()) {
    case TValueType::vtFloat:
        text = DisplayFormat().empty() ? FloatToFixed(checked, Decimal(), Thousands(), separators)
                                       : FormatFloatPicture(DisplayFormat(), checked, separators);
        break;
    case TValueType::vtHex: {
        // invariant: written in the 32 bits it is read back in.
        const double rounded = RoundTiesEven(checked);
        const auto wide = std::isfinite(rounded) && std::fabs(rounded) < 9.2e18 ? static_cast<std::int64_t>(rounded) : 0;
        text = Int32ToHex(static_cast<int>(static_cast<std::uint32_t>(wide)));
        break;
    }
    case TValueType::vtInteger: text = FloatToFixed(checked, 0, Thousands(), separators); break;
    }
    SetTextKeepingModified(text);
    RefreshText();
}

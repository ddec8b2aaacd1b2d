#pragma once
// TExSpinEdit: a one-line numeric edit with step buttons at its edge. Its value is kept as the
// edit's text; the value type (integer, floating point, hexadecimal) decides how the text is
// read and written, and optional bounds are enforced while typing, when the edit is left and on
// every write. The step buttons are either the platform's up-down control (TExUpDown) or the
// drawn spin button.

#include "ExLib/run/buttons/ExSpinButton.h"
#include "ExLib/run/controls/ExExMask.h"
#include "ExLib/run/edits/ExNumberText.h"

#include "Platform/controls/UpDown.h"

enum class TValueType { vtInteger, vtFloat, vtHex };
enum class TSpinButtonKind { bkStandard, bkDiagonal, bkClassic };
enum TExCheckOption { coCheckOnChange, coCheckOnExit, coCropBeyondLimit };
using TExCheckOptions = TSet<TExCheckOption>;

// The up-down kind of step buttons: range -1 to 1 at position 0; every step clicks and goes back
// to 0, so it never stops at a bound.
class TExUpDown : public TCustomUpDown {
public:
    explicit TExUpDown(TComponent* AOwner, QWidget* parent = nullptr);
    ~TExUpDown() override;

protected:
    void WndProc(TMessage& message) override;
    void Resize() override;

private:
    bool FHandling = false;
};

class TExCustomSpinEdit : public TExExCustomMaskEdit {
public:
    explicit TExCustomSpinEdit(TComponent* AOwner, QWidget* parent = nullptr);
    ~TExCustomSpinEdit() override;

    double Value() { return GetValue(); }
    void SetValue(double value) { WriteValue(value); }
    // The value truncated toward zero, as 32 bits.
    int IntValue();
    void SetIntValue(int value) { WriteValue(static_cast<double>(value)); }

    double MinValue() const { return FMinValue; }
    void SetMinValue(double value);
    double MaxValue() const { return FMaxValue; }
    void SetMaxValue(double value);
    bool CheckMinValue() const { return FCheckMinValue; }
    void SetCheckMinValue(bool value);
    bool CheckMaxValue() const { return FCheckMaxValue; }
    void SetCheckMaxValue(bool value);
    // Whether a form would store the flag (it differs from what the bounds give).
    bool CheckMinValueStored() const;
    bool CheckMaxValueStored() const;
    TExCheckOptions CheckOptions = {coCheckOnChange, coCheckOnExit, coCropBeyondLimit};

    TValueType ValueType() const { return FValueType; }
    void SetValueType(TValueType type) { WriteValueType(type); }
    double Increment() const { return FIncrement; }
    void SetIncrement(double value) { FIncrement = value; }
    int Decimal() const { return FDecimal; }
    void SetDecimal(int value);
    bool Thousands() const { return FThousands; }
    void SetThousands(bool value);
    const std::string& DisplayFormat() const { return FDisplayFormat; }
    void SetDisplayFormat(const std::string& format);
    bool EditorEnabled = true;
    bool ArrowKeys = true;
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment alignment);
    TSpinButtonKind ButtonKind() const { return FButtonKind; }
    void SetButtonKind(TSpinButtonKind kind);
    bool ShowButton() const { return FShowButton; }
    void SetShowButton(bool value);

    TExUpDown* UpDown() const { return FUpDown; }
    TExSpinButton* SpinButton() const { return FSpinButton; }
    QWidget* ButtonContainer() const { return FContainer; }

    // The smaller of the scroll bar's width and 15 pixels.
    static int DefaultButtonWidth();
    int ButtonWidth() const;
    int MinHeight() const;

    // The bound checks.
    double CheckValue(double value) const;
    double CheckValueRange(double value, bool raiseOnError) const;

    virtual void UpClick(TObject* sender);
    virtual void DownClick(TObject* sender);
    virtual bool IsValidChar(char32_t key);
    virtual std::string DefaultDisplayFormat() const { return ",0.##"; }

    void Loaded() override;

    TNotifyEvent OnTopClick;
    TNotifyEvent OnBottomClick;

protected:
    virtual double GetValue() = 0;
    virtual void WriteValue(double value) = 0;
    virtual void WriteValueType(TValueType type);
    virtual void RefreshText();

    void Change() override;
    void KeyDown(WORD& key, TShiftState shift) override;
    void KeyPress(char32_t& key) override;
    void DoEnter() override;
    void DoExit() override;
    bool DoMouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos) override;
    void Resized() override;
    void FocusLost(QWidget* nextWindow) override;
    void EnabledChanged() override;
    void FontChanged() override;
    void WndProc(TMessage& message) override;

    bool EditFocused() const { return FEditFocused; }
    void SetEditFocused(bool value);
    // Writes the text without counting as the user's change.
    void SetTextKeepingModified(const std::string& text);
    TNumberSeparators Separators() const { return LocaleSeparators(); }

private:
    bool AutoCheckState() const { return FMinValue != 0 || FMaxValue != 0; }
    void RecreateButton();
    void ResizeButton();
    void SetEditRect();
    void UpDownClick(TUDBtnType button);

    double FMinValue = 0;
    double FMaxValue = 0;
    bool FCheckMinValue = false;
    bool FCheckMaxValue = false;
    bool FAutoCheckMinValue = true;
    bool FAutoCheckMaxValue = true;
    TValueType FValueType = TValueType::vtInteger;
    double FIncrement = 1;
    int FDecimal = 2;
    bool FThousands = false;
    std::string FDisplayFormat;
    TAlignment FAlignment = TAlignment::taLeftJustify;
    TSpinButtonKind FButtonKind = TSpinButtonKind::bkDiagonal;
    bool FShowButton = true;
    bool FChanging = false;
    bool FEditFocused = false;
    bool FDestroying = false;
    double FOldValue = 0;
    TExUpDown* FUpDown = nullptr;
    QWidget* FContainer = nullptr;
    TExSpinButton* FSpinButton = nullptr;
};

class TExSpinEdit : public TExCustomSpinEdit {
public:
    explicit TExSpinEdit(TComponent* AOwner, QWidget* parent = nullptr);

protected:
    double GetValue() override;
    void WriteValue(double value) override;
};

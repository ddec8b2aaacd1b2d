#pragma once
// TExCustomComboEdit: a single-line edit with a push button inside its right edge. The button
// runs an action (the file-name and folder edits open their dialogs from it) or drops down a
// popup window below the edit. The edit adds a click key (Alt+Down), Ctrl+Tab and Ctrl+Enter
// passed to the form, Enter and Escape passed to the form's dialog keys, a read-only mode in which
// the button still works (DirectInput off), groups of edits that clear each other, its own
// disabled colours and auto-completion.

#include "ExLib/run/buttons/ExSpeedButton.h"
#include "ExLib/run/common/ExExceptions.h"
#include "ExLib/run/controls/ExExMask.h"

#include "Platform/text/Strings.h"

#include <QPointer>
#include <memory>

class QCompleter;
class QAbstractItemModel;
class TExCustomComboEdit;

// Closes the popup later: WParam is whether its value is taken.
constexpr UINT CM_POPUPCLOSEUP = CM_BASE + 0x300;

enum class TExImageKind { ikCustom, ikDefault, ikDropDown, ikEllipsis };
enum TExAutoCompleteOption {
    acoAutoSuggest, acoAutoAppend, acoSearch, acoFilterPrefixes, acoUseTab, acoUpDownKeyDropsList, acoRTLReading,
};
using TExAutoCompleteOptions = TSet<TExAutoCompleteOption>;

// The button inside the edit.
class TExEditButton : public TExImageSpeedButton {
public:
    TExEditButton(TExCustomComboEdit* edit, QWidget* parent);

    bool Standard = true;
    bool NoAction = false;
    bool ThemedDropDown = false;
    using TExImageSpeedButton::GlyphObject;

    void Click() override;

protected:
    void Paint() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    TExCustomComboEdit* FEdit;
};

class TExCustomComboEdit : public TExExCustomMaskEdit {
public:
    explicit TExCustomComboEdit(TComponent* AOwner, QWidget* parent = nullptr);
    ~TExCustomComboEdit() override;

    TExEditButton* Button() const { return FButton; }
    QWidget* ButtonContainer() const { return FContainer; }

    bool ButtonFlat() const { return FButton->Flat(); }
    void SetButtonFlat(bool value);
    std::string ButtonHint() const { return FButton->Hint(); }
    void SetButtonHint(const std::string& hint) { FButton->SetHint(hint); }
    int ButtonWidth() const;
    void SetButtonWidth(int value);
    bool ShowButton() const { return FShowButton; }
    void SetShowButton(bool value);
    TShortCut ClickKey = scAlt | VK_DOWN;
    bool DirectInput() const { return FDirectInput; }
    void SetDirectInput(bool value);
    bool ReadOnly() const { return FReadOnly; }
    virtual void SetReadOnly(bool value);
    TColor DisabledColor() const { return FDisabledColor; }
    virtual void SetDisabledColor(TColor color);
    TColor DisabledTextColor() const { return FDisabledTextColor; }
    virtual void SetDisabledTextColor(TColor color);
    // The inverse of the 3D look: no frame.
    bool Flat() const { return !hasFrame(); }
    void SetFlat(bool value);
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int value);
    bool AutoSelect = true;

    TExImageKind ImageKind() const { return FImageKind; }
    void SetImageKind(TExImageKind kind);
    const QImage& Glyph() const { return FButton->GlyphObject().Glyph(); }
    void SetGlyph(const QImage& glyph);
    int NumGlyphs() const;
    void SetNumGlyphs(int value);
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* images);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int index);

    TExAutoCompleteOptions AutoCompleteOptions() const { return FAutoCompleteOptions; }
    void SetAutoCompleteOptions(TExAutoCompleteOptions options);
    // The strings the base completion offers.
    TStrings& CompletionItems() { return *FItems; }
    QCompleter* Completer() const { return FCompleter.get(); }

    void SetClipboardCommands(TExClipboardCommands value) override;

    // A stored property of older forms ("GlyphKind" or "Ctl3D"); true when it was one of them.
    bool ReadLegacyProperty(const std::string& name, const std::string& value);

    // The shared picture list of all combo edits (14 x 12 pictures).
    static TCustomImageList& StockImages();
    virtual int StockImageIndex() { return -1; }

    bool PopupVisible() const { return FPopup && FPopupVisible; }
    QWidget* Popup() const { return FPopup; }

    TNotifyEvent OnButtonClick;
    TNotifyEvent OnAfterPopupShow;
    TNotifyEvent OnAfterPopupHide;
    TNotifyEvent OnEnabledToggle;

    // The button's action; the file and folder edits replace it with their dialogs.
    void InnerButtonClick();
    virtual void ClosePopup(bool accept);
    void PostClosePopup(bool accept);

protected:
    virtual void HandleButton();
    virtual void RunButtonAction(bool disableEdit);
    virtual void PreparePopup() {}
    virtual void PlainTextChanged() {}
    virtual void TextChangedWhilePopup() {}
    virtual bool PopupValueAllowed() { return true; }
    virtual std::string ReadPopupValue();
    virtual void TakePopupValue(const std::string& value);
    virtual QAbstractItemModel* CompletionSource();
    virtual void ApplyCompletionOptions();
    void BindShellCompletion();
    bool EditCanModify() const { return !FReadOnly; }
    // Lays out the button and the text margins.
    void ApplyTextRect();
    int FontTextHeight() const;
    int MinimumHeight() const;
    void ClearGroupMates();
    void ChooseButtonPicture();
    // Gives the button the stock picture of StockImageIndex (for ikDefault).
    void ApplyStockImage();
    void SetConstructing(bool value) { FConstructing = value; }

    void Change() override;
    void KeyDown(WORD& key, TShiftState shift) override;
    void KeyPress(char32_t& key) override;
    void DoEnter() override;
    void WndProc(TMessage& message) override;
    void Resized() override;
    void EnabledChanged() override;
    void FontChanged() override;
    void FocusLost(QWidget* nextWindow) override;
    void Notification(TComponent* component, TOperation operation) override;
    bool Constructing() const { return FConstructing; }

private:
    void PlaceButton();
    void ApplyButtonWidth(int value);
    void ApplyReadOnly();
    void ApplyDisabledColors();

    QWidget* FContainer = nullptr;
    TExEditButton* FButton = nullptr;
    bool FShowButton = true;
    int FSavedWidth = 21;
    bool FDirectInput = true;
    bool FReadOnly = false;
    TColor FDisabledColor = clWindow;
    TColor FDisabledTextColor = clGrayText;
    int FGroupIndex = -1;
    TExImageKind FImageKind = TExImageKind::ikCustom;
    int FNumGlyphs = 1;
    TCustomImageList* FImages = nullptr;
    int FImageIndex = -1;
    TExAutoCompleteOptions FAutoCompleteOptions;
    std::unique_ptr<TStringList> FItems;
    std::unique_ptr<QCompleter> FCompleter;
    QPointer<QWidget> FPopup;
    bool FPopupVisible = false;
    bool FAlwaysShowPopup = false;
    bool FConstructing = true;
};

// The ellipsis picture of a button `width` pixels wide: three 2 x 2 dots, dark on light.
QImage EllipsisGlyph(int width);
// The drop-down arrow picture, dark on light.
QImage ComboArrowGlyph();

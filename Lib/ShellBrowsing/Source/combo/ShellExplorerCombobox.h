#pragma once
// TCustomShellExplorerCombobox: an address bar for the namespace. An edit shows the current
// folder's name with its icon on the left and a drop button on the right. The button (or
// Alt+Down) drops down a folder tree to pick from; typing drops down the paths that complete
// the text; Enter goes to the typed folder (an absolute path, a path relative to the shown
// folder, a virtual folder's address or a special folder's name) or opens a typed file. A path
// that names nothing is reported and the part that does not exist is selected for retyping.
// An explorer tree linked to the combo box (SetExplorerComboBox) follows each new path.

#include "ShellBrowsing/Source/combo/AutoCompleteDropDown.h"
#include "ShellBrowsing/Source/combo/ExplorerDropDown.h"

#include "Platform/controls/Mask.h"

#include <functional>
#include <memory>

class TCustomShellExplorerCombobox;

using TOnInvalidPath = std::function<void(TObject* Sender, const QString& Path)>;
using TOnPathChange = std::function<void(TObject* Sender, TNamespace* Namespace)>;

// The bits of ComboOptions.
enum : std::uint8_t {
    coThreadedImages = 0x01,
    coThemeAware = 0x02,
    coSelectCurrentFolder = 0x04,
};
// The bits of ButtonState.
enum : std::uint8_t { bsHot = 0x01, bsPressed = 0x02, bsPressedOutside = 0x04 };

// The warning shown for a path that names nothing.
QString InvalidPathMessage(const QString& path);
inline constexpr const char* InvalidPathCaption = "Invalid Path";

class TComboEdit : public TCustomMaskEdit {
public:
    explicit TComboEdit(TCustomShellExplorerCombobox* comboBox);

    bool KeyIsDown() const { return FKeyIsDown; }
    // The text was typed since it was last set.
    bool Modified() const { return FModified; }
    TNamespace* SavedNamespace() const { return FSavedNamespace.get(); }
    // Sets the text as the program's own (not typed).
    void SetEditText(const QString& text);
    virtual void ShowInvalidPath(const QString& path);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void TextChanged();

    bool FKeyIsDown = false;
    TCustomShellExplorerCombobox* FComboBox;
    std::unique_ptr<TNamespace> FSavedNamespace;
    QPalette FSavedPalette;
    bool FSettingText = false;
    bool FModified = false;

    friend class TCustomShellExplorerCombobox;
};

class TCustomShellExplorerCombobox : public TCustomControl {
public:
    explicit TCustomShellExplorerCombobox(TComponent* AOwner = nullptr, QWidget* parent = nullptr);
    ~TCustomShellExplorerCombobox() override;

    TNamespace* Namespace() const { return FNamespace.get(); }
    // Takes a clone of `ns` (nil: none) unless it is the namespace shown already.
    void SetPath(TNamespace* ns);
    // Goes to a path (as typed and confirmed); false when it names nothing.
    bool BrowseToPath(const QString& path);
    bool Active() const { return FActive; }
    virtual void SetActive(bool value);
    void UpdateEditText(bool select);
    std::uint8_t ComboOptions() const { return FComboOptions; }
    void SetComboOptions(std::uint8_t value);
    bool ThemesActive() const { return FThemesActive; }
    int IconOverride() const { return FIconOverride; }
    std::uint8_t ButtonState() const { return FButtonState; }
    bool Framed() const { return FFramed; }
    void SetFramed(bool value);
    void SetEnabled(bool value);

    TComboEdit* Edit() const { return FEdit; }
    TPopupExplorerDropDown* ExplorerDropDown() const { return FExplorerDropDown; }
    TPopupExplorerOptions& ExplorerOptions() { return *FExplorerOptions; }
    TPopupAutoCompleteDropDown* AutoCompleteDropDown() const { return FAutoCompleteDropDown; }
    TPopupAutoCompleteOptions& AutoCompleteOptions() { return *FAutoCompleteOptions; }

    // Drops the folder tree down (or closes the completion list when that is down).
    void DropTree();
    // Interprets the edit's text as Enter does.
    void InterpretEditText();
    // Puts a completion into the edit, the caret at its end.
    void ShowCompletion(const QString& text);
    // A drop-down closed.
    void DropDownClosed(TDropDownWnd* dropDown);

    // Layout, in client coordinates.
    TRect InnerRect() const;
    TRect ButtonRect() const;
    TRect IconRect() const;
    TRect EditRect() const;
    // The image index the icon shows (-1: none).
    int ShownIconIndex();
    // Draws the frame, the icon and the button as the window does.
    void PaintTo(QPainter& painter);

    TOnInvalidPath OnInvalidPath;
    TOnPathChange OnPathChange;

    // As high as the font needs, as wide as it was made; layouts keep the height.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    virtual void DispatchPathChange(PCItemIDList list);
    virtual void DoPathChange();
    void Paint() override;
    void Resize() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void DblClick() override;
    void WndProc(TMessage& message) override;
    void changeEvent(QEvent* event) override;

private:
    void EditChanged();
    void LayoutEdit();
    void AdjustHeight();
    int RequiredHeight() const;
    void SetButtonState(std::uint8_t state);
    bool IconShown() const;
    // The steps of interpreting a typed text.
    bool GoToFolderPath(const QString& path);
    bool GoToNamedItem(TNamespace& folder, const QString& name, bool foldersOnly);
    bool OpenFile(const QString& path, const QString& typed);
    void ReportInvalidPath(const QString& text);
    // The typed text as an absolute path (relative texts are taken from the shown folder).
    QString ResolveTyped(const QString& text) const;

    bool FThemesActive = false;
    std::unique_ptr<TNamespace> FNamespace;
    int FIconOverride = -1;
    std::uint8_t FButtonState = 0;
    std::uint8_t FComboOptions = 0;
    TPopupAutoCompleteDropDown* FAutoCompleteDropDown = nullptr;
    std::unique_ptr<TPopupAutoCompleteOptions> FAutoCompleteOptions;
    TPopupExplorerDropDown* FExplorerDropDown = nullptr;
    std::unique_ptr<TPopupExplorerOptions> FExplorerOptions;
    TComboEdit* FEdit = nullptr;
    bool FFramed = true;
    bool FActive = false;

    friend class TComboEdit;
};

class TShellExplorerCombobox : public TCustomShellExplorerCombobox {
public:
    using TCustomShellExplorerCombobox::TCustomShellExplorerCombobox;
};

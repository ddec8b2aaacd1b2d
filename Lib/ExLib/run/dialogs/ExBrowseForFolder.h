#pragma once
// TExBrowseForFolderDialog: the folder browser as a component. Its options follow the shell's
// browser flags (kept consistent when set, reduced to what the source's version offers when
// run); it starts at a folder, can be rooted at a special folder or a path, places the classic
// window, adds a Help button, shows the current path as status text, and reports selection
// changes, validation failures and per-item filtering through events.

#include "ExLib/run/controls/ExComponent.h"
#include "ExLib/run/dialogs/ExFolderSource.h"

#include <QDialog>
#include <functional>

class TExCommonDialogF : public TExComponent {
public:
    using TExComponent::TExComponent;
    virtual bool Execute() = 0;
};

enum TOptionDir {
    odBrowseForComputer, odOnlyDirectory, odOnlyPrinters, odNoBelowDomain, odSystemAncestorsOnly,
    odFileSystemDirectoryOnly, odStatusAvailable, odIncludeFiles, odIncludeUrls, odEditBox, odNewDialogStyle,
    odShareable, odUsageHint, odNoNewButtonFolder, odValidate,
};
using TOptionsDir = TSet<TOptionDir>;
// The browser flags of a set of options.
unsigned BrowseFlagsOf(TOptionsDir options);

enum class TExFolderPos { fpDefault, fpScreenCenter, fpFormCenter, fpTopLeft, fpTopRight, fpBottomLeft, fpBottomRight };

// Where the classic window goes: its client size, the work area and the owner's rectangle;
// nothing for fpDefault.
std::optional<QPoint> BrowseWindowPosition(TExFolderPos position, QSize size, QRect workArea, QRect owner);

class TExBrowseForFolderDialog;
using TExBrowseAcceptChange = std::function<void(TObject* Sender, const std::string& NewFolder, bool& Accept)>;
using TExDirChange = std::function<void(TObject* Sender, const std::string& Directory)>;
using TExGetEnumFlagsEvent =
    std::function<void(TObject* Sender, const std::string& Folder, TExBrowsableObjectClasses& Flags)>;
using TExShouldShowEvent = std::function<void(TObject* Sender, const std::string& Item, bool& DoShow)>;
using TExValidateFailedEvent =
    std::function<void(TObject* Sender, const std::string& EditText, bool& CanCloseDialog)>;

// The browser window of one run.
class TExBrowseWindow : public QDialog {
public:
    TExBrowseWindow(TExBrowseForFolderDialog& dialog, TOptionsDir options, const std::string& root);
    ~TExBrowseWindow() override;

    // Selects the folder (expanding the tree to it); false when it is not in the tree.
    bool SelectPath(const std::string& path);
    std::string SelectedPath() const;
    std::string StatusLine() const;
    std::string TitleText() const;
    bool OkEnabled() const;
    bool HasHelpButton() const;
    bool HasEditBox() const;
    bool HasNewFolderButton() const;
    // Confirms like the OK button: with an edit box, its text is validated first.
    void Confirm();
    void SetEditText(const std::string& text);
    // Makes a new folder in the selected one and selects it.
    bool MakeNewFolder(const std::string& name);

private:
    class Private;
    std::unique_ptr<Private> d;
};

class TExBrowseForFolderDialog : public TExCommonDialogF {
public:
    explicit TExBrowseForFolderDialog(TComponent* AOwner, IExFolderSource& source = DefaultFolderSource());
    ~TExBrowseForFolderDialog() override;

    bool Execute() override;

    std::string Directory;
    std::string DisplayName;
    int HelpContext = 0;
    TOptionsDir Options() const { return FOptions; }
    void SetOptions(TOptionsDir options);
    TExFolderPos Position = TExFolderPos::fpScreenCenter;
    TFromDirectory RootDirectory() const { return FRootDirectory; }
    void SetRootDirectory(TFromDirectory value);
    std::string RootDirectoryPath() const;
    void SetRootDirectoryPath(const std::string& path);
    std::string Title;
    std::string StatusText;

    TExBrowseAcceptChange OnAcceptChange;
    TExDirChange OnChange;
    TExGetEnumFlagsEvent OnGetEnumFlags;
    TNotifyEvent OnInitialized;
    TExShouldShowEvent OnShouldShow;
    TExValidateFailedEvent OnValidateFailed;

    IExFolderSource& Source() const { return FSource; }
    // The options a run uses: Options less those the source's version cannot offer.
    TOptionsDir EffectiveOptions() const;
    // The text above the tree for those options.
    std::string TitleFor(TOptionsDir options) const;

private:
    IExFolderSource& FSource;
    TOptionsDir FOptions{odStatusAvailable, odNewDialogStyle};
    TFromDirectory FRootDirectory = TFromDirectory::fdNoSpecialFolder;
    std::string FRootDirectoryPath;
};

// Runs the folder browser for the folder edits: `folder` is the start and, on success, the
// chosen folder. Creating folders is offered (in the new style) when `allowCreate` is set.
bool PickFolder(const std::string& title, bool allowCreate, std::string& folder, int helpContext);

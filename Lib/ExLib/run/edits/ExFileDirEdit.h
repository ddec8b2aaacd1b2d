#pragma once
// File-name and folder edits: combo edits whose button opens a file or folder dialog. They
// accept files dropped on them, complete paths from the file system, cut a pasted text at its
// first line break, and bracket every dialog with two events that may change the path or cancel.

#include "ExLib/run/edits/ExComboEdit.h"

enum TExAutoCompleteFileOption { acfFileSystem, acfURLHistory, acfURLMRU, acfFileSysDirs };
using TExAutoCompleteFileOptions = TSet<TExAutoCompleteFileOption>;

using TExecOpenDialogEvent = std::function<void(TObject* Sender, std::string& Name, bool& Action)>;

// Posted to an edit when files are dropped on it; LParam points to the list of names.
struct TDroppedFiles {
    std::vector<std::string> Names;
};

class TExFileDirEdit : public TExCustomComboEdit {
public:
    explicit TExFileDirEdit(TComponent* AOwner, QWidget* parent = nullptr);
    ~TExFileDirEdit() override;

    bool AcceptFiles() const { return FAcceptFiles; }
    void SetAcceptFiles(bool value);
    TExAutoCompleteFileOptions AutoCompleteFileOptions() const { return FFileOptions; }
    void SetAutoCompleteFileOptions(TExAutoCompleteFileOptions options);

    TExecOpenDialogEvent OnBeforeDialog;
    TExecOpenDialogEvent OnAfterDialog;
    TNotifyEvent OnDropFiles;

    // The name in its long or short form (the form the file system keeps on Linux).
    virtual std::string LongFormText() = 0;
    virtual std::string ShortFormText() = 0;
    // Takes one dropped name.
    virtual void ReceiveFileName(const std::string& name) = 0;
    virtual void ForgetSelectedFiles() {}
    // Hands dropped names to the edit as the platform does (WM_DROPFILES).
    void DropFiles(const std::vector<std::string>& names);

protected:
    void RaiseBeforeDialog(std::string& name, bool& action);
    void RaiseAfterDialog(std::string& name, bool& action);
    bool MultiSelect() const { return FMultiSelect; }
    void SetMultiSelect(bool value) { FMultiSelect = value; }

    void Change() override;
    void WndProc(TMessage& message) override;
    QAbstractItemModel* CompletionSource() override;
    void ApplyCompletionOptions() override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    bool FAcceptFiles = true;
    bool FMultiSelect = false;
    TExAutoCompleteFileOptions FFileOptions{acfFileSystem};
};

enum class TFileDialogKind { dkOpen, dkSave, dkOpenPicture, dkSavePicture };
enum TOpenOption {
    ofReadOnly, ofOverwritePrompt, ofHideReadOnly, ofNoChangeDir, ofShowHelp, ofNoValidate, ofAllowMultiSelect,
    ofExtensionDifferent, ofPathMustExist, ofFileMustExist, ofCreatePrompt, ofShareAware, ofNoReadOnlyReturn,
    ofNoTestFileCreate, ofNoNetworkButton, ofNoLongNames, ofOldStyleDialog, ofNoDereferenceLinks, ofEnableIncludeNotify,
    ofEnableSizing, ofDontAddToRecent, ofForceShowHidden,
};
using TOpenOptions = TSet<TOpenOption>;

// What a file dialog is given and gives back.
struct TExFileDialogData {
    TFileDialogKind Kind = TFileDialogKind::dkOpen;
    std::string DefaultExt;
    std::string FileName;
    std::string Filter = "All files (*.*)|*.*";
    int FilterIndex = 1;
    std::string InitialDir;
    std::string Title = "Browse";
    TOpenOptions Options{ofHideReadOnly};
    TStringList Files;
    TStringList HistoryList;
    int HelpContext = 0;
};

// Qt name filters from "description|pattern|..." pairs: "description (pattern pattern)".
QStringList NameFiltersOf(const std::string& filter);
// Runs the platform's file dialog; true when a file was chosen (FileName and Files hold it).
bool ExecuteFileDialog(TExFileDialogData& data, QWidget* parent);

// The normal form of a typed file name: an existing file as it is, an existing folder with a
// trailing separator, a text that starts with a double quote as the first item of a command line,
// any other text unchanged (a blank text gives an empty name).
std::string NormalizeFileName(const std::string& text);
// A name with a blank that does not start with a double quote, between double quotes.
std::string QuoteFileName(const std::string& name);

class TExFilenameEdit : public TExFileDirEdit {
public:
    explicit TExFilenameEdit(TComponent* AOwner, QWidget* parent = nullptr);

    bool AddQuotes = true;
    TFileDialogKind DialogKind() const { return FDialog.Kind; }
    void SetDialogKind(TFileDialogKind kind) { FDialog.Kind = kind; }
    std::string FileName() const;
    // Raises EComboEditError "Invalid file name - %s" for a name that is not valid.
    void SetFileName(const std::string& name);
    const std::string& Filter() const { return FDialog.Filter; }
    void SetFilter(const std::string& filter) { FDialog.Filter = filter; }
    TOpenOptions DialogOptions() const { return FDialog.Options; }
    void SetDialogOptions(TOpenOptions options);
    TExFileDialogData& Dialog() { return FDialog; }

    std::string LongFormText() override;
    std::string ShortFormText() override;
    void ReceiveFileName(const std::string& name) override;
    void ForgetSelectedFiles() override { FDialog.Files.Clear(); }
    int StockImageIndex() override;

protected:
    void RunButtonAction(bool disableEdit) override;

private:
    TExFileDialogData FDialog;
};

enum class TDirDialogKind { dkVCL, dkWin32 };
enum TSelectDirOpt { sdAllowCreate, sdPerformCreate, sdPrompt };
using TSelectDirOpts = TSet<TSelectDirOpt>;

class TExDirectoryEdit : public TExFileDirEdit {
public:
    explicit TExDirectoryEdit(TComponent* AOwner, QWidget* parent = nullptr);

    TDirDialogKind DialogKind = TDirDialogKind::dkWin32;
    std::string DialogText;
    TSelectDirOpts DialogOptions{sdAllowCreate};
    std::string InitialDir;
    bool MultipleDirs = false;

    std::string LongFormText() override;
    std::string ShortFormText() override;
    void ReceiveFileName(const std::string& name) override;
    int StockImageIndex() override;

protected:
    void RunButtonAction(bool disableEdit) override;
};

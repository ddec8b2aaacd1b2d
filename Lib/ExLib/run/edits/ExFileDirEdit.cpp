#include "ExLib/run/edits/ExFileDirEdit.h"

#include "ExLib/run/common/ExFileNameUtils.h"
#include "ExLib/run/common/ExResources.h"
#include "ExLib/run/common/ExStrUtils.h"
#include "ExLib/run/controls/ExThemes.h"
#include "ExLib/run/dialogs/ExBrowseForFolder.h"
#include "ExLib/run/process/ExCommandLine.h"

#include "Platform/core/Application.h"
#include "Platform/core/QtBridge.h"
#include "Platform/text/Format.h"

#include <QCompleter>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QMimeData>
#include <QPainter>

namespace {

std::string FolderPart(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string NamePart(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool IsFolder(const std::string& path)
{
    return !path.empty() && QFileInfo(QStr(path)).isDir();
}

// The 14 x 12 folder pictures of the two edits, on magenta: open for files, closed for folders;
// the themed variant is lighter.
QImage FolderPicture(bool open, bool themed)
{
    QImage image(14, 12, QImage::Format_RGB32);
    image.fill(QColor(255, 0, 255));
    QPainter p(&image);
    const QColor body = themed ? QColor(240, 200, 80) : QColor(192, 160, 0);
    const QColor edge = themed ? QColor(170, 120, 20) : QColor(0, 0, 0);
    p.setPen(edge);
    p.setBrush(body);
    p.drawRect(0, 2, 12, 9);
    p.fillRect(1, 1, 5, 1, edge);
    if (open) {
        p.setBrush(themed ? QColor(255, 230, 140) : QColor(255, 255, 128));
        const QPoint flap[] = {{2, 5}, {13, 5}, {11, 11}, {0, 11}};
        p.drawPolygon(flap, 4);
    }
    return image;
}

int StockIndex(bool open)
{
    static int indexes[2][2] = {{-1, -1}, {-1, -1}};
    const bool themed = CurrentThemeServices().ThemesEnabled();
    int& index = indexes[open ? 1 : 0][themed ? 1 : 0];
    if (index < 0)
        index = TExCustomComboEdit::StockImages().Add(FolderPicture(open, themed), clFuchsia);
    return index;
}

} // namespace

// ---- names

std::string NormalizeFileName(const std::string& text)
{
    const QFileInfo info(QStr(text));
    if (!text.empty() && info.exists() && !info.isDir())
        return text;
    if (IsFolder(text))
        return text.ends_with('/') ? text : text + "/";
    if (TrimSpaces(text).empty())
        return {};
    // why: an unquoted path may hold blanks; only a quoted text is read as a command line.
    if (!text.starts_with('"'))
        return text;
    std::string program, arguments;
    SplitProgramAndArgs(text, program, arguments);
    return program;
}

std::string QuoteFileName(const std::string& name)
{
    if (name.find(' ') != std::string::npos && !name.starts_with('"'))
        return "\"" + name + "\"";
    return name;
}

QStringList NameFiltersOf(const std::string& filter)
{
    QStringList filters;
    const QStringList parts = QStr(filter).split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        filters << parts[i] + QStringLiteral(" (") + patterns + QLatin1Char(')');
    }
    return filters;
}

bool ExecuteFileDialog(TExFileDialogData& data, QWidget* parent)
{
    QFileDialog dialog(parent, QStr(data.Title), QStr(data.InitialDir));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    const bool save = data.Kind == TFileDialogKind::dkSave || data.Kind == TFileDialogKind::dkSavePicture;
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save                                            ? QFileDialog::AnyFile
                       : data.Options.Contains(ofAllowMultiSelect)     ? QFileDialog::ExistingFiles
                       : data.Options.Contains(ofFileMustExist)        ? QFileDialog::ExistingFile
                                                                       : QFileDialog::AnyFile);
    if (save && !data.Options.Contains(ofOverwritePrompt))
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    const QStringList filters = NameFiltersOf(data.Filter);
    dialog.setNameFilters(filters);
    if (data.FilterIndex >= 1 && data.FilterIndex <= filters.size())
        dialog.selectNameFilter(filters[data.FilterIndex - 1]);
    if (!data.DefaultExt.empty())
        dialog.setDefaultSuffix(QStr(data.DefaultExt));
    if (!data.FileName.empty())
        dialog.selectFile(QStr(data.FileName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    data.Files.Clear();
    for (const QString& file : dialog.selectedFiles())
        data.Files.Add(StdStr(file));
    data.FileName = data.Files[0];
    data.FilterIndex = static_cast<int>(filters.indexOf(dialog.selectedNameFilter())) + 1;
    return true;
}

// ---- TExFileDirEdit

TExFileDirEdit::TExFileDirEdit(TComponent* AOwner, QWidget* parent) : TExCustomComboEdit(AOwner, parent)
{
    setAcceptDrops(true);
    SetAutoCompleteOptions({acoAutoSuggest});
    SetConstructing(true);
    SetImageKind(TExImageKind::ikDefault);
    SetConstructing(false);
}

TExFileDirEdit::~TExFileDirEdit() = default;

void TExFileDirEdit::SetAcceptFiles(bool value)
{
    FAcceptFiles = value;
    setAcceptDrops(value && !ComponentState().Contains(csDesigning));
}

void TExFileDirEdit::SetAutoCompleteFileOptions(TExAutoCompleteFileOptions options)
{
    if (options == FFileOptions)
        return;
    FFileOptions = options;
    if (ComponentState().Contains(csDesigning))
        return;
    // The completion model follows the new options.
    const TExAutoCompleteOptions current = AutoCompleteOptions();
    SetAutoCompleteOptions({});
    SetAutoCompleteOptions(current);
}

QAbstractItemModel* TExFileDirEdit::CompletionSource()
{
    if (!FFileOptions.Contains(acfFileSystem) && !FFileOptions.Contains(acfFileSysDirs))
        return TExCustomComboEdit::CompletionSource();
    auto* model = new QFileSystemModel(Completer());
    QDir::Filters filters = QDir::AllDirs | QDir::NoDotAndDotDot;
    if (!FFileOptions.Contains(acfFileSysDirs))
        filters |= QDir::Files;
    model->setFilter(filters);
    model->setRootPath(QString());
    return model;
}

void TExFileDirEdit::ApplyCompletionOptions()
{
    TExCustomComboEdit::ApplyCompletionOptions();
    if (QCompleter* completer = Completer())
        completer->setCaseSensitivity(Qt::CaseSensitive); // file names here are case-sensitive
}

void TExFileDirEdit::RaiseBeforeDialog(std::string& name, bool& action)
{
    if (OnBeforeDialog)
        OnBeforeDialog(this, name, action);
}

void TExFileDirEdit::RaiseAfterDialog(std::string& name, bool& action)
{
    if (OnAfterDialog)
        OnAfterDialog(this, name, action);
}

void TExFileDirEdit::Change()
{
    const std::string text = Text();
    size_t cut = text.find('\n');
    if (cut == std::string::npos)
        cut = text.find('\r');
    if (cut != std::string::npos) {
        // The shorter text comes back here as a change of its own.
        SetText(text.substr(0, cut));
        return;
    }
    TExCustomComboEdit::Change();
}

void TExFileDirEdit::DropFiles(const std::vector<std::string>& names)
{
    TDroppedFiles dropped{names};
    Perform(WM_DROPFILES, 0, reinterpret_cast<LPARAM>(&dropped));
}

void TExFileDirEdit::WndProc(TMessage& message)
{
    if (message.Msg != WM_DROPFILES) {
        TExCustomComboEdit::WndProc(message);
        return;
    }
    message.Result = 0;
    const auto* dropped = reinterpret_cast<const TDroppedFiles*>(message.LParam);
    if (!dropped || dropped->Names.empty())
        return;
    ForgetSelectedFiles();
    // invariant: names arrive whole, whatever their length.
    for (const std::string& name : dropped->Names) {
        ReceiveFileName(name);
        if (!FMultiSelect)
            break;
    }
    if (OnDropFiles)
        OnDropFiles(this);
}

void TExFileDirEdit::dragEnterEvent(QDragEnterEvent* event)
{
    if (FAcceptFiles && event->mimeData()->hasUrls())
        event->acceptProposedAction();
    else
        TExCustomComboEdit::dragEnterEvent(event);
}

void TExFileDirEdit::dragMoveEvent(QDragMoveEvent* event)
{
    if (FAcceptFiles && event->mimeData()->hasUrls())
        event->acceptProposedAction();
    else
        TExCustomComboEdit::dragMoveEvent(event);
}

void TExFileDirEdit::dropEvent(QDropEvent* event)
{
    if (!FAcceptFiles || !event->mimeData()->hasUrls()) {
        TExCustomComboEdit::dropEvent(event);
        return;
    }
    std::vector<std::string> names;
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile())
            names.push_back(StdStr(url.toLocalFile()));
    event->acceptProposedAction();
    try {
        DropFiles(names);
    } catch (...) {
        HandleCurrentException();
    }
}

// ---- TExFilenameEdit

TExFilenameEdit::TExFilenameEdit(TComponent* AOwner, QWidget* parent) : TExFileDirEdit(AOwner, parent)
{
    SetConstructing(true);
    ApplyStockImage();
    SetConstructing(false);
}

int TExFilenameEdit::StockImageIndex()
{
    return StockIndex(true);
}

std::string TExFilenameEdit::FileName() const
{
    return AddQuotes ? NormalizeFileName(Text()) : Text();
}

void TExFilenameEdit::SetFileName(const std::string& name)
{
    if (!name.empty() && !IsValidFileNameText(NormalizeFileName(name)))
        throw EComboEditError(Format("Invalid file name - %s", {name}));
    SetText(AddQuotes ? QuoteFileName(name) : name);
    ForgetSelectedFiles();
}

void TExFilenameEdit::SetDialogOptions(TOpenOptions options)
{
    if (options == FDialog.Options)
        return;
    FDialog.Options = options;
    SetMultiSelect(options.Contains(ofAllowMultiSelect));
    if (!MultiSelect())
        ForgetSelectedFiles();
}

std::string TExFilenameEdit::LongFormText()
{
    const std::string name = LongFileNameOf(FileName());
    return name.empty() ? ShortFileNameOf(FileName()) : name;
}

std::string TExFilenameEdit::ShortFormText()
{
    const std::string name = ShortFileNameOf(FileName());
    return name.empty() ? LongFileNameOf(FileName()) : name;
}

void TExFilenameEdit::ReceiveFileName(const std::string& name)
{
    if (!MultiSelect()) {
        SetFileName(name);
        return;
    }
    if (FDialog.Files.Count() == 0)
        SetFileName(name);
    FDialog.Files.Add(name);
}

void TExFilenameEdit::RunButtonAction(bool)
{
    std::string path = NormalizeFileName(Text());
    bool action = true;
    RaiseBeforeDialog(path, action);
    if (!action)
        return;
    if (IsValidFileNameText(path)) {
        const std::string folder = FolderPart(path);
        if (IsFolder(folder))
            FDialog.InitialDir = folder;
        const std::string name = NamePart(path);
        if (name.empty() || !IsValidFileNameText(name))
            path.clear();
    }
    FDialog.FileName = path;
    FDialog.HelpContext = 0;
    action = ExecuteFileDialog(FDialog, this);
    if (action)
        path = FDialog.FileName;
    if (CanFocus())
        SetFocus();
    RaiseAfterDialog(path, action);
    if (!action)
        return;
    SetText(AddQuotes ? QuoteFileName(path) : path);
    FDialog.InitialDir = FolderPart(FDialog.FileName);
}

// ---- TExDirectoryEdit

TExDirectoryEdit::TExDirectoryEdit(TComponent* AOwner, QWidget* parent) : TExFileDirEdit(AOwner, parent)
{
    SetConstructing(true);
    SetAutoCompleteFileOptions({acfFileSystem, acfFileSysDirs});
    ApplyStockImage();
    SetConstructing(false);
}

int TExDirectoryEdit::StockImageIndex()
{
    return StockIndex(false);
}

namespace {

// Converts each ";"-separated folder of `text` (or the whole text).
std::string ConvertFolders(const std::string& text, bool multiple, std::string (*convert)(const std::string&))
{
    if (!multiple)
        return convert(text);
    std::string result;
    int position = 1;
    while (position <= static_cast<int>(text.size())) {
        const std::string part = convert(NextDelimitedPart(text, position, ";"));
        if (!result.empty() && !part.empty())
            result += ';';
        result += part;
    }
    return result;
}

} // namespace

std::string TExDirectoryEdit::LongFormText()
{
    return ConvertFolders(Text(), MultipleDirs, &LongPathOf);
}

std::string TExDirectoryEdit::ShortFormText()
{
    return ConvertFolders(Text(), MultipleDirs, &ShortPathOf);
}

void TExDirectoryEdit::ReceiveFileName(const std::string& name)
{
    std::string folder = name;
    const QFileInfo info(QStr(name));
    if (info.exists() && !info.isDir())
        folder = StdStr(info.absolutePath()) + "/";
    SetText(!Text().empty() && MultipleDirs ? Text() + ";" + folder : folder);
}

void TExDirectoryEdit::RunButtonAction(bool)
{
    std::string path = Text();
    bool action = true;
    RaiseBeforeDialog(path, action);
    if (!action)
        return;
    if (path.empty())
        path = InitialDir.empty() ? "/" : InitialDir;
    if (!IsFolder(path))
        path = "/";
    if (DialogKind == TDirDialogKind::dkWin32) {
        action = PickFolder(DialogText, DialogOptions.Contains(sdAllowCreate), path, 0);
    } else {
        const QString chosen = QFileDialog::getExistingDirectory(this, QStr(DialogText), QStr(path),
                                                                 QFileDialog::DontUseNativeDialog);
        action = !chosen.isEmpty();
        if (action)
            path = StdStr(chosen);
    }
    if (CanFocus())
        SetFocus();
    RaiseAfterDialog(path, action);
    if (!action)
        return;
    if (hasSelectedText())
        del();
    SetText(!Text().empty() && MultipleDirs ? Text() + ";" + path : path);
    if (IsFolder(path))
        InitialDir = path;
}

#include "ExLib/run/dialogs/ExBrowseForFolder.h"

#include "ExLib/run/common/ExExceptions.h"
#include "ExLib/run/common/ExResources.h"
#include "ExLib/run/controls/ExTextDraw.h"

#include "Platform/controls/ControlFont.h"
#include "Platform/core/Application.h"
#include "Platform/core/QtBridge.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr int PathRole = Qt::UserRole;
constexpr int LoadedRole = Qt::UserRole + 1;

struct FlagOf {
    TOptionDir Option;
    unsigned Flag;
};
constexpr FlagOf OptionFlags[] = {
    {odBrowseForComputer, 0x1000}, {odOnlyPrinters, 0x2000}, {odNoBelowDomain, 0x2},  {odSystemAncestorsOnly, 0x8},
    {odFileSystemDirectoryOnly, 0x1}, {odStatusAvailable, 0x4}, {odIncludeFiles, 0x4000}, {odIncludeUrls, 0x80},
    {odEditBox, 0x10},           {odNewDialogStyle, 0x40}, {odShareable, 0x8000}, {odUsageHint, 0x100},
    {odNoNewButtonFolder, 0x200}, {odValidate, 0x20},
};

// Runs an event handler of the browser: its exceptions go to the application, the browser goes on.
template <class F>
void Guarded(F&& f)
{
    try {
        f();
    } catch (...) {
        HandleCurrentException();
    }
}

bool Within(const std::string& folder, const std::string& path)
{
    if (folder == path)
        return true;
    const std::string prefix = folder.ends_with('/') ? folder : folder + "/";
    return path.starts_with(prefix);
}

} // namespace

unsigned BrowseFlagsOf(TOptionsDir options)
{
    unsigned flags = 0;
    for (const FlagOf& f : OptionFlags)
        if (options.Contains(f.Option))
            flags |= f.Flag;
    return flags;
}

std::optional<QPoint> BrowseWindowPosition(TExFolderPos position, QSize size, QRect workArea, QRect owner)
{
    const QStyle* style = QApplication::style();
    const int frame = style->pixelMetric(QStyle::PM_DefaultFrameWidth) + 1;
    const int caption = style->pixelMetric(QStyle::PM_TitleBarHeight);
    const int right = workArea.left() + workArea.width(), bottom = workArea.top() + workArea.height();
    switch (position) {
    case TExFolderPos::fpDefault: return std::nullopt;
    case TExFolderPos::fpScreenCenter:
        return QPoint((workArea.width() - size.width()) / 2, (workArea.height() - size.height()) / 2);
    case TExFolderPos::fpFormCenter:
        return QPoint(owner.x() + (owner.width() - size.width()) / 2, owner.y() + (owner.height() - size.height()) / 2);
    case TExFolderPos::fpTopLeft: return workArea.topLeft();
    case TExFolderPos::fpTopRight: return QPoint(right - size.width() - frame, workArea.top());
    case TExFolderPos::fpBottomLeft: return QPoint(workArea.left(), bottom - size.height() - caption + frame);
    case TExFolderPos::fpBottomRight: return QPoint(right - size.width() - frame, bottom - size.height() - caption - frame);
    }
    return std::nullopt;
}

// ---- the window

class TExBrowseWindow::Private {
public:
    TExBrowseForFolderDialog& Dialog;
    TOptionsDir Options;
    QLabel* Title = nullptr;
    QTreeWidget* Tree = nullptr;
    QLabel* Status = nullptr;
    QLineEdit* Edit = nullptr;
    QPushButton* Ok = nullptr;
    QPushButton* Help = nullptr;
    QPushButton* NewFolder = nullptr;

    Private(TExBrowseForFolderDialog& dialog, TOptionsDir options) : Dialog(dialog), Options(options) {}

    bool NewStyle() const { return Options.Contains(odNewDialogStyle); }

    TExBrowsableObjectClasses ClassesFor(const std::string& folder) const
    {
        TExBrowsableObjectClasses classes{ocFolders};
        if (Options.Contains(odIncludeFiles))
            classes.Include(ocNonFolders);
        if (Dialog.OnGetEnumFlags)
            Guarded([&] { Dialog.OnGetEnumFlags(&Dialog, folder, classes); });
        return classes;
    }

    bool ShouldShow(const std::string& path) const
    {
        bool show = true;
        if (Dialog.OnShouldShow)
            Guarded([&] { Dialog.OnShouldShow(&Dialog, path, show); });
        return show;
    }

    QTreeWidgetItem* MakeItem(const TExFolderItem& item) const
    {
        auto* node = new QTreeWidgetItem(QStringList(QStr(item.DisplayName)));
        node->setData(0, PathRole, QStr(item.Path));
        node->setIcon(0, QApplication::style()->standardIcon(item.Folder ? QStyle::SP_DirIcon : QStyle::SP_FileIcon));
        if (item.Folder && item.HasChildren)
            node->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
        return node;
    }

    void Load(QTreeWidgetItem* node) const
    {
        if (node->data(0, LoadedRole).toBool())
            return;
        node->setData(0, LoadedRole, true);
        const std::string folder = StdStr(node->data(0, PathRole).toString());
        for (const TExFolderItem& item : Dialog.Source().Children(folder, ClassesFor(folder)))
            if (ShouldShow(item.Path))
                node->addChild(MakeItem(item));
        if (node->childCount() == 0)
            node->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicator);
    }

    std::string PathOf(const QTreeWidgetItem* node) const
    {
        return node ? StdStr(node->data(0, PathRole).toString()) : std::string();
    }

    void ShowStatus(const std::string& path) const
    {
        if (!Status)
            return;
        if (!Dialog.StatusText.empty()) {
            Status->setText(QStr(Dialog.StatusText));
            return;
        }
        TCanvas canvas;
        AssignQFont(canvas.Font(), Status->font());
        const int width = Status->parentWidget()->width() - 2 * Status->x() - 8;
        Status->setText(QStr(ShortenPathToWidth(path, canvas, width)));
    }

    void SelectionChanged(const std::string& path) const
    {
        if (Dialog.OnAcceptChange) {
            bool accept = true;
            Guarded([&] { Dialog.OnAcceptChange(&Dialog, path, accept); });
            Ok->setEnabled(accept);
        }
        ShowStatus(path);
        if (Edit)
            Edit->setText(QStr(Dialog.Source().DisplayName(path)));
        if (Dialog.OnChange)
            Guarded([&] { Dialog.OnChange(&Dialog, path); });
    }
};

TExBrowseWindow::TExBrowseWindow(TExBrowseForFolderDialog& dialog, TOptionsDir options, const std::string& root)
    : QDialog(QApplication::activeWindow()), d(std::make_unique<Private>(dialog, options))
{
    setWindowTitle(QStringLiteral("Browse for Folder"));
    setWindowModality(Qt::ApplicationModal);
    auto* layout = new QVBoxLayout(this);
    d->Title = new QLabel(QStr(dialog.TitleFor(options)), this);
    d->Title->setWordWrap(true);
    layout->addWidget(d->Title);
    if (!d->NewStyle() && options.Contains(odStatusAvailable)) {
        d->Status = new QLabel(this);
        layout->addWidget(d->Status);
    }
    d->Tree = new QTreeWidget(this);
    d->Tree->setHeaderHidden(true);
    d->Tree->setMinimumSize(300, 250);
    layout->addWidget(d->Tree, 1);
    if (options.Contains(odEditBox)) {
        d->Edit = new QLineEdit(this);
        layout->addWidget(d->Edit);
    }
    auto* buttons = new QHBoxLayout;
    if (dialog.HelpContext != 0) {
        d->Help = new QPushButton(QStringLiteral("&Help"), this);
        buttons->addWidget(d->Help);
    }
    if (d->NewStyle() && !options.Contains(odNoNewButtonFolder)) {
        d->NewFolder = new QPushButton(QStringLiteral("&Make New Folder"), this);
        buttons->addWidget(d->NewFolder);
        QObject::connect(d->NewFolder, &QPushButton::clicked, this, [this] {
            bool ok = false;
            const QString name = QInputDialog::getText(this, QStringLiteral("Make New Folder"),
                                                       QStringLiteral("Name:"), QLineEdit::Normal,
                                                       QStringLiteral("New Folder"), &ok);
            if (ok && !name.isEmpty())
                MakeNewFolder(StdStr(name));
        });
    }
    buttons->addStretch(1);
    d->Ok = new QPushButton(QStringLiteral("OK"), this);
    d->Ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    buttons->addWidget(d->Ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    QObject::connect(d->Ok, &QPushButton::clicked, this, [this] { Confirm(); });
    QObject::connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    for (const TExFolderItem& item : dialog.Source().TopItems(root))
        if (d->ShouldShow(item.Path))
            d->Tree->addTopLevelItem(d->MakeItem(item));
    QObject::connect(d->Tree, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* node) { d->Load(node); });
    QObject::connect(d->Tree, &QTreeWidget::currentItemChanged, this,
                     [this](QTreeWidgetItem* node) { d->SelectionChanged(d->PathOf(node)); });

    if (!dialog.Directory.empty())
        SelectPath(dialog.Directory);
    d->ShowStatus(dialog.Directory);
    if (dialog.OnInitialized)
        Guarded([&] { dialog.OnInitialized(&dialog); });
}

TExBrowseWindow::~TExBrowseWindow() = default;

bool TExBrowseWindow::SelectPath(const std::string& path)
{
    QTreeWidgetItem* found = nullptr;
    auto search = [&](auto&& self, QTreeWidgetItem* node) -> void {
        const std::string here = d->PathOf(node);
        if (!Within(here, path))
            return;
        found = node;
        if (here == path)
            return;
        d->Load(node);
        for (int i = 0; i < node->childCount() && found == node; ++i)
            self(self, node->child(i));
    };
    for (int i = 0; i < d->Tree->topLevelItemCount(); ++i) {
        QTreeWidgetItem* top = d->Tree->topLevelItem(i);
        // The most specific top item wins (the home folder before "/").
        if (Within(d->PathOf(top), path)) {
            search(search, top);
            break;
        }
    }
    if (!found || d->PathOf(found) != path)
        return false;
    for (QTreeWidgetItem* p = found->parent(); p; p = p->parent())
        p->setExpanded(true);
    d->Tree->setCurrentItem(found);
    return true;
}

std::string TExBrowseWindow::SelectedPath() const
{
    return d->PathOf(d->Tree->currentItem());
}

std::string TExBrowseWindow::StatusLine() const
{
    return d->Status ? StdStr(d->Status->text()) : std::string();
}

std::string TExBrowseWindow::TitleText() const
{
    return StdStr(d->Title->text());
}

bool TExBrowseWindow::OkEnabled() const
{
    return d->Ok->isEnabled();
}

bool TExBrowseWindow::HasHelpButton() const
{
    return d->Help != nullptr;
}

bool TExBrowseWindow::HasEditBox() const
{
    return d->Edit != nullptr;
}

bool TExBrowseWindow::HasNewFolderButton() const
{
    return d->NewFolder != nullptr;
}

void TExBrowseWindow::SetEditText(const std::string& text)
{
    if (d->Edit)
        d->Edit->setText(QStr(text));
}

void TExBrowseWindow::Confirm()
{
    if (d->Edit) {
        const std::string text = StdStr(d->Edit->text());
        const std::string selected = SelectedPath();
        const std::string candidate =
            text.starts_with('/') ? text : (selected.empty() ? text : selected + (selected.ends_with('/') ? "" : "/") + text);
        if (d->Dialog.Source().IsFolder(candidate)) {
            SelectPath(candidate);
        } else if (d->Options.Contains(odValidate)) {
            bool canClose = true;
            if (d->Dialog.OnValidateFailed)
                Guarded([&] { d->Dialog.OnValidateFailed(&d->Dialog, text, canClose); });
            if (canClose)
                reject();
            return;
        }
    }
    if (!SelectedPath().empty())
        accept();
}

bool TExBrowseWindow::MakeNewFolder(const std::string& name)
{
    QTreeWidgetItem* parent = d->Tree->currentItem();
    if (!parent)
        return false;
    const std::string created = d->Dialog.Source().CreateFolder(d->PathOf(parent), name);
    if (created.empty())
        return false;
    // Reload the parent's children so that the new folder shows.
    qDeleteAll(parent->takeChildren());
    parent->setData(0, LoadedRole, false);
    d->Load(parent);
    parent->setExpanded(true);
    return SelectPath(created);
}

// ---- the component

TExBrowseForFolderDialog::TExBrowseForFolderDialog(TComponent* AOwner, IExFolderSource& source)
    : TExCommonDialogF(AOwner), FSource(source)
{
}

TExBrowseForFolderDialog::~TExBrowseForFolderDialog() = default;

void TExBrowseForFolderDialog::SetOptions(TOptionsDir value)
{
    if (value == FOptions)
        return;
    // Each rule looks at the set as the rules before it left it.
    const TOptionsDir old = FOptions;
    TOptionsDir o = value;
    const auto added = [&](TOptionDir x) { return o.Contains(x) && !old.Contains(x); };
    const auto removed = [&](TOptionDir x) { return !o.Contains(x) && old.Contains(x); };
    if (added(odIncludeUrls))
        o += TOptionsDir{odIncludeFiles, odEditBox, odNewDialogStyle};
    if (added(odShareable))
        o.Include(odNewDialogStyle);
    if (added(odUsageHint)) {
        o.Include(odNewDialogStyle);
        o.Exclude(odEditBox);
    }
    if (added(odValidate))
        o.Include(odEditBox);
    if (added(odEditBox))
        o.Exclude(odUsageHint);
    if (removed(odEditBox))
        o -= TOptionsDir{odIncludeUrls, odValidate};
    if (removed(odNewDialogStyle))
        o -= TOptionsDir{odIncludeUrls, odShareable, odUsageHint};
    if (removed(odIncludeFiles))
        o.Exclude(odIncludeUrls);
    if (o.Contains(odEditBox))
        o.Exclude(odUsageHint);
    else
        o -= TOptionsDir{odIncludeUrls, odValidate};
    if (o.Contains(odUsageHint))
        o -= TOptionsDir{odEditBox, odValidate};
    FOptions = o;
}

TOptionsDir TExBrowseForFolderDialog::EffectiveOptions() const
{
    const std::uint32_t version = FSource.Version();
    TOptionsDir o = FOptions;
    if (version < 0x00060000)
        o -= TOptionsDir{odUsageHint, odNoNewButtonFolder};
    if (version < 0x00050000)
        o -= TOptionsDir{odIncludeUrls, odNewDialogStyle, odShareable};
    if (version < 0x00040071)
        o -= TOptionsDir{odIncludeFiles, odEditBox, odValidate};
    return o;
}

std::string TExBrowseForFolderDialog::TitleFor(TOptionsDir options) const
{
    if (!options.Contains(odNewDialogStyle) || StatusText.empty())
        return Title;
    return Title.empty() ? StatusText : Title + "\n" + StatusText;
}

std::string TExBrowseForFolderDialog::RootDirectoryPath() const
{
    if (FRootDirectory != TFromDirectory::fdNoSpecialFolder)
        return FSource.SpecialFolderPath(FRootDirectory);
    return FRootDirectoryPath;
}

void TExBrowseForFolderDialog::SetRootDirectoryPath(const std::string& path)
{
    FRootDirectoryPath = path;
    FRootDirectory = TFromDirectory::fdNoSpecialFolder;
}

void TExBrowseForFolderDialog::SetRootDirectory(TFromDirectory value)
{
    if (value == FRootDirectory)
        return;
    if (value == TFromDirectory::fdNoSpecialFolder)
        FRootDirectoryPath = FSource.SpecialFolderPath(FRootDirectory);
    FRootDirectory = value;
}

bool TExBrowseForFolderDialog::Execute()
{
    if (FSource.Version() < 0x00040000)
        throw EExLibException(ExRes::ShellNotCompatible);
    const TOptionsDir options = EffectiveOptions();
    try {
        std::string root = FRootDirectoryPath;
        if (FRootDirectory != TFromDirectory::fdNoSpecialFolder) {
            const TFromDirectory resolved = ResolveSpecialFolder(FRootDirectory, FSource.Version());
            root = SpecialFolderInfo(resolved).Csidl == 0 ? std::string() : FSource.SpecialFolderPath(resolved);
        }
        TExBrowseWindow window(*this, options, root);
        if (!options.Contains(odNewDialogStyle)) {
            const QScreen* screen = QApplication::primaryScreen();
            const QRect work = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
            const QWidget* owner = window.parentWidget();
            if (const auto at = BrowseWindowPosition(Position, window.sizeHint(), work,
                                                     owner ? owner->frameGeometry() : work))
                window.move(*at);
        }
        if (window.exec() != QDialog::Accepted)
            return false;
        Directory = window.SelectedPath();
        DisplayName = FSource.DisplayName(Directory);
        return true;
    } catch (...) {
        return false;
    }
}

bool PickFolder(const std::string& title, bool allowCreate, std::string& folder, int helpContext)
{
    TExBrowseForFolderDialog dialog(nullptr);
    dialog.Position = TExFolderPos::fpScreenCenter;
    dialog.Directory = folder;
    dialog.Title = title;
    dialog.HelpContext = helpContext;
    TOptionsDir options = dialog.Options();
    if (allowCreate)
        options.Include(odNewDialogStyle);
    else
        options.Exclude(odNewDialogStyle);
    dialog.SetOptions(options);
    if (!dialog.Execute())
        return false;
    folder = dialog.Directory;
    return true;
}

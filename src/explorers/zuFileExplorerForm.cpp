#include "explorers/zuFileExplorerForm.h"

#include "settings/zentuIniFiles.h"
#include "settings/zuSettings.h"

#include "ShellBrowsing/Source/combo/ShellExplorerCombobox.h"
#include "ShellBrowsing/Source/explorer/ExplorerViews.h"
#include "ShellBrowsing/Source/idlist/PIDLManager.h"

#include "ExLib/run/docking/control/ExDockClient.h"

#include "Platform/controls/FilterComboBox.h"
#include "Platform/files/FileNames.h"

#include <QDir>
#include <QSplitter>
#include <QVBoxLayout>
#include <QWheelEvent>

TFileExplorerForm::TFileExplorerForm(TExDockBasicStyle* style, TIniFileEx* settings, TOpenDocumentEvent open)
    : TToolWindowForm("FileExplorerForm", "File Explorer", style), FSettings(settings), FOpen(std::move(open))
{
    DockClient()->SetLRDockWidth(200);
    DockClient()->SetBottomDock(false);
    DockClient()->DirectDrag = false;

    QVBoxLayout* layout = MakeClientLayout();
    QWidget* client = layout->parentWidget();
    layout->setSpacing(2);
    PathCombo = new TShellExplorerCombobox(nullptr, client);
    PathCombo->setObjectName(QStringLiteral("PathCombo"));
    layout->addWidget(PathCombo);
    Splitter = new QSplitter(Qt::Vertical, client);
    Splitter->setChildrenCollapsible(false);
    LocalTreeView = new TShellExplorerTreeview(nullptr, Splitter);
    LocalTreeView->setObjectName(QStringLiteral("LocalTreeView"));
    LocalListView = new TShellExplorerListview(nullptr, Splitter);
    LocalListView->setObjectName(QStringLiteral("LocalListView"));
    Splitter->addWidget(LocalTreeView);
    Splitter->addWidget(LocalListView);
    Splitter->setSizes({200, 300});
    layout->addWidget(Splitter, 1);
    FilterEdit = new TFilterComboBox(client);
    FilterEdit->setObjectName(QStringLiteral("FilterEdit"));
    layout->addWidget(FilterEdit);

    // The tree from the desktop down, several siblings selectable, following the list.
    LocalTreeView->SetFileObjects({TFileObject::foFolders, TFileObject::foHidden});
    TCustomLazyTreeOptions& treeOptions = LocalTreeView->TreeOptions();
    treeOptions.SetSelectionOptions({toMultiSelect, toSiblingSelectConstraint});
    // The files of one folder, hidden ones included, no subfolders; report mode.
    LocalListView->SetFileObjects({TFileObject::foNonFolders, TFileObject::foHidden});
    LocalListView->SetColumnDetails(TColumnDetailType::cdVETColumns);
    TVETMiscOptions misc = LocalListView->VETMiscOptions();
    misc.Include(toListviewLimitBrowseToRoot);
    LocalListView->SetVETMiscOptions(misc);
    // A folder of many files is read on the enumeration thread; the window stays usable meanwhile.
    LocalListView->SetThreadedEnum(true);

    LinkExplorerView(*LocalListView, *FilterEdit, false, [this](const std::string& path) {
        if (FOpen)
            FOpen(path);
    });
    FilterEdit->SetFilter(AllFilesFilter);

    LocalTreeView->SetActive(true);
    LocalListView->SetActive(true);
    LocalTreeView->SetShellExplorerListview(LocalListView);
    LocalListView->SetShellExplorerTreeview(LocalTreeView);
    LocalListView->SetExplorerComboBox(PathCombo);
    LocalListView->OnRootRebuild = [this](TCustomShellExplorerTree*) { ListRootChanged(); };
    PathCombo->SetActive(true);
    std::string last = FSettings ? Settings::Application::LastPath.Read(*FSettings) : std::string();
    if (last.empty() || !DirectoryExists(last))
        last = QDir::homePath().toStdString();
    ShowFolder(last);
}

TFileExplorerForm::~TFileExplorerForm()
{
    const std::string folder = ShownFolder();
    if (FSettings && !folder.empty())
        Settings::Application::LastPath.Write(*FSettings, folder);
    // why: the views go after the form's own parts; they must not call back into it meanwhile.
    FilterEdit->OnChange = nullptr;
    LocalListView->OnEnumFolder = nullptr;
    LocalListView->OnShellExecute = nullptr;
    LocalListView->OnRootRebuild = nullptr;
    LocalListView->SetExplorerComboBox(nullptr);
    LocalTreeView->SetShellExplorerListview(nullptr);
    LocalListView->SetShellExplorerTreeview(nullptr);
}

void TFileExplorerForm::SetFileFilter(const std::string& filter)
{
    FilterEdit->SetFilter(filter);
}

std::string TFileExplorerForm::ShownFolder() const
{
    TNamespace* root = LocalListView->RootNamespace();
    return root ? root->ParsingPathForAddressBar().toStdString() : std::string();
}

bool TFileExplorerForm::ShowFolder(const std::string& folder)
{
    if (!DirectoryExists(folder))
        return false;
    const QString path = QString::fromStdString(ExcludeTrailingPathDelimiter(ExpandFileName(folder)));
    LocalListView->SetRootFolderCustomPath(path);
    LocalTreeView->BrowseToPath(path);
    ListRootChanged();
    return ShownFolder() == path.toStdString();
}

void TFileExplorerForm::ListRootChanged()
{
    TNamespace* shown = LocalListView->RootNamespace();
    TNamespace* current = PathCombo->Namespace();
    // why: setting the folder it shows already would publish it again.
    if (shown && !(current && PIDLMgr().EqualPIDL(current->AbsolutePIDL(), shown->AbsolutePIDL())))
        PathCombo->SetPath(shown);
}

void TFileExplorerForm::LocalListViewDblClick()
{
    const std::string path = SelectedDocumentPath(*LocalListView);
    if (!path.empty() && FOpen)
        FOpen(path);
}

void TFileExplorerForm::wheelEvent(QWheelEvent* event)
{
    // The views scroll themselves when they have the focus; a wheel turned elsewhere is dropped.
    event->accept();
}

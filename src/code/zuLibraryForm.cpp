#include "code/zuLibraryForm.h"

#include "app/zuMainForm.h"
#include "code/zuCodeImages.h"
#include "code/zuCodeTree.h"

#include "ExLib/run/lists/ExComboBox.h"

#include "SrcEdit/Source/view/SrcEdit.h"

#include "Platform/controls/AlignLayout.h"
#include "Platform/core/Application.h"
#include "Platform/graphics/ImgList.h"

TLibraryForm::TLibraryForm(TExDockBasicStyle* style, std::string dataFolder)
    : TToolWindowForm("LibraryForm", "Code Library", style), FDataFolder(std::move(dataFolder))
{
    cmbxLibrary = new TExComboBox(this, this); // owned by the form
    cmbxLibrary->SetName("cmbxLibrary");
    cmbxLibrary->SetStyle(TComboBoxStyle::csDropDownList);
    for (const TLibraryInfo& info : LibraryInfos())
        cmbxLibrary->Items().Add(info.Caption);
    SetAlign(*cmbxLibrary, TAlign::alTop);
    CreateTree();
    cmbxLibrary->SetItemIndex(0);
    LoadLibrary(0);
    cmbxLibrary->OnChange = [this](TObject*) {
        // why: a damaged data file is reported, as the application reports any error, and the
        // library shown stays.
        try {
            LoadLibrary(cmbxLibrary->ItemIndex());
        } catch (const std::exception& e) {
            if (TApplication* application = Application())
                application->ShowException(e);
        }
    };
}

TLibraryForm::~TLibraryForm()
{
    // why: the nodes point into the entries, which go before the tree does.
    LibraryTree->RemoveAllNodes();
}

void TLibraryForm::CreateTree()
{
    ImageList1 = new TCustomImageList(this); // owned by the form
    AddLibraryImages(*ImageList1);
    LibraryTree = CreateCodeTree(*this, "LibraryTree", sizeof(const TLibraryEntry*), ImageList1, [this](PLazyNode node) {
        const TLibraryEntry* entry = NodeEntry(node);
        return entry ? (entry->Children.empty() ? 1 : 0) : -1;
    });
    LibraryTree->SetShowHint(true);
    TCustomLazyTreeOptions& options = LibraryTree->TreeOptions();
    options.SetPaintOptions(options.PaintOptions() + toShowHorzGridLines);
    options.SetSelectionOptions(options.SelectionOptions() + toFullRowSelect);
    options.SetMiscOptions(options.MiscOptions() + toToggleOnDblClick);
    LibraryTree->OnGetText = [this](TCustomLazyStringTree*, PLazyNode node, TColumnIndex, TVSTTextType type,
                                    QString& text) {
        if (const TLibraryEntry* entry = NodeEntry(node); entry && type == TVSTTextType::ttNormal)
            text = QString::fromStdString(entry->Caption);
    };
    LibraryTree->OnDblClick = [this](TObject*) { InsertFocusedEntry(); };
}

const TLibraryEntry* TLibraryForm::NodeEntry(PLazyNode node) const
{
    const auto* slot = node ? LibraryTree->NodeData<const TLibraryEntry*>(node) : nullptr;
    return slot ? *slot : nullptr;
}

void TLibraryForm::LoadLibrary(int index)
{
    const std::span<const TLibraryInfo> infos = LibraryInfos();
    if (index < 0 || index >= static_cast<int>(infos.size()))
        return;
    std::vector<TLibraryEntry> entries;
    if (!LoadLibraryEntries(infos[static_cast<size_t>(index)].Kind, FDataFolder, entries))
        return;
    LibraryTree->StartBatchUpdate();
    LibraryTree->RemoveAllNodes();
    FEntries = std::move(entries);
    for (const TLibraryEntry& category : FEntries) {
        PLazyNode parent = LibraryTree->AppendChildNode(nullptr);
        *LibraryTree->NodeData<const TLibraryEntry*>(parent) = &category;
        for (const TLibraryEntry& entry : category.Children)
            *LibraryTree->NodeData<const TLibraryEntry*>(LibraryTree->AppendChildNode(parent)) = &entry;
    }
    LibraryTree->FinishBatchUpdate();
}

void TLibraryForm::InsertFocusedEntry()
{
    const TLibraryEntry* entry = NodeEntry(LibraryTree->FocusNode());
    TSrcEdit* editor = MainForm ? MainForm->ActiveEditor() : nullptr;
    if (!entry || !editor)
        return;
    InsertLibraryText(*editor, entry->InsertText);
    editor->SetFocus();
}

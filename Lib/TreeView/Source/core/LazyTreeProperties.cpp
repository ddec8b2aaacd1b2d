// Construction, destruction, the parts and the published properties of TBaseLazyTree, loading
// from a form and copying settings between trees.

#include "TreeView/Source/core/LazyTree.h"

#include "TreeView/Source/cache/LTWorkerThread.h"
#include "TreeView/Source/core/LTCheckImages.h"
#include "TreeView/Source/core/LTColors.h"
#include "TreeView/Source/core/LTErrors.h"
#include "TreeView/Source/core/LTScrollBarOptions.h"
#include "TreeView/Source/header/LTHeader.h"
#include "TreeView/Source/input/LTPanningWindow.h"
#include "TreeView/Source/paint/LTDragImage.h"
#include "TreeView/Source/paint/LTHintWindow.h"
#include "TreeView/Source/transfer/LTDragManager.h"

#include "Platform/graphics/ImgList.h"

#include <QApplication>
#include <QScrollBar>
#include <algorithm>
#include <map>

TBaseLazyTree::TBaseLazyTree(TComponent* AOwner, QWidget* parent) : TQtScrollControl<QAbstractScrollArea>(AOwner, parent)
{
    if (!TreeGlobalsReady())
        InitializeTreeGlobals();
    SetInitialColor(clWindow);
    SetControlStyle(ControlStyle() + TControlStyle{csCaptureMouse, csOpaque, csReplicatable, csDisplayDragImage,
                                                   csReflector} -
                    TControlStyle{csSetCaption});
    SetCustomPaint(true);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setAutoFillBackground(false);
    // why: hot tracking, hints and the panning cursor follow the mouse without a button down.
    viewport()->setMouseTracking(true);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    setFrameShape(QFrame::StyledPanel);
    resize(200, 100);
    FColors = std::make_unique<TLTColors>(this);
    FScrollBarOptions = std::make_unique<TScrollBarOptions>(this);
    FCheckImages = ::CheckImagesForKind(TCheckImageKind::ckLightCheck);
    FDragImage = std::make_unique<TLTDragImage>();
    FDragImage->FadeEdges = true;
    FDragImage->AlphaLevel = 200;
    // why: the options are made on first use, so that a subclass's options class counts.
    setAcceptDrops(DefaultMiscOptions.Contains(toAcceptOLEDrop));
    viewport()->setAcceptDrops(DefaultMiscOptions.Contains(toAcceptOLEDrop));
    FWorker = TWorkerThread::AcquireWorkerThread();
    if (!FRoot)
        SetUpHiddenRoot(0);
    FWindowExists = true;
    ApplyScrollBarPolicies();
}

TBaseLazyTree::~TBaseLazyTree()
{
    FlushClipboard();
    TComponent::Destroying();
    if (FOptions)
        FOptions->SetMiscOptions(FOptions->MiscOptions() - toReadOnly);
    TWorkerThread::ReleaseWorkerThread(this);
    FWorker = nullptr;
    if (FStates.Contains(tsEditing))
        AbortNodeEdit();
    FEditLink.reset();
    try {
        RemoveAllNodes();
    } catch (...) {
        // why: destructors never throw; a failing OnFreeNode handler must not stop the teardown.
    }
    RegisterImages(FImages, FImagesLink, nullptr);
    RegisterImages(FStateImages, FStateImagesLink, nullptr);
    RegisterImages(FCustomCheckImages, FCustomCheckImagesLink, nullptr);
    FHeader.reset();
    if (FRoot)
        FRoot->~TLTNodeRecord();
}

// ---- parts

std::unique_ptr<TCustomLazyTreeOptions> TBaseLazyTree::OptionsClassToUse()
{
    return std::make_unique<TCustomLazyTreeOptions>(this);
}

std::unique_ptr<TLTHeader> TBaseLazyTree::HeaderClassToUse()
{
    return std::make_unique<TLTHeader>(*this);
}

std::unique_ptr<TLazyTreeColumn> TBaseLazyTree::ColumnClassToUse(TLazyTreeColumns& columns)
{
    return std::make_unique<TLazyTreeColumn>(columns);
}

TCustomLazyTreeOptions& TBaseLazyTree::TreeOptions() const
{
    if (!FOptions)
        FOptions = const_cast<TBaseLazyTree*>(this)->OptionsClassToUse();
    return *FOptions;
}

void TBaseLazyTree::SetTreeOptions(const TCustomLazyTreeOptions& value)
{
    TreeOptions().Assign(value);
}

TLTHeader& TBaseLazyTree::Header() const
{
    if (!FHeader) {
        FHeader = const_cast<TBaseLazyTree*>(this)->HeaderClassToUse();
        const_cast<TBaseLazyTree*>(this)->ComputeHeaderArea();
    }
    return *FHeader;
}

void TBaseLazyTree::SetHeader(const TLTHeader& value)
{
    Header().Assign(value);
}

TLTColors& TBaseLazyTree::Colors() const
{
    return *FColors;
}

void TBaseLazyTree::SetColors(const TLTColors& value)
{
    FColors->Assign(value);
}

TScrollBarOptions& TBaseLazyTree::ScrollBarOptions() const
{
    return *FScrollBarOptions;
}

void TBaseLazyTree::SetScrollBarOptions(const TScrollBarOptions& value)
{
    FScrollBarOptions->Assign(value);
}

bool TBaseLazyTree::HasOption(TLTPaintOption o) const
{
    return TreeOptions().PaintOptions().Contains(o);
}

bool TBaseLazyTree::HasOption(TLTAnimationOption o) const
{
    return TreeOptions().AnimationOptions().Contains(o);
}

bool TBaseLazyTree::HasOption(TLTAutoOption o) const
{
    return TreeOptions().AutoOptions().Contains(o);
}

bool TBaseLazyTree::HasOption(TLTSelectionOption o) const
{
    return TreeOptions().SelectionOptions().Contains(o);
}

bool TBaseLazyTree::HasOption(TLTMiscOption o) const
{
    return TreeOptions().MiscOptions().Contains(o);
}

// ---- properties

void TBaseLazyTree::SetAlignment(TAlignment value)
{
    if (value == FAlignment)
        return;
    FAlignment = value;
    if (!Loading())
        InvalidateClient();
}

void TBaseLazyTree::SetAnimationDuration(std::uint32_t value)
{
    FAnimationDuration = value;
    TLTAnimationOptions options = TreeOptions().AnimationOptions();
    if (value == 0)
        options.Exclude(toAnimatedToggle);
    else
        options.Include(toAnimatedToggle);
    TreeOptions().SetAnimationOptions(options);
}

void TBaseLazyTree::SetBackground(const QImage& value)
{
    FBackground = value;
    InvalidateClient();
}

void TBaseLazyTree::SetBackgroundOffset(int index, int value)
{
    int& slot = index == 0 ? FBackgroundOffsetX : FBackgroundOffsetY;
    if (slot == value)
        return;
    slot = value;
    InvalidateClient();
}

void TBaseLazyTree::SetBorderStyle(TBorderStyle value)
{
    if (value == FBorderStyle)
        return;
    FBorderStyle = value;
    setFrameShape(value == TBorderStyle::bsSingle ? QFrame::StyledPanel : QFrame::NoFrame);
}

void TBaseLazyTree::SetButtonFillMode(TLTButtonFillMode value)
{
    if (value == FButtonFillMode)
        return;
    FButtonFillMode = value;
    if (!Loading())
        InvalidateClient();
}

void TBaseLazyTree::SetButtonStyle(TLTButtonStyle value)
{
    if (value == FButtonStyle)
        return;
    FButtonStyle = value;
    if (!Loading())
        InvalidateClient();
}

void TBaseLazyTree::SetClipboardFormats(const std::vector<std::string>& names)
{
    FClipboardFormats.clear();
    for (const std::string& name : names) {
        const auto at = std::lower_bound(FClipboardFormats.begin(), FClipboardFormats.end(), name);
        if (at == FClipboardFormats.end() || *at != name)
            FClipboardFormats.insert(at, name);
    }
}

void TBaseLazyTree::SetDefaultNodeHeight(std::uint32_t value)
{
    if (value == 0)
        value = 18;
    if (value == FDefaultNodeHeight)
        return;
    StopWorkerBeforeChange();
    ShiftTreeStates(tsNeedScale, {});
    const std::int64_t difference = static_cast<std::int64_t>(value) - static_cast<std::int64_t>(FDefaultNodeHeight);
    FRoot->SubtreeHeight = static_cast<std::uint32_t>(FRoot->SubtreeHeight + difference);
    FRoot->RowHeight = static_cast<std::uint16_t>(std::min<std::uint32_t>(value, 0xFFFF));
    FDefaultNodeHeight = value;
    DropPositionCache();
    if (FUpdateDepth > 0 || !WindowExists() || Loading())
        return;
    ScheduleCacheValidation();
    RefreshScrollBars(true);
    if (FFocusNode)
        MakeNodeVisible(FFocusNode, HasOption(toCenterScrollIntoView));
    InvalidateClient();
}

void TBaseLazyTree::RegisterImages(TCustomImageList*& slot, int& link, TCustomImageList* value)
{
    if (slot == value)
        return;
    if (slot) {
        slot->UnRegisterChanges(link);
        RemoveFreeNotification(slot);
        link = 0;
    }
    slot = value;
    if (slot) {
        link = slot->RegisterChanges([this](TObject*) { ImageListChanged(); });
        FreeNotification(slot);
    }
}

void TBaseLazyTree::ImageListChanged()
{
    if (!IsDestroying())
        InvalidateClient();
}

void TBaseLazyTree::SetImages(TCustomImageList* value)
{
    if (value == FImages)
        return;
    RegisterImages(FImages, FImagesLink, value);
    if (!Loading())
        InvalidateClient();
}

void TBaseLazyTree::SetStateImages(TCustomImageList* value)
{
    if (value == FStateImages)
        return;
    RegisterImages(FStateImages, FStateImagesLink, value);
    if (!Loading() && WindowExists())
        InvalidateClient();
}

void TBaseLazyTree::SetIndent(std::uint32_t value)
{
    if (value == FIndent)
        return;
    FIndent = value;
    if (!Loading() && FUpdateDepth == 0 && WindowExists()) {
        RefreshScrollBars(true);
        InvalidateClient();
    }
}

void TBaseLazyTree::SetLineMode(TLTLineMode value)
{
    if (ChangeProperty(FLineMode, value))
        InvalidateIfShown();
}

void TBaseLazyTree::SetLineStyle(TLTLineStyle value)
{
    if (ChangeProperty(FLineStyle, value))
        InvalidateIfShown();
}

void TBaseLazyTree::SetMargin(int value)
{
    if (ChangeProperty(FMargin, value))
        InvalidateIfShown();
}

void TBaseLazyTree::SetNodeAlignment(TLTNodeAlignment value)
{
    if (ChangeProperty(FNodeAlignment, value))
        InvalidateIfShown();
}

void TBaseLazyTree::SetSelectionCurveRadius(std::uint32_t value)
{
    if (ChangeProperty(FSelectionCurveRadius, value))
        InvalidateIfShown();
}

void TBaseLazyTree::SetTextMargin(int value)
{
    if (value == FTextMargin)
        return;
    FTextMargin = value;
    if (!Loading())
        InvalidateClient();
}

void TBaseLazyTree::SetFont(const TFont& value)
{
    FFont.Assign(value);
    setFont(FFont.ToQFont());
    if (FHeader && FHeader->ParentFont())
        FHeader->ParentFontChanged();
    InvalidateClient();
}

// ---- loading, copying, scaling

void TBaseLazyTree::Loaded()
{
    TQtScrollControl<QAbstractScrollArea>::Loaded();
    if (FStates.Contains(tsNeedRootCountUpdate) && FRoot->NumChildren > 0) {
        ShiftTreeStates({}, tsNeedRootCountUpdate);
        const bool readOnly = HasOption(toReadOnly);
        TCustomLazyTreeOptions& options = TreeOptions();
        if (readOnly)
            options.SetMiscOptions(options.MiscOptions() - toReadOnly);
        const std::uint32_t count = FRoot->NumChildren;
        FRoot->NumChildren = 0;
        StartBatchUpdate();
        try {
            SetNodeChildCount(FRoot, count);
        } catch (...) {
            FinishBatchUpdate();
            if (readOnly)
                options.SetMiscOptions(options.MiscOptions() + toReadOnly);
            throw;
        }
        FinishBatchUpdate();
        if (readOnly)
            options.SetMiscOptions(options.MiscOptions() + toReadOnly);
    }
    TLazyTreeColumns& columns = Header().Columns();
    columns.BeginUpdate();
    if (columns.Count() > 0 && Header().MainColumn() < 0)
        Header().SetMainColumn(0);
    columns.FixColumnPositions();
    columns.EndUpdate();
    if (Header().Options().Contains(hoAutoResize))
        columns.FitAutoSizeColumn();
    ComputeHeaderArea();
    RefreshScrollBars(false);
}

void TBaseLazyTree::ReadLegacyOptions(const std::vector<std::string>& names)
{
    static const std::map<std::string, int> SetOf = {
        {"voAnimatedToggle", 0},        {"voAutoDropExpand", 1},       {"voAutoExpand", 1},
        {"voAutoScroll", 1},            {"voAutoSort", 1},             {"voAutoSpanColumns", 1},
        {"voAutoTristateTracking", 1},  {"voDisableDrawSelection", 2}, {"voExtendedFocus", 2},
        {"voFullRowSelect", 2},         {"voLevelSelectConstraint", 2}, {"voMiddleClickSelect", 2},
        {"voMultiSelect", 2},           {"voRightClickSelect", 2},     {"voSiblingSelectConstraint", 2},
        {"voHideFocusRect", 3},         {"voHideSelection", 3},        {"voHotTrack", 3},
        {"voPopupMode", 3},             {"voShowBackground", 3},       {"voShowButtons", 3},
        {"voShowDropmark", 3},          {"voShowHorzGridLines", 3},    {"voShowRoot", 3},
        {"voShowTreeLines", 3},         {"voShowVertGridLines", 3},    {"voAcceptOLEDrop", 4},
        {"voCheckSupport", 4},          {"voEditable", 4},             {"voGridExtensions", 4},
        {"voInitOnSave", 4},            {"voToggleOnDblClick", 4},
    };
    static const std::map<std::string, TLTAutoOption> Auto = {
        {"voAutoDropExpand", toAutoDropExpand}, {"voAutoExpand", toAutoExpand}, {"voAutoScroll", toAutoScroll},
        {"voAutoSort", toAutoSort}, {"voAutoSpanColumns", toAutoSpanColumns},
        {"voAutoTristateTracking", toAutoTristateTracking}};
    static const std::map<std::string, TLTSelectionOption> Selection = {
        {"voDisableDrawSelection", toDisableDrawSelection}, {"voExtendedFocus", toExtendedFocus},
        {"voFullRowSelect", toFullRowSelect}, {"voLevelSelectConstraint", toLevelSelectConstraint},
        {"voMiddleClickSelect", toMiddleClickSelect}, {"voMultiSelect", toMultiSelect},
        {"voRightClickSelect", toRightClickSelect}, {"voSiblingSelectConstraint", toSiblingSelectConstraint}};
    static const std::map<std::string, TLTPaintOption> Paint = {
        {"voHideFocusRect", toHideFocusRect}, {"voHideSelection", toHideSelection}, {"voHotTrack", toHotTrack},
        {"voPopupMode", toPopupMode}, {"voShowBackground", toShowBackground}, {"voShowButtons", toShowButtons},
        {"voShowDropmark", toShowDropmark}, {"voShowHorzGridLines", toShowHorzGridLines},
        {"voShowRoot", toShowRoot}, {"voShowTreeLines", toShowTreeLines},
        {"voShowVertGridLines", toShowVertGridLines}};
    static const std::map<std::string, TLTMiscOption> Misc = {
        {"voAcceptOLEDrop", toAcceptOLEDrop}, {"voCheckSupport", toCheckSupport}, {"voEditable", toEditable},
        {"voGridExtensions", toGridExtensions}, {"voInitOnSave", toInitOnSave},
        {"voToggleOnDblClick", toToggleOnDblClick}};
    NotifyFormDesigner();
    TLTAnimationOptions animation;
    TLTAutoOptions autoOptions;
    TLTSelectionOptions selection;
    TLTPaintOptions paint;
    TLTMiscOptions misc;
    for (const std::string& name : names) {
        if (SetOf.count(name) == 0)
            continue;
        if (name == "voAnimatedToggle")
            animation.Include(toAnimatedToggle);
        else if (auto a = Auto.find(name); a != Auto.end())
            autoOptions.Include(a->second);
        else if (auto s = Selection.find(name); s != Selection.end())
            selection.Include(s->second);
        else if (auto p = Paint.find(name); p != Paint.end())
            paint.Include(p->second);
        else if (auto m = Misc.find(name); m != Misc.end())
            misc.Include(m->second);
    }
    TCustomLazyTreeOptions& options = TreeOptions();
    options.SetPaintOptions(paint);
    options.SetAnimationOptions(animation);
    options.SetAutoOptions(autoOptions);
    options.SetSelectionOptions(selection);
    options.SetMiscOptions(misc);
}

void TBaseLazyTree::CopySettingsFrom(const TPersistent& source)
{
    const auto* tree = dynamic_cast<const TBaseLazyTree*>(&source);
    if (!tree || HasOption(toReadOnly)) {
        TPersistent::Assign(source);
        return;
    }
    FAutoScrollDelay = tree->FAutoScrollDelay;
    FAutoScrollInterval = tree->FAutoScrollInterval;
    SetBackground(tree->FBackground);
    SetBorderStyle(tree->FBorderStyle);
    FChangeDelay = tree->FChangeDelay;
    SetCheckImageKind(tree->FCheckImageKind);
    SetColor(tree->Color());
    FColors->Assign(*tree->FColors);
    SetDefaultNodeHeight(tree->FDefaultNodeHeight);
    FDefaultPasteMode = tree->FDefaultPasteMode;
    FDragImageKind = tree->FDragImageKind;
    SetEnabled(tree->Enabled());
    SetFont(tree->FFont);
    Header().Assign(tree->Header());
    FHintAnimation = tree->FHintAnimation;
    FHintMode = tree->FHintMode;
    FHotCursor = tree->FHotCursor;
    SetImages(tree->FImages);
    SetIndent(tree->FIndent);
    SetMargin(tree->FMargin);
    SetNodeAlignment(tree->FNodeAlignment);
    SetNodeDataSize(tree->FNodeDataSize);
    TreeOptions().Assign(tree->TreeOptions());
    SetRootNodeCount(tree->RootNodeCount());
    FScrollBarOptions->Assign(*tree->FScrollBarOptions);
    SetStateImages(tree->FStateImages);
    SetVisible(tree->Visible());
    SetSelectionCurveRadius(tree->FSelectionCurveRadius);
    FSelectionBlendFactor = tree->FSelectionBlendFactor;
}

void TBaseLazyTree::Assign(const TPersistent& source)
{
    CopySettingsFrom(source);
}

void TBaseLazyTree::ScaleTo(int m, int d)
{
    if (m == d || !HasOption(toAutoChangeScale) || (Loading() && !FStates.Contains(tsNeedScale)))
        return;
    SetDefaultNodeHeight(static_cast<std::uint32_t>(std::max(MulDiv(static_cast<int>(FDefaultNodeHeight), m, d), 1)));
    Header().ScaleHeader(m, d);
}

bool TBaseLazyTree::AcceptsFocus() const
{
    if (!isEnabled() || !isVisible())
        return false;
    const QWidget* form = window();
    return form == this || (form->isEnabled() && form->isVisible());
}

void TBaseLazyTree::Notification(TComponent* component, TOperation operation)
{
    if (operation == TOperation::opRemove) {
        if (component == FImages) {
            FImages = nullptr;
            FImagesLink = 0;
            if (!IsDestroying())
                InvalidateClient();
        }
        if (component == FStateImages) {
            FStateImages = nullptr;
            FStateImagesLink = 0;
            if (!IsDestroying())
                InvalidateClient();
        }
        if (component == FCustomCheckImages) {
            FCustomCheckImages = nullptr;
            FCustomCheckImagesLink = 0;
            FCheckImageKind = TCheckImageKind::ckLightCheck;
            FCheckImages = ::CheckImagesForKind(TCheckImageKind::ckLightCheck);
    FDragImage = std::make_unique<TLTDragImage>();
    FDragImage->FadeEdges = true;
    FDragImage->AlphaLevel = 200;
    // why: the options are made on first use, so that a subclass's options class counts.
    setAcceptDrops(DefaultMiscOptions.Contains(toAcceptOLEDrop));
    viewport()->setAcceptDrops(DefaultMiscOptions.Contains(toAcceptOLEDrop));
            if (!IsDestroying())
                InvalidateClient();
        }
        if (FHeader && component == FHeader->Images())
            FHeader->ImagesRemoved();
    }
    TQtScrollControl<QAbstractScrollArea>::Notification(component, operation);
}

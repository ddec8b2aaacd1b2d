#include "ExLib/run/docking/vsnet/ExDockVSChannel.h"

#include "ExLib/run/docking/control/ExDockClient.h"
#include "ExLib/run/docking/control/ExDockGlobals.h"
#include "ExLib/run/docking/control/ExDockServer.h"
#include "ExLib/run/docking/support/ExDockSupportProc.h"
#include "ExLib/run/docking/vsnet/ExDockVSNetStyle.h"

#include "Platform/core/Application.h"
#include "Platform/core/Exceptions.h"
#include "Platform/core/QtBridge.h"

#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QFontMetrics>
#include <QPainter>
#include <algorithm>

namespace {

bool IsTopOrBottom(TAlign a)
{
    return a == TAlign::alTop || a == TAlign::alBottom;
}

// The tab host whose page holds `form`, or null.
TExDockTabHostForm* TabHostOfPage(const TWinControlCore* form)
{
    auto* pages = form ? dynamic_cast<TExDockTabPageControl*>(HostDockSite(*form)) : nullptr;
    return pages ? pages->Host() : nullptr;
}

// The tree of a dock site, when it has one.
IExDockManager* TreeOf(TDockSite* site)
{
    return ExDockManagerOf(site);
}

} // namespace

// ---- blocks

TExDockVSBlock::TExDockVSBlock(TExDockVSChannel* channel) : Channel(channel) {}

TExDockVSBlock::~TExDockVSBlock() = default;

void TExDockVSBlock::AddPane(TCustomForm* form, int size)
{
    if (!form)
        return;
    Panes.push_back(std::make_unique<TExDockVSPane>(this, form, PaneCount(), size, ControlVisible(*form)));
    if (!LayoutLoading())
        if (TExDockClient* client = FindDockClientOf(form))
            client->VSPaneWidth = size;
    const QIcon icon = form->windowIcon();
    QImage image = icon.isNull() ? QImage() : icon.pixmap(16, 16).toImage();
    if (image.isNull()) {
        image = QImage(16, 16, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
    }
    Images.Add(image);
}

void TExDockVSBlock::AddBlockForm(TCustomForm* form)
{
    const TAlign align = Channel->ChannelAlign();
    const int size = IsTopOrBottom(align)                              ? form->Height()
                     : align == TAlign::alLeft || align == TAlign::alRight ? form->Width()
                                                                          : 100;
    if (auto* host = dynamic_cast<TExDockTabHostForm*>(form)) {
        BlockType = 1;
        const int first = PaneCount();
        if (TExDockTabPageControl* pages = host->PageControl()) {
            TExDockTabSheet* active = pages->ActivePage();
            for (int i = 0; i < pages->DockClientCount(); ++i) {
                auto* client = dynamic_cast<TCustomForm*>(pages->DockClients(i));
                if (!client)
                    continue;
                AddPane(client, size);
                TExDockTabSheet* sheet = pages->PageOfControl(client);
                if (auto* vsnet = dynamic_cast<TExDockVSNETTabSheet*>(sheet))
                    vsnet->ShownInChannel = ControlVisible(*client);
                if (sheet != active)
                    client->SetVisible(false);
            }
        }
        ActivateFirstVisible(first);
    } else {
        BlockType = 0;
        AddPane(form, size);
        SetActiveForm(form);
    }
    UpdateActiveTabWidth();
}

void TExDockVSBlock::UpdateActiveTabWidth()
{
    QWidget* window = Channel->Widget()->window();
    const QFontMetrics metrics(window ? window->font() : QApplication::font(), Channel->Widget());
    for (const auto& pane : Panes)
        ActiveTabWidth = std::max(ActiveTabWidth, std::min(Channel->MaxTabLength,
                                                           metrics.horizontalAdvance(QStr(pane->Form->Caption())) +
                                                               InactiveTabWidth + 10));
}

void TExDockVSBlock::SetActiveForm(TCustomForm* form)
{
    if (form == ActiveForm)
        return;
    ActiveForm = form;
    Channel->Invalidate();
}

void TExDockVSBlock::ActivateFirstVisible(int start)
{
    const int count = PaneCount();
    for (int i = 0; i < count; ++i) {
        TExDockVSPane* pane = Pane((start + i) % count);
        if (pane->Visible) {
            SetActiveForm(pane->Form);
            return;
        }
    }
}

void TExDockVSBlock::DeletePane(int index)
{
    if (index < 0 || index >= PaneCount())
        return;
    TCustomForm* form = Pane(index)->Form;
    if (Channel->ShownPane == Pane(index)) {
        Channel->ShownPane = nullptr;
        Channel->ShownForm = nullptr;
    }
    if (Channel->HoverPane == Pane(index))
        Channel->HoverPane = nullptr;
    Panes.erase(Panes.begin() + index);
    if (Images.ValidIndex(index))
        Images.Delete(index);
    for (int i = 0; i < PaneCount(); ++i)
        Pane(i)->Index = i;
    if (form == ActiveForm) {
        ActiveForm = nullptr;
        if (PaneCount() > 0)
            ActivateFirstVisible(std::min(index, PaneCount() - 1));
    }
}

// ---- the channel

TExDockVSChannel::TExDockVSChannel(TExDockVSNETPanel* dockPanel) : TExCustomControl(dockPanel), FDockPanel(dockPanel)
{
    SetColor(static_cast<TColor>(0xEFF3F7));
    setMouseTracking(true);
    if (IsTopOrBottom(AlignOf(*dockPanel)))
        resize(width(), ChannelThickness);
    else
        resize(ChannelThickness, height());
}

TExDockVSChannel::~TExDockVSChannel()
{
    ReleasePopupAnimatorOf(this);
    FHoverTimer.reset();
    Blocks.clear();
    ShownForm = nullptr;
    ShownPane = nullptr;
    // The popup panel and its splitter go with the channel.
    if (FPopupSplitter) {
        RemoveFreeNotification(FPopupSplitter);
        delete FPopupSplitter;
        FPopupSplitter = nullptr;
    }
    if (FPopupPanel) {
        RemoveFreeNotification(FPopupPanel);
        TExDockVSPopupPanel* popup = FPopupPanel;
        FPopupPanel = nullptr;
        delete popup;
    }
}

TExDockServer* TExDockVSChannel::DockServer() const
{
    return FDockPanel ? FDockPanel->DockServer() : nullptr;
}

TAlign TExDockVSChannel::ChannelAlign() const
{
    return FDockPanel ? AlignOf(*FDockPanel) : TAlign::alNone;
}

TExDockVSNetStyle* TExDockVSChannel::Style() const
{
    TExDockServer* server = DockServer();
    return server ? dynamic_cast<TExDockVSNetStyle*>(server->DockStyle()) : nullptr;
}

void TExDockVSChannel::PrepareVerticalFont()
{
    const TAlign align = ChannelAlign();
    FVerticalText = align == TAlign::alLeft || align == TAlign::alRight;
}

void TExDockVSChannel::ComputeBlockPositions()
{
    int pos = BlockStartOffset;
    for (const auto& block : Blocks) {
        block->StartPos = pos;
        pos += block->BlockExtent() + BlockInterval;
    }
}

void TExDockVSChannel::CreatePopup()
{
    if (!DockServer() || !DockServer()->DockStyle())
        throw Exception("Assertion failure");
    FPopupPanel = new TExDockVSPopupPanel(FDockPanel);
    FreeNotification(FPopupPanel);
    if (!FDockPanel->Name().empty())
        FPopupPanel->SetName(FDockPanel->Name() + "_PopupPanel");
    FPopupPanel->SetVisible(false);
    QWidget* form = parentWidget();
    if (form) {
        FPopupPanel->SetParent(form);
        SetAlign(*FPopupPanel, TAlign::alNone);
        FPopupPanel->SetVisible(false);
        FPopupPanel->raise();
    }
    TComponent* splitterOwner = TWinControlCore::ControlOf(form);
    FPopupSplitter = new TExDockVSPopupPanelSplitter(splitterOwner ? splitterOwner : FDockPanel);
    FreeNotification(FPopupSplitter);
    if (form) {
        FPopupSplitter->SetParent(form);
        SetAlign(*FPopupSplitter, TAlign::alNone);
        FPopupSplitter->SetPopupPanel(FPopupPanel);
        FPopupSplitter->SetColor(clBtnFace);
        FPopupSplitter->SetVisible(false);
    }
}

void TExDockVSChannel::Notification(TComponent* component, TOperation operation)
{
    TExCustomControl::Notification(component, operation);
    if (operation != TOperation::opRemove)
        return;
    // Either of the two destroyed elsewhere takes the other with it.
    if (component == FPopupPanel) {
        FPopupPanel = nullptr;
        if (TExDockVSPopupPanelSplitter* splitter = FPopupSplitter) {
            FPopupSplitter = nullptr;
            RemoveFreeNotification(splitter);
            splitter->deleteLater();
        }
    } else if (component == FPopupSplitter) {
        FPopupSplitter = nullptr;
        if (TExDockVSPopupPanel* popup = FPopupPanel) {
            FPopupPanel = nullptr;
            RemoveFreeNotification(popup);
            popup->deleteLater();
        }
    }
}

void TExDockVSChannel::AddChannelForm(TCustomForm* form)
{
    if (!form)
        return;
    if (dynamic_cast<TExDockTabHostForm*>(form)) {
        Blocks.push_back(std::make_unique<TExDockVSBlock>(this));
        Blocks.back()->AddBlockForm(form);
    } else if (!Blocks.empty() && Blocks.front()->BlockType == 0) {
        Blocks.front()->AddBlockForm(form);
    } else {
        Blocks.insert(Blocks.begin(), std::make_unique<TExDockVSBlock>(this));
        Blocks.front()->AddBlockForm(form);
    }
    CollapseOtherChannels(this);
    UpdatePlacement();
    Invalidate();
}

void TExDockVSChannel::DeleteBlock(TExDockVSBlock* block)
{
    for (const auto& pane : block->Panes) {
        if (ShownPane == pane.get()) {
            ShownPane = nullptr;
            ShownForm = nullptr;
        }
        if (HoverPane == pane.get())
            HoverPane = nullptr;
    }
    Blocks.erase(std::remove_if(Blocks.begin(), Blocks.end(), [block](const auto& b) { return b.get() == block; }),
                 Blocks.end());
}

void TExDockVSChannel::RemoveChannelForm(TWinControlCore* form)
{
    if (FPopupPanel)
        FPopupPanel->SetVisible(false);
    if (FPopupSplitter)
        FPopupSplitter->SetVisible(false);
    int blockIndex = -1;
    int paneIndex = -1;
    if (LocatePane(form, blockIndex, paneIndex)) {
        TExDockVSBlock* block = Blocks[static_cast<size_t>(blockIndex)].get();
        block->DeletePane(paneIndex);
        // A tab host leaves as a whole.
        if (block->PaneCount() == 0 || block->BlockType == 1)
            DeleteBlock(block);
    }
    if (ShownForm == form) {
        ShownForm = nullptr;
        ShownPane = nullptr;
    }
    UpdatePlacement();
    Invalidate();
}

void TExDockVSChannel::ClearBlocks()
{
    Blocks.clear();
    ShownForm = nullptr;
    ShownPane = nullptr;
    HoverPane = nullptr;
    UpdatePlacement();
}

TExDockVSPane* TExDockVSChannel::PaneForControl(const TWinControlCore* control) const
{
    for (const auto& block : Blocks)
        for (const auto& pane : block->Panes)
            if (pane->Form == control)
                return pane.get();
    return nullptr;
}

bool TExDockVSChannel::LocatePane(const TWinControlCore* control, int& blockIndex, int& paneIndex) const
{
    blockIndex = -1;
    paneIndex = -1;
    for (size_t b = 0; b < Blocks.size(); ++b) {
        TExDockVSBlock* block = Blocks[b].get();
        for (int p = 0; p < block->PaneCount(); ++p)
            if (block->Pane(p)->Form == control || (block->BlockType == 1 && p == 0 &&
                                                    TabHostOfPage(block->Pane(p)->Form) == control)) {
                blockIndex = static_cast<int>(b);
                paneIndex = p;
                return true;
            }
    }
    return false;
}

void TExDockVSChannel::SetMaxTabLength(int value)
{
    if (value == MaxTabLength)
        return;
    MaxTabLength = value;
    for (const auto& block : Blocks)
        block->UpdateActiveTabWidth();
    Invalidate();
}

void TExDockVSChannel::SetBlockStartOffset(int value)
{
    if (value == BlockStartOffset)
        return;
    BlockStartOffset = value;
    Invalidate();
}

void TExDockVSChannel::UpdatePlacement()
{
    bool anyVisible = false;
    for (const auto& block : Blocks)
        for (const auto& pane : block->Panes)
            anyVisible = anyVisible || pane->Visible;
    QWidget* parent = parentWidget();
    const TAlign align = ChannelAlign();
    TWinControlCore* parentControl = Parent();
    const int s = parentControl ? AlignedControlsSize(parentControl, align, this) : 0;
    const QRect client = parent ? parent->contentsRect() : QRect();
    switch (align) {
    case TAlign::alTop: setGeometry(x(), s, width(), ChannelThickness); break;
    case TAlign::alBottom: setGeometry(x(), client.height() - s - ChannelThickness + 1, width(), ChannelThickness); break;
    case TAlign::alLeft: setGeometry(s, y(), ChannelThickness, height()); break;
    case TAlign::alRight: setGeometry(client.width() - s - ChannelThickness + 1, y(), ChannelThickness, height()); break;
    default: break;
    }
    SetVisible(anyVisible);
}

void TExDockVSChannel::UpdateTopBottomOffsets()
{
    TExDockServer* server = DockServer();
    auto* left = server ? dynamic_cast<TExDockVSNETPanel*>(server->DockPanelWithAlign(TAlign::alLeft)) : nullptr;
    if (!left || !left->Channel() || !left->Channel()->Parent())
        return;
    const int w = AlignedControlsSize(left->Channel()->Parent(), TAlign::alLeft, nullptr);
    for (TExDockVSChannel* channel : ChannelsOf(server))
        if (IsTopOrBottom(channel->ChannelAlign()))
            channel->SetBlockStartOffset(w + 2);
}

TRect TExDockVSChannel::TabRectOf(TExDockVSBlock* block, int index) const
{
    TExDockVSPane* pane = block->Pane(index);
    const int w = pane->Form == block->ActiveForm ? block->ActiveTabWidth : block->InactiveTabWidth;
    const int p = PaintPos;
    const int H = Height();
    const int W = Width();
    switch (ChannelAlign()) {
    case TAlign::alTop: return Rect(p, -1, p + w, H - BlockUpOffset);
    case TAlign::alBottom: return Rect(p, BlockUpOffset, p + w, H + 1);
    case TAlign::alLeft: return Rect(-1, p, W - BlockUpOffset, p + w);
    case TAlign::alRight: return Rect(BlockUpOffset, p, W + 1, p + w);
    default: return {};
    }
}

void TExDockVSChannel::Paint()
{
    TCanvas& canvas = Canvas();
    canvas.Brush().SetColor(Color());
    canvas.FillRect(ClientRect());
    PaintPos = BlockStartOffset;
    for (const auto& block : Blocks)
        PaintBlock(block.get());
}

void TExDockVSChannel::PaintBlock(TExDockVSBlock* block)
{
    TCanvas& canvas = Canvas();
    QPainter* painter = canvas.Handle();
    TExDockVSNetStyle* style = Style();
    const TColor tabColor = style && style->ChannelOption() ? style->ChannelOption()->TabColor() : clBtnFace;
    const TAlign align = ChannelAlign();
    WalkTabs(block, [&](TExDockVSPane* pane, int i, const TRect& r) {
        canvas.Brush().SetStyle(TBrushStyle::bsSolid);
        canvas.Brush().SetColor(tabColor);
        canvas.FillRect(r);
        canvas.Brush().SetColor(RGBColor(128, 128, 128));
        canvas.FrameRect(r);
        const TPoint iconAt = align == TAlign::alTop      ? TPoint{r.Left + 4, r.Top + 2}
                              : align == TAlign::alBottom ? TPoint{r.Left + 4, r.Top + 3}
                              : align == TAlign::alLeft   ? TPoint{r.Left + 3, r.Top + 4}
                                                          : TPoint{r.Left + 4, r.Top + 4};
        block->Images.Draw(canvas, iconAt.X, iconAt.Y, i);
        if (pane->Form != block->ActiveForm || !painter)
            return false;
        TRect text = r;
        if (IsTopOrBottom(align))
            text.Left += block->InactiveTabWidth;
        else
            text.Top += block->InactiveTabWidth;
        text.Right -= 3;
        painter->save();
        painter->setFont(Widget()->font());
        painter->setPen(Qt::black);
        const QFontMetrics metrics = painter->fontMetrics();
        if (FVerticalText) {
            // The caption runs downward from the top of the tab, its glyphs' tops towards the
            // right. Its line is centred across the tab: fixed offsets fit one font only, and a
            // larger one ran past the channel's edge.
            const int length = r.Bottom - r.Top - block->InactiveTabWidth - 3;
            painter->translate(r.Left + (r.Width() + metrics.height()) / 2, text.Top);
            painter->rotate(90);
            painter->drawText(QRect(0, 0, std::max(0, length), metrics.height()),
                              Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                              metrics.elidedText(QStr(pane->Form->Caption()), Qt::ElideRight, std::max(0, length)));
        } else {
            painter->drawText(text.ToQt(), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                              metrics.elidedText(QStr(pane->Form->Caption()), Qt::ElideRight, std::max(0, text.Width())));
        }
        painter->restore();
        return false;
    });
}

TExDockVSPane* TExDockVSChannel::WalkTabs(TExDockVSBlock* block,
                                          const std::function<bool(TExDockVSPane*, int, const TRect&)>& visit)
{
    bool any = false;
    for (int i = 0; i < block->PaneCount(); ++i) {
        TExDockVSPane* pane = block->Pane(i);
        if (!pane->Visible)
            continue;
        any = true;
        const TRect r = TabRectOf(block, i);
        PaintPos += (pane->Form == block->ActiveForm ? block->ActiveTabWidth : block->InactiveTabWidth) - 1;
        if (visit(pane, i, r))
            return pane;
    }
    if (any)
        PaintPos += BlockInterval;
    return nullptr;
}

TExDockVSPane* TExDockVSChannel::PaneAtPoint(TPoint p)
{
    PaintPos = BlockStartOffset;
    for (const auto& block : Blocks)
        if (TExDockVSPane* pane = WalkTabs(block.get(), [p](TExDockVSPane*, int, const TRect& r) { return r.Contains(p); }))
            return pane;
    return nullptr;
}

void TExDockVSChannel::MouseMove(TShiftState shift, int x, int y)
{
    TExCustomControl::MouseMove(shift, x, y);
    TExDockVSPane* pane = PaneAtPoint({x, y});
    if (!FHoverTimer) {
        FHoverTimer = std::make_unique<QTimer>();
        FHoverTimer->setSingleShot(true);
        FHoverTimer->setInterval(400);
        QObject::connect(FHoverTimer.get(), &QTimer::timeout, Widget(), [this] {
            try {
                HoverTimerTick();
            } catch (...) {
                HandleCurrentException();
            }
        });
        FHoverTimer->start();
    } else if (pane != HoverPane) {
        FHoverTimer->start();
    }
    HoverPane = pane;
}

void TExDockVSChannel::HoverTimerTick()
{
    // One shot: the next move over the channel starts a new one.
    if (FHoverTimer) {
        FHoverTimer->stop();
        FHoverTimer.release()->deleteLater();
    }
    const TPoint p = ScreenToClient(TPoint::FromQt(QCursor::pos()));
    if (HoverPane && PaneAtPoint(p) == HoverPane)
        SlideOutPane(HoverPane);
}

void TExDockVSChannel::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TExCustomControl::MouseDown(button, shift, x, y);
    TExDockVSPane* pane = PaneAtPoint({x, y});
    if (!pane)
        return;
    if (pane->Form == ShownForm && pane->Form->CanFocus())
        pane->Form->SetFocus();
    else
        SlideOutPane(pane);
}

void TExDockVSChannel::CollapsePopupOf(TWinControlCore* control)
{
    if (TExDockVSPane* pane = PaneForControl(control))
        CollapsePopup(pane);
}

void TExDockVSChannel::CollapsePopup(TExDockVSPane* pane)
{
    const bool vertical = IsTopOrBottom(ChannelAlign());
    if (pane) {
        for (QWidget* w : {static_cast<QWidget*>(FPopupPanel), static_cast<QWidget*>(FPopupSplitter)})
            if (w)
                w->resize(vertical ? w->width() : 0, vertical ? 0 : w->height());
        ShownForm = nullptr;
    }
    if (FPopupPanel)
        FPopupPanel->SetVisible(false);
    if (FPopupSplitter)
        FPopupSplitter->SetVisible(false);
    ShownPane = nullptr;
    // A slide of this channel ends here: a collapsed popup never comes back by itself.
    if (TPopupPanelAnimate* animator = PopupAnimator(); animator->Channel == this)
        animator->Halt();
}

void TExDockVSChannel::SlideInPopup()
{
    if (ShownPane)
        PopupAnimator()->StartSlideIn(this, ShownPane->PaneSize);
}

void TExDockVSChannel::SlideOutForm(TWinControlCore* control)
{
    SlideOutPane(PaneForControl(control));
}

void TExDockVSChannel::ShowFormAtOnce(TWinControlCore* control)
{
    ShowPaneAtOnce(PaneForControl(control));
}

namespace {

// Makes the popup show only `form` (a page of a tab host shows alone in its host).
void ShowOnlyInPopup(TExDockVSPopupPanel* popup, TCustomForm* form)
{
    IExDockManager* tree = popup ? TreeOf(popup) : nullptr;
    if (!tree)
        return;
    if (TExDockTabHostForm* host = TabHostOfPage(form)) {
        if (TExDockTabPageControl* pages = host->PageControl()) {
            for (int i = 0; i < pages->DockClientCount(); ++i)
                pages->DockClients(i)->SetVisible(pages->DockClients(i) == form);
            if (TExDockTabSheet* sheet = pages->PageOfControl(form))
                pages->SetActivePage(sheet);
        }
        host->SetCaption(form->Caption());
        tree->ShowOnlyControl(host);
    } else {
        tree->ShowOnlyControl(form);
    }
}

} // namespace

void TExDockVSChannel::SlideOutPane(TExDockVSPane* pane)
{
    if (!pane || pane->Form == ShownForm)
        return;
    CollapsePopup(ShownPane);
    PopupAnimator()->StartSlideOut(this, pane->PaneSize);
    ShowOnlyInPopup(FPopupPanel, pane->Form);
    ShownForm = pane->Form;
    ShownPane = pane;
    if (IExDockManager* tree = TreeOf(FPopupPanel))
        tree->ResetBounds(true);
    pane->Block->SetActiveForm(pane->Form);
}

void TExDockVSChannel::ShowPaneAtOnce(TExDockVSPane* pane)
{
    if (!pane || !FPopupPanel || !FPopupSplitter)
        return;
    const TDesktopUpdateLock lock;
    const TAlignDisabler disabled(parentWidget());
    CollapsePopup(ShownPane);
    pane->Form->SetVisible(true);
    ShowOnlyInPopup(FPopupPanel, pane->Form);
    ShownForm = pane->Form;
    ShownPane = pane;
    if (IExDockManager* tree = TreeOf(FPopupPanel))
        tree->ResetBounds(true);
    pane->Block->SetActiveForm(pane->Form);
    FPopupPanel->raise();
    FPopupSplitter->raise();
    RaiseEdgeBars();
    raise();
    const TAlign align = ChannelAlign();
    const int size = pane->PaneSize;
    const int w = FPopupSplitter->SplitterWidth;
    switch (align) {
    case TAlign::alLeft:
        FPopupPanel->setGeometry(Left() + Width(), Top(), size, Height());
        FPopupSplitter->setGeometry(Left() + Width() + size, Top(), w, Height());
        break;
    case TAlign::alRight:
        FPopupPanel->setGeometry(Left() - size, Top(), size, Height());
        FPopupSplitter->setGeometry(Left() - size - w, Top(), w, Height());
        break;
    case TAlign::alTop:
        FPopupPanel->setGeometry(Left(), Top() + Height(), Width(), size);
        FPopupSplitter->setGeometry(Left(), Top() + Height() + size, Width(), w);
        break;
    case TAlign::alBottom:
        FPopupPanel->setGeometry(Left(), Top() - size, Width(), size);
        FPopupSplitter->setGeometry(Left(), Top() - size - w, Width(), w);
        break;
    default:
        break;
    }
    FPopupPanel->SetVisible(true);
    FPopupSplitter->SetVisible(true);
    TWinControlCore* back = pane->Form;
    if (TExDockTabHostForm* host = TabHostOfPage(pane->Form))
        back = host;
    FPopupPanel->PinForm(back);
    FocusShownForm();
}

void TExDockVSChannel::FocusShownForm()
{
    TExDockServer* server = DockServer();
    if (server && server->AutoFocusDockedForm() && ShownForm && ShownForm->CanFocus())
        ShownForm->SetFocus();
}

void TExDockVSChannel::AddToPopupSite(TWinControlCore* control)
{
    if (IExDockManager* tree = TreeOf(FPopupPanel)) {
        tree->InsertControl(control, TAlign::alNone, nullptr);
        tree->ShowOnlyControl(control);
    }
}

void TExDockVSChannel::RemoveFromPopupSite(TWinControlCore* control)
{
    if (IExDockManager* tree = TreeOf(FPopupPanel))
        tree->RemoveControl(control);
}

void TExDockVSChannel::RecordPaneSize()
{
    if (!ShownPane || !FPopupPanel)
        return;
    if (IsTopOrBottom(ChannelAlign())) {
        IExDockManager* tree = TreeOf(FPopupPanel);
        ShownPane->PaneSize = (tree ? tree->GetGrabbersSize() : 0) + FPopupPanel->Height();
    } else {
        ShownPane->PaneSize = FPopupPanel->Width();
    }
    if (TExDockClient* client = FindDockClientOf(ShownPane->Form))
        client->VSPaneWidth = ShownPane->PaneSize;
}

void TExDockVSChannel::FitPopupToChannel()
{
    const TAlign align = ChannelAlign();
    if (align != TAlign::alLeft && align != TAlign::alRight)
        return;
    for (QWidget* w : {static_cast<QWidget*>(FPopupPanel), static_cast<QWidget*>(FPopupSplitter)})
        if (w)
            w->setGeometry(w->x(), Top(), w->width(), Height());
}

void TExDockVSChannel::RaiseEdgeBars()
{
    // The dock panel's splitter and the other channels of the server stay above the popup.
    TExDockServer* server = DockServer();
    if (!server)
        return;
    if (TExDockSplitter* splitter = server->SplitterWithAlign(ChannelAlign()); splitter && splitter->isVisible())
        splitter->raise();
    for (TExDockVSChannel* channel : ChannelsOf(server))
        if (channel != this)
            channel->raise();
}

// ---- popup panel

TExDockVSPopupPanel::TExDockVSPopupPanel(TExDockVSNETPanel* dockPanel)
    : TExDockVSNETPanel(dockPanel), FOwnerPanel(dockPanel)
{
    ChannelClass = nullptr;
    setGeometry(0, 0, 0, 0);
    SetDockServer(dockPanel ? dockPanel->DockServer() : nullptr);
    if (!DockServer() || !DockServer()->DockStyle())
        throw Exception("Assertion failure");
    FreeNotification(dockPanel);
    // why: forms reach a popup only through unpinning and layouts; a drag never drops into it.
    SetControlDockSite(*this, true);
}

TExDockVSPopupPanel::~TExDockVSPopupPanel()
{
    if (FOwnerPanel)
        RemoveFreeNotification(FOwnerPanel);
}

void TExDockVSPopupPanel::Notification(TComponent* component, TOperation operation)
{
    TExDockVSNETPanel::Notification(component, operation);
    if (operation == TOperation::opRemove && component == FOwnerPanel)
        FOwnerPanel = nullptr;
}

std::unique_ptr<IDockManager> TExDockVSPopupPanel::CreateDockManager()
{
    TExDockBasicStyle* style = DockServer() ? DockServer()->DockStyle() : nullptr;
    if (!style)
        throw Exception("Assertion failure");
    setAttribute(Qt::WA_OpaquePaintEvent);
    auto tree = std::make_unique<TExDockVSNETTree>(*this, VSNETZoneClass());
    if (style->ConjoinServerOption())
        tree->SetGrabbersSize(style->ConjoinServerOption()->GrabbersSize());
    return tree;
}

void TExDockVSPopupPanel::ShowDockPanel(bool makeVisible, TWinControlCore* client, bool sizeFromClient)
{
    if (AlignOf(*this) != TAlign::alNone)
        TExDockVSNETPanel::ShowDockPanel(makeVisible, client, sizeFromClient);
}

void TExDockVSPopupPanel::UndockClientMessage(TMessage& m)
{
    m.Result = 0;
    auto* client = reinterpret_cast<TWinControlCore*>(m.LParam);
    if (client && client->ComponentState().Contains(csDestroying))
        if (TExDockVSChannel* channel = ChannelOfPopupPanel(this))
            channel->RemoveChannelForm(client);
    if (IExDockManager* tree = ExDockManager())
        tree->RemoveControl(client);
}

void TExDockVSPopupPanel::TogglePin(TWinControlCore* control)
{
    PinForm(control);
}

void TExDockVSPopupPanel::PinForm(TWinControlCore* control)
{
    TExDockVSNETPanel* panel = FOwnerPanel;
    TExDockVSChannel* channel = panel ? panel->Channel() : nullptr;
    if (!control || !channel || HostDockSite(*control) != this)
        return;
    {
        const TDesktopUpdateLock lock;
        const TAlignDisabler disabled(panel->parentWidget());
        Dock(*control, panel, control->BoundsRect());
        if (IExDockManager* tree = panel->ExDockManager())
            tree->ShowControlZone(control);
        channel->RemoveFromPopupSite(control);
        channel->RemoveChannelForm(control);
    }
    panel->ShowDockPanel(panel->VisibleDockClientCount() > 0, control, false);
    channel->FocusShownForm();
    channel->CollapsePopup(channel->ShownPane);
    if (auto* host = dynamic_cast<TExDockTabHostForm*>(control))
        if (TExDockTabPageControl* pages = host->PageControl())
            for (int i = 0; i < pages->PageCount(); ++i)
                if (auto* sheet = dynamic_cast<TExDockVSNETTabSheet*>(pages->Pages(i))) {
                    sheet->SetTabVisible(sheet->ShownInChannel);
                    for (QObject* child : sheet->Widget()->children())
                        if (TWinControlCore* form = TWinControlCore::ControlOf(qobject_cast<QWidget*>(child)))
                            form->SetVisible(sheet->ShownInChannel);
                }
    channel->UpdateTopBottomOffsets();
    panel->Invalidate();
}

// ---- popup splitter

class TExDockVSPopupPanelSplitter::KeyWatch : public QObject {
public:
    explicit KeyWatch(TExDockVSPopupPanelSplitter& splitter) : FSplitter(splitter) { qApp->installEventFilter(this); }
    ~KeyWatch() override { qApp->removeEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        (void)watched;
        if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
            WORD key = VK_ESCAPE;
            try {
                FSplitter.KeyDown(key, {});
            } catch (...) {
                HandleCurrentException();
            }
            return true;
        }
        return false;
    }

private:
    TExDockVSPopupPanelSplitter& FSplitter;
};

TExDockVSPopupPanelSplitter::TExDockVSPopupPanelSplitter(TComponent* AOwner, QWidget* parent)
    : TExCustomControl(AOwner, parent)
{
    setGeometry(0, 0, 0, 0);
    SetParentColor(true);
}

TExDockVSPopupPanelSplitter::~TExDockVSPopupPanelSplitter()
{
    FKeyWatch.reset();
    if (FPopupPanel)
        RemoveFreeNotification(FPopupPanel);
}

void TExDockVSPopupPanelSplitter::SetPopupPanel(TExDockVSPopupPanel* panel)
{
    if (!panel)
        throw Exception("Assertion failure");
    if (FPopupPanel)
        RemoveFreeNotification(FPopupPanel);
    FPopupPanel = panel;
    FreeNotification(panel);
    setCursor(Vertical() ? Qt::SplitVCursor : Qt::SplitHCursor);
}

void TExDockVSPopupPanelSplitter::Notification(TComponent* component, TOperation operation)
{
    TExCustomControl::Notification(component, operation);
    if (operation == TOperation::opRemove && component == FPopupPanel)
        FPopupPanel = nullptr;
}

TAlign TExDockVSPopupPanelSplitter::VSChannelAlign() const
{
    return FPopupPanel && FPopupPanel->OwnerPanel() ? AlignOf(*FPopupPanel->OwnerPanel()) : TAlign::alNone;
}

bool TExDockVSPopupPanelSplitter::Vertical() const
{
    return IsTopOrBottom(VSChannelAlign());
}

void TExDockVSPopupPanelSplitter::SetBeveled(bool value)
{
    FBeveled = value;
    Invalidate();
}

void TExDockVSPopupPanelSplitter::CalcSplit(int x, int y)
{
    if (!FPopupPanel)
        return;
    FSplit = Vertical() ? y - FDownPos.Y : x - FDownPos.X;
    int size = 0;
    switch (VSChannelAlign()) {
    case TAlign::alTop: size = FPopupPanel->Height() + FSplit; break;
    case TAlign::alBottom: size = FPopupPanel->Height() - FSplit; break;
    case TAlign::alLeft: size = FPopupPanel->Width() + FSplit; break;
    default: size = FPopupPanel->Width() - FSplit; break;
    }
    const int clamped = std::clamp(size, MinSize, std::max(MinSize, FMaxSize));
    const int delta = clamped - size;
    if (delta != 0) {
        const TAlign align = VSChannelAlign();
        FSplit += align == TAlign::alBottom || align == TAlign::alRight ? -delta : delta;
    }
    FNewSize = clamped;
}

void TExDockVSPopupPanelSplitter::DrawLine()
{
    if (!FLine)
        return;
    const QPoint at = Widget()->pos();
    TRect r = Bounds(at.x(), at.y(), Width(), Height());
    if (Vertical())
        OffsetRect(r, 0, FSplit);
    else
        OffsetRect(r, FSplit, 0);
    FLine->Xor(r);
}

void TExDockVSPopupPanelSplitter::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TExCustomControl::MouseDown(button, shift, x, y);
    if (button != TMouseButton::mbLeft || shift.Contains(ssDouble) || !FPopupPanel || !parentWidget())
        return;
    QWidget* parent = parentWidget();
    const bool vertical = Vertical();
    int others = 0;
    for (QObject* child : parent->children())
        if (auto* w = qobject_cast<QWidget*>(child); w && !w->isWindow() && !w->isHidden()) {
            const TAlign a = AlignOf(w);
            if (vertical && IsTopOrBottom(a))
                others += w->height();
            else if (!vertical && (a == TAlign::alLeft || a == TAlign::alRight))
                others += w->width();
        }
    const QRect client = parent->contentsRect();
    FMaxSize = (vertical ? client.height() : client.width()) - MinSize - others +
               (vertical ? FPopupPanel->Height() : FPopupPanel->Width());
    FDownPos = {x, y};
    FSizing = true;
    CalcSplit(x, y);
    if (!FLine)
        FLine = std::make_unique<TExDockOverlay>(parent, 0);
    FKeyWatch = std::make_unique<KeyWatch>(*this);
    if (ResizeStyle == TResizeStyle::rsLine || ResizeStyle == TResizeStyle::rsPattern)
        DrawLine();
}

void TExDockVSPopupPanelSplitter::MouseMove(TShiftState shift, int x, int y)
{
    TExCustomControl::MouseMove(shift, x, y);
    if (!FSizing || !shift.Contains(ssLeft))
        return;
    const int oldSplit = FSplit;
    const int oldSize = FNewSize;
    CalcSplit(x, y);
    int size = FNewSize;
    bool accept = true;
    if (OnCanResize)
        OnCanResize(this, size, accept);
    if (AutoSnap && size <= MinSize)
        size = 0;
    if (!accept) {
        FSplit = oldSplit;
        FNewSize = oldSize;
        return;
    }
    const int newSplit = FSplit;
    const bool line = ResizeStyle == TResizeStyle::rsLine || ResizeStyle == TResizeStyle::rsPattern;
    if (line) {
        FSplit = oldSplit;
        DrawLine();
        FSplit = newSplit;
    }
    FNewSize = size;
    if (ResizeStyle == TResizeStyle::rsUpdate)
        ApplySize();
    if (line)
        DrawLine();
}

void TExDockVSPopupPanelSplitter::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    TExCustomControl::MouseUp(button, shift, x, y);
    if (!FSizing)
        return;
    if (FLine)
        FLine->Hide();
    ApplySize();
    StopSizing();
}

void TExDockVSPopupPanelSplitter::KeyDown(WORD& key, TShiftState shift)
{
    if (FSizing && key == VK_ESCAPE) {
        StopSizing();
        key = 0;
        return;
    }
    TExCustomControl::KeyDown(key, shift);
}

void TExDockVSPopupPanelSplitter::StopSizing()
{
    if (FLine)
        FLine->Hide();
    FSizing = false;
    FKeyWatch.reset();
    if (OnMoved)
        OnMoved(this);
}

void TExDockVSPopupPanelSplitter::ApplySize()
{
    TExDockVSPopupPanel* p = FPopupPanel;
    if (!p || FNewSize == FPreviousSize)
        return;
    QWidget* parent = parentWidget();
    switch (VSChannelAlign()) {
    case TAlign::alTop:
        p->resize(p->width(), FNewSize);
        move(x(), p->y() + FNewSize);
        break;
    case TAlign::alBottom: {
        const TAlignDisabler disabled(parent);
        p->setGeometry(p->x(), p->y() + p->height() - FNewSize, p->width(), FNewSize);
        move(x(), p->y() - height());
        break;
    }
    case TAlign::alLeft:
        p->resize(FNewSize, p->height());
        move(p->x() + FNewSize, y());
        break;
    case TAlign::alRight: {
        const TAlignDisabler disabled(parent);
        p->setGeometry(p->x() + p->width() - FNewSize, p->y(), FNewSize, p->height());
        move(p->x() - width(), y());
        break;
    }
    default:
        break;
    }
    if (TExDockVSChannel* channel = ChannelOfPopupPanel(p))
        channel->RecordPaneSize();
    Repaint();
    if (OnMoved)
        OnMoved(this);
    FPreviousSize = FNewSize;
}

void TExDockVSPopupPanelSplitter::Paint()
{
    TCanvas& canvas = Canvas();
    canvas.Brush().SetColor(Color());
    canvas.FillRect(ClientRect());
    TRect r = ClientRect();
    InflateRect(r, 2, 2);
    switch (VSChannelAlign()) {
    case TAlign::alTop: r.Bottom -= 2; break;
    case TAlign::alBottom: r.Top += 3; break;
    case TAlign::alLeft: r.Right -= 2; break;
    case TAlign::alRight: r.Left += 3; break;
    default: break;
    }
    canvas.Pen().SetColor(clBtnHighlight);
    canvas.MoveTo(r.Left, r.Bottom - 1);
    canvas.LineTo(r.Left, r.Top);
    canvas.LineTo(r.Right - 1, r.Top);
    canvas.Pen().SetColor(clBtnShadow);
    canvas.LineTo(r.Right - 1, r.Bottom - 1);
    canvas.LineTo(r.Left, r.Bottom - 1);
    if (FBeveled) {
        TRect b = ClientRect();
        if (Vertical())
            InflateRect(b, 2, -1);
        else
            InflateRect(b, -1, 2);
        OffsetRect(b, 1, 1);
        canvas.Brush().SetColor(clBtnHighlight);
        canvas.FrameRect(b);
        OffsetRect(b, -2, -2);
        canvas.Brush().SetColor(clBtnShadow);
        canvas.FrameRect(b);
    }
    if (OnPaint)
        OnPaint(this);
}

// ---- the animator

namespace {

QPointer<TPopupPanelAnimate>& AnimatorSlot()
{
    static QPointer<TPopupPanelAnimate> animator;
    return animator;
}

} // namespace

TPopupPanelAnimate* PopupAnimator()
{
    QPointer<TPopupPanelAnimate>& slot = AnimatorSlot();
    if (!slot)
        slot = new TPopupPanelAnimate(); // owned by the application object
    return slot.data();
}

void ReleasePopupAnimatorOf(TExDockVSChannel* channel)
{
    QPointer<TPopupPanelAnimate>& slot = AnimatorSlot();
    if (slot && slot->Channel == channel) {
        slot->Halt();
        delete slot.data();
    }
}

TPopupPanelAnimate::TPopupPanelAnimate() : QTimer(qApp)
{
    setInterval(20);
    QObject::connect(this, &QTimer::timeout, this, [this] {
        try {
            AnimateTick();
        } catch (...) {
            HandleCurrentException();
        }
    });
}

void TPopupPanelAnimate::Freeze(QWidget* parent)
{
    if (FFrozen || !parent)
        return;
    DisableAlign(parent);
    FFrozen = parent;
}

void TPopupPanelAnimate::Thaw()
{
    if (FFrozen)
        EnableAlign(FFrozen);
    FFrozen = nullptr;
}

void TPopupPanelAnimate::Halt()
{
    stop();
    Thaw();
    Channel = nullptr;
    Progress = 0;
    TargetSize = 0;
}

void TPopupPanelAnimate::StartSlideOut(TExDockVSChannel* channel, int size)
{
    // A slide-out replaces whatever slides now.
    if (Progress > 0 && Channel)
        Thaw();
    Channel = channel;
    if (channel)
        start();
    TargetSize = size;
    Progress = 0;
    Direction = 0;
}

void TPopupPanelAnimate::StartSlideIn(TExDockVSChannel* channel, int size)
{
    if (Channel)
        return;
    Channel = channel;
    if (channel && channel->ShownForm)
        start();
    TargetSize = size;
    Progress = 0;
    Direction = 1;
}

void TPopupPanelAnimate::AnimateTick()
{
    TExDockVSChannel* ch = Channel;
    if (!ch)
        return;
    TExDockVSPopupPanel* p = ch->PopupPanel();
    TExDockVSPopupPanelSplitter* s = ch->PopupSplitter();
    QWidget* parent = ch->parentWidget();
    if (!p || !s || !parent) {
        Halt();
        return;
    }
    const int w = s->SplitterWidth;
    const int d = std::min(Progress, TargetSize);
    const TAlign align = ch->ChannelAlign();
    const bool sides = align == TAlign::alLeft || align == TAlign::alRight;
    if (Progress == 0) {
        Freeze(parent);
        p->raise();
        s->raise();
        ch->RaiseEdgeBars();
        ch->raise();
        if (Direction == 0) {
            if (sides) {
                p->setGeometry(p->x(), ch->Top(), TargetSize, ch->Height());
                s->setGeometry(s->x(), ch->Top(), w, ch->Height());
            } else {
                p->setGeometry(ch->Left(), p->y(), ch->Width(), TargetSize);
                s->setGeometry(ch->Left(), s->y(), ch->Width(), w);
            }
        }
    }
    const bool out = Direction == 0;
    switch (align) {
    case TAlign::alLeft:
        p->move(out ? ch->Left() + ch->Width() + d - p->Width() : ch->Left() - Progress, p->y());
        s->move(p->x() + p->width(), s->y());
        break;
    case TAlign::alRight:
        p->move(out ? ch->Left() - d : ch->Left() - p->Width() + Progress, p->y());
        s->move(p->x() - w, s->y());
        break;
    case TAlign::alTop:
        p->move(p->x(), out ? ch->Top() + ch->Height() + d - p->Height() : ch->Top() - Progress);
        s->move(s->x(), p->y() + p->height());
        break;
    case TAlign::alBottom:
        p->move(p->x(), out ? ch->Top() - d : ch->Top() - p->Height() + Progress);
        s->move(s->x(), p->y() - w);
        break;
    default:
        break;
    }
    p->SetVisible(true);
    s->SetVisible(true);
    if (Progress < TargetSize) {
        Progress += 20;
        return;
    }
    Halt();
    TExDockVSNetStyle* style = ch->Style();
    if (!out) {
        if (style)
            style->StopHideTimer();
        ch->CollapsePopup(ch->ShownPane);
    } else {
        if (style)
            style->StartHideTimer();
        ch->FocusShownForm();
        CollapseOtherChannels(ch);
    }
}

// ---- lookups

TExDockVSChannel* ChannelOfPopupPanel(TWinControlCore* popupPanel)
{
    auto* popup = dynamic_cast<TExDockVSPopupPanel*>(popupPanel);
    return popup && popup->OwnerPanel() ? popup->OwnerPanel()->Channel() : nullptr;
}

bool IsAutoHideWindow(QWidget* widget)
{
    for (QWidget* w = widget; w; w = w->parentWidget()) {
        TWinControlCore* c = TWinControlCore::ControlOf(w);
        if (dynamic_cast<TExDockVSPopupPanel*>(c) || dynamic_cast<TExDockVSPopupPanelSplitter*>(c) ||
            dynamic_cast<TExDockVSChannel*>(c))
            return true;
        if (w->isWindow())
            break;
    }
    return false;
}

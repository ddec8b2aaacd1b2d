#include "ExLib/run/lists/ExListBox.h"

#include "ExLib/run/controls/ExDrawUtils.h"
#include "ExLib/run/controls/ExTextDraw.h"
#include "ExLib/run/lists/ExProviderRows.h"

#include "Platform/core/QtBridge.h"

#include <QScrollBar>

// ---- background

void TExListBoxBackground::Changed()
{
    if (OnChange)
        OnChange(this);
}

void TExListBoxBackground::SetImage(const QImage& image)
{
    FImage = image;
    Changed();
}

void TExListBoxBackground::SetFillMode(TExListboxFillMode value)
{
    if (value == FFillMode)
        return;
    FFillMode = value;
    Changed();
}

void TExListBoxBackground::SetVisible(bool value)
{
    if (value == FVisible)
        return;
    FVisible = value;
    Changed();
}

void TExListBoxBackground::Assign(const TPersistent& source)
{
    const auto* other = dynamic_cast<const TExListBoxBackground*>(&source);
    if (!other) {
        TPersistent::Assign(source);
        return;
    }
    FImage = other->FImage;
    FFillMode = other->FFillMode;
    FVisible = other->FVisible;
    Changed();
}

// ---- items

TStrings& TExListBoxStrings::Window() const
{
    return FListBox.TCustomListBox::Items();
}

int TExListBoxStrings::WindowCount() const
{
    return Window().Count();
}

std::string TExListBoxStrings::WindowGet(int index) const
{
    return Window().Get(index);
}

TObject* TExListBoxStrings::WindowObject(int index) const
{
    if (index < 0 || index >= Window().Count())
        Error("List index out of bounds (%d)", index);
    return static_cast<TObject*>(FListBox.item(index)->data(Qt::UserRole).value<void*>());
}

void TExListBoxStrings::WindowPutObject(int index, TObject* object)
{
    if (index >= 0 && index < Window().Count())
        FListBox.item(index)->setData(Qt::UserRole, QVariant::fromValue(static_cast<void*>(object)));
}

void TExListBoxStrings::WindowPut(int index, const std::string& s)
{
    Window().Put(index, s);
}

int TExListBoxStrings::WindowInsert(int index, const std::string& s)
{
    const std::string text = s;
    const UINT message = index == Window().Count() ? LB_ADDSTRING : LB_INSERTSTRING;
    return static_cast<int>(FListBox.Perform(message, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&text)));
}

void TExListBoxStrings::WindowDelete(int index)
{
    Window().Delete(index);
}

void TExListBoxStrings::WindowClear()
{
    Window().Clear();
}

int TExListBoxStrings::WindowIndexOf(const std::string& s) const
{
    const QList<QListWidgetItem*> found = FListBox.findItems(QStr(s), Qt::MatchFixedString);
    return found.isEmpty() ? -1 : FListBox.row(found.front());
}

void TExListBoxStrings::DetachProvider()
{
    FListBox.DetachProvider();
}

int TExListBoxStrings::Add(const std::string& s)
{
    if (UseInternal())
        return Internal().Add(s);
    DetachProvider();
    return WindowInsert(WindowCount(), s);
}

void TExListBoxStrings::Move(int curIndex, int newIndex)
{
    if (curIndex == newIndex)
        return;
    WithUpdate(*this, [&] {
        const std::string text = Get(curIndex);
        TObject* object = GetObject(curIndex);
        if (UseInternal()) {
            Internal().Delete(curIndex);
            Internal().Insert(newIndex, text);
        } else {
            WindowDelete(curIndex);
            const std::string copy = text;
            FListBox.Perform(LB_INSERTSTRING, static_cast<WPARAM>(newIndex), reinterpret_cast<LPARAM>(&copy));
        }
        PutObject(newIndex, object);
    });
}

void TExListBoxStrings::SetUpdateState(bool updating)
{
    FListBox.setUpdatesEnabled(!updating);
    if (!updating)
        FListBox.viewport()->update();
}

// ---- list box

TExCustomListBox::TExCustomListBox(TComponent* AOwner, QWidget* parent)
    : TExExCustomListBox(AOwner, parent),
      FFont(*this),
      FConsumer(std::make_unique<TExDataConsumer>(this, std::vector<int>{1, ConsumerAttributeViewList})),
      FRows(std::make_unique<TExConsumerStrings>(*FConsumer)),
      FItems(std::make_unique<TExListBoxStrings>(*this))
{
    FConsumer->OnChanged = [this](TObject*, int reason) { ConsumerChanged(reason); };
    FConsumer->OnAfterCreateExtension = [this](TObject*, TExDataConsumerAggregatedObject* extension) {
        ConsumerExtensionAdded(extension);
    };
    FBackground.OnChange = [this](TObject*) { viewport()->update(); };
    FMeasure.Font().Assign(Font());
    FItemHeight = FontLineHeight(FMeasure);
    FDelegate = new TExOwnerDrawDelegate(
        [this](TCanvas& canvas, int index, const TRect& rect, TOwnerDrawState state) {
            DrawRow(canvas, index, rect, state);
        },
        [this](int index) { return RowHeight(index); }, this);
    setItemDelegate(FDelegate);
    QObject::connect(verticalScrollBar(), &QScrollBar::actionTriggered, this,
                     [this](int action) { ScrollRequested(true, action); });
    QObject::connect(horizontalScrollBar(), &QScrollBar::actionTriggered, this,
                     [this](int action) { ScrollRequested(false, action); });
    QObject::connect(horizontalScrollBar(), &QScrollBar::valueChanged, this, [this](int value) {
        FLeftPosition = FBackground.DoDraw() && FMaxWidth >= 1 ? value : 0;
        if (FBackground.DoDraw())
            viewport()->update();
    });
    ApplyScrollBars();
    ApplySelectionMode();
}

TExCustomListBox::~TExCustomListBox()
{
    FBackground.OnChange = nullptr;
    FRows.reset();
    FConsumer.reset();
}

void TExCustomListBox::Loaded()
{
    TExExCustomListBox::Loaded();
    FConsumer->AfterOwnerLoaded();
    UpdateStyle();
}

void TExCustomListBox::DetachProvider()
{
    if (FConsumer && FConsumer->Provider())
        FConsumer->SetProvider(nullptr);
}

TStrings& TExCustomListBox::ItemsShowing()
{
    if (FProviderMode)
        return *FRows;
    return *FItems;
}

void TExCustomListBox::NotifyChanged()
{
    if (OnChange)
        OnChange(this);
}

bool TExCustomListBox::IsOwnerDrawn() const
{
    return FProviderMode || FStyle == TListBoxStyle::lbOwnerDrawFixed || FStyle == TListBoxStyle::lbOwnerDrawVariable ||
           FStyle == TListBoxStyle::lbVirtualOwnerDraw;
}

bool TExCustomListBox::MultiLineNoHScroll() const
{
    return FMultiLine && (FScrollBars == TScrollStyle::ssNone || FScrollBars == TScrollStyle::ssVertical);
}

bool TExCustomListBox::HorizontalScrollBarOn() const
{
    return FScrollBars == TScrollStyle::ssHorizontal || FScrollBars == TScrollStyle::ssBoth;
}

// ---- settings

void TExCustomListBox::SetStyle(TListBoxStyle value)
{
    FStyle = value;
    // A style without owner drawing has neither lines of their own nor alignment.
    if (!ComponentState().Contains(csLoading)) {
        if (value != TListBoxStyle::lbOwnerDrawVariable)
            FMultiLine = false;
        if (value == TListBoxStyle::lbStandard || value == TListBoxStyle::lbVirtual)
            FAlignment = taLeftJustify;
    }
    doItemsLayout();
    viewport()->update();
}

void TExCustomListBox::UpdateStyle()
{
    if (ComponentState().Contains(csLoading))
        return;
    const TListBoxStyle before = FStyle;
    if (FMultiLine)
        FStyle = TListBoxStyle::lbOwnerDrawVariable;
    else if (FAlignment != taLeftJustify)
        FStyle = TListBoxStyle::lbOwnerDrawFixed;
    if (before == TListBoxStyle::lbStandard && FStyle != before) {
        FItemHeight = FontLineHeight(FMeasure) + (FShowFocusRect ? 2 : 0);
        RecalcHorizontalExtent();
    }
    doItemsLayout();
}

void TExCustomListBox::SetAlignment(TAlignment value)
{
    if (value == FAlignment)
        return;
    FAlignment = value;
    UpdateStyle();
    viewport()->update();
}

void TExCustomListBox::SetMultiLine(bool value)
{
    if (value == FMultiLine)
        return;
    FMultiLine = value;
    UpdateStyle();
    if (!value) {
        RecalcHorizontalExtent();
        return;
    }
    if (FScrollBars == TScrollStyle::ssBoth)
        SetScrollBars(TScrollStyle::ssVertical);
    else if (FScrollBars == TScrollStyle::ssHorizontal)
        SetScrollBars(TScrollStyle::ssNone);
    FMaxWidth = 0;
    Perform(LB_SETHORIZONTALEXTENT, 0);
    RecalcHorizontalExtent();
}

void TExCustomListBox::SetScrollBars(TScrollStyle value)
{
    if (value == FScrollBars)
        return;
    FScrollBars = value;
    ApplyScrollBars();
}

void TExCustomListBox::ApplyScrollBars()
{
    const bool horizontal = HorizontalScrollBarOn();
    const bool vertical = FScrollBars == TScrollStyle::ssVertical || FScrollBars == TScrollStyle::ssBoth;
    setHorizontalScrollBarPolicy(horizontal ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(vertical ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    setWordWrap(FMultiLine);
    if (horizontal)
        RecalcHorizontalExtent();
}

void TExCustomListBox::SetSorted(bool value)
{
    if (value == FSorted)
        return;
    FSorted = value;
    ApplySort();
}

int TExCustomListBox::SortedPosition(const std::string& s) const
{
    const QString text = QStr(s);
    int low = 0, high = count();
    while (low < high) {
        const int middle = (low + high) / 2;
        if (QString::compare(item(middle)->text(), text, Qt::CaseInsensitive) <= 0)
            low = middle + 1;
        else
            high = middle;
    }
    return low;
}

void TExCustomListBox::ApplySort()
{
    if (!FSorted || FProviderMode)
        return;
    // The window sorts what it holds, keeping each item's object and selection.
    std::vector<QListWidgetItem*> items;
    while (count() > 0)
        items.push_back(takeItem(0));
    std::stable_sort(items.begin(), items.end(), [](QListWidgetItem* a, QListWidgetItem* b) {
        return QString::compare(a->text(), b->text(), Qt::CaseInsensitive) < 0;
    });
    for (QListWidgetItem* i : items)
        addItem(i);
}

void TExCustomListBox::SetShowFocusRect(bool value)
{
    if (value == FShowFocusRect)
        return;
    FShowFocusRect = value;
    FItemHeight = FontLineHeight(FMeasure) + (value ? 2 : 0);
    RecalcHorizontalExtent();
    doItemsLayout();
    if (Focused())
        viewport()->update();
}

void TExCustomListBox::SetItemHeight(int value)
{
    if (value == FItemHeight)
        return;
    FItemHeight = value;
    doItemsLayout();
}

void TExCustomListBox::SetSelectedColor(TColor value)
{
    FSelectedColor = value;
    viewport()->update();
}

void TExCustomListBox::SetSelectedTextColor(TColor value)
{
    FSelectedTextColor = value;
    viewport()->update();
}

void TExCustomListBox::SetDisabledTextColor(TColor value)
{
    FDisabledTextColor = value;
    viewport()->update();
}

void TExCustomListBox::SetHotTrack(bool value)
{
    FHotTrack = value;
    // A hot-tracking list is flat until the mouse comes.
    setFrameShadow(value ? QFrame::Plain : QFrame::Sunken);
}

void TExCustomListBox::SetMultiSelect(bool value)
{
    FMultiSelect = value;
    ApplySelectionMode();
}

void TExCustomListBox::SetExtendedSelect(bool value)
{
    FExtendedSelect = value;
    ApplySelectionMode();
}

void TExCustomListBox::ApplySelectionMode()
{
    setSelectionMode(!FMultiSelect      ? QAbstractItemView::SingleSelection
                     : FExtendedSelect ? QAbstractItemView::ExtendedSelection
                                       : QAbstractItemView::MultiSelection);
}

bool TExCustomListBox::Selected(int index) const
{
    const QListWidgetItem* i = item(index);
    return i && i->isSelected();
}

void TExCustomListBox::SetSelected(int index, bool value)
{
    if (QListWidgetItem* i = item(index))
        i->setSelected(value);
}

int TExCustomListBox::SelCount() const
{
    return static_cast<int>(selectedItems().size());
}

void TExCustomListBox::SetBounds(int left, int top, int width, int height)
{
    TExExCustomListBox::SetBounds(left, top, width, height);
    if (FAlignment != taLeftJustify)
        viewport()->update();
}

void TExCustomListBox::FontChanged()
{
    FFont.Sync();
    TExExCustomListBox::FontChanged();
    FMeasure.Font().Assign(Font());
    if (IsOwnerDrawn())
        FItemHeight = FontLineHeight(FMeasure) + (FShowFocusRect ? 2 : 0);
    RecalcHorizontalExtent();
}

void TExCustomListBox::MouseEnter(TWinControlCore* control)
{
    if (!ComponentState().Contains(csDesigning) && !MouseInside() && FHotTrack)
        setFrameShadow(QFrame::Sunken);
    TExExCustomListBox::MouseEnter(control);
}

void TExCustomListBox::MouseLeave(TWinControlCore* control)
{
    if (FHotTrack)
        setFrameShadow(QFrame::Plain);
    TExExCustomListBox::MouseLeave(control);
}

void TExCustomListBox::moveEvent(QMoveEvent* event)
{
    TExExCustomListBox::moveEvent(event);
    if (OnSelectCancel)
        OnSelectCancel(this);
}

// ---- the horizontal extent

TSize TExCustomListBox::MeasureString(const std::string& s, int maxWidth)
{
    FMeasure.Font().Assign(Font());
    const unsigned alignment = FAlignment == taRightJustify ? DT_RIGHT : FAlignment == taCenter ? DT_CENTER : DT_LEFT;
    TRect r{0, 0, maxWidth == 0 ? 0x3FFFFFFF : maxWidth - 2, 1};
    DrawTextOnCanvas(FMeasure, s, -1, DT_WORDBREAK | DT_NOPREFIX | DT_CALCRECT | alignment, r);
    return {r.Right + 4, std::max(std::min(r.Bottom, 255), FItemHeight)};
}

int TExCustomListBox::TextWidthWithBlank(const std::string& s)
{
    FMeasure.Font().Assign(Font());
    return FMeasure.TextWidth(s + " ");
}

void TExCustomListBox::SetMaxWidth(int width)
{
    if (MultiLineNoHScroll() || width == FMaxWidth)
        return;
    FMaxWidth = width;
    Perform(LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(width));
}

void TExCustomListBox::RecalcHorizontalExtent()
{
    if (!FItems)
        return;
    const int maxWidth = MultiLineNoHScroll() ? viewport()->width() : 0;
    TStrings& strings = ItemsShowing();
    int widest = 0;
    for (int i = 0; i < strings.Count(); ++i)
        widest = std::max(widest, MeasureString(strings.Get(i), maxWidth).cx);
    if (!MultiLineNoHScroll())
        SetMaxWidth(widest);
    // Word-wrapped items take their heights anew.
    if (FMultiLine)
        doItemsLayout();
}

void TExCustomListBox::AddString(TMessage& message)
{
    const std::string text = *reinterpret_cast<const std::string*>(message.LParam);
    if (!MultiLineNoHScroll()) {
        const int width = MeasureString(text, 0).cx;
        if (width > FMaxWidth)
            SetMaxWidth(width);
    }
    if (FSorted && !FProviderMode) {
        TMessage insert{LB_INSERTSTRING, static_cast<WPARAM>(SortedPosition(text)), message.LParam, 0};
        TExExCustomListBox::WndProc(insert);
        message.Result = insert.Result;
    } else {
        TExExCustomListBox::WndProc(message);
    }
    if (OnAddString)
        OnAddString(this, text);
    NotifyChanged();
}

void TExCustomListBox::DeleteString(TMessage& message)
{
    const int index = static_cast<int>(message.WParam);
    const bool inside = index >= 0 && index < count();
    const std::string text = inside ? StdStr(item(index)->text()) : std::string();
    bool widest = false;
    if (!MultiLineNoHScroll())
        widest = !inside || MeasureString(text, 0).cx == FMaxWidth || TextWidthWithBlank(text) == FMaxWidth;
    if (OnDeleteString)
        OnDeleteString(this, text);
    TExExCustomListBox::WndProc(message);
    if (widest)
        RecalcHorizontalExtent();
    NotifyChanged();
}

void TExCustomListBox::WndProc(TMessage& message)
{
    switch (message.Msg) {
    case LB_ADDSTRING:
    case LB_INSERTSTRING: {
        const std::string& text = *reinterpret_cast<const std::string*>(message.LParam);
        if (!MultiLineNoHScroll() && TextWidthWithBlank(text) > FMaxWidth) {
            FMaxWidth = TextWidthWithBlank(text);
            Perform(LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(FMaxWidth));
        }
        if (message.Msg == LB_ADDSTRING) {
            AddString(message);
        } else {
            if (!MultiLineNoHScroll())
                SetMaxWidth(std::max(FMaxWidth, MeasureString(text, 0).cx));
            TExExCustomListBox::WndProc(message);
        }
        return;
    }
    case LB_DELETESTRING: DeleteString(message); return;
    case LB_RESETCONTENT:
        // why: an empty list scrolls no further than its next strings need.
        FMaxWidth = 0;
        Perform(LB_SETHORIZONTALEXTENT, 0);
        TExExCustomListBox::WndProc(message);
        return;
    case WM_KEYDOWN:
        TExExCustomListBox::WndProc(message);
        if (FBackground.DoDraw())
            viewport()->update();
        return;
    default: TExExCustomListBox::WndProc(message);
    }
}

// ---- moving and deleting

void TExCustomListBox::MoveSelectedUp()
{
    if (FProviderMode)
        return;
    const int n = FItems->Count();
    if (FMultiSelect) {
        if (n == 0 || SelCount() == 0 || Selected(0))
            return;
        for (int i = 1; i < n; ++i)
            if (Selected(i)) {
                const bool above = Selected(i - 1);
                FItems->Exchange(i, i - 1);
                SetSelected(i - 1, true);
                SetSelected(i, above);
            }
        return;
    }
    const int index = ItemIndex();
    if (index >= 1) {
        FItems->Exchange(index, index - 1);
        SetItemIndex(index - 1);
    }
}

void TExCustomListBox::MoveSelectedDown()
{
    if (FProviderMode)
        return;
    const int n = FItems->Count();
    if (FMultiSelect) {
        if (n == 0 || SelCount() == 0 || Selected(n - 1))
            return;
        for (int i = n - 2; i >= 0; --i)
            if (Selected(i)) {
                const bool below = Selected(i + 1);
                FItems->Exchange(i, i + 1);
                SetSelected(i + 1, true);
                SetSelected(i, below);
            }
        return;
    }
    const int index = ItemIndex();
    if (index >= 0 && index < n - 1) {
        FItems->Exchange(index, index + 1);
        SetItemIndex(index + 1);
    }
}

void TExCustomListBox::DeleteSelected()
{
    if (FProviderMode)
        return;
    if (FMultiSelect) {
        for (int i = FItems->Count() - 1; i >= 0; --i)
            if (Selected(i))
                FItems->Delete(i);
    } else if (const int index = ItemIndex(); index >= 0) {
        FItems->Delete(index);
        if (FItems->Count() > 0)
            SetItemIndex(std::max(index - 1, 0));
    }
    NotifyChanged();
}

void TExCustomListBox::SelectAll()
{
    if (!FMultiSelect)
        return;
    const TStringsUpdate update(*FItems);
    for (int i = 0; i < count(); ++i)
        SetSelected(i, true);
}

// ---- provider mode

void TExCustomListBox::ConsumerChanged(int reason)
{
    const bool linked = FConsumer->Provider() != nullptr;
    if (reason == ccrProviderSet && !FSwitchingMode && linked != FProviderMode) {
        FSwitchingMode = true;
        if (linked) {
            FItems->MakeInternal();
            FProviderMode = true;
        } else {
            FProviderMode = false;
            FItems->MakeExternal();
        }
        FSwitchingMode = false;
    }
    if (FProviderMode) {
        UpdateItemCount();
        viewport()->update();
    }
}

void TExCustomListBox::UpdateItemCount()
{
    // The window holds one row per provider row, under the row's caption.
    const int rows = FRows->Count();
    while (count() > rows)
        delete takeItem(0);
    for (int row = 0; row < rows; ++row) {
        const QString caption = QStr(FRows->Get(row));
        if (row < count())
            item(row)->setText(caption);
        else
            addItem(caption);
    }
}

void TExCustomListBox::ConsumerExtensionAdded(TExDataConsumerAggregatedObject* extension)
{
    ConfigureViewList(extension);
}

#include "ExLib/run/lists/ExComboBox.h"

#include "ExLib/run/data/ExDataItemsExt.h"
#include "ExLib/run/lists/ExItemsSearchs.h"
#include "ExLib/run/lists/ExOwnerDraw.h"
#include "ExLib/run/lists/ExProviderRows.h"

#include "Platform/controls/Keys.h"
#include "Platform/core/Exceptions.h"
#include "Platform/core/QtBridge.h"
#include "Platform/graphics/PainterState.h"
#include "Platform/text/Format.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QLineEdit>
#include <QStylePainter>

// ---- pixel cap

TExMaxPixel::TExMaxPixel(TNotifyEvent onChange) : FOnChange(std::move(onChange))
{
    FFont.OnChange = [this](TObject*) { Changed(); };
}

void TExMaxPixel::Changed()
{
    if (FOnChange)
        FOnChange(this);
}

void TExMaxPixel::SetLength(int value)
{
    if (value == FLength)
        return;
    FLength = value;
    Changed();
}

void TExMaxPixel::SetUseControlFont(bool value)
{
    if (value == FUseControlFont)
        return;
    FUseControlFont = value;
    Changed();
}

void TExMaxPixel::Test(std::string& text, const TFont& controlFont) const
{
    if (FLength == 0)
        return;
    TCanvas canvas;
    canvas.Font().Assign(FUseControlFont ? controlFont : FFont);
    while (!text.empty() && canvas.TextWidth(text) > FLength) {
        // why: a character may take several bytes; it goes whole.
        size_t last = text.size() - 1;
        while (last > 0 && (static_cast<unsigned char>(text[last]) & 0xC0) == 0x80)
            --last;
        text.erase(last);
    }
}

// ---- items

TStrings& TExComboBoxStrings::Window() const
{
    return FComboBox.TCustomComboBox::Items();
}

int TExComboBoxStrings::WindowCount() const
{
    return Window().Count();
}

std::string TExComboBoxStrings::WindowGet(int index) const
{
    return Window().Get(index);
}

TObject* TExComboBoxStrings::WindowObject(int index) const
{
    if (index < 0 || index >= Window().Count())
        Error("List index out of bounds (%d)", index);
    return static_cast<TObject*>(FComboBox.itemData(index).value<void*>());
}

void TExComboBoxStrings::WindowPutObject(int index, TObject* object)
{
    if (index < 0 || index >= Window().Count())
        Error("List index out of bounds (%d)", index);
    FComboBox.setItemData(index, QVariant::fromValue(static_cast<void*>(object)));
}

void TExComboBoxStrings::WindowPut(int index, const std::string& s)
{
    Window().Put(index, s);
}

int TExComboBoxStrings::WindowInsert(int index, const std::string& s)
{
    // why: adding items selects none of them; the platform would select the first.
    const bool noSelection = FComboBox.currentIndex() < 0;
    const std::string text = FComboBox.Text();
    Window().Insert(index, s);
    if (noSelection && FComboBox.currentIndex() >= 0) {
        FComboBox.setCurrentIndex(-1);
        FComboBox.SetText(text);
    }
    return index;
}

void TExComboBoxStrings::WindowDelete(int index)
{
    Window().Delete(index);
}

void TExComboBoxStrings::WindowClear()
{
    Window().Clear();
}

void TExComboBoxStrings::Clear()
{
    if (UseInternal()) {
        TExListItems::Clear();
        return;
    }
    const std::string text = FComboBox.Text();
    TExListItems::Clear();
    FComboBox.SetText(text);
    FComboBox.update();
}

int TExComboBoxStrings::WindowIndexOf(const std::string& s) const
{
    return FComboBox.findText(QStr(s), Qt::MatchFixedString);
}

void TExComboBoxStrings::DetachProvider()
{
    FComboBox.DetachProvider();
}

void TExComboBoxStrings::SetUpdateState(bool updating)
{
    FComboBox.setUpdatesEnabled(!updating);
    if (!updating)
        FComboBox.update();
}

// ---- combo box

TExCustomComboBox::TExCustomComboBox(TComponent* AOwner, QWidget* parent)
    : TExExCustomComboBox(AOwner, parent),
      FFont(*this),
      FConsumer(std::make_unique<TExDataConsumer>(this, std::vector<int>{ConsumerAttributeList, ConsumerAttributeViewList})),
      FRows(std::make_unique<TExConsumerStrings>(*FConsumer)),
      FItems(std::make_unique<TExComboBoxStrings>(*this)),
      FMaxPixel([this](TObject*) { MaxPixelChanged(); })
{
    FConsumer->OnChanged = [this](TObject*, int reason) { ConsumerChanged(reason); };
    FConsumer->OnAfterCreateExtension = [this](TObject*, TExDataConsumerAggregatedObject* extension) {
        ConsumerExtensionAdded(extension);
    };
    FItemHeight = fontMetrics().height() + 2;
    FDelegate = new TExOwnerDrawDelegate(
        [this](TCanvas& canvas, int index, const TRect& rect, TOwnerDrawState state) {
            DrawRow(canvas, index, rect, state);
        },
        [this](int index) { return RowHeight(index); }, this);
    setItemDelegate(FDelegate);
    FFocusConnection = QObject::connect(qApp, &QApplication::focusChanged, this,
                                        [this](QWidget* from, QWidget* to) { FocusMoved(from, to); });
    FActivatedConnection =
        QObject::connect(this, &QComboBox::activated, this, [this](int index) { SelectionChanged(index); });
    EmptyValueExit();
}

TExCustomComboBox::~TExCustomComboBox()
{
    QObject::disconnect(FFocusConnection);
    QObject::disconnect(FActivatedConnection);
    FRows.reset();
    FConsumer.reset();
}

void TExCustomComboBox::Loaded()
{
    TExExCustomComboBox::Loaded();
    FConsumer->AfterOwnerLoaded();
}

std::string TExCustomComboBox::Text() const
{
    return FShowingEmptyValue ? std::string() : StdStr(currentText());
}

void TExCustomComboBox::SetText(const std::string& text)
{
    TExExCustomComboBox::SetText(text);
    if (!text.empty() && FShowingEmptyValue)
        EmptyValueEnter();
}

std::string TExCustomComboBox::DisplayedText() const
{
    if (!FShowingEmptyValue)
        return StdStr(currentText());
    return StdStr(isEditable() ? lineEdit()->placeholderText() : placeholderText());
}

void TExCustomComboBox::DetachProvider()
{
    if (FConsumer && FConsumer->Provider())
        FConsumer->SetProvider(nullptr);
}

bool TExCustomComboBox::OwnerDrawn() const
{
    return Style() == TComboBoxStyle::csOwnerDrawFixed || Style() == TComboBoxStyle::csOwnerDrawVariable;
}

// ---- read-only mode

void TExCustomComboBox::SetReadOnly(bool value)
{
    if (value == FReadOnly)
        return;
    FReadOnly = value;
    if (isEditable())
        lineEdit()->setReadOnly(value);
}

void TExCustomComboBox::showPopup()
{
    if (!FReadOnly || ComponentState().Contains(csDesigning))
        TExExCustomComboBox::showPopup();
}

void TExCustomComboBox::WndProc(TMessage& message)
{
    if (FReadOnly && !ComponentState().Contains(csDesigning)) {
        switch (message.Msg) {
        case WM_KEYDOWN:
            switch (message.WParam) {
            case VK_UP:
            case VK_DOWN:
            case VK_LEFT:
            case VK_RIGHT:
            case VK_F4:
            case VK_PRIOR:
            case VK_NEXT:
            case VK_HOME:
            case VK_END: message.Result = 0; return;
            default: break;
            }
            break;
        case WM_CHAR:
        case WM_MOUSEWHEEL: message.Result = 0; return;
        case WM_SYSKEYDOWN:
            if (message.WParam == VK_UP || message.WParam == VK_DOWN) {
                message.Result = 0;
                return;
            }
            break;
        case WM_LBUTTONDOWN:
            SetFocus();
            return;
        case WM_LBUTTONDBLCLK: return;
        default: break;
        }
    }
    switch (message.Msg) {
    case WM_INITDIALOG:
        TExExCustomComboBox::WndProc(message);
        if (FMeasureStyle == TExComboBoxMeasureStyle::cmsAfterCreate ||
            (FProviderMode && !(FMeasureStyle == TExComboBoxMeasureStyle::cmsBeforeDraw &&
                                Style() == TComboBoxStyle::csOwnerDrawVariable)))
            PerformMeasure();
        return;
    case WM_PAINT:
        if (OwnerDrawn() && !isEditable()) {
            PaintOwnerDrawnField();
            return;
        }
        break;
    default: break;
    }
    TExExCustomComboBox::WndProc(message);
}

// ---- placeholder

void TExCustomComboBox::SetPlaceholder(const std::string& text)
{
    if (isEditable())
        lineEdit()->setPlaceholderText(QStr(text));
    else
        setPlaceholderText(QStr(text));
}

void TExCustomComboBox::EmptyValueExit()
{
    if (FEmptyValue.empty() || !Text().empty())
        return;
    SetPlaceholder(FEmptyValue);
    FShowingEmptyValue = true;
    if (!ComponentState().Contains(csDesigning)) {
        QPalette palette = this->palette();
        palette.setColor(QPalette::PlaceholderText, ToQColor(FEmptyFontColor));
        setPalette(palette);
        if (isEditable())
            lineEdit()->setPalette(palette);
    }
}

void TExCustomComboBox::EmptyValueEnter()
{
    if (FEmptyValue.empty() || !FShowingEmptyValue)
        return;
    SetPlaceholder("");
    FShowingEmptyValue = false;
}

void TExCustomComboBox::SetEmptyValue(const std::string& value)
{
    if (value == FEmptyValue)
        return;
    if (value.empty() && FShowingEmptyValue)
        EmptyValueEnter();
    FEmptyValue = value;
    if (FShowingEmptyValue)
        SetPlaceholder(value);
    if (FFocusInside)
        EmptyValueEnter();
    else
        EmptyValueExit();
}

void TExCustomComboBox::FocusMoved(QWidget* from, QWidget* to)
{
    (void)from;
    const bool inside = to && (to == this || isAncestorOf(to));
    if (inside == FFocusInside)
        return;
    FFocusInside = inside;
    if (inside)
        EmptyValueEnter();
    else
        EmptyValueExit();
}

// ---- pixel cap

void TExCustomComboBox::MaxPixelChanged()
{
    if (Style() == TComboBoxStyle::csDropDownList)
        return;
    std::string text = Text();
    FMaxPixel.Test(text, Font());
    if (Text() != text)
        SetText(text);
    if (isEditable())
        lineEdit()->end(false);
}

void TExCustomComboBox::FontChanged()
{
    FFont.Sync();
    TExExCustomComboBox::FontChanged();
}

// ---- measuring

void TExCustomComboBox::SetItemHeight(int value)
{
    FItemHeight = value;
    update();
}

void TExCustomComboBox::SetMeasureStyle(TExComboBoxMeasureStyle value)
{
    if (value == FMeasureStyle)
        return;
    FMeasureStyle = value;
    FItemHeights.clear();
    update();
}

int TExCustomComboBox::MeasuredHeight(int index) const
{
    const auto it = FItemHeights.find(index);
    return it == FItemHeights.end() ? FItemHeight : it->second;
}

void TExCustomComboBox::DoMeasureItem(int index, int& height)
{
    if (OnMeasureItem && OwnerDrawn()) {
        OnMeasureItem(this, index, height);
        return;
    }
    if (!FProviderMode || !FConsumer->Provider())
        return;
    FConsumer->WithAccess([&] {
        IExDataItem* item = ViewRowItem(*FConsumer, index);
        TCanvas canvas;
        canvas.Font().Assign(Font());
        TSize size{0, 0};
        if (index < 0 || Style() != TComboBoxStyle::csOwnerDrawVariable) {
            if (IExDataItemsPainter* painter = FindListPainter(item))
                size = painter->SizeOfItem(canvas, item);
        } else if (auto* own = Supports<IExDataItemPainter>(item)) {
            size = own->SizeOfSelf(canvas);
        } else if (IExDataItemsPainter* painter = FindListPainter(item)) {
            size = painter->SizeOfItem(canvas, item);
        }
        height = std::max(height, size.cy);
    });
}

void TExCustomComboBox::MeasureItem(int index, int& height)
{
    if (ComponentState().Contains(csLoading) || FProviderMode || FMeasureStyle != TExComboBoxMeasureStyle::cmsStandard)
        return;
    DoMeasureItem(index, height);
}

void TExCustomComboBox::PerformMeasure()
{
    const bool variable = Style() == TComboBoxStyle::csOwnerDrawVariable;
    const int last = variable ? ItemCount() - 1 : std::min(0, ItemCount() - 1);
    for (int index = -1; index <= last; ++index) {
        int height = FItemHeight;
        DoMeasureItem(index, height);
        FItemHeights[index] = height;
    }
    update();
}

int TExCustomComboBox::RowHeight(int index)
{
    if (!OwnerDrawn())
        return -1;
    if (Style() == TComboBoxStyle::csOwnerDrawFixed)
        return FItemHeight;
    if (FMeasureStyle == TExComboBoxMeasureStyle::cmsStandard && !FProviderMode) {
        int height = FItemHeight;
        MeasureItem(index, height);
        return height;
    }
    if (FProviderMode && FMeasureStyle != TExComboBoxMeasureStyle::cmsBeforeDraw) {
        int height = FItemHeight;
        DoMeasureItem(index, height);
        return height;
    }
    return MeasuredHeight(index);
}

// ---- drawing

void TExCustomComboBox::DrawRow(TCanvas& canvas, int index, const TRect& rect, TOwnerDrawState state)
{
    if (ComponentState().Contains(csDestroying))
        return;
    if (!OwnerDrawn()) {
        // Without owner drawing the rows look as the platform draws them.
        canvas.Brush().SetColor(state.Contains(odSelected) ? clHighlight : clWindow);
        canvas.Font().Assign(Font());
        canvas.Font().SetColor(state.Contains(odSelected) ? clHighlightText : Font().Color());
        canvas.FillRect(rect);
        if (index >= 0 && index < ItemCount())
            canvas.TextOut(rect.Left + 2, rect.Top + (rect.Height() - canvas.TextHeight("Ag")) / 2, GetItemText(index));
        return;
    }
    PrepareItemCanvas(canvas, index, state);
    const TExItemCanvasScope scope(FItemCanvas, canvas);
    DrawItem(index, rect, state);
}

void TExCustomComboBox::PrepareItemCanvas(TCanvas& canvas, int index, TOwnerDrawState state)
{
    (void)index;
    canvas.Font().Assign(Font());
    canvas.Brush().SetColor(state.Contains(odSelected) ? clHighlight : Color());
    if (state.Contains(odSelected))
        canvas.Font().SetColor(clHighlightText);
}

void TExCustomComboBox::DrawItem(int index, const TRect& rect, TOwnerDrawState state)
{
    if (ComponentState().Contains(csDestroying))
        return;
    TCanvas& canvas = ItemCanvas();
    if (FMeasureStyle == TExComboBoxMeasureStyle::cmsBeforeDraw && Style() == TComboBoxStyle::csOwnerDrawVariable) {
        const int measured = state.Contains(odComboBoxEdit) ? -1 : index;
        int height = FItemHeight;
        DoMeasureItem(measured, height);
        FItemHeights[measured] = height;
    }
    if (OnDrawItem && OwnerDrawn()) {
        OnDrawItem(this, index, rect, state);
        return;
    }
    if (FProviderMode && FConsumer->Provider()) {
        bool drawn = false;
        FConsumer->WithAccess([&] {
            IExDataItem* item = ViewRowItem(*FConsumer, index);
            if (!item)
                return;
            TRect r = rect;
            r.Left += FConsumer->ViewList()->RowLevel(index) * FConsumer->ViewList()->LevelIndent();
            const bool selected = state.Contains(odSelected);
            canvas.Brush().SetColor(selected ? clHighlight : Color());
            if (selected)
                canvas.Font().SetColor(clHighlightText);
            canvas.FillRect(r);
            TProviderDrawState drawState = ProviderDrawStateOf(state);
            if (!Enabled())
                drawState |= pdsDisabled | pdsGrayed;
            PaintRowItem(canvas, item, r, drawState);
            drawn = true;
        });
        if (drawn)
            return;
    }
    canvas.FillRect(rect);
    if (index >= 0 && index < ItemCount())
        canvas.TextOut(rect.Left + 2, rect.Top, GetItemText(index));
}

void TExCustomComboBox::PaintOwnerDrawnField()
{
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    option.currentText.clear();
    option.currentIcon = QIcon();
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    const QRect field = style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
    TOwnerDrawState state{odComboBoxEdit};
    if (hasFocus() && !view()->isVisible())
        state += TOwnerDrawState{odSelected, odFocused};
    if (!isEnabled())
        state.Include(odDisabled);
    const TPainterStateGuard guard(painter);
    painter.setClipRect(field);
    TCanvas canvas(&painter);
    try {
        DrawRow(canvas, currentIndex(), TRect::FromQt(field), state);
    } catch (...) {
        canvas.SetHandle(nullptr);
        throw;
    }
    canvas.SetHandle(nullptr);
}

// ---- items and rows

int TExCustomComboBox::ItemCount() const
{
    return FProviderMode ? FRows->Count() : count();
}

std::string TExCustomComboBox::GetItemText(int index)
{
    if (!FProviderMode)
        return FItems->Get(index);
    if (index < 0 || index >= FRows->Count())
        throw EListError(Format("List index out of bounds (%d)", {index}));
    return FRows->Get(index);
}

int TExCustomComboBox::FindString(int start, const std::string& text)
{
    if (FProviderMode)
        return TExItemsSearchs::FindPrefix(*FRows, text, start, false);
    return TExItemsSearchs::FindPrefix(*FItems, text, start, false);
}

int TExCustomComboBox::FindStringExact(int start, const std::string& text)
{
    if (FProviderMode)
        return TExItemsSearchs::FindExact(*FRows, text, start, false);
    return TExItemsSearchs::FindExact(*FItems, text, start, false);
}

int TExCustomComboBox::SelectString(int start, const std::string& text)
{
    const int found = FindString(start, text);
    if (found >= 0)
        setCurrentIndex(found);
    return found;
}

void TExCustomComboBox::SelectionChanged(int index)
{
    if (FProviderMode && FConsumer->Provider()) {
        IExDataItem* item = nullptr;
        FConsumer->WithAccess([&] {
            item = ViewRowItem(*FConsumer, index);
            auto* text = Supports<IExDataItemText>(item);
            SetText(text ? text->Caption() : std::string());
        });
        Click();
        Select();
        FConsumer->ReportItemSelected(item);
    }
}

void TExCustomComboBox::Select()
{
    if (OnSelect)
        OnSelect(this);
}

// ---- provider mode

void TExCustomComboBox::ConsumerChanged(int reason)
{
    const bool linked = FConsumer->Provider() != nullptr;
    if (reason == ccrProviderSet && !FSwitchingMode && linked != FProviderMode) {
        FSwitchingMode = true;
        if (linked)
            FItems->MakeInternal();
        else
            FItems->MakeExternal();
        FProviderMode = linked;
    }
    if (!FSwitchingMode || reason == ccrProviderSet) {
        UpdateItemCount();
        update();
    }
    if (FSwitchingMode && reason == ccrProviderSet)
        FSwitchingMode = false;
}

void TExCustomComboBox::UpdateItemCount()
{
    if (!FProviderMode)
        return;
    // The window holds one item per row, under the row's caption.
    const int rows = FRows->Count();
    TStrings& window = TCustomComboBox::Items();
    while (window.Count() > rows)
        window.Delete(0);
    for (int row = 0; row < rows; ++row) {
        const std::string caption = FRows->Get(row);
        if (row < window.Count())
            window.Put(row, caption);
        else
            window.Insert(row, caption);
    }
}

void TExCustomComboBox::ConsumerExtensionAdded(TExDataConsumerAggregatedObject* extension)
{
    ConfigureViewList(extension);
}

// The completion pop-up window: lists, filtering, selection, keys, mouse, sizing, placement
// and painting.

#include "SrcEdit/Source/completion/SrcEditCompletionForm.h"

#include "SrcEdit/Source/view/SrcEdit.h"

#include "Platform/text/TextChars.h"

#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QScrollBar>

#include <algorithm>

namespace {

// The frame of a list: a sizing frame when the user may resize it, else a thinner one.
constexpr int SizingFrame = 3;
constexpr int FixedFrame = 2;
constexpr int WheelStep = 120;

// The keys a shown list takes for itself (they must not run a shortcut of the window).
bool IsListKey(WORD key)
{
    switch (key) {
    case VK_BACK:
    case VK_TAB:
    case VK_RETURN:
    case VK_ESCAPE:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_HOME:
    case VK_END:
    case VK_UP:
    case VK_DOWN:
    case VK_LEFT:
    case VK_RIGHT:
    case VK_DELETE:
        return true;
    default:
        return false;
    }
}

char FoldAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// The first `count` characters of a UTF-8 text (all of it when shorter).
std::string_view LeadingChars(std::string_view text, size_t count)
{
    size_t end = 0;
    for (size_t n = 0; n < count && end < text.size(); ++n)
        end = TextChars::NextCharStart(text, end);
    return text.substr(0, end);
}

size_t CharCount(std::string_view text)
{
    size_t n = 0;
    for (size_t i = 0; i < text.size(); i = TextChars::NextCharStart(text, i))
        ++n;
    return n;
}

} // namespace

TSrcBaseCompletionProposalForm::TSrcBaseCompletionProposalForm(TComponent* AOwner) : TCustomControl(AOwner, nullptr)
{
    // why: a tool-tip window is never activated, by the platform or by a window manager, so the
    // editor keeps the focus and its window the active caption; it has no task-bar button either
    setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
    FTitleFont.SetStyle({fsBold});
    FTitleFont.SetColor(clBtnText);
    FFont.OnChange = [this](TObject*) { RecalcMetrics(); };
    FTitleFont.OnChange = [this](TObject*) { RecalcMetrics(); };
    FScrollBar = new QScrollBar(Qt::Vertical, this);
    FScrollBar->setFocusPolicy(Qt::NoFocus);
    QObject::connect(FScrollBar, &QScrollBar::valueChanged, [this](int value) { ScrollBarMoved(value); });
    RecalcMetrics();
    resize(260, FLineHeight * FNbLinesInWindow + FTitleHeight + 2 * FrameSize());
}

TSrcBaseCompletionProposalForm::~TSrcBaseCompletionProposalForm()
{
    RemoveEditorFilter();
    FFont.OnChange = nullptr;
    FTitleFont.OnChange = nullptr;
    if (FImages)
        FImages->UnRegisterChanges(FImagesLink);
}

void TSrcBaseCompletionProposalForm::Notification(TComponent* component, TOperation operation)
{
    TCustomControl::Notification(component, operation);
    if (operation == TOperation::opRemove && component == FImages)
        FImages = nullptr;
}

// ---- lists

void TSrcBaseCompletionProposalForm::SetItemList(const TStrings& items)
{
    FItemList.Assign(items);
    AssignAllItems();
    SetCurrentString(FCurrentString);
}

std::string TSrcBaseCompletionProposalForm::AssignedText(int line) const
{
    if (line < 0 || line >= AssignedCount())
        return {};
    return FItemList.Get(FAssigned[static_cast<size_t>(line)]);
}

void TSrcBaseCompletionProposalForm::AssignAllItems()
{
    FAssigned.resize(static_cast<size_t>(FItemList.Count()));
    for (size_t i = 0; i < FAssigned.size(); ++i)
        FAssigned[i] = static_cast<int>(i);
    FPosition = std::min(FPosition, std::max(0, AssignedCount() - 1));
}

int TSrcBaseCompletionProposalForm::LogicalIndex(int line) const
{
    if (!LimitToMatchedText)
        return line;
    return line >= 0 && line < AssignedCount() ? FAssigned[static_cast<size_t>(line)] : -1;
}

// ---- typing and selection

bool TSrcBaseCompletionProposalForm::Matches(int index) const
{
    std::string compared;
    if (UseInsertList)
        compared = index < FInsertList.Count() ? FInsertList.Get(index) : std::string();
    else if (UsePrettyText)
        compared = StripPrettyText(FItemList.Get(index));
    else
        compared = FItemList.Get(index);
    const std::string_view typed = FCurrentString;
    if (AnsiStrings) {
        // why: characters, not bytes, are compared, so that a multi-byte character is never split
        const std::string_view head = LeadingChars(compared, CharCount(typed));
        const QString a = QString::fromUtf8(head.data(), static_cast<qsizetype>(head.size()));
        const QString b = QString::fromUtf8(typed.data(), static_cast<qsizetype>(typed.size()));
        return CaseSensitive ? QString::localeAwareCompare(a, b) == 0
                             : QString::localeAwareCompare(a.toLower(), b.toLower()) == 0;
    }
    if (compared.size() < typed.size())
        return false;
    if (CaseSensitive)
        return std::equal(typed.begin(), typed.end(), compared.begin());
    return std::equal(typed.begin(), typed.end(), compared.begin(),
                      [](char a, char b) { return FoldAscii(a) == FoldAscii(b); });
}

void TSrcBaseCompletionProposalForm::SetCurrentString(const std::string& text)
{
    FCurrentString = text;
    if (FDisplayType != SrcCompletionType::ctCode)
        return;
    if (LimitToMatchedText) {
        Refilter();
        return;
    }
    int first = 0;
    for (int i = 0; i < FItemList.Count(); ++i)
        if (Matches(i)) {
            first = i;
            break;
        }
    SetPosition(first);
}

void TSrcBaseCompletionProposalForm::Refilter()
{
    FAssigned.clear();
    for (int i = 0; i < FItemList.Count(); ++i)
        if (Matches(i))
            FAssigned.push_back(i);
    FPosition = 0;
    FTopLine = 0;
    AdjustScrollBar();
    FireChange();
    update();
}

void TSrcBaseCompletionProposalForm::SetPosition(int line)
{
    line = std::max(line, 0);
    if (line == FPosition || line >= AssignedCount())
        return;
    FPosition = line;
    if (FPosition < FTopLine)
        ScrollTo(FPosition);
    else if (FPosition > FTopLine + FNbLinesInWindow - 1)
        ScrollTo(FPosition - FNbLinesInWindow + 1);
    FireChange();
    update();
}

void TSrcBaseCompletionProposalForm::MoveLine(int delta)
{
    SetPosition(std::clamp(FPosition + delta, 0, std::max(0, AssignedCount() - 1)));
}

void TSrcBaseCompletionProposalForm::FireChange()
{
    if (OnChange && PopupVisible() && FDisplayType == SrcCompletionType::ctCode && AssignedCount() > 0)
        OnChange(Sender(), LogicalIndex(FPosition));
}

// ---- appearance

void TSrcBaseCompletionProposalForm::SetDisplayType(SrcCompletionType type)
{
    FDisplayType = type;
    SetScrollBarVisible(type == SrcCompletionType::ctCode);
}

void TSrcBaseCompletionProposalForm::SetNbLinesInWindow(int lines)
{
    FNbLinesInWindow = std::max(lines, 1);
    AdjustScrollBar();
}

void TSrcBaseCompletionProposalForm::SetTitle(const std::string& title)
{
    FTitle = title;
    RecalcMetrics();
}

void TSrcBaseCompletionProposalForm::SetItemHeight(int height)
{
    FItemHeight = height;
    RecalcMetrics();
}

void TSrcBaseCompletionProposalForm::SetImages(TCustomImageList* images)
{
    if (images == FImages)
        return;
    if (FImages) {
        FImages->UnRegisterChanges(FImagesLink);
        RemoveFreeNotification(FImages);
    }
    FImages = images;
    if (FImages) {
        FreeNotification(FImages);
        FImagesLink = FImages->RegisterChanges([this](TObject*) { update(); });
    }
}

void TSrcBaseCompletionProposalForm::SetResizeable(bool value)
{
    FResizeable = value;
    LayoutScrollBar();
}

void TSrcBaseCompletionProposalForm::SetCurrentEditor(TCustomSrcEdit* editor)
{
    if (editor == FCurrentEditor)
        return;
    RemoveEditorFilter();
    FCurrentEditor = editor;
    if (PopupVisible())
        InstallEditorFilter();
}

// ---- metrics

void TSrcBaseCompletionProposalForm::RecalcMetrics()
{
    TCanvas& canvas = Canvas();
    canvas.Font().Assign(FFont);
    const int textHeight = canvas.TextHeight("CompletionProposal");
    FLineHeight = FItemHeight > 0 ? FItemHeight : std::max(textHeight, 1);
    canvas.Font().Assign(FTitleFont);
    FTitleHeight = FTitle.empty() ? 0 : canvas.TextHeight("CompletionProposal") + 4;
    LayoutScrollBar();
}

int TSrcBaseCompletionProposalForm::FrameSize() const
{
    if (FDisplayType != SrcCompletionType::ctCode)
        return 0;
    return FResizeable ? SizingFrame : FixedFrame;
}

int TSrcBaseCompletionProposalForm::ScrollBarWidth() const
{
    return FScrollBarShown ? FScrollBar->sizeHint().width() : 0;
}

TRect TSrcBaseCompletionProposalForm::ListRect() const
{
    const int f = FrameSize();
    return {f, f + FTitleHeight, width() - f - ScrollBarWidth(), height() - f};
}

// ---- scrolling

void TSrcBaseCompletionProposalForm::SetScrollBarVisible(bool visible)
{
    FScrollBarShown = visible;
    FScrollBar->setVisible(visible);
    LayoutScrollBar();
}

void TSrcBaseCompletionProposalForm::AdjustScrollBar()
{
    const QSignalBlocker blocker(FScrollBar);
    const int count = AssignedCount();
    if (count <= FNbLinesInWindow) {
        FScrollBar->setRange(0, 0);
        FScrollBar->setEnabled(false);
        FTopLine = 0;
    } else {
        FScrollBar->setRange(0, count - FNbLinesInWindow);
        FScrollBar->setPageStep(FNbLinesInWindow);
        FScrollBar->setSingleStep(1);
        FScrollBar->setEnabled(true);
        FTopLine = std::clamp(FTopLine, 0, count - FNbLinesInWindow);
    }
    FScrollBar->setValue(FTopLine);
}

void TSrcBaseCompletionProposalForm::ScrollTo(int topLine)
{
    FTopLine = std::clamp(topLine, 0, std::max(0, AssignedCount() - FNbLinesInWindow));
    const QSignalBlocker blocker(FScrollBar);
    FScrollBar->setValue(FTopLine);
}

void TSrcBaseCompletionProposalForm::ScrollBarMoved(int value)
{
    FTopLine = value;
    if (FPosition < FTopLine || FPosition >= FTopLine + FNbLinesInWindow)
        SetPosition(FTopLine);
    update();
}

// ---- showing

void TSrcBaseCompletionProposalForm::PlaceAt(int x, int y, int listWidth, int editorLineHeight)
{
    int w = 0;
    int h = 0;
    if (FDisplayType == SrcCompletionType::ctCode) {
        w = listWidth;
        h = FLineHeight * FNbLinesInWindow + FTitleHeight + 2 * FrameSize();
    } else {
        int widest = 0;
        for (int i = 0; i < FItemList.Count(); ++i) {
            int itemWidth = TipLineWidth(i);
            if (FDisplayType == SrcCompletionType::ctParams && OnMeasureItem) {
                Canvas().Font().Assign(FFont);
                OnMeasureItem(Sender(), i, Canvas(), itemWidth);
            }
            widest = std::max(widest, itemWidth);
        }
        w = widest + 2 * Margin + 2;
        h = FItemList.Count() * FLineHeight + 2 + 2 * Margin;
    }
    QScreen* screen = QGuiApplication::screenAt(QPoint(x, y));
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const QRect desktop = screen ? screen->availableGeometry() : QRect(0, 0, 1 << 20, 1 << 20);
    if (x + w > desktop.right() + 1)
        x = std::max(desktop.left(), desktop.left() + desktop.width() - w - 5);
    if (y + h > desktop.bottom() + 1)
        y = std::max(desktop.top(), y - h - editorLineHeight - 2);
    setGeometry(x, y, w, h);
}

int TSrcBaseCompletionProposalForm::TipLineWidth(int index)
{
    TCanvas& canvas = Canvas();
    canvas.Font().Assign(FFont);
    const std::string item = FItemList.Get(index);
    if (FDisplayType != SrcCompletionType::ctParams)
        return PrettyTextWidth(canvas, item, FImages, &FColumns);
    int widest = 0;
    const int count = ParamListCount(item);
    for (int k = -1; k < count; ++k)
        widest = std::max(widest, PrettyTextWidth(canvas, FormatParamList(item, k), FImages, &FColumns));
    return widest;
}

void TSrcBaseCompletionProposalForm::ShowPopup()
{
    if (!isVisible())
        show();
    update();
}

void TSrcBaseCompletionProposalForm::HidePopup()
{
    if (isVisible())
        hide();
}

bool TSrcBaseCompletionProposalForm::PopupVisible() const
{
    return isVisible();
}

void TSrcBaseCompletionProposalForm::showEvent(QShowEvent* event)
{
    TCustomControl::showEvent(event);
    InstallEditorFilter();
    if (OnShowWindow)
        OnShowWindow();
}

void TSrcBaseCompletionProposalForm::hideEvent(QHideEvent* event)
{
    TCustomControl::hideEvent(event);
    RemoveEditorFilter();
    FResizeEdges = 0;
    if (OnHideWindow)
        OnHideWindow();
}

void TSrcBaseCompletionProposalForm::InstallEditorFilter()
{
    if (FDisplayType != SrcCompletionType::ctCode || !FCurrentEditor || FFilteredWidget)
        return;
    FFilteredWidget = FCurrentEditor->Widget();
    FFilteredWidget->installEventFilter(this);
    FFilteredViewport = FCurrentEditor->ClientWidget();
    if (FFilteredViewport != FFilteredWidget)
        FFilteredViewport->installEventFilter(this);
}

void TSrcBaseCompletionProposalForm::RemoveEditorFilter()
{
    if (FFilteredWidget)
        FFilteredWidget->removeEventFilter(this);
    if (FFilteredViewport)
        FFilteredViewport->removeEventFilter(this);
    FFilteredWidget = nullptr;
    FFilteredViewport = nullptr;
}

// ---- keys

bool TSrcBaseCompletionProposalForm::eventFilter(QObject* watched, QEvent* event)
{
    if (!watched || (watched != FFilteredWidget && watched != FFilteredViewport) ||
        FDisplayType != SrcCompletionType::ctCode || !PopupVisible())
        return false;
    if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick) {
        // The click goes on to the editor, which moves its caret away from the input.
        if (OnCancel)
            OnCancel(Sender());
        return false;
    }
    if (watched != FFilteredWidget)
        return false;
    switch (event->type()) {
    case QEvent::ShortcutOverride: {
        auto* ke = static_cast<QKeyEvent*>(event);
        const bool plain = !(ke->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
        if (IsListKey(VirtualKeyFromQt(ke->key())) || (plain && !ke->text().isEmpty())) {
            ke->accept();
            return true;
        }
        return false;
    }
    case QEvent::KeyPress: {
        auto* ke = static_cast<QKeyEvent*>(event);
        const TShiftState shift = ShiftStateFromQt(ke->modifiers());
        if (HandleKeyDown(VirtualKeyFromQt(ke->key()), shift))
            return true;
        for (char32_t c : ke->text().toUcs4()) {
            if (c == 0x7F)
                continue;
            if (PopupVisible()) {
                HandleKeyPress(c, shift);
            } else if (OnKeyPressHandler) {
                char32_t key = c;
                OnKeyPressHandler(Sender(), key);
            }
        }
        return true;
    }
    case QEvent::InputMethod: {
        auto* ime = static_cast<QInputMethodEvent*>(event);
        if (ime->commitString().isEmpty())
            return false;
        for (char32_t c : ime->commitString().toUcs4())
            HandleKeyPress(c, {});
        return true;
    }
    default:
        return false;
    }
}

void TSrcBaseCompletionProposalForm::DropLastCharacter()
{
    const size_t cut = TextChars::PrevCharStart(FCurrentString, FCurrentString.size());
    SetCurrentString(FCurrentString.substr(0, cut));
}

bool TSrcBaseCompletionProposalForm::HandleKeyDown(WORD key, TShiftState shift)
{
    if (FDisplayType != SrcCompletionType::ctCode || !IsListKey(key))
        return false;
    TCustomSrcEdit* editor = FCurrentEditor;
    auto cancel = [this] {
        if (OnCancel)
            OnCancel(Sender());
    };
    switch (key) {
    case VK_BACK:
    case VK_LEFT:
        if (key == VK_BACK && !shift.Empty())
            break;
        if (FCurrentString.empty()) {
            if (editor)
                editor->DispatchCommand(key == VK_BACK ? ecDeleteLastChar : ecLeft, 0, nullptr);
            cancel();
        } else {
            DropLastCharacter();
            if (editor)
                editor->DispatchCommand(key == VK_BACK ? ecDeleteLastChar : ecLeft, 0, nullptr);
        }
        break;
    case VK_TAB:
        if (CompleteWithTab && OnAccept)
            OnAccept(Sender(), shift, 0);
        break;
    case VK_RETURN:
        if (CompleteWithEnter && OnAccept)
            OnAccept(Sender(), shift, 0);
        break;
    case VK_ESCAPE:
        cancel();
        break;
    case VK_PRIOR:
        MoveLine(-FNbLinesInWindow);
        break;
    case VK_NEXT:
        MoveLine(FNbLinesInWindow);
        break;
    case VK_HOME:
        SetPosition(0);
        break;
    case VK_END:
        SetPosition(AssignedCount() - 1);
        break;
    case VK_UP:
        if (shift.Contains(ssCtrl))
            SetPosition(0);
        else
            MoveLine(-1);
        break;
    case VK_DOWN:
        if (shift.Contains(ssCtrl))
            SetPosition(AssignedCount() - 1);
        else
            MoveLine(1);
        break;
    case VK_RIGHT:
        if (editor) {
            const std::string line = editor->GetCaretLineText();
            const size_t at = static_cast<size_t>(editor->CaretChar() - 1);
            const std::string c = at < line.size() ? line.substr(at, static_cast<size_t>(TextChars::CharLength(line, at)))
                                                   : std::string(" ");
            const auto first = static_cast<unsigned char>(c[0]);
            if (c == "\t" || c == " " || (c.size() == 1 && EndOfTokenChars.test(first)))
                cancel();
            else
                SetCurrentString(FCurrentString + c);
            editor->DispatchCommand(ecRight, 0, nullptr);
        }
        break;
    case VK_DELETE:
        if (editor)
            editor->DispatchCommand(ecDeleteChar, 0, nullptr);
        break;
    default:
        break;
    }
    update();
    return true;
}

void TSrcBaseCompletionProposalForm::HandleKeyPress(char32_t key, TShiftState shift)
{
    if (FDisplayType != SrcCompletionType::ctCode)
        return;
    if (key == 8) {
        if (OnKeyPressHandler)
            OnKeyPressHandler(Sender(), key);
    } else if (key == 13 || key == 27) {
        // the key-down already did what these keys do
    } else if (key >= ' ' && key <= 'z') {
        if (EndOfTokenChars.test(static_cast<size_t>(key)) && OnAccept)
            OnAccept(Sender(), shift, key == ' ' ? 0 : key);
        SetCurrentString(FCurrentString + static_cast<char>(key));
        if (OnKeyPressHandler)
            OnKeyPressHandler(Sender(), key);
    } else {
        if (FCurrentEditor)
            FCurrentEditor->DispatchCommand(ecChar, key, nullptr);
        if (OnCancel)
            OnCancel(Sender());
    }
    update();
}

// ---- mouse

int TSrcBaseCompletionProposalForm::ResizeEdgesAt(int x, int y) const
{
    if (FDisplayType != SrcCompletionType::ctCode || !FResizeable)
        return 0;
    const int f = FrameSize();
    int edges = 0;
    if (x < f)
        edges |= 1;
    if (y < f)
        edges |= 2;
    if (x >= width() - f)
        edges |= 4;
    if (y >= height() - f)
        edges |= 8;
    return edges;
}

void TSrcBaseCompletionProposalForm::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TCustomControl::MouseDown(button, shift, x, y);
    if (FDisplayType != SrcCompletionType::ctCode)
        return;
    if (const int edges = ResizeEdgesAt(x, y); edges != 0 && button == TMouseButton::mbLeft) {
        FResizeEdges = edges;
        FResizeStart = ClientToScreen({x, y});
        FResizeGeometry = geometry();
        return;
    }
    const TRect list = ListRect();
    // why: the title and the frame lie above the first line; a click there selects nothing
    if (y < list.Top || y >= list.Bottom || x < list.Left || x >= list.Right)
        return;
    SetPosition((y - list.Top) / FLineHeight + FTopLine);
}

void TSrcBaseCompletionProposalForm::MouseMove(TShiftState shift, int x, int y)
{
    TCustomControl::MouseMove(shift, x, y);
    if (FResizeEdges != 0)
        ResizeTo(ClientToScreen({x, y}));
}

void TSrcBaseCompletionProposalForm::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    TCustomControl::MouseUp(button, shift, x, y);
    if (FResizeEdges != 0)
        ResizeTo(ClientToScreen({x, y}));
    FResizeEdges = 0;
}

void TSrcBaseCompletionProposalForm::ResizeTo(TPoint pointer)
{
    const int dx = pointer.X - FResizeStart.X;
    const int dy = pointer.Y - FResizeStart.Y;
    QRect r = FResizeGeometry;
    if (FResizeEdges & 1)
        r.setLeft(r.left() + dx);
    if (FResizeEdges & 4)
        r.setRight(r.right() + dx);
    if (FResizeEdges & 2)
        r.setTop(r.top() + dy);
    if (FResizeEdges & 8)
        r.setBottom(r.bottom() + dy);
    const int f = FrameSize();
    const int minWidth = FScrollBar->sizeHint().width() + 2 * f;
    if (r.width() < minWidth) {
        if (FResizeEdges & 1)
            r.setLeft(r.right() + 1 - minWidth);
        else
            r.setWidth(minWidth);
    }
    // The height snaps to whole lines.
    const int lines = std::max(1, (r.height() - FTitleHeight - 2 * f) / FLineHeight);
    const int h = lines * FLineHeight + FTitleHeight + 2 * f;
    if (FResizeEdges & 2)
        r.setTop(r.bottom() + 1 - h);
    else
        r.setHeight(h);
    setGeometry(r);
}

void TSrcBaseCompletionProposalForm::Resize()
{
    TCustomControl::Resize();
    // A list shows as many lines as its height holds, also after the user sized it.
    const int f = FrameSize();
    if (FDisplayType == SrcCompletionType::ctCode && FLineHeight > 0)
        FNbLinesInWindow = std::max(1, (height() - 2 * f - FTitleHeight) / FLineHeight);
    LayoutScrollBar();
}

void TSrcBaseCompletionProposalForm::LayoutScrollBar()
{
    const int f = FrameSize();
    const int sbw = FScrollBar->sizeHint().width();
    FScrollBar->setGeometry(width() - f - sbw, f + FTitleHeight, sbw, std::max(0, height() - 2 * f - FTitleHeight));
    AdjustScrollBar();
}

void TSrcBaseCompletionProposalForm::DblClick()
{
    TCustomControl::DblClick();
    if (FDisplayType == SrcCompletionType::ctCode && FResizeEdges == 0 && OnAccept)
        OnAccept(Sender(), {}, 0);
}

bool TSrcBaseCompletionProposalForm::DoMouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos)
{
    if (TCustomControl::DoMouseWheel(shift, wheelDelta, mousePos))
        return true;
    if (FDisplayType != SrcCompletionType::ctCode)
        return false;
    const int lines = shift.Contains(ssCtrl) ? FNbLinesInWindow
                                             : std::min(QApplication::wheelScrollLines(), FNbLinesInWindow);
    FWheelRemainder += wheelDelta;
    const int steps = FWheelRemainder / WheelStep;
    FWheelRemainder -= steps * WheelStep;
    if (steps != 0)
        MoveLine(-steps * lines);
    return true;
}

// ---- painting

void TSrcBaseCompletionProposalForm::Paint()
{
    if (FDisplayType == SrcCompletionType::ctCode)
        PaintList();
    else
        PaintTip();
}

void TSrcBaseCompletionProposalForm::PaintFrame()
{
    TCanvas& canvas = Canvas();
    const int f = FrameSize();
    canvas.Brush().SetColor(clBtnFace);
    canvas.FillRect({0, 0, width(), height()});
    if (f == 0)
        return;
    canvas.Pen().SetColor(clBtnHighlight);
    canvas.MoveTo(0, height() - 1);
    canvas.LineTo(0, 0);
    canvas.LineTo(width() - 1, 0);
    canvas.Pen().SetColor(cl3DDkShadow);
    canvas.LineTo(width() - 1, height() - 1);
    canvas.LineTo(-1, height() - 1);
}

void TSrcBaseCompletionProposalForm::PaintList()
{
    TCanvas& canvas = Canvas();
    PaintFrame();
    const int f = FrameSize();
    if (FTitleHeight > 0) {
        const TRect title{f, f, width() - f, f + FTitleHeight};
        canvas.Brush().SetColor(ClTitleBackground);
        canvas.FillRect(title);
        canvas.Pen().SetColor(clBtnShadow);
        canvas.MoveTo(title.Left, title.Bottom - 1);
        canvas.LineTo(title.Right, title.Bottom - 1);
        canvas.Font().Assign(FTitleFont);
        canvas.Brush().SetStyle(TBrushStyle::bsClear);
        int x = title.Left + 2;
        if (TitleIsCentered)
            x = std::max(title.Left + 2, title.Left + (title.Width() - canvas.TextWidth(FTitle)) / 2);
        canvas.TextOut(x, title.Top + 2, FTitle);
        canvas.Brush().SetStyle(TBrushStyle::bsSolid);
    }
    const TRect list = ListRect();
    canvas.Brush().SetColor(ClBackground);
    canvas.FillRect(list);
    canvas.Brush().SetColor(clBtnFace);
    canvas.FrameRect(list);
    canvas.Save();
    canvas.IntersectClipRect(list);
    const int last = std::min(AssignedCount(), FTopLine + FNbLinesInWindow + 1);
    for (int i = FTopLine; i < last; ++i) {
        const TRect line{list.Left, list.Top + (i - FTopLine) * FLineHeight, list.Right,
                         list.Top + (i - FTopLine + 1) * FLineHeight};
        const bool selected = i == FPosition;
        canvas.Font().Assign(FFont);
        if (selected) {
            canvas.Brush().SetColor(ClSelect);
            canvas.FillRect(line);
            canvas.Font().SetColor(ClSelectedText);
        }
        bool custom = false;
        if (OnPaintItem)
            OnPaintItem(Sender(), LogicalIndex(i), canvas, line, custom);
        if (custom)
            continue;
        const std::string text = AssignedText(i);
        if (UsePrettyText) {
            const int top = line.Top + (FLineHeight - canvas.TextHeight("CompletionProposal")) / 2;
            PrettyTextOut(canvas, {line.Left + Margin, top, line.Right, line.Bottom}, text, selected, FImages,
                          &FColumns);
        } else {
            canvas.Brush().SetStyle(TBrushStyle::bsClear);
            canvas.TextOut(line.Left + Margin, line.Top, text);
            canvas.Brush().SetStyle(TBrushStyle::bsSolid);
        }
    }
    canvas.Restore();
}

void TSrcBaseCompletionProposalForm::PaintTip()
{
    TCanvas& canvas = Canvas();
    const TRect all{0, 0, width(), height()};
    canvas.Brush().SetColor(ClBackground);
    canvas.FillRect(all);
    canvas.Pen().SetColor(cl3DLight);
    canvas.MoveTo(0, all.Bottom - 1);
    canvas.LineTo(0, 0);
    canvas.LineTo(all.Right - 1, 0);
    canvas.Pen().SetColor(cl3DDkShadow);
    canvas.LineTo(all.Right - 1, all.Bottom - 1);
    canvas.LineTo(-1, all.Bottom - 1);
    for (int i = 0; i < FItemList.Count(); ++i) {
        const TRect line{Margin + 1, Margin + i * FLineHeight, all.Right - Margin, Margin + (i + 1) * FLineHeight};
        canvas.Font().Assign(FFont);
        bool custom = false;
        if (OnPaintItem)
            OnPaintItem(Sender(), i, canvas, line, custom);
        if (custom)
            continue;
        std::string text = FItemList.Get(i);
        if (FDisplayType == SrcCompletionType::ctParams)
            text = FormatParamList(text, CurrentIndex);
        const int top = line.Top + (FLineHeight - canvas.TextHeight("CompletionProposal")) / 2;
        PrettyTextOut(canvas, {line.Left, top, line.Right, line.Bottom}, text, false, FImages, &FColumns);
    }
}

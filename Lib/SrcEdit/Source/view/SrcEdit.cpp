// The editor control: construction, properties, events, text access and window messages.

#include "SrcEdit/Source/view/SrcEdit.h"

#include "SrcEdit/Source/view/SrcEditScopes.h"

#include <QPaintEvent>
#include <algorithm>
#include <cstring>

TCustomSrcEdit::TCustomSrcEdit(TComponent* AOwner, QWidget* parent)
    : TQtScrollControl<QAbstractScrollArea>(AOwner, parent)
{
    FLines = std::make_unique<TSrcEditStringList>();
    FLines->OnChanging = [this](TObject*) { HandleLinesChanging(); };
    FLines->OnChange = [this](TObject*) { AfterLinesChanged(); };
    FLines->OnCleared = [this](TObject*) { HandleLinesCleared(); };
    FLines->OnLinesDeleted = [this](TObject*, int index, int count) { HandleLinesDeleted(index, count); };
    FLines->OnLinesInserted = [this](TObject*, int index, int count) { HandleLinesInserted(index, count); };
    FLines->OnLinesPut = [this](TObject*, int index, int count) { HandleLinePut(index, count); };

    FUndoList = std::make_unique<TSrcEditUndoList>();
    FRedoList = std::make_unique<TSrcEditUndoList>();
    FUndoList->OnItemAdded = [this](TObject* list) { HandleUndoItemAdded(list); };
    FRedoList->OnItemAdded = [this](TObject* list) { HandleUndoItemAdded(list); };

    FSelectedColor = std::make_unique<TSrcSelectedColor>();
    FSelectedColor->OnChange = [this](TObject*) { HandleSelectedColorChange(); };
    FBookMarkOpt = std::make_unique<TSrcBookMarkOpt>(this);
    FBookMarkOpt->OnChange = [this](TObject*) { HandleBookmarkOptChange(); };
    FGutter = std::make_unique<TSrcGutter>();
    FGutter->OnChange = [this](TObject*) { HandleGutterChange(); };
    FGutterWidth = FGutter->Width();
    FWordWrapGlyph = std::make_unique<TSrcGlyph>("SrcEditWrapped", clLime);
    FWordWrapGlyph->OnChange = [this](TObject*) { HandleWordWrapGlyphChange(); };
    FTextOffset = FGutterWidth + 2;

    SetControlStyle(ControlStyle() + TControlStyle{csOpaque, csSetCaption, csNeedsBorderPaint});
    resize(200, 150);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    // why: the cursor follows the pointer over the selection and the gutter without a button down.
    viewport()->setMouseTracking(true);
    // Text dragged from editors is always taken; dropped files only with eoDropFiles.
    viewport()->setAcceptDrops(true);
    SetColor(clWindow);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled);
    SetCustomPaint(true);

    FFontDummy.SetName("Courier New");
    FFontDummy.SetSize(10);
    FFontDummy.SetCharset(DEFAULT_CHARSET);
    FTextDrawer = std::make_unique<TheTextDrawer>(TFontStyles{}, &FFontDummy);
    FFont.Assign(FFontDummy);
    FFont.OnChange = [this](TObject*) { HandleFontChange(); };

    ApplyBorderStyle();
    FKbdHandler = std::make_unique<TSrcEditKbdHandler>();
    FKeystrokes = std::make_unique<TSrcEditKeyStrokes>(this);
    FMarkList = std::make_unique<TSrcEditMarkList>(this);
    FMarkList->OnChange = [this](TObject*) { HandleMarkListChange(); };
    LoadDefaultKeystrokes();
    FOptions = SrcEditDefaultOptions;
    ConnectScrollBars();
    HandleFontChange();
    SetState(sfHandleAllocated, true);
    RecalcWindowMetrics(true);
}

TCustomSrcEdit::~TCustomSrcEdit()
{
    SetState(sfDestroying, true);
    try {
        SetHighlighter(nullptr);
    } catch (...) {
        // invariant: destructors never throw.
    }
    KillTimer(SrcEditCaretTimer);
    StopAutoScroll();
    HideScrollHint();
    // why: the members below die after this body; nothing may call back into a half-gone editor.
    FLines->OnChanging = nullptr;
    FLines->OnChange = nullptr;
    FLines->OnCleared = nullptr;
    FLines->OnLinesDeleted = nullptr;
    FLines->OnLinesInserted = nullptr;
    FLines->OnLinesPut = nullptr;
    FUndoList->OnItemAdded = nullptr;
    FRedoList->OnItemAdded = nullptr;
    FMarkList->OnChange = nullptr;
    FGutter->OnChange = nullptr;
    FBookMarkOpt->OnChange = nullptr;
    FSelectedColor->OnChange = nullptr;
    FWordWrapGlyph->OnChange = nullptr;
    FFont.OnChange = nullptr;
    FMarkList->ClearAll();
    FWordWrapPlugin.reset();
}

int TCustomSrcEdit::LineLength(int line) const
{
    return static_cast<int>(FLines->Get(line - 1).size());
}

// ---- properties

void TCustomSrcEdit::SetActiveLineColor(TColor value)
{
    if (value == FActiveLineColor)
        return;
    FActiveLineColor = value;
    InvalidateTextRows(FCaret.LineNumber, FCaret.LineNumber);
}

void TCustomSrcEdit::SetBorderStyle(TBorderStyle value)
{
    if (value == FBorderStyle)
        return;
    FBorderStyle = value;
    ApplyBorderStyle();
}

void TCustomSrcEdit::ApplyBorderStyle()
{
    if (FBorderStyle == TBorderStyle::bsSingle) {
        setFrameShape(QFrame::StyledPanel);
        setFrameShadow(QFrame::Sunken);
    } else {
        setFrameShape(QFrame::NoFrame);
    }
}

void TCustomSrcEdit::SetExtraLineSpacing(int value)
{
    if (value == FExtraLineSpacing)
        return;
    FExtraLineSpacing = value;
    HandleFontChange();
}

void TCustomSrcEdit::SetHideSelection(bool value)
{
    if (value == FHideSelection)
        return;
    FHideSelection = value;
    InvalidateSelectionRows();
}

void TCustomSrcEdit::SetInsertCaret(TSrcEditCaretType value)
{
    if (value == FInsertCaret)
        return;
    FInsertCaret = value;
    CreateCaretShape();
}

void TCustomSrcEdit::SetOverwriteCaret(TSrcEditCaretType value)
{
    if (value == FOverwriteCaret)
        return;
    FOverwriteCaret = value;
    CreateCaretShape();
}

void TCustomSrcEdit::SetInsertMode(bool value)
{
    if (value == FInsertMode)
        return;
    FInsertMode = value;
    if (!ComponentState().Contains(csDesigning))
        CreateCaretShape();
    NoteStatusChange(scInsertMode);
}

void TCustomSrcEdit::SetKeystrokes(const TSrcEditKeyStrokes* value)
{
    if (!value)
        FKeystrokes->Clear();
    else
        FKeystrokes->Assign(*value);
}

bool TCustomSrcEdit::WriteKeystrokeDeltas(TStream& stream, const TSrcEditKeyStrokes* reference) const
{
    if (reference)
        return WriteKeystrokeProperties(stream, *FKeystrokes, *reference);
    TSrcEditKeyStrokes defaults;
    defaults.ResetToDefaults();
    return WriteKeystrokeProperties(stream, *FKeystrokes, defaults);
}

void TCustomSrcEdit::SetMaxScrollWidth(int value)
{
    value = std::clamp(value, 1, 2147483646);
    if (value == FMaxScrollWidth)
        return;
    FMaxScrollWidth = value;
    if (FOptions.Contains(eoScrollPastEol))
        RefreshScrollBars();
}

void TCustomSrcEdit::SetMaxUndo(int value)
{
    if (value < 0)
        return;
    FUndoList->SetMaxEntries(value);
    FRedoList->SetMaxEntries(value);
}

void TCustomSrcEdit::SetReadOnly(bool value)
{
    if (value == FReadOnly)
        return;
    FReadOnly = value;
    NoteStatusChange(scReadOnly);
}

void TCustomSrcEdit::SetRightEdge(int value)
{
    if (value == FRightEdge)
        return;
    FRightEdge = value;
    InvalidateClient();
}

void TCustomSrcEdit::SetRightEdgeColor(TColor value)
{
    if (value == FRightEdgeColor)
        return;
    FRightEdgeColor = value;
    if (HandleAllocated()) {
        const int x = FRightEdge * FCharWidth + FTextOffset;
        InvalidateArea(Rect(x - 1, 0, x + 2, ClientHeight()), false);
    }
}

void TCustomSrcEdit::SetScrollBars(TScrollStyle value)
{
    if (value == FScrollBars)
        return;
    FScrollBars = value;
    RefreshScrollBars();
    InvalidateClient();
}

void TCustomSrcEdit::SetSearchEngine(TSrcEditSearchCustom* value)
{
    if (value == FSearchEngine)
        return;
    if (FSearchEngine)
        RemoveFreeNotification(FSearchEngine);
    FSearchEngine = value;
    if (value)
        FreeNotification(value);
}

void TCustomSrcEdit::SetSelectionMode(TSrcSelectionMode value)
{
    if (value == FSelectionMode)
        return;
    FSelectionMode = value;
    SetActiveSelectionMode(value);
}

void TCustomSrcEdit::SetTabWidth(int value)
{
    value = std::clamp(value, 1, 256);
    if (value == FTabWidth)
        return;
    FTabWidth = value;
    FLines->SetTabWidth(value);
    InvalidateClient();
    if (FWordWrapPlugin) {
        FWordWrapPlugin->Rewrap();
        InvalidateWholeGutter();
    }
}

void TCustomSrcEdit::Loaded()
{
    TQtScrollControl<QAbstractScrollArea>::Loaded();
    HandleGutterChange();
    RefreshScrollBars();
}

// ---- text access

std::string TCustomSrcEdit::GetCaretLineText() const
{
    if (FCaret.LineNumber < 1 || FCaret.LineNumber > LineCount())
        return {};
    return LineText(FCaret.LineNumber);
}

void TCustomSrcEdit::SetCaretLineText(const std::string& text)
{
    if (FCaret.LineNumber >= 1 && FCaret.LineNumber <= std::max(1, LineCount()))
        FLines->Put(FCaret.LineNumber - 1, text);
}

TSrcCharSet TCustomSrcEdit::GetIdentifierChars() const
{
    if (FHighlighter)
        return FHighlighter->IdentifierChars();
    return CharRange(33, 255);
}

void TCustomSrcEdit::SetContentModified(bool value)
{
    if (value == FModified)
        return;
    FModified = value;
    if (!value && FOptions.Contains(eoGroupUndo) && FUndoList->HasItems())
        FUndoList->AddGroupBreak();
    FUndoList->SetSavedStateMark(!value);
    NoteStatusChange(scModified);
}

void TCustomSrcEdit::ResetContents()
{
    FLines->Clear();
    FMarkList->ClearAll();
    FUndoList->Clear();
    FRedoList->Clear();
    SetContentModified(false);
}

// ---- option objects

void TCustomSrcEdit::HandleSelectedColorChange()
{
    InvalidateSelectionRows();
}

void TCustomSrcEdit::HandleBookmarkOptChange()
{
    InvalidateWholeGutter();
}

void TCustomSrcEdit::HandleMarkListChange()
{
    // why: a bookmark taken out of the list belongs to whoever took it, who may delete it; the
    // editor must not jump to it, remove it or delete it again later.
    for (TSrcEditMark*& mark : FBookmarks)
        if (mark && !FMarkList->Contains(mark))
            mark = nullptr;
    InvalidateWholeGutter();
}

void TCustomSrcEdit::HandleWordWrapGlyphChange()
{
    if (!ComponentState().Contains(csLoading))
        InvalidateWholeGutter();
}

void TCustomSrcEdit::Notification(TComponent* component, TOperation operation)
{
    TQtScrollControl<QAbstractScrollArea>::Notification(component, operation);
    if (operation != TOperation::opRemove || !component)
        return;
    if (component == FSearchEngine)
        FSearchEngine = nullptr;
    if (component == FHighlighter) {
        // why: the highlighter is already half destroyed; its hook chain must not be touched.
        FHighlighter = nullptr;
        if (!State(sfDestroying))
            HighlighterChanged(nullptr);
    }
    if (component == FBookMarkOpt->BookmarkImages()) {
        FBookMarkOpt->SetBookmarkImages(nullptr);
        InvalidateWholeGutter();
    }
}

// ---- events

void TCustomSrcEdit::FireChange()
{
    if (OnChange)
        OnChange(this);
}

void TCustomSrcEdit::FireClearBookmark(TSrcEditMark*& mark)
{
    if (OnClearBookmark)
        OnClearBookmark(this, mark);
}

void TCustomSrcEdit::FireCommandProcessed(TSrcEditorCommand& command, char32_t& aChar, void* data)
{
    if (OnCommandProcessed)
        OnCommandProcessed(this, command, aChar, data);
}

void TCustomSrcEdit::FirePaint()
{
    if (!OnPaint)
        return;
    Canvas().Font().Assign(FFont);
    Canvas().Brush().SetColor(Color());
    OnPaint(this, Canvas());
}

void TCustomSrcEdit::FirePlaceBookmark(TSrcEditMark*& mark)
{
    if (OnPlaceBookmark)
        OnPlaceBookmark(this, mark);
}

void TCustomSrcEdit::FireProcessCommand(TSrcEditorCommand& command, char32_t& aChar, void* data)
{
    if (command >= ecUserFirst) {
        if (OnProcessUserCommand)
            OnProcessUserCommand(this, command, aChar, data);
    } else if (OnProcessCommand) {
        OnProcessCommand(this, command, aChar, data);
    }
}

TSrcReplaceAction TCustomSrcEdit::FireReplaceText(const std::string& search, const std::string& replace, int line,
                                                  int column)
{
    TSrcReplaceAction action = TSrcReplaceAction::raCancel;
    if (OnReplaceText)
        OnReplaceText(this, search, replace, line, column, action);
    return action;
}

bool TCustomSrcEdit::FireSpecialLineColors(int line, TColor& fg, TColor& bg)
{
    bool special = false;
    if (OnSpecialLineColors)
        OnSpecialLineColors(this, line, special, fg, bg);
    return special;
}

void TCustomSrcEdit::FireStatusChange()
{
    if (!OnStatusChange)
        return;
    const TSrcStatusChanges changes = FStatusChanges;
    FStatusChanges = {};
    OnStatusChange(this, changes);
}

// ---- focus

void TCustomSrcEdit::AddFocusControl(TWinControlCore* control)
{
    if (control && std::find(FFocusList.begin(), FFocusList.end(), control) == FFocusList.end())
        FFocusList.push_back(control);
}

void TCustomSrcEdit::RemoveFocusControl(TWinControlCore* control)
{
    FFocusList.erase(std::remove(FFocusList.begin(), FFocusList.end(), control), FFocusList.end());
}

void TCustomSrcEdit::SetFocus()
{
    if (!FFocusList.empty())
        FFocusList.back()->SetFocus();
    else
        TQtScrollControl<QAbstractScrollArea>::SetFocus();
}

void TCustomSrcEdit::HandleFocusGained()
{
    DispatchCommand(ecFocusGained, 0, nullptr);
    CreateCaretShape();
    if (FHideSelection && HasSelection())
        InvalidateSelectionRows();
}

void TCustomSrcEdit::HandleFocusLost()
{
    // why: a window that takes the focus (a dialog, a menu) takes the mouse with it; the release
    // of the button will not come here, so selecting and auto-scrolling end now.
    if (FMouseCaptured)
        SetMouseCapture(false);
    DispatchCommand(ecFocusLost, 0, nullptr);
    if (!Focused() && !FShowCaretUnfocused) {
        HideCaret();
        if (FHideSelection && HasSelection())
            InvalidateSelectionRows();
    }
}

// ---- messages

void TCustomSrcEdit::WndProc(TMessage& message)
{
    using Base = TQtScrollControl<QAbstractScrollArea>;
    switch (message.Msg) {
    case WM_GETDLGCODE:
        Base::WndProc(message);
        message.Result |= DLGC_WANTARROWS | DLGC_WANTCHARS;
        if (FWantTabs)
            message.Result |= DLGC_WANTTAB;
        if (FWantReturns)
            message.Result |= DLGC_WANTALLKEYS;
        return;
    case WM_GETTEXT: {
        // WParam: the room in the buffer, LParam: the buffer.
        auto* buffer = reinterpret_cast<char*>(message.LParam);
        const auto room = static_cast<size_t>(message.WParam);
        message.Result = 0;
        if (!buffer || room == 0)
            return;
        const std::string text = GetAllText();
        const size_t n = std::min(text.size(), room - 1);
        std::memcpy(buffer, text.data(), n);
        buffer[n] = '\0';
        message.Result = static_cast<LRESULT>(n);
        return;
    }
    case WM_SETTEXT: {
        const auto* text = reinterpret_cast<const char*>(message.LParam);
        message.Result = 0;
        SetAllText(text ? std::string_view(text) : std::string_view());
        message.Result = -1;
        return;
    }
    case WM_COPY:
        CopySelectionToClipboard();
        message.Result = 1;
        return;
    case WM_CUT:
        if (!ReadOnly())
            CutSelectionToClipboard();
        message.Result = 1;
        return;
    case WM_PASTE:
        if (!ReadOnly())
            PasteClipboard();
        message.Result = 1;
        return;
    case WM_CLEAR:
        if (!ReadOnly())
            SetSelectedText({});
        return;
    case WM_UNDO:
        UndoLastChange();
        return;
    case WM_ERASEBKGND:
        message.Result = 1; // painting covers every pixel
        return;
    case WM_SIZE:
        Base::WndProc(message);
        RecalcWindowMetrics(false);
        if (FScrollCaretPending)
            ScrollCaretIntoViewEx(FScrollCaretCentred);
        return;
    case WM_SETFOCUS:
        Base::WndProc(message);
        HandleFocusGained();
        return;
    case WM_KILLFOCUS:
        Base::WndProc(message);
        HandleFocusLost();
        return;
    case WM_IME_COMPOSITION:
        if ((message.LParam & GCS_RESULTSTR) != 0 && message.WParam != 0) {
            // why: the input method delivers its text once, as this committed string; no
            // character messages follow it that would have to be swallowed.
            const std::string text = *reinterpret_cast<const std::string*>(message.WParam);
            if (!text.empty())
                DispatchCommand(ecImeStr, 0, const_cast<char*>(text.c_str()));
        }
        Base::WndProc(message);
        return;
    case WM_SYSCHAR:
        if (message.WParam == VK_BACK && (message.LParam & KF_ALTDOWN_BIT) != 0)
            return;
        Base::WndProc(message);
        return;
    case WM_TIMER:
        if (message.WParam == SrcEditCaretTimer) {
            CaretBlinkTick();
            return;
        }
        if (message.WParam == SrcEditScrollTimer) {
            AutoScrollTick();
            return;
        }
        Base::WndProc(message);
        return;
    case WM_HSCROLL:
    case WM_VSCROLL: {
        const int code = static_cast<int>(message.WParam & 0xFFFF);
        const int position = static_cast<int>(message.WParam >> 16);
        if (message.Msg == WM_HSCROLL)
            HandleHorizontalScroll(code, position);
        else
            HandleVerticalScroll(code, position);
        message.Result = 0;
        return;
    }
    case WM_MOUSEWHEEL:
        HandleMouseWheel(message);
        return;
    case WM_DROPFILES:
        if (message.WParam != 0)
            HandleDropFiles(*reinterpret_cast<const TSrcDroppedFiles*>(message.WParam));
        message.Result = 0;
        return;
    case WM_PAINT: {
        const auto* event = reinterpret_cast<const QPaintEvent*>(message.LParam);
        FPaintRect = event ? TRect::FromQt(event->rect()) : ClientRect();
        Base::WndProc(message);
        return;
    }
    default:
        Base::WndProc(message);
        return;
    }
}

QVariant TCustomSrcEdit::inputMethodQuery(Qt::InputMethodQuery query) const
{
    switch (query) {
    case Qt::ImCursorRectangle: {
        // The composition window stands at the caret.
        const TPoint p = DisplayPointToClient(CaretDisplayPoint());
        QRect r(p.X, p.Y, std::max(FCharWidth, 1), std::max(FLineHeight, 1));
        return QRect(viewport()->mapTo(this, r.topLeft()), r.size());
    }
    case Qt::ImFont:
        return FFont.ToQFont();
    case Qt::ImEnabled:
        return !ReadOnly();
    default:
        return QAbstractScrollArea::inputMethodQuery(query);
    }
}

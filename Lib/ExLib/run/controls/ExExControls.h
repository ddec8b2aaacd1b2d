#pragma once
// The control extension bases: each sits on one platform control class and turns its window
// messages and control notifications into overridable operations with sound defaults, plus a
// hint colour, mouse-enter and mouse-leave events, a parent-colour event and MouseInside.
// A control derived from one of them overrides the operation and calls the inherited one;
// it never handles those messages itself.
//
//   TExExControlCommon<Base>     the operations every base has, and the reduced handler of
//                                the windowless (graphic) base
//   TExExWinControlTemplate<Base> the windowed bases' further operations and full handler
//   TExExWinControl, TExExCustomControl, TExExGraphicControl   the three bases of this unit
//
// "Passes on" in a default means: the same message goes to the base class's own window
// procedure (PerformInherited), never back through this handler. Messages the handler turns
// into operations reach the base class only through those defaults, except WM_SIZE and
// WM_GETDLGCODE, which the base class handles first.

#include "ExLib/run/common/ExLibTypes.h"

#include "Platform/controls/Control.h"
#include "Platform/graphics/PainterState.h"

#include <string>

// The subclassing query: answers 1 when the control's class carries INoSubclassMarker.
constexpr UINT CM_SUBCLASSQUERY = 0xB7D0;

// Marker interface of every extension base; {8E6579C3-D683-4562-AFAB-D23C8526E386}.
class IControlExtension {
public:
    virtual ~IControlExtension() = default;

protected:
    IControlExtension() = default;
    IControlExtension(const IControlExtension&) = default;
    IControlExtension& operator=(const IControlExtension&) = default;
};

// Marker asked for by the subclassing query; {76942BC0-2A6E-4DC4-BFC9-8E110DB7F601}. No class
// of the system carries it.
class INoSubclassMarker {
public:
    virtual ~INoSubclassMarker() = default;

protected:
    INoSubclassMarker() = default;
    INoSubclassMarker(const INoSubclassMarker&) = default;
    INoSubclassMarker& operator=(const INoSubclassMarker&) = default;
};

// The keys a control claims in its WM_GETDLGCODE answer; dgcNative keeps the base's answer.
enum TDialogCode { dgcWantAllKeys, dgcWantArrows, dgcWantChars, dgcButton, dgcHasSetSel, dgcWantTab, dgcNative };
using TDialogCodeSet = TSet<TDialogCode>;

// The six answer bits as flags (other bits are ignored), and back (dgcNative adds nothing).
TDialogCodeSet DialogCodesFromResult(LRESULT result);
LRESULT DialogCodesToResult(TDialogCodeSet codes);

// Key data with 0x08000000 for Shift, 0x10000000 for Ctrl and 0x20000000 for Alt.
LPARAM KeyDataFromShift(TShiftState shift);

// The hint colour rule: clNone takes the application's hint colour; clDefault takes what the
// parent answers to a copy of the record (nothing changes without a parent); any other colour
// is put into the record.
void ApplyHintColor(THintInfo& hintInfo, TWinControlCore* control, TColor color);

template <class TBase>
class TExExControlCommon : public TBase, public IControlExtension {
public:
    explicit TExExControlCommon(TComponent* AOwner, QWidget* parent = nullptr) : TBase(AOwner, parent) {}

    bool MouseInside() const { return FMouseInside; }
    // A design-time marker; never stored, no effect at run time.
    TExLibAboutInfo AboutExLib() const { return TExLibAboutInfo::ExLibAbout; }
    void SetAboutExLib(TExLibAboutInfo) {}

protected:
    TColor HintColor() const { return FHintColor; }
    void SetHintColor(TColor color) { FHintColor = color; }
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;
    TNotifyEvent OnParentColorChange;

    // The base class's own window procedure; every default ends here.
    virtual void BaseWndProc(TMessage& message) { TBase::WndProc(message); }

    LRESULT PerformInherited(UINT msg, WPARAM wParam, LPARAM lParam)
    {
        TMessage m{msg, wParam, lParam, 0};
        BaseWndProc(m);
        return m.Result;
    }

    // The reduced handler of the windowless base; the windowed bases extend it.
    void WndProc(TMessage& message) override
    {
        if (!HandleCommon(message))
            BaseWndProc(message);
    }

    virtual void TextChanged() { PerformInherited(CM_TEXTCHANGED, 0, 0); }
    virtual bool DialogChar(char32_t key, TShiftState shift, const std::u32string& keyText)
    {
        (void)keyText;
        return PerformInherited(CM_DIALOGCHAR, key, KeyDataFromShift(shift)) != 0;
    }
    virtual bool HitTest(int x, int y) { return PerformInherited(CM_HITTEST, 0, MakeLParam(x, y)) != 0; }

    virtual void FocusChanged(TWinControlCore* control)
    {
        PerformInherited(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(control));
    }
    virtual void VisibleChanged() { PerformInherited(CM_VISIBLECHANGED, 0, 0); }
    virtual void EnabledChanged() { PerformInherited(CM_ENABLEDCHANGED, 0, 0); }
    virtual void ColorChanged() { PerformInherited(CM_COLORCHANGED, 0, 0); }
    virtual void FontChanged() { PerformInherited(CM_FONTCHANGED, 0, 0); }
    virtual void ParentFontChanged() { PerformInherited(CM_PARENTFONTCHANGED, 0, 0); }
    virtual void ParentColorChanged()
    {
        PerformInherited(CM_PARENTCOLORCHANGED, 0, 0);
        if (OnParentColorChange)
            OnParentColorChange(this);
    }
    virtual void ParentShowHintChanged() { PerformInherited(CM_PARENTSHOWHINTCHANGED, 0, 0); }
    // True cancels the hint.
    virtual bool HintShow(THintInfo& hintInfo)
    {
        ApplyHintColor(hintInfo, this, FHintColor);
        return PerformInherited(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&hintInfo)) != 0;
    }
    virtual void MouseEnter(TWinControlCore* control)
    {
        FMouseInside = true;
        if (OnMouseEnter)
            OnMouseEnter(this);
        PerformInherited(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(control));
    }
    virtual void MouseLeave(TWinControlCore* control)
    {
        FMouseInside = false;
        PerformInherited(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(control));
        if (OnMouseLeave)
            OnMouseLeave(this);
    }

    // The rows both kinds of base handle; false for every other message.
    bool HandleCommon(TMessage& m)
    {
        switch (m.Msg) {
        case CM_DIALOGCHAR: {
            const auto key = static_cast<char32_t>(m.WParam);
            TShiftState shift = CurrentShiftState() * TShiftState{ssShift, ssCtrl};
            if (m.LParam & KF_ALTDOWN_BIT)
                shift.Include(ssAlt);
            m.Result = DialogChar(key, shift, std::u32string(1, key)) ? 1 : 0;
            return true;
        }
        case CM_FOCUSCHANGED: FocusChanged(reinterpret_cast<TWinControlCore*>(m.LParam)); return true;
        case CM_PARENTFONTCHANGED: ParentFontChanged(); return true;
        case CM_PARENTCOLORCHANGED: ParentColorChanged(); return true;
        case CM_HITTEST: m.Result = HitTest(LowWordSigned(m.LParam), HighWordSigned(m.LParam)) ? 1 : 0; return true;
        case CM_VISIBLECHANGED: VisibleChanged(); return true;
        case CM_ENABLEDCHANGED: EnabledChanged(); return true;
        case CM_COLORCHANGED: ColorChanged(); return true;
        case CM_FONTCHANGED: FontChanged(); return true;
        case CM_TEXTCHANGED: TextChanged(); return true;
        case CM_MOUSEENTER: MouseEnter(reinterpret_cast<TWinControlCore*>(m.LParam)); return true;
        case CM_MOUSELEAVE: MouseLeave(reinterpret_cast<TWinControlCore*>(m.LParam)); return true;
        case CM_PARENTSHOWHINTCHANGED: ParentShowHintChanged(); return true;
        case CM_HINTSHOW: m.Result = HintShow(*reinterpret_cast<THintInfo*>(m.LParam)) ? 1 : 0; return true;
        case CM_SUBCLASSQUERY: m.Result = dynamic_cast<INoSubclassMarker*>(this) ? 1 : 0; return true;
        default: return false;
        }
    }

private:
    TColor FHintColor = clDefault;
    bool FMouseInside = false;
};

template <class TBase>
class TExExWinControlTemplate : public TExExControlCommon<TBase> {
public:
    using TExExControlCommon<TBase>::TExExControlCommon;

protected:
    using TExExControlCommon<TBase>::PerformInherited;

    virtual void Resized() {}
    virtual void AdjustDialogCodes(TDialogCodeSet& codes) { (void)codes; }
    virtual void FocusReceived(QWidget* previousWindow)
    {
        PerformInherited(WM_SETFOCUS, reinterpret_cast<WPARAM>(previousWindow), 0);
    }
    virtual void FocusLost(QWidget* nextWindow) { PerformInherited(WM_KILLFOCUS, reinterpret_cast<WPARAM>(nextWindow), 0); }
    // True reports the background as erased.
    virtual bool EraseBackground(TCanvas& canvas, LPARAM param)
    {
        return PerformInherited(WM_ERASEBKGND, reinterpret_cast<WPARAM>(canvas.Handle()), param) != 0;
    }

    virtual void CursorChanged() { PerformInherited(CM_CURSORCHANGED, 0, 0); }
    virtual void ShowingChanged() { PerformInherited(CM_SHOWINGCHANGED, 0, 0); }
    virtual void ShowHintChanged() { PerformInherited(CM_SHOWHINTCHANGED, 0, 0); }
    virtual void ChildListChanging(TWinControlCore* control, bool inserting)
    {
        PerformInherited(inserting ? CM_CONTROLLISTCHANGE : CM_CONTROLCHANGE, reinterpret_cast<WPARAM>(control),
                         inserting ? 1 : 0);
    }
    virtual void ChildListChanged(TWinControlCore* control, bool inserting)
    {
        PerformInherited(inserting ? CM_CONTROLCHANGE : CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(control),
                         inserting ? 1 : 0);
    }

    void WndProc(TMessage& m) override
    {
        switch (m.Msg) {
        case WM_SIZE:
            this->BaseWndProc(m);
            Resized();
            return;
        case WM_SETFOCUS: FocusReceived(reinterpret_cast<QWidget*>(m.WParam)); return;
        case WM_KILLFOCUS: FocusLost(reinterpret_cast<QWidget*>(m.WParam)); return;
        case WM_ERASEBKGND: m.Result = EraseOnPainter(reinterpret_cast<QPainter*>(m.WParam), m.LParam) ? 1 : 0; return;
        case WM_GETDLGCODE: {
            this->BaseWndProc(m);
            TDialogCodeSet codes = DialogCodesFromResult(m.Result) + TDialogCodeSet{dgcNative};
            AdjustDialogCodes(codes);
            if (!codes.Contains(dgcNative))
                m.Result = DialogCodesToResult(codes);
            return;
        }
        case WM_PRINT:
        case WM_PRINTCLIENT: {
            const TPainterStateGuard state(reinterpret_cast<QPainter*>(m.WParam));
            this->BaseWndProc(m);
            return;
        }
        case CM_CURSORCHANGED: CursorChanged(); return;
        case CM_SHOWINGCHANGED: ShowingChanged(); return;
        case CM_SHOWHINTCHANGED: ShowHintChanged(); return;
        case CM_CONTROLLISTCHANGE:
            if (m.LParam != 0)
                ChildListChanging(reinterpret_cast<TWinControlCore*>(m.WParam), true);
            else
                ChildListChanged(reinterpret_cast<TWinControlCore*>(m.WParam), false);
            return;
        case CM_CONTROLCHANGE:
            if (m.LParam != 0)
                ChildListChanged(reinterpret_cast<TWinControlCore*>(m.WParam), true);
            else
                ChildListChanging(reinterpret_cast<TWinControlCore*>(m.WParam), false);
            return;
        default:
            if (!this->HandleCommon(m))
                this->BaseWndProc(m);
        }
    }

private:
    bool EraseOnPainter(QPainter* painter, LPARAM param)
    {
        const TPainterStateGuard state(painter);
        TCanvas canvas(painter);
        // invariant: the temporary canvas never keeps the painter beyond this call.
        struct Detach {
            TCanvas& Canvas;
            ~Detach() { Canvas.SetHandle(nullptr); }
        } detach{canvas};
        return EraseBackground(canvas, param);
    }
};

class TExExWinControl : public TExExWinControlTemplate<TWinControl> {
public:
    using TExExWinControlTemplate<TWinControl>::TExExWinControlTemplate;
};

class TExExCustomControl : public TExExWinControlTemplate<TCustomControl> {
public:
    using TExExWinControlTemplate<TCustomControl>::TExExWinControlTemplate;
};

class TExExGraphicControl : public TExExControlCommon<TGraphicControl> {
public:
    using TExExControlCommon<TGraphicControl>::TExExControlCommon;
};

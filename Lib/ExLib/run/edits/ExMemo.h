#pragma once
// TExMemo: the multi-line edit with a line limit, a caret that can be hidden so that the memo
// becomes a scroll-only viewer, a caret shape of its own, hot tracking, transparency, scroll
// events and clipboard commands.

#include "ExLib/run/controls/ExExStdCtrls.h"
#include "ExLib/run/edits/ExCaret.h"

#include <QTimer>
#include <memory>

class TExCustomMemo : public TExExCustomMemo, public ICaretHost {
public:
    explicit TExCustomMemo(TComponent* AOwner, QWidget* parent = nullptr);
    ~TExCustomMemo() override;

    // Copies the lines into the memo and, while a limit is set, into the full text too.
    void SetLines(const TStrings& lines);
    int MaxLines() const { return FMaxLines; }
    // Going back to 0 keeps the text as it is now, edits made under the limit included.
    void SetMaxLines(int value);
    bool HideCaret() const { return FHideCaret; }
    void SetHideCaret(bool value);
    bool HotTrack() const { return FHotTrack; }
    void SetHotTrack(bool value);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool value);
    TExCaret& Caret() { return *FCaret; }
    void SetCaret(const TExCaret& caret) { FCaret->Assign(caret); }
    // The text as it was when the limit was set, with lines given through SetLines since.
    const TStrings& FullText() const { return FFullText; }

    // Only copying left makes the memo read-only.
    void SetClipboardCommands(TExClipboardCommands value) override;

    // The caret line (from 0).
    int CaretLine() const;
    // Flat while hot tracking is on and the mouse is elsewhere.
    bool LooksFlat() const;

    TNotifyEvent OnHorizontalScroll;
    TNotifyEvent OnVerticalScroll;

    void ShowCaretShape(const TExCaret& caret) override;
    void HideCaretShape() override;

protected:
    void Change() override;
    void KeyDown(WORD& key, TShiftState shift) override;
    void KeyPress(char32_t& key) override;
    void WndProc(TMessage& message) override;
    void FocusReceived(QWidget* previousWindow) override;
    void FocusLost(QWidget* nextWindow) override;
    void MouseEnter(TWinControlCore* control) override;
    void MouseLeave(TWinControlCore* control) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void ApplyLimit();
    void ApplyLook(bool flat);
    bool HandleHiddenCaret(TMessage& message);

    TStringList FFullText;
    int FMaxLines = 0;
    bool FHideCaret = false;
    bool FHotTrack = false;
    bool FTransparent = false;
    bool FLimiting = false;
    bool FOwnCaret = false;
    bool FCaretOn = false;
    int FQtCursorWidth = 1;
    std::unique_ptr<TExCaret> FCaret;
    QTimer FBlink;
    QMetaObject::Connection FScrollConnections[2];
};

class TExMemo : public TExCustomMemo {
public:
    using TExCustomMemo::TExCustomMemo;
    using TExCustomMemo::HintColor;
    using TExCustomMemo::OnMouseEnter;
    using TExCustomMemo::OnMouseLeave;
    using TExCustomMemo::OnParentColorChange;
    using TExCustomMemo::SetHintColor;
};

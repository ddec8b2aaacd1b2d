#pragma once
// The class library's form: a top-level window whose Text is its caption. Keys that the focused
// control does not want reach the form as CM_DIALOGKEY, Alt accelerators as CM_DIALOGCHAR, and
// it hears CM_FOCUSCHANGED whenever one of its controls receives the focus. Every form is in
// the platform's form list (FormList.h) from its construction to its destruction.

#include "Platform/controls/Control.h"

class TCustomForm : public TQtControl<QWidget> {
public:
    explicit TCustomForm(TComponent* AOwner, QWidget* parent = nullptr);
    ~TCustomForm() override;

    const std::string& Caption() const { return Text(); }
    void SetCaption(const std::string& caption) { SetText(caption); }
    bool IsForm() const override { return true; }
    void Close() { close(); }
};

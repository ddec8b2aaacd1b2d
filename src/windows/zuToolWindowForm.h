#pragma once
// A tool window of the IDE: a form with a dock client on the main window's dock style, so that
// it docks at the main window's edges, joins other tool windows, floats, auto-hides, and is
// shown wherever the layout put it (ShowDockableForm).

#include "ExLib/run/controls/ExComponent.h"

#include <string>

class TExDockBasicStyle;
class TExDockClient;
class QVBoxLayout;

class TToolWindowForm : public TExForm {
public:
    // `name` is the form's component name, by which the dock layout finds it again.
    TToolWindowForm(const std::string& name, const std::string& caption, TExDockBasicStyle* style);
    ~TToolWindowForm() override;

    TExDockClient* DockClient() const { return FDockClient; }

protected:
    // A borderless panel filling the form, and its vertical layout without margins, to which
    // the window's controls are added (the layout's parent widget is the panel).
    QVBoxLayout* MakeClientLayout();

private:
    TExDockClient* FDockClient;
};

#pragma once
// Commands as the class library keeps them: TAction is a QAction with a component-style name,
// a caption, a shortcut code of the key map and an execute handler; TActionList finds actions
// by name in the order they were added. Menu items and tool buttons show the actions themselves.

#include "Platform/core/Component.h"
#include "Platform/controls/Keys.h"

#include <QAction>

#include <string>
#include <vector>

class TAction : public QAction, public TObject {
public:
    // The caption uses "&" for the access key and "&&" for a literal "&", as Qt does.
    TAction(std::string name, const std::string& caption, TShortCut shortCut, QObject* parent);

    const std::string& Name() const { return FName; }
    std::string Caption() const;
    void SetCaption(const std::string& caption);
    TShortCut ShortCut() const { return FShortCut; }
    // 0 removes the shortcut.
    void SetShortCut(TShortCut shortCut);
    bool Enabled() const { return isEnabled(); }
    void SetEnabled(bool enabled) { setEnabled(enabled); }
    // Setting a check mark makes the action checkable.
    bool Checked() const { return isChecked(); }
    void SetChecked(bool checked);

    // Runs OnExecute when the action is enabled and has one; true when it ran. Exceptions of the
    // handler reach the caller; a trigger from a menu, button or key hands them to the
    // application's handler instead, so none crosses into Qt.
    bool Execute();

    TNotifyEvent OnExecute;

private:
    std::string FName;
    TShortCut FShortCut = scNone;
};

class TActionList {
public:
    // The list keeps the order; the actions belong to their Qt parent.
    void Add(TAction* action) { FActions.push_back(action); }
    int Count() const { return static_cast<int>(FActions.size()); }
    TAction* Items(int index) const { return FActions.at(static_cast<size_t>(index)); }
    // Null when no action has that name (names compare without letter case).
    TAction* Find(const std::string& name) const;
    const std::vector<TAction*>& Actions() const { return FActions; }

private:
    std::vector<TAction*> FActions;
};

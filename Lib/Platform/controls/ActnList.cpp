#include "Platform/controls/ActnList.h"

#include "Platform/core/Application.h"
#include "Platform/core/QtBridge.h"
#include "Platform/text/TextUtils.h"

TAction::TAction(std::string name, const std::string& caption, TShortCut shortCut, QObject* parent)
    : QAction(parent), FName(std::move(name))
{
    setObjectName(QStr(FName));
    SetCaption(caption);
    SetShortCut(shortCut);
    connect(this, &QAction::triggered, this, [this] {
        try {
            Execute();
        } catch (...) {
            HandleCurrentException();
        }
    });
}

std::string TAction::Caption() const
{
    return StdStr(text());
}

void TAction::SetCaption(const std::string& caption)
{
    setText(QStr(caption));
}

void TAction::SetShortCut(TShortCut shortCut)
{
    FShortCut = shortCut;
    setShortcut(shortCut == scNone ? QKeySequence() : ShortCutToKeySequence(shortCut));
}

void TAction::SetChecked(bool checked)
{
    setCheckable(true);
    setChecked(checked);
}

bool TAction::Execute()
{
    if (!isEnabled() || !OnExecute)
        return false;
    OnExecute(this);
    return true;
}

TAction* TActionList::Find(const std::string& name) const
{
    for (TAction* action : FActions)
        if (SameText(action->Name(), name))
            return action;
    return nullptr;
}

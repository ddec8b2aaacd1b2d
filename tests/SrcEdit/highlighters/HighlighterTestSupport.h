#pragma once
// Small helpers the highlighter tests share: a listener of a highlighter's change notices and
// the names of its attributes in list order.

#include "SrcEdit/Source/highlighters/SrcEditHighlighter.h"

#include <string>
#include <vector>

struct ChangeListener : TObject {
    void Changed(TObject* sender) { Senders.push_back(sender); }
    TSrcNotifyMethod Method() { return MakeMethod(this, &ChangeListener::Changed); }
    std::vector<TObject*> Senders;
};

inline std::vector<std::string> AttributeNames(const TSrcCustomHighlighter& h)
{
    std::vector<std::string> names;
    for (int i = 0; i < h.AttriCount(); ++i)
        names.push_back(h.AttriByIndex(i)->Name());
    return names;
}

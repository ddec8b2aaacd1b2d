#pragma once
// The memo, combo-box and list-box extension bases. The memo filters its clipboard commands.

#include "ExLib/run/controls/ExExClipboardFilter.h"

#include "Platform/controls/StdCtrls.h"

class TExExCustomMemo : public TExExClipboardFilter<TCustomMemo> {
public:
    using TExExClipboardFilter<TCustomMemo>::TExExClipboardFilter;
};

class TExExCustomComboBox : public TExExWinControlTemplate<TCustomComboBox> {
public:
    using TExExWinControlTemplate<TCustomComboBox>::TExExWinControlTemplate;
};

class TExExCustomListBox : public TExExWinControlTemplate<TCustomListBox> {
public:
    using TExExWinControlTemplate<TCustomListBox>::TExExWinControlTemplate;
};

#pragma once
// The output window: a plain list of lines that a command fills as it prints them (the syntax
// check's messages).

#include "windows/zuToolWindowForm.h"

class TExTextListBox;

class TOutputForm : public TToolWindowForm {
public:
    explicit TOutputForm(TExDockBasicStyle* style);

    TExTextListBox* OutputEdit;
};

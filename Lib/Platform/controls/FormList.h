#pragma once
// The platform's list of forms (the screen's custom forms): every form of the program from its
// construction to its destruction, in the order the forms were made.

#include <vector>

class TCustomForm;

int CustomFormCount();
// Index 0 is the oldest form; EListError for an index out of range.
TCustomForm* CustomForms(int index);
// A copy of the list, safe to walk while forms come and go.
std::vector<TCustomForm*> CustomFormList();

// Called by the form itself.
void RegisterCustomForm(TCustomForm* form);
void UnregisterCustomForm(TCustomForm* form);

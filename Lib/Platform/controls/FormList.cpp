#include "Platform/controls/FormList.h"

#include "Platform/core/Exceptions.h"
#include "Platform/text/Format.h"

#include <algorithm>

namespace {

// invariant: holds each living form once, oldest first.
std::vector<TCustomForm*>& Forms()
{
    static std::vector<TCustomForm*> forms;
    return forms;
}

} // namespace

int CustomFormCount()
{
    return static_cast<int>(Forms().size());
}

TCustomForm* CustomForms(int index)
{
    if (index < 0 || index >= CustomFormCount())
        throw EListError(Format("List index out of bounds (%d)", {index}));
    return Forms()[static_cast<size_t>(index)];
}

std::vector<TCustomForm*> CustomFormList()
{
    return Forms();
}

void RegisterCustomForm(TCustomForm* form)
{
    auto& forms = Forms();
    if (std::find(forms.begin(), forms.end(), form) == forms.end())
        forms.push_back(form);
}

void UnregisterCustomForm(TCustomForm* form)
{
    auto& forms = Forms();
    forms.erase(std::remove(forms.begin(), forms.end(), form), forms.end());
}

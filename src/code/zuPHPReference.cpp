#include "code/zuPHPReference.h"

#include "Platform/core/Exceptions.h"
#include "Platform/text/Format.h"
#include "Platform/text/TextUtils.h"

TPHP* TPHPList::Items(int index) const
{
    if (index < 0 || index >= Count())
        throw EListError(Format("List index out of bounds (%d)", {index}));
    return FItems[static_cast<size_t>(index)].get();
}

int TPHPList::Add(std::unique_ptr<TPHP> item)
{
    FItems.push_back(std::move(item));
    return Count() - 1;
}

TPHP* TPHPList::FindByName(const TPHP& item) const
{
    for (const auto& candidate : FItems)
        if (candidate->Name == item.Name)
            return candidate.get();
    return nullptr;
}

std::string TPHPParameterList::Text() const
{
    std::string text;
    for (int i = 0; i < Count(); ++i) {
        const TPHPParameter* parameter = Items(i);
        if (i > 0)
            text += ", ";
        text += parameter->Name;
        if (!parameter->DefaultValue.empty())
            text += " = " + parameter->DefaultValue;
    }
    return text;
}

TPHPFunction::TPHPFunction(std::string name, std::string_view parameterText) : TPHPCaret(std::move(name))
{
    std::string namePart;
    std::string valuePart;
    bool inValue = false;
    bool quoted = false;
    // why: commas and "=" inside brackets belong to a default such as array(1, 2) or ['a' => 1].
    int nesting = 0;
    const auto addParameter = [&] {
        Params.Add(std::make_unique<TPHPParameter>(Trim(namePart), Trim(valuePart)));
        namePart.clear();
        valuePart.clear();
        inValue = false;
    };
    for (const char c : parameterText) {
        if (c == '\0') {
            quoted = !quoted;
            continue;
        }
        if (!quoted && nesting == 0) {
            if (c == ',') {
                addParameter();
                continue;
            }
            if (c == '=') {
                inValue = true;
                continue;
            }
        }
        if (!quoted) {
            if (c == '(' || c == '[')
                ++nesting;
            else if ((c == ')' || c == ']') && nesting > 0)
                --nesting;
        }
        (inValue ? valuePart : namePart) += c;
    }
    if (!namePart.empty())
        addParameter();
}

TPHPInclude::TPHPInclude(std::string_view text, std::string_view keyword) : TPHPCaret(Trim(text))
{
    const auto unwrap = [this](char first, char last) {
        // A lone quote is its own first and last character and unwraps to nothing.
        if (!Name.empty() && Name.front() == first && Name.back() == last)
            Name = Name.size() < 2 ? std::string() : Name.substr(1, Name.size() - 2);
    };
    unwrap('(', ')');
    unwrap('"', '"');
    unwrap('\'', '\'');
    if (keyword == "include_once")
        Kind = ikIncludeOnce;
    else if (keyword == "require")
        Kind = ikRequire;
    else if (keyword == "require_once")
        Kind = ikRequireOnce;
}

#pragma once
// The code model: what the scanner found in one PHP document (classes, functions, member
// variables and include statements), each with the place where it starts. Plain data: nothing
// here knows about the editor, the tree or threads.
//
// Ownership: a list owns its items. A page is shared (std::shared_ptr) between its document and
// whoever still shows it, so a replaced page lives exactly as long as a tree still points into
// it and is freed after that.

#include "Platform/core/Types.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class TPHP {
public:
    explicit TPHP(std::string name) : Name(std::move(name)) {}
    virtual ~TPHP() = default;
    TPHP(const TPHP&) = delete;
    TPHP& operator=(const TPHP&) = delete;

    std::string Name;
};

// An item with a place: Line is 1-based, Column a 1-based byte index into that line.
class TPHPCaret : public TPHP {
public:
    using TPHP::TPHP;
    std::int32_t Column = 0;
    std::int32_t Line = 0;
    // True while the item's node in the code tree is expanded; written on the GUI thread only.
    bool Expanded = false;
};

class TPHPParameter : public TPHP {
public:
    TPHPParameter(std::string name, std::string defaultValue) : TPHP(std::move(name)), DefaultValue(std::move(defaultValue)) {}
    // The text after "=", empty when there is none.
    std::string DefaultValue;
};

class TPHPList {
public:
    TPHPList() = default;
    virtual ~TPHPList() = default;
    TPHPList(const TPHPList&) = delete;
    TPHPList& operator=(const TPHPList&) = delete;

    int Count() const { return static_cast<int>(FItems.size()); }
    // Raises EListError "List index out of bounds (%d)" outside 0 to Count - 1.
    TPHP* Items(int index) const;
    // Takes the item; returns its index.
    int Add(std::unique_ptr<TPHP> item);
    // The first item whose Name equals the given item's Name exactly; null when none.
    TPHP* FindByName(const TPHP& item) const;

private:
    std::vector<std::unique_ptr<TPHP>> FItems;
};

class TPHPParameterList : public TPHPList {
public:
    TPHPParameter* Items(int index) const { return static_cast<TPHPParameter*>(TPHPList::Items(index)); }
    int Add(std::unique_ptr<TPHPParameter> item) { return TPHPList::Add(std::move(item)); }
    // "$a, $b = 1": each name, with " = " and its default when it has one, joined by ", ".
    std::string Text() const;
};

class TPHPPage : public TPHPList {
public:
    // The code tree's scroll offset saved for this document (both values 0 or negative).
    TPoint ScrollOffset;
};

using TPHPPageRef = std::shared_ptr<TPHPPage>;

class TPHPClass : public TPHPCaret {
public:
    TPHPClass(std::string name, std::string parentName) : TPHPCaret(std::move(name)), ParentName(std::move(parentName)) {}
    // The name after "extends"; empty when none.
    std::string ParentName;
    TPHPList Members;
};

class TPHPFunction : public TPHPCaret {
public:
    // Splits the parameter text, in which each complete string literal is wrapped in NULs.
    TPHPFunction(std::string name, std::string_view parameterText);
    TPHPParameterList Params;
};

// A member variable declared with "var"; Name is "$name" or "$name = " + the default's text.
class TPHPVar : public TPHPCaret {
public:
    using TPHPCaret::TPHPCaret;
};

class TPHPInclude : public TPHPCaret {
public:
    enum TKind : std::uint8_t { ikInclude = 0, ikIncludeOnce = 1, ikRequire = 2, ikRequireOnce = 3 };
    // Name is the text unwrapped of one pair of parentheses, then of double, then of single
    // quotes; Kind follows the keyword ("include" for an unknown one).
    TPHPInclude(std::string_view text, std::string_view keyword);
    std::uint8_t Kind = ikInclude;
};

#pragma once
// The search-engine interface that the plain and the regular-expression engines implement and
// the editor's search and replace drives, one line at a time.

#include "Platform/core/Component.h"
#include "Platform/core/Set.h"

#include <string>

// One byte of flags; engines look only at sfMatchCase and sfWholeWord.
enum TSrcEditSearchFlag {
    sfMatchCase, sfWholeWord, sfBackwards, sfWholeScope, sfSelectionOnly, sfReplace, sfReplaceAll, sfPromptReplace
};
using TSrcEditSearchFlags = TSet<TSrcEditSearchFlag>;

class TSrcEditSearchCustom : public TComponent {
public:
    using TComponent::TComponent;

    virtual std::string ReadPattern() const = 0;
    virtual void AssignPattern(const std::string& text) = 0;
    // Length and 1-based character position of match Index of the last FindAllInLine.
    virtual int MatchLength(int index) const = 0;
    virtual int MatchPosition(int index) const = 0;
    virtual int MatchCount() const = 0;
    virtual void ApplyOptions(TSrcEditSearchFlags options) = 0;
    // Finds every match in Line and keeps them for the three operations above; the count.
    virtual int FindAllInLine(const std::string& line) = 0;
    virtual std::string ReplacementFor(const std::string& foundText, const std::string& replaceText) = 0;
};

#pragma once
// The highlighter interface: TSrcCustomHighlighter cuts one line at a time into tokens with a
// kind and an attribute, and carries its state from line to line in one 32-bit range value that
// the caller stores per line. Also the class references of highlighters and their registry.

#include "SrcEdit/Source/highlighters/SrcEditHighlighterAttributes.h"
#include "SrcEdit/Source/commands/SrcEditMethodChain.h"
#include "SrcEdit/Source/highlighters/SrcEditRegistry.h"
#include "SrcEdit/Source/text/SrcEditTypes.h"

#include "Platform/core/Component.h"
#include "Platform/text/Strings.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// A highlighter's state between lines: opaque outside the highlighter, compared by value.
using TSrcRange = std::uint32_t;

TSrcCharSet CharSetOf(std::string_view chars);
TSrcCharSet CharRange(unsigned char first, unsigned char last);

// The roles by which callers ask a highlighter for an attribute (RoleAttri).
enum TAttriRole : int { arComment = 0, arIdentifier = 1, arKeyword = 2, arString = 3, arWhitespace = 4, arSymbol = 5 };

// A reference to a highlighter class: what its class-level operations answer. Every concrete
// highlighter has one (a static object) whose Parent is the class it derives from.
struct TSrcHighlighterClass {
    const char* ClassName;
    const TSrcHighlighterClass* Parent;
    std::string (*LanguageTitle)();
    unsigned (*FeatureFlags)();

    // True for this class and every class derived from `ancestor`.
    bool InheritsFrom(const TSrcHighlighterClass& ancestor) const;
};

class TSrcCustomHighlighter : public TComponent {
public:
    explicit TSrcCustomHighlighter(TComponent* AOwner);
    ~TSrcCustomHighlighter() override;

    // The class of the base: LanguageTitle "<Unknown>", FeatureFlags with only bit 1 set.
    static const TSrcHighlighterClass& StaticClass();
    // The class reference of this instance's class.
    virtual const TSrcHighlighterClass& HighlighterClass() const;
    std::string GetLanguageTitle() const { return HighlighterClass().LanguageTitle(); }

    // Attributes, sorted by name without letter case.
    virtual int AttriCount() const;
    // Null for an index outside 0..AttriCount-1.
    virtual TSrcHighlighterAttributes* AttriByIndex(int index) const;
    // Null for a role the highlighter lacks.
    virtual TSrcHighlighterAttributes* RoleAttri(int role) const = 0;

    // "Description|*.ext1;*.ext2"; empty in the base.
    virtual std::string DefaultFilter() const;
    virtual void SetDefaultFilter(const std::string& value);
    // Whether a form stream keeps DefaultFilter.
    virtual bool IsFilterStored() const;
    // Characters that form words for the editor (#33 to #255 in the base).
    virtual TSrcCharSet IdentifierChars() const;
    virtual std::string SampleText() const;
    virtual void SetSampleText(const std::string& value);
    const TSrcCharSet& WordBreakChars() const { return FWordBreakChars; }
    virtual void SetWordDelimiters(const TSrcCharSet& value);

    // Token protocol for one line: set the entering state (ClearRange or RestoreRange), then
    // StartLine, then read the current token and AdvanceToken while AtLineEnd is false; then
    // CurrentRange is the state to store for the line. The highlighter keeps a view of the line
    // text, which the caller keeps unchanged until the last token has been read.
    virtual bool AtLineEnd() const = 0;
    virtual TSrcRange CurrentRange() const;
    virtual std::string TokenText() const = 0;
    // Null: the token is drawn with the editor's own colours and style.
    virtual TSrcHighlighterAttributes* TokenAttri() const = 0;
    virtual int TokenKindCode() const = 0;
    // 0-based offset of the current token in the line.
    virtual int TokenStart() const = 0;
    virtual bool IsReservedWord(const std::string& word) const;
    virtual void AdvanceToken() = 0;
    virtual void StartLine(std::string_view lineText, int lineNumber) = 0;
    virtual void RestoreRange(TSrcRange range);
    virtual void ClearRange();
    // Calls AdvanceToken until AtLineEnd: the way to the range state at the end of a line.
    void SkipToLineEnd();

    virtual bool ApplyUserSettings(int settingIndex);
    virtual void ListUserSettings(TStrings& settings);
    // Every attribute under key\<attribute name>; false when the key cannot be opened or an
    // attribute fails.
    virtual bool ReadFromRegistry(TSrcRegistry& root, const std::string& key);
    virtual bool WriteToRegistry(TSrcRegistry& root, const std::string& key);

    bool Enabled() const { return FEnabled; }
    // A change is reported through NotifyAttriChange(null).
    void SetEnabled(bool value);

    // Listeners of attribute and highlighter changes, called in the order they were added.
    void AddAttriChangeHook(const TSrcNotifyMethod& listener);
    void RemoveAttriChangeHook(const TSrcNotifyMethod& listener);
    // Tells every listener, with `sender` as their Sender; nothing while loading.
    void NotifyAttriChange(TObject* sender);

    void Loaded() override;
    // From another highlighter: attributes by exact name, the sample text when the source is of
    // this class or derived from it, the word-break set, DefaultFilter and Enabled.
    void Assign(const TPersistent& source) override;

protected:
    // The class reference of a highlighter derived from this one: its own name and language title,
    // the base's feature flags.
    static TSrcHighlighterClass LanguageClass(const char* className, std::string (*languageTitle)());
    // Takes the attribute into the sorted list; a second attribute of the same name raises
    // EListError "String list does not allow duplicates".
    TSrcHighlighterAttributes* AddAttri(std::unique_ptr<TSrcHighlighterAttributes> attribute);
    // For constructors, after the attributes exist: binds their changes to NotifyAttriChange and
    // makes their current values the defaults.
    void BindAttributeChanges();

private:
    TStringList FAttributes;
    TSrcNotifyEventChain FAttrChangeHooks;
    bool FEnabled = true;
    TSrcCharSet FWordBreakChars;
    std::string FDefaultFilter;
};

// The registry of highlighter classes: class references without duplicates, in the order they
// were registered.
class TSrcHighlighterList {
public:
    int Count() const { return static_cast<int>(FClasses.size()); }
    const TSrcHighlighterClass& Items(int index) const { return *FClasses.at(static_cast<size_t>(index)); }
    int IndexOf(const TSrcHighlighterClass& highlighterClass) const;
    // Appends a class that is not yet listed.
    void Add(const TSrcHighlighterClass& highlighterClass);

private:
    std::vector<const TSrcHighlighterClass*> FClasses;
};

// The one registry of the process.
TSrcHighlighterList& HighlighterList();
void RegisterHighlighterClass(const TSrcHighlighterClass& highlighterClass);

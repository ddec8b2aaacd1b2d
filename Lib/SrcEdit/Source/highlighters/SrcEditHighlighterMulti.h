#pragma once
// TSrcMultiSyn: the highlighter of documents that mix languages. A default highlighter colours
// the text outside every scheme; each scheme (TScheme) names a start and an end expression and
// the highlighter of the text between its two markers.

#include "SrcEdit/Source/highlighters/SrcEditHighlighter.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class TRegExpr;
class TSchemes;
class TSrcMultiSyn;

enum TRangeOperation { roGet = 0, roSet = 1 };

// Does the whole range encoding: roGet fills Range, roSet restores the state from it.
using TCustomRangeEvent = std::function<void(TSrcMultiSyn* Sender, TRangeOperation Operation, TSrcRange& Range)>;
// May move, resize or rename a marker the search found; StartPos is 1-based, Line the line number.
using TOnCheckMarker =
    std::function<void(TSrcMultiSyn* Sender, int& StartPos, int& MarkerLen, std::string& MarkerText, int Line)>;

// A scheme marker found in the current line.
struct TMarker {
    int Scheme = 0;
    int StartPos = 0; // 1-based
    int MarkerLen = 0;
    std::string MarkerText;
    bool IsOpenMarker = false;
};

class TScheme : public TPersistent {
public:
    explicit TScheme(TSchemes* collection);
    ~TScheme() override;

    int Index() const;
    TSchemes* Collection() const { return FCollection; }

    bool CaseSensitive() const { return FCaseSensitive; }
    void SetCaseSensitive(bool value);
    // A non-empty expression is compiled first; one that does not compile is refused with
    // ERegExpr and the old expression stays.
    const std::string& StartExpr() const { return FStartExpr; }
    void SetStartExpr(const std::string& value);
    const std::string& EndExpr() const { return FEndExpr; }
    void SetEndExpr(const std::string& value);
    TSrcCustomHighlighter* Highlighter() const { return FHighlighter; }
    void SetHighlighter(TSrcCustomHighlighter* value);
    TSrcHighlighterAttributes* MarkerAttri() const { return FMarkerAttri.get(); }
    // Copies the given attribute's name, colours and style.
    void SetMarkerAttri(const TSrcHighlighterAttributes& value);
    // When set, the start marker is also looked for inside the text of the other schemes: the
    // scheme opens there, one level deep, and the scheme it interrupted goes on after its end
    // marker (PHP blocks inside script and style elements).
    bool OpensInsideSchemes() const { return FOpensInsideSchemes; }
    void SetOpensInsideSchemes(bool value);
    const std::string& SchemeName() const { return FSchemeName; }
    void SetSchemeName(const std::string& value) { FSchemeName = value; }
    // SchemeName, or the class name when it is empty.
    std::string DisplayName() const;

    TOnCheckMarker OnCheckStartMarker;
    TOnCheckMarker OnCheckEndMarker;

private:
    friend class TSchemes;
    friend class TSrcMultiSyn;

    void SetExpr(std::string& stored, std::unique_ptr<TRegExpr>& compiled, const std::string& value);
    // Reports a change of this item, or of all items.
    void Changed(bool allItems);
    // Drops the highlighter without reporting a change (the item is going away).
    void ReleaseHighlighter();
    // The first non-empty match of the expression in `text`: 1-based position and length.
    static bool FindMarker(TRegExpr* expr, std::string_view text, int& pos, int& len);

    TSchemes* FCollection;
    bool FCaseSensitive = true;
    std::string FStartExpr;
    std::string FEndExpr;
    std::unique_ptr<TRegExpr> FStartRE;
    std::unique_ptr<TRegExpr> FEndRE;
    TSrcCustomHighlighter* FHighlighter = nullptr;
    std::unique_ptr<TSrcHighlighterAttributes> FMarkerAttri;
    std::string FSchemeName;
    bool FOpensInsideSchemes = false;
};

// The schemes of one multi-language highlighter, owned by it.
class TSchemes : public TPersistent {
public:
    explicit TSchemes(TSrcMultiSyn* owner) : FOwner(owner) {}
    ~TSchemes() override;

    TSrcMultiSyn* Owner() const { return FOwner; }
    int Count() const { return static_cast<int>(FItems.size()); }
    // EListError "List index out of bounds (%d)" outside 0..Count-1.
    TScheme* SchemeAt(int index) const;
    TScheme* Add();
    void Delete(int index);
    void Clear();

private:
    friend class TScheme;
    friend class TSrcMultiSyn;
    // A change of `item`, or of all items when it is null, reaches the owner.
    void Update(TScheme* item);
    void ClearSilently();
    int IndexOf(const TScheme* item) const;

    TSrcMultiSyn* FOwner;
    std::vector<std::unique_ptr<TScheme>> FItems;
};

class TSrcMultiSyn : public TSrcCustomHighlighter {
public:
    explicit TSrcMultiSyn(TComponent* AOwner = nullptr);
    ~TSrcMultiSyn() override;

    static const TSrcHighlighterClass& StaticClass();
    const TSrcHighlighterClass& HighlighterClass() const override { return StaticClass(); }

    TSchemes& Schemes() { return *FSchemes; }
    const TSchemes& Schemes() const { return *FSchemes; }
    TSrcCustomHighlighter* DefaultHighlighter() const { return FDefaultHighlighter; }
    // Raises ESrcEditError "A SrcMultiSyn cannot be its own DefaultHighlighter." for itself.
    void SetDefaultHighlighter(TSrcCustomHighlighter* value);
    const std::string& DefaultLanguageName() const { return FDefaultLanguageName; }
    void SetDefaultLanguageName(const std::string& value) { FDefaultLanguageName = value; }
    const TCustomRangeEvent& OnCustomRange() const { return FOnCustomRange; }
    void SetOnCustomRange(TCustomRangeEvent value);

    // The scheme whose highlighter is in charge, -1 for the default highlighter.
    int CurrentScheme() const { return FCurrentScheme; }
    // The scheme that a scheme opening inside it interrupted, -1 for none.
    int OuterScheme() const { return FOuterScheme; }
    // The markers found in the current line, in line order.
    const std::vector<TMarker>& Markers() const { return FMarkers; }

    int AttriCount() const override;
    // The schemes' marker attributes, then the default highlighter's attributes, then each
    // scheme highlighter's; EListError for a negative index.
    TSrcHighlighterAttributes* AttriByIndex(int index) const override;
    TSrcHighlighterAttributes* RoleAttri(int role) const override;
    TSrcCharSet IdentifierChars() const override;
    std::string SampleText() const override { return FSampleText; }
    void SetSampleText(const std::string& value) override { FSampleText = value; }

    bool AtLineEnd() const override;
    TSrcRange CurrentRange() const override;
    std::string TokenText() const override;
    TSrcHighlighterAttributes* TokenAttri() const override;
    int TokenKindCode() const override;
    int TokenStart() const override { return FTokenPos; }
    void AdvanceToken() override;
    void StartLine(std::string_view lineText, int lineNumber) override;
    void RestoreRange(TSrcRange range) override;
    void ClearRange() override;

    bool ReadFromRegistry(TSrcRegistry& root, const std::string& key) override;
    bool WriteToRegistry(TSrcRegistry& root, const std::string& key) override;

    void Loaded() override;

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    friend class TScheme;
    friend class TSchemes;

    enum class TRangeEncoding { Packed, Nested, Custom };

    // Chooses the range encoding again; true (after a change notice) when it changed.
    bool ChooseRangeEncoding();
    // Hooks a highlighter that has just become referenced, unhooks one that no longer is.
    void HookHighlighter(TSrcCustomHighlighter* highlighter);
    void UnhookHighlighter(TSrcCustomHighlighter* highlighter);
    int References(const TSrcCustomHighlighter* highlighter) const;
    TSrcNotifyMethod ChangeHook();

    // The scheme's highlighter when it can take part (set, not this highlighter), else null.
    TSrcCustomHighlighter* SchemeHighlighter(int scheme) const;
    // The highlighter in charge: the current scheme's, or the default one.
    TSrcCustomHighlighter* InCharge() const;
    void FindMarkers();
    // The leftmost start marker in `text` of a scheme that may open inside scheme `open`.
    int FindInnerStart(int open, std::string_view text, int& pos, int& len) const;
    // Leaves the scheme whose end marker has just been passed: back to the scheme it
    // interrupted, or to the default highlighter.
    void CloseScheme();
    void AddMarker(int scheme, int pos, int len, bool isOpen);
    // Hands the line from the scan position up to the next marker to `highlighter`.
    void StartFragment(TSrcCustomHighlighter* highlighter);

    // True when some scheme opens inside the others; the packed range then keeps the
    // interrupted scheme too.
    bool SchemesNest() const;
    TSrcRange PackedRange() const;
    void RestorePackedRange(TSrcRange range);
    TSrcRange NestedRange() const;
    void RestoreNestedRange(TSrcRange range);
    // Reads or writes the default highlighter under key\DefaultHighlighter and each scheme's marker
    // attribute and highlighter under key\<scheme name>; false when any part fails.
    bool TransferSettings(TSrcRegistry& root, const std::string& key, bool write);

    std::unique_ptr<TSchemes> FSchemes;
    TSrcCustomHighlighter* FDefaultHighlighter = nullptr;
    std::string FDefaultLanguageName;
    TCustomRangeEvent FOnCustomRange;
    TRangeEncoding FRangeEncoding = TRangeEncoding::Packed;

    std::vector<TMarker> FMarkers;
    int FCurrentMarker = -1; // index of the marker that is the current token
    int FNextMarker = 0;
    int FCurrentScheme = -1;
    int FOuterScheme = -1;
    TSrcRange FSavedDefaultRange = 0;
    // The outer scheme's highlighter range at the moment the inner scheme began.
    TSrcRange FSavedOuterRange = 0;
    std::string FLine;
    int FLineNumber = 0;
    std::string FFragment;
    bool FFragmentStarted = false;
    int FTokenPos = 0;
    int FRun = 1; // 1-based position of the first character after the current token
    std::string FSampleText;
};

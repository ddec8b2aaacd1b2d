// The multi-language highlighter: marker search with the schemes' expressions, fragments handed
// to the highlighter in charge, and the range encodings that carry every state over line ends.

#include "SrcEdit/Source/highlighters/SrcEditHighlighterMulti.h"

#include "SrcEdit/Source/regexpr/SrcEditRegExpr.h"
#include "SrcEdit/Source/text/SrcEditTypes.h"

#include "Platform/text/Format.h"
#include "Platform/text/TextUtils.h"

#include <algorithm>

namespace {

// Packed range layout, 32 bits, one field each so that every highlighter of the system fits:
//   bits  0..3   scheme index + 1; 0 when the default highlighter is in charge (schemes 0..14)
//   bits  4..15  the range of the scheme's highlighter, 0 without a scheme (12 bits; XML needs
//                0..18, CSS 0..13 with the rule state its open comment returns to, HTML 0..8,
//                PHP 0..4, JavaScript 0..1)
//   bits 16..31  the range of the default highlighter; while a scheme is in charge, the range it
//                had when the scheme began (HTML 0..8)
// A range wider than its field keeps only the field's bits, and a scheme index above 14 is stored
// as no scheme with the default range from before that scheme, so the fields never mix.
constexpr unsigned PackedSchemeBits = 4;
constexpr TSrcRange PackedSchemeMask = (1u << PackedSchemeBits) - 1;
constexpr unsigned PackedSchemeRangeShift = PackedSchemeBits;
constexpr TSrcRange PackedSchemeRangeMask = 0xFFF;
constexpr unsigned PackedDefaultShift = 16;
constexpr TSrcRange PackedDefaultMask = 0xFFFF;
// When some scheme opens inside the others, the upper half also holds the interrupted scheme:
//   bits 16..22  the range of the default highlighter (HTML 0..8)
//   bits 23..26  the interrupted (outer) scheme index + 1; 0 when no scheme was interrupted
//   bits 27..31  the outer scheme's highlighter range when it was interrupted (XML 0..18, CSS
//                0..13, JavaScript 0..1)
constexpr TSrcRange PackedNestingDefaultMask = 0x7F;
constexpr unsigned PackedOuterShift = 23;
constexpr TSrcRange PackedOuterMask = 0xF;
constexpr unsigned PackedOuterRangeShift = 27;
constexpr TSrcRange PackedOuterRangeMask = 0x1F;

// Nested range: (scheme index + 2) in bits 0..3, the range of the highlighter in charge above.
constexpr TSrcRange NestedSchemeMask = 0xF;
constexpr unsigned NestedRangeShift = 4;
constexpr TSrcRange NestedRangeMask = 0x0FFFFFFF;

} // namespace

// ---- TScheme

TScheme::TScheme(TSchemes* collection)
    : FCollection(collection), FMarkerAttri(std::make_unique<TSrcHighlighterAttributes>("Marker"))
{
    FMarkerAttri->SetBackground(clYellow);
    FMarkerAttri->SetStyle({fsBold});
    FMarkerAttri->RememberDefaults();
    FMarkerAttri->OnChange = [this](TObject*) { Changed(false); };
}

TScheme::~TScheme() = default;

int TScheme::Index() const
{
    return FCollection->IndexOf(this);
}

std::string TScheme::DisplayName() const
{
    return FSchemeName.empty() ? std::string("TScheme") : FSchemeName;
}

void TScheme::SetCaseSensitive(bool value)
{
    if (value == FCaseSensitive)
        return;
    FCaseSensitive = value;
    for (TRegExpr* expr : {FStartRE.get(), FEndRE.get()})
        if (expr)
            expr->SetModifierI(!value);
    Changed(true);
}

void TScheme::SetStartExpr(const std::string& value)
{
    SetExpr(FStartExpr, FStartRE, value);
}

void TScheme::SetEndExpr(const std::string& value)
{
    SetExpr(FEndExpr, FEndRE, value);
}

void TScheme::SetExpr(std::string& stored, std::unique_ptr<TRegExpr>& compiled, const std::string& value)
{
    if (value == stored)
        return;
    std::unique_ptr<TRegExpr> expr;
    if (!value.empty()) {
        expr = std::make_unique<TRegExpr>();
        expr->SetModifierI(!FCaseSensitive);
        try {
            expr->SetExpression(value);
            expr->CompileExpression();
        } catch (ERegExpr& e) {
            if (e.ErrorNumber() < 1000) {
                const std::string text = expr->ErrorMsg(e.ErrorNumber());
                e.SetMessage(Format("\"%s\" is not a valid Regular Expression.\rError (pos %d): %s",
                                    {value, e.ErrorPosition(), text.size() > 15 ? text.substr(15) : std::string()}));
            }
            throw;
        }
    }
    const bool changed = FCaseSensitive ? stored != value : UpperCase(stored) != UpperCase(value);
    stored = value;
    compiled = std::move(expr);
    if (changed)
        Changed(true);
}

void TScheme::SetHighlighter(TSrcCustomHighlighter* value)
{
    if (value == FHighlighter)
        return;
    TSrcMultiSyn* owner = FCollection->Owner();
    TSrcCustomHighlighter* old = FHighlighter;
    FHighlighter = value;
    owner->UnhookHighlighter(old);
    owner->HookHighlighter(value);
    // why: the choice depends on whether any scheme holds a multi-language highlighter, which
    // leaving one can change as much as taking one
    if (!owner->ChooseRangeEncoding())
        Changed(true);
}

void TScheme::SetOpensInsideSchemes(bool value)
{
    if (value == FOpensInsideSchemes)
        return;
    FOpensInsideSchemes = value;
    Changed(true);
}

void TScheme::SetMarkerAttri(const TSrcHighlighterAttributes& value)
{
    FMarkerAttri->Assign(value);
}

void TScheme::Changed(bool allItems)
{
    FCollection->Update(allItems ? nullptr : this);
}

void TScheme::ReleaseHighlighter()
{
    TSrcCustomHighlighter* old = FHighlighter;
    FHighlighter = nullptr;
    FCollection->Owner()->UnhookHighlighter(old);
}

bool TScheme::FindMarker(TRegExpr* expr, std::string_view text, int& pos, int& len)
{
    if (!expr)
        return false;
    try {
        bool found = expr->Exec(text);
        // invariant: a marker is never empty, so every match moves the search on; an expression
        // that can match the empty string is looked at again one character further
        while (found && expr->SubMatchLength(0) == 0)
            found = expr->ExecNext();
        if (!found)
            return false;
        pos = expr->SubMatchPosition(0);
        len = expr->SubMatchLength(0);
        return true;
    } catch (const ERegExpr&) {
        // why: an expression too complex for this line must not stop the highlighting; it just
        // does not match here
        return false;
    }
}

// ---- TSchemes

TSchemes::~TSchemes()
{
    ClearSilently();
}

TScheme* TSchemes::SchemeAt(int index) const
{
    if (index < 0 || index >= Count())
        throw EListError(Format("List index out of bounds (%d)", {index}));
    return FItems[static_cast<size_t>(index)].get();
}

TScheme* TSchemes::Add()
{
    FItems.push_back(std::make_unique<TScheme>(this));
    Update(nullptr);
    return FItems.back().get();
}

void TSchemes::Delete(int index)
{
    SchemeAt(index);
    std::unique_ptr<TScheme> item = std::move(FItems[static_cast<size_t>(index)]);
    FItems.erase(FItems.begin() + index);
    item->ReleaseHighlighter();
    item.reset();
    if (!FOwner->ChooseRangeEncoding())
        Update(nullptr);
}

void TSchemes::Clear()
{
    if (FItems.empty())
        return;
    ClearSilently();
    if (!FOwner->ChooseRangeEncoding())
        Update(nullptr);
}

void TSchemes::ClearSilently()
{
    std::vector<std::unique_ptr<TScheme>> items = std::move(FItems);
    FItems.clear();
    for (auto& item : items)
        item->ReleaseHighlighter();
}

int TSchemes::IndexOf(const TScheme* item) const
{
    for (size_t i = 0; i < FItems.size(); ++i)
        if (FItems[i].get() == item)
            return static_cast<int>(i);
    return -1;
}

void TSchemes::Update(TScheme* item)
{
    if (item)
        FOwner->NotifyAttriChange(item);
    else
        FOwner->NotifyAttriChange(FOwner);
}

// ---- TSrcMultiSyn

const TSrcHighlighterClass& TSrcMultiSyn::StaticClass()
{
    static const TSrcHighlighterClass cls =
        LanguageClass("TSrcMultiSyn", [] { return std::string("General Multi-Highlighter"); });
    return cls;
}

TSrcMultiSyn::TSrcMultiSyn(TComponent* AOwner)
    : TSrcCustomHighlighter(AOwner), FSchemes(std::make_unique<TSchemes>(this))
{
}

TSrcMultiSyn::~TSrcMultiSyn()
{
    FMarkers.clear();
    FSchemes->ClearSilently();
    TSrcCustomHighlighter* old = FDefaultHighlighter;
    FDefaultHighlighter = nullptr;
    UnhookHighlighter(old);
}

void TSrcMultiSyn::SetDefaultHighlighter(TSrcCustomHighlighter* value)
{
    if (value == FDefaultHighlighter)
        return;
    if (value == this)
        throw ESrcEditError("A SrcMultiSyn cannot be its own DefaultHighlighter.");
    TSrcCustomHighlighter* old = FDefaultHighlighter;
    FDefaultHighlighter = value;
    UnhookHighlighter(old);
    HookHighlighter(value);
    NotifyAttriChange(this);
}

void TSrcMultiSyn::SetOnCustomRange(TCustomRangeEvent value)
{
    FOnCustomRange = std::move(value);
    ChooseRangeEncoding();
}

bool TSrcMultiSyn::ChooseRangeEncoding()
{
    TRangeEncoding encoding = TRangeEncoding::Packed;
    if (FOnCustomRange) {
        encoding = TRangeEncoding::Custom;
    } else {
        for (const auto& scheme : FSchemes->FItems)
            if (dynamic_cast<TSrcMultiSyn*>(scheme->Highlighter()))
                encoding = TRangeEncoding::Nested;
    }
    if (encoding == FRangeEncoding)
        return false;
    FRangeEncoding = encoding;
    NotifyAttriChange(this);
    return true;
}

TSrcNotifyMethod TSrcMultiSyn::ChangeHook()
{
    return MakeMethod(static_cast<TSrcCustomHighlighter*>(this), &TSrcCustomHighlighter::NotifyAttriChange);
}

int TSrcMultiSyn::References(const TSrcCustomHighlighter* highlighter) const
{
    int count = FDefaultHighlighter == highlighter ? 1 : 0;
    for (const auto& scheme : FSchemes->FItems)
        if (scheme->Highlighter() == highlighter)
            ++count;
    return count;
}

// invariant: a highlighter is hooked once, however many schemes use it, and stays hooked until
// the last of them lets it go; otherwise its destruction would leave a scheme pointing at it
void TSrcMultiSyn::HookHighlighter(TSrcCustomHighlighter* highlighter)
{
    if (!highlighter || highlighter == this || References(highlighter) != 1)
        return;
    FreeNotification(highlighter);
    highlighter->AddAttriChangeHook(ChangeHook());
}

void TSrcMultiSyn::UnhookHighlighter(TSrcCustomHighlighter* highlighter)
{
    if (!highlighter || highlighter == this || References(highlighter) != 0)
        return;
    RemoveFreeNotification(highlighter);
    highlighter->RemoveAttriChangeHook(ChangeHook());
}

void TSrcMultiSyn::Notification(TComponent* component, TOperation operation)
{
    TSrcCustomHighlighter::Notification(component, operation);
    if (operation != TOperation::opRemove || !component)
        return;
    bool changed = false;
    if (FDefaultHighlighter == component) {
        FDefaultHighlighter = nullptr;
        changed = true;
    }
    for (const auto& scheme : FSchemes->FItems) {
        if (scheme->FHighlighter == component) {
            scheme->FHighlighter = nullptr;
            changed = true;
        }
    }
    if (changed)
        ChooseRangeEncoding();
}

void TSrcMultiSyn::Loaded()
{
    TSrcCustomHighlighter::Loaded();
    NotifyAttriChange(this);
}

TSrcCustomHighlighter* TSrcMultiSyn::SchemeHighlighter(int scheme) const
{
    if (scheme < 0 || scheme >= FSchemes->Count())
        return nullptr;
    TSrcCustomHighlighter* highlighter = FSchemes->FItems[static_cast<size_t>(scheme)]->Highlighter();
    // why: a scheme that hands its text back to this highlighter would scan the line within itself
    return highlighter == this ? nullptr : highlighter;
}

TSrcCustomHighlighter* TSrcMultiSyn::InCharge() const
{
    if (TSrcCustomHighlighter* highlighter = SchemeHighlighter(FCurrentScheme))
        return highlighter;
    return FDefaultHighlighter;
}

// ---- attributes

int TSrcMultiSyn::AttriCount() const
{
    int count = FSchemes->Count();
    if (FDefaultHighlighter)
        count += FDefaultHighlighter->AttriCount();
    for (int i = 0; i < FSchemes->Count(); ++i)
        if (TSrcCustomHighlighter* highlighter = SchemeHighlighter(i))
            count += highlighter->AttriCount();
    return count;
}

TSrcHighlighterAttributes* TSrcMultiSyn::AttriByIndex(int index) const
{
    if (index < 0)
        throw EListError(Format("List index out of bounds (%d)", {index}));
    if (index < FSchemes->Count())
        return FSchemes->SchemeAt(index)->MarkerAttri();
    index -= FSchemes->Count();
    if (FDefaultHighlighter) {
        if (index < FDefaultHighlighter->AttriCount())
            return FDefaultHighlighter->AttriByIndex(index);
        index -= FDefaultHighlighter->AttriCount();
    }
    for (int i = 0; i < FSchemes->Count(); ++i) {
        if (TSrcCustomHighlighter* highlighter = SchemeHighlighter(i)) {
            if (index < highlighter->AttriCount())
                return highlighter->AttriByIndex(index);
            index -= highlighter->AttriCount();
        }
    }
    return nullptr;
}

TSrcHighlighterAttributes* TSrcMultiSyn::RoleAttri(int role) const
{
    TSrcCustomHighlighter* highlighter = InCharge();
    return highlighter ? highlighter->RoleAttri(role) : nullptr;
}

TSrcCharSet TSrcMultiSyn::IdentifierChars() const
{
    TSrcCustomHighlighter* highlighter = InCharge();
    return highlighter ? highlighter->IdentifierChars() : TSrcCustomHighlighter::IdentifierChars();
}

// ---- marker search and tokens

void TSrcMultiSyn::AddMarker(int scheme, int pos, int len, bool isOpen)
{
    TScheme& item = *FSchemes->FItems[static_cast<size_t>(scheme)];
    TMarker marker;
    marker.Scheme = scheme;
    marker.StartPos = pos;
    marker.MarkerLen = len;
    marker.MarkerText = FLine.substr(static_cast<size_t>(pos - 1), static_cast<size_t>(len));
    marker.IsOpenMarker = isOpen;
    const TOnCheckMarker& check = isOpen ? item.OnCheckStartMarker : item.OnCheckEndMarker;
    if (check)
        check(this, marker.StartPos, marker.MarkerLen, marker.MarkerText, FLineNumber);
    // invariant: markers lie inside the line, in order and apart, whatever the event made of them
    const int lineEnd = static_cast<int>(FLine.size()) + 1;
    const int previousEnd = FMarkers.empty() ? 1 : FMarkers.back().StartPos + FMarkers.back().MarkerLen;
    if (marker.StartPos < previousEnd) {
        marker.MarkerLen -= previousEnd - marker.StartPos;
        marker.StartPos = previousEnd;
    }
    marker.MarkerLen = std::min(marker.MarkerLen, lineEnd - marker.StartPos);
    if (marker.MarkerText.empty() || marker.MarkerLen <= 0)
        return;
    FMarkers.push_back(std::move(marker));
}

int TSrcMultiSyn::FindInnerStart(int open, std::string_view text, int& pos, int& len) const
{
    int found = -1;
    for (int i = 0; i < FSchemes->Count(); ++i) {
        const TScheme& scheme = *FSchemes->FItems[static_cast<size_t>(i)];
        TSrcCustomHighlighter* highlighter = SchemeHighlighter(i);
        int at = 0;
        int length = 0;
        if (i != open && scheme.FOpensInsideSchemes && scheme.FStartRE && scheme.FEndRE && highlighter &&
            highlighter->Enabled() && TScheme::FindMarker(scheme.FStartRE.get(), text, at, length) &&
            (found < 0 || at < pos)) {
            found = i;
            pos = at;
            len = length;
        }
    }
    return found;
}

void TSrcMultiSyn::FindMarkers()
{
    FMarkers.clear();
    int open = FCurrentScheme;
    int outer = FOuterScheme;
    size_t offset = 0;
    while (offset < FLine.size()) {
        const std::string_view rest = std::string_view(FLine).substr(offset);
        int pos = 0;
        int len = 0;
        if (open >= 0) {
            int endPos = 0;
            int endLen = 0;
            const bool ends =
                TScheme::FindMarker(FSchemes->FItems[static_cast<size_t>(open)]->FEndRE.get(), rest, endPos, endLen);
            // A scheme that opens inside others interrupts this one when it starts before its end.
            const int inner = outer < 0 ? FindInnerStart(open, rest, pos, len) : -1;
            if (inner >= 0 && (!ends || pos < endPos)) {
                AddMarker(inner, static_cast<int>(offset) + pos, len, true);
                outer = open;
                open = inner;
            } else if (ends) {
                pos = endPos;
                len = endLen;
                AddMarker(open, static_cast<int>(offset) + pos, len, false);
                open = outer;
                outer = -1;
            } else {
                break;
            }
        } else {
            const auto startsIn = [&](int i, std::string_view text, int& at, int& length) {
                const TScheme& scheme = *FSchemes->FItems[static_cast<size_t>(i)];
                TSrcCustomHighlighter* highlighter = SchemeHighlighter(i);
                return scheme.FStartRE && scheme.FEndRE && highlighter && highlighter->Enabled() &&
                       TScheme::FindMarker(scheme.FStartRE.get(), text, at, length);
            };
            for (int i = 0; i < FSchemes->Count() && open < 0; ++i)
                if (startsIn(i, rest, pos, len))
                    open = i;
            if (open < 0)
                break;
            // why: a scheme that opens inside the others does so also inside one that starts
            // further left, which therefore comes first
            if (FSchemes->FItems[static_cast<size_t>(open)]->FOpensInsideSchemes) {
                const std::string_view before = rest.substr(0, static_cast<size_t>(pos - 1));
                for (int i = 0; i < FSchemes->Count(); ++i) {
                    int at = 0;
                    int length = 0;
                    if (!FSchemes->FItems[static_cast<size_t>(i)]->FOpensInsideSchemes &&
                        startsIn(i, before, at, length)) {
                        open = i;
                        pos = at;
                        len = length;
                        break;
                    }
                }
            }
            AddMarker(open, static_cast<int>(offset) + pos, len, true);
        }
        // invariant: len > 0, so the search always moves on
        offset += static_cast<size_t>(pos - 1 + len);
    }
}

void TSrcMultiSyn::StartLine(std::string_view lineText, int lineNumber)
{
    FLine.assign(lineText.substr(0, lineText.find('\0')));
    FLineNumber = lineNumber;
    // why: a stored range may name a scheme that has since gone or lost its highlighter
    if (!SchemeHighlighter(FCurrentScheme))
        FCurrentScheme = -1;
    if (FCurrentScheme < 0 || !SchemeHighlighter(FOuterScheme))
        FOuterScheme = -1;
    FindMarkers();
    FCurrentMarker = -1;
    FFragmentStarted = false;
    FRun = 1;
    FTokenPos = 0;
    FNextMarker = 0;
    AdvanceToken();
}

void TSrcMultiSyn::StartFragment(TSrcCustomHighlighter* highlighter)
{
    const size_t from = static_cast<size_t>(FRun - 1);
    const size_t to = FNextMarker < static_cast<int>(FMarkers.size())
                          ? static_cast<size_t>(FMarkers[static_cast<size_t>(FNextMarker)].StartPos - 1)
                          : FLine.size();
    FFragment.assign(FLine, from, to - from);
    FFragmentStarted = true;
    highlighter->StartLine(FFragment, FLineNumber);
}

void TSrcMultiSyn::AdvanceToken()
{
    if (!FDefaultHighlighter) {
        FRun = FRun == 1 ? static_cast<int>(FLine.size()) + 2 : FRun + 1;
        FTokenPos = 0;
        return;
    }
    // invariant: the scheme of an end marker is left once the marker is passed, also when
    // another marker follows it at once
    const bool afterMarker = FCurrentMarker >= 0;
    if (afterMarker) {
        if (!FMarkers[static_cast<size_t>(FCurrentMarker)].IsOpenMarker)
            CloseScheme();
        FCurrentMarker = -1;
    }
    const bool markerDue = FNextMarker < static_cast<int>(FMarkers.size()) &&
                           FMarkers[static_cast<size_t>(FNextMarker)].StartPos <= FRun;
    if (markerDue) {
        const TMarker& marker = FMarkers[static_cast<size_t>(FNextMarker)];
        if (marker.IsOpenMarker) {
            if (TSrcCustomHighlighter* outer = SchemeHighlighter(FCurrentScheme)) {
                FOuterScheme = FCurrentScheme;
                FSavedOuterRange = outer->CurrentRange();
            } else {
                FSavedDefaultRange = FDefaultHighlighter->CurrentRange();
            }
            FCurrentScheme = marker.Scheme;
            SchemeHighlighter(marker.Scheme)->ClearRange();
        }
        FCurrentMarker = FNextMarker++;
        FTokenPos = marker.StartPos - 1;
        FRun = marker.StartPos + marker.MarkerLen;
        return;
    }
    if (afterMarker) {
        StartFragment(InCharge());
    } else if (!FFragmentStarted) {
        StartFragment(InCharge());
    } else {
        InCharge()->AdvanceToken();
    }
    const TSrcCustomHighlighter* highlighter = InCharge();
    int base = 0;
    if (FNextMarker > 0) {
        const TMarker& passed = FMarkers[static_cast<size_t>(FNextMarker - 1)];
        base = passed.StartPos + passed.MarkerLen - 1;
    }
    FTokenPos = highlighter->TokenStart() + base;
    FRun = FTokenPos + static_cast<int>(highlighter->TokenText().size()) + 1;
}

void TSrcMultiSyn::CloseScheme()
{
    if (TSrcCustomHighlighter* outer = SchemeHighlighter(FOuterScheme)) {
        FCurrentScheme = FOuterScheme;
        FOuterScheme = -1;
        outer->RestoreRange(FSavedOuterRange);
        return;
    }
    FCurrentScheme = -1;
    FOuterScheme = -1;
    FDefaultHighlighter->RestoreRange(FSavedDefaultRange);
}

bool TSrcMultiSyn::AtLineEnd() const
{
    if (!FDefaultHighlighter)
        return FRun > static_cast<int>(FLine.size()) + 2;
    if (FCurrentMarker >= 0)
        return false;
    return InCharge()->AtLineEnd();
}

std::string TSrcMultiSyn::TokenText() const
{
    if (!FDefaultHighlighter)
        return FLine;
    const size_t from = std::min(static_cast<size_t>(FTokenPos), FLine.size());
    return FLine.substr(from, static_cast<size_t>(std::max(0, FRun - 1 - FTokenPos)));
}

TSrcHighlighterAttributes* TSrcMultiSyn::TokenAttri() const
{
    if (!FDefaultHighlighter)
        return nullptr;
    if (FCurrentMarker >= 0) {
        const int scheme = FMarkers[static_cast<size_t>(FCurrentMarker)].Scheme;
        return FSchemes->FItems[static_cast<size_t>(scheme)]->MarkerAttri();
    }
    return InCharge()->TokenAttri();
}

int TSrcMultiSyn::TokenKindCode() const
{
    if (!FDefaultHighlighter || FCurrentMarker >= 0)
        return 0;
    return InCharge()->TokenKindCode();
}

// ---- ranges

void TSrcMultiSyn::ClearRange()
{
    FCurrentScheme = -1;
    FOuterScheme = -1;
    if (FDefaultHighlighter) {
        FDefaultHighlighter->ClearRange();
        FSavedDefaultRange = FDefaultHighlighter->CurrentRange();
    }
}

TSrcRange TSrcMultiSyn::CurrentRange() const
{
    switch (FRangeEncoding) {
    case TRangeEncoding::Packed: return PackedRange();
    case TRangeEncoding::Nested: return NestedRange();
    case TRangeEncoding::Custom: break;
    }
    TSrcRange range = 0;
    FOnCustomRange(const_cast<TSrcMultiSyn*>(this), roGet, range);
    return range;
}

void TSrcMultiSyn::RestoreRange(TSrcRange range)
{
    switch (FRangeEncoding) {
    case TRangeEncoding::Packed: return RestorePackedRange(range);
    case TRangeEncoding::Nested: return RestoreNestedRange(range);
    case TRangeEncoding::Custom: break;
    }
    FOuterScheme = -1;
    FOnCustomRange(this, roSet, range);
    if (FDefaultHighlighter)
        FSavedDefaultRange = FDefaultHighlighter->CurrentRange();
}

bool TSrcMultiSyn::SchemesNest() const
{
    return std::any_of(FSchemes->FItems.begin(), FSchemes->FItems.end(),
                       [](const auto& scheme) { return scheme->FOpensInsideSchemes; });
}

TSrcRange TSrcMultiSyn::PackedRange() const
{
    const bool nesting = SchemesNest();
    const TSrcRange defaultMask = nesting ? PackedNestingDefaultMask : PackedDefaultMask;
    TSrcCustomHighlighter* scheme = SchemeHighlighter(FCurrentScheme);
    if (scheme && static_cast<TSrcRange>(FCurrentScheme) + 1 <= PackedSchemeMask) {
        TSrcRange range = (FSavedDefaultRange & defaultMask) << PackedDefaultShift |
                          (scheme->CurrentRange() & PackedSchemeRangeMask) << PackedSchemeRangeShift |
                          static_cast<TSrcRange>(FCurrentScheme + 1);
        if (nesting && SchemeHighlighter(FOuterScheme) && static_cast<TSrcRange>(FOuterScheme) + 1 <= PackedOuterMask)
            range |= static_cast<TSrcRange>(FOuterScheme + 1) << PackedOuterShift |
                     (FSavedOuterRange & PackedOuterRangeMask) << PackedOuterRangeShift;
        return range;
    }
    const TSrcRange defaultRange =
        scheme ? FSavedDefaultRange : FDefaultHighlighter ? FDefaultHighlighter->CurrentRange() : 0;
    return (defaultRange & defaultMask) << PackedDefaultShift;
}

void TSrcMultiSyn::RestorePackedRange(TSrcRange range)
{
    const bool nesting = SchemesNest();
    FCurrentScheme = static_cast<int>(range & PackedSchemeMask) - 1;
    FSavedDefaultRange = range >> PackedDefaultShift & (nesting ? PackedNestingDefaultMask : PackedDefaultMask);
    FOuterScheme =
        nesting && FCurrentScheme >= 0 ? static_cast<int>(range >> PackedOuterShift & PackedOuterMask) - 1 : -1;
    FSavedOuterRange = range >> PackedOuterRangeShift & PackedOuterRangeMask;
    if (FDefaultHighlighter)
        FDefaultHighlighter->RestoreRange(FSavedDefaultRange);
    if (TSrcCustomHighlighter* outer = SchemeHighlighter(FOuterScheme))
        outer->RestoreRange(FSavedOuterRange);
    else
        FOuterScheme = -1;
    // invariant: the scheme's highlighter is restored last, in case it is the default one too
    if (TSrcCustomHighlighter* scheme = SchemeHighlighter(FCurrentScheme))
        scheme->RestoreRange(range >> PackedSchemeRangeShift & PackedSchemeRangeMask);
}

TSrcRange TSrcMultiSyn::NestedRange() const
{
    if (FCurrentScheme + 2 > static_cast<int>(NestedSchemeMask))
        return 1 + ((FSavedDefaultRange & NestedRangeMask) << NestedRangeShift);
    const TSrcCustomHighlighter* highlighter = InCharge();
    const TSrcRange range = highlighter ? highlighter->CurrentRange() & NestedRangeMask : 0;
    return static_cast<TSrcRange>(FCurrentScheme + 2) + (range << NestedRangeShift);
}

void TSrcMultiSyn::RestoreNestedRange(TSrcRange range)
{
    if (range == 0)
        return;
    // why: this encoding has no room for an interrupted scheme; the next line goes on in the
    // scheme in charge alone
    FOuterScheme = -1;
    FCurrentScheme = std::max(-1, static_cast<int>(range & NestedSchemeMask) - 2);
    if (TSrcCustomHighlighter* highlighter = InCharge())
        highlighter->RestoreRange(range >> NestedRangeShift);
}

// ---- settings

bool TSrcMultiSyn::ReadFromRegistry(TSrcRegistry& root, const std::string& key)
{
    return TransferSettings(root, key, false);
}

bool TSrcMultiSyn::WriteToRegistry(TSrcRegistry& root, const std::string& key)
{
    return TransferSettings(root, key, true);
}

bool TSrcMultiSyn::TransferSettings(TSrcRegistry& root, const std::string& key, bool write)
{
    auto transfer = [&](auto& target, const std::string& targetKey) {
        return write ? target.WriteToRegistry(root, targetKey) : target.ReadFromRegistry(root, targetKey);
    };
    bool result = FDefaultHighlighter && transfer(*FDefaultHighlighter, key + "\\DefaultHighlighter");
    for (const auto& scheme : FSchemes->FItems) {
        if (scheme->SchemeName().empty()) {
            result = false;
            continue;
        }
        const std::string schemeKey = key + "\\" + scheme->SchemeName();
        if (!(write ? root.OpenKey(schemeKey, true) : root.OpenKeyReadOnly(schemeKey))) {
            result = false;
            continue;
        }
        result = transfer(*scheme->MarkerAttri(), schemeKey) && result;
        result = scheme->Highlighter() && transfer(*scheme->Highlighter(), schemeKey) && result;
    }
    return result;
}

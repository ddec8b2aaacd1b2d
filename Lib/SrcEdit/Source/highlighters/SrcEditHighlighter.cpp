// The abstract highlighter, its attribute list and change chain, and the class registry.

#include "SrcEdit/Source/highlighters/SrcEditHighlighter.h"

TSrcCharSet CharSetOf(std::string_view chars)
{
    TSrcCharSet set;
    for (const char c : chars)
        set.set(static_cast<unsigned char>(c));
    return set;
}

TSrcCharSet CharRange(unsigned char first, unsigned char last)
{
    TSrcCharSet set;
    for (unsigned c = first; c <= last; ++c)
        set.set(c);
    return set;
}

bool TSrcHighlighterClass::InheritsFrom(const TSrcHighlighterClass& ancestor) const
{
    for (const TSrcHighlighterClass* c = this; c; c = c->Parent)
        if (c == &ancestor)
            return true;
    return false;
}

// ---- TSrcCustomHighlighter

const TSrcHighlighterClass& TSrcCustomHighlighter::StaticClass()
{
    static const TSrcHighlighterClass cls{
        "TSrcCustomHighlighter", nullptr, [] { return std::string("<Unknown>"); }, [] { return 2u; }};
    return cls;
}

TSrcHighlighterClass TSrcCustomHighlighter::LanguageClass(const char* className, std::string (*languageTitle)())
{
    return {className, &StaticClass(), languageTitle, StaticClass().FeatureFlags};
}

TSrcCustomHighlighter::TSrcCustomHighlighter(TComponent* AOwner)
    : TComponent(AOwner), FAttrChangeHooks(this), FWordBreakChars(CharSetOf("!\"'()*+,-./:;=?[\\]^{}|"))
{
    FAttributes.SetSorted(true);
    FAttributes.SetDuplicates(TDuplicates::dupError);
    FAttributes.OwnsObjects = true;
}

TSrcCustomHighlighter::~TSrcCustomHighlighter() = default;

const TSrcHighlighterClass& TSrcCustomHighlighter::HighlighterClass() const
{
    return StaticClass();
}

int TSrcCustomHighlighter::AttriCount() const
{
    return FAttributes.Count();
}

TSrcHighlighterAttributes* TSrcCustomHighlighter::AttriByIndex(int index) const
{
    if (index < 0 || index >= FAttributes.Count())
        return nullptr;
    return static_cast<TSrcHighlighterAttributes*>(FAttributes.Objects(index));
}

std::string TSrcCustomHighlighter::DefaultFilter() const
{
    return FDefaultFilter;
}

void TSrcCustomHighlighter::SetDefaultFilter(const std::string& value)
{
    FDefaultFilter = value;
}

bool TSrcCustomHighlighter::IsFilterStored() const
{
    return true;
}

TSrcCharSet TSrcCustomHighlighter::IdentifierChars() const
{
    return CharRange(33, 255);
}

std::string TSrcCustomHighlighter::SampleText() const
{
    return {};
}

void TSrcCustomHighlighter::SetSampleText(const std::string&) {}

void TSrcCustomHighlighter::SetWordDelimiters(const TSrcCharSet& value)
{
    FWordBreakChars = value;
}

TSrcRange TSrcCustomHighlighter::CurrentRange() const
{
    return 0;
}

bool TSrcCustomHighlighter::IsReservedWord(const std::string&) const
{
    return false;
}

void TSrcCustomHighlighter::RestoreRange(TSrcRange) {}

void TSrcCustomHighlighter::ClearRange() {}

void TSrcCustomHighlighter::SkipToLineEnd()
{
    while (!AtLineEnd())
        AdvanceToken();
}

bool TSrcCustomHighlighter::ApplyUserSettings(int)
{
    return false;
}

void TSrcCustomHighlighter::ListUserSettings(TStrings& settings)
{
    settings.Clear();
}

bool TSrcCustomHighlighter::ReadFromRegistry(TSrcRegistry& root, const std::string& key)
{
    if (!root.OpenKeyReadOnly(key))
        return false;
    bool result = true;
    for (int i = 0; i < AttriCount(); ++i)
        result = AttriByIndex(i)->ReadFromRegistry(root, key) && result;
    return result;
}

bool TSrcCustomHighlighter::WriteToRegistry(TSrcRegistry& root, const std::string& key)
{
    if (!root.OpenKey(key, true))
        return false;
    bool result = true;
    for (int i = 0; i < AttriCount(); ++i)
        result = AttriByIndex(i)->WriteToRegistry(root, key) && result;
    return result;
}

void TSrcCustomHighlighter::SetEnabled(bool value)
{
    if (value == FEnabled)
        return;
    FEnabled = value;
    NotifyAttriChange(nullptr);
}

void TSrcCustomHighlighter::AddAttriChangeHook(const TSrcNotifyMethod& listener)
{
    FAttrChangeHooks.AddHandler(listener);
}

void TSrcCustomHighlighter::RemoveAttriChangeHook(const TSrcNotifyMethod& listener)
{
    FAttrChangeHooks.RemoveHandler(listener);
}

void TSrcCustomHighlighter::NotifyAttriChange(TObject* sender)
{
    if (ComponentState().Contains(csLoading))
        return;
    FAttrChangeHooks.SetSender(sender);
    FAttrChangeHooks.InvokeAll();
}

void TSrcCustomHighlighter::Loaded()
{
    TComponent::Loaded();
    NotifyAttriChange(nullptr);
}

TSrcHighlighterAttributes* TSrcCustomHighlighter::AddAttri(std::unique_ptr<TSrcHighlighterAttributes> attribute)
{
    // invariant: the list owns the attribute only once it holds it; a refused one dies here
    FAttributes.AddObject(attribute->Name(), attribute.get());
    return attribute.release();
}

void TSrcCustomHighlighter::BindAttributeChanges()
{
    for (int i = 0; i < AttriCount(); ++i) {
        TSrcHighlighterAttributes* attribute = AttriByIndex(i);
        attribute->OnChange = [this](TObject* sender) { NotifyAttriChange(sender); };
        attribute->RememberDefaults();
    }
}

void TSrcCustomHighlighter::Assign(const TPersistent& source)
{
    auto src = dynamic_cast<const TSrcCustomHighlighter*>(&source);
    if (!src) {
        TComponent::Assign(source);
        return;
    }
    if (src == this)
        return;
    for (int i = 0; i < AttriCount(); ++i) {
        TSrcHighlighterAttributes* own = AttriByIndex(i);
        for (int j = 0; j < src->AttriCount(); ++j) {
            const TSrcHighlighterAttributes* theirs = src->AttriByIndex(j);
            if (theirs->Name() == own->Name()) {
                own->Assign(*theirs);
                break;
            }
        }
    }
    if (src->HighlighterClass().InheritsFrom(HighlighterClass()))
        SetSampleText(src->SampleText());
    SetWordDelimiters(src->WordBreakChars());
    SetDefaultFilter(src->DefaultFilter());
    SetEnabled(src->Enabled());
}

// ---- TSrcHighlighterList

int TSrcHighlighterList::IndexOf(const TSrcHighlighterClass& highlighterClass) const
{
    for (size_t i = 0; i < FClasses.size(); ++i)
        if (FClasses[i] == &highlighterClass)
            return static_cast<int>(i);
    return -1;
}

void TSrcHighlighterList::Add(const TSrcHighlighterClass& highlighterClass)
{
    if (IndexOf(highlighterClass) < 0)
        FClasses.push_back(&highlighterClass);
}

TSrcHighlighterList& HighlighterList()
{
    static TSrcHighlighterList list;
    return list;
}

void RegisterHighlighterClass(const TSrcHighlighterClass& highlighterClass)
{
    HighlighterList().Add(highlighterClass);
}

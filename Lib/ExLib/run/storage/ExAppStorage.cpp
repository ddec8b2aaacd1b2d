#include "ExLib/run/storage/ExAppStorage.h"

#include "ExLib/run/common/ExExceptions.h"
#include "ExLib/run/common/ExResources.h"
#include "ExLib/run/common/ExStrUtils.h"

#include "Platform/text/Format.h"
#include "Platform/text/TextUtils.h"
#include "utility/UclMime.h"
#include "utility/UclStrings.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <mutex>

namespace {

std::string FirstWord(const std::string& list)
{
    return TrimSpaces(list.substr(0, list.find(',')));
}

bool IsListWord(const std::string& list, const std::string& value)
{
    TStringList words;
    words.SetCommaText(UpperCase(list));
    const std::string wanted = UpperCase(value);
    for (int i = 0; i < words.Count(); ++i)
        if (!words[i].empty() && words[i] == wanted)
            return true;
    return false;
}

std::string FloatText(long double value)
{
    return FloatToStr(static_cast<double>(value));
}

long double ParseFloat(const std::string& text)
{
    double value = 0;
    if (!TryStrToFloat(text, value))
        throw EConvertError(Format("'%s' is not a valid floating point value", {text}));
    return value;
}

// The date-time text of the platform: the short date, then the long time unless it is midnight.
std::string DateTimeText(TDateTime value)
{
    return DateTimeToStr(value);
}

bool TryParseDateTime(const std::string& text, TDateTime& value)
{
    int day = 0, month = 0, year = 0, hour = 0, minute = 0, second = 0;
    int consumed = 0;
    const std::string t = Trim(text);
    if (std::sscanf(t.c_str(), "%d/%d/%d%n", &day, &month, &year, &consumed) != 3)
        return false;
    TDateTime date = 0;
    if (!TryEncodeDate(year, month, day, date))
        return false;
    const std::string rest = Trim(t.substr(static_cast<size_t>(consumed)));
    TDateTime time = 0;
    if (!rest.empty()) {
        int timeConsumed = 0;
        const int fields = std::sscanf(rest.c_str(), "%d:%d:%d%n", &hour, &minute, &second, &timeConsumed);
        if (fields < 2)
            return false;
        if (fields == 2)
            second = 0;
        if (!TryEncodeTime(hour, minute, second, 0, time))
            return false;
    }
    value = date + (date < 0 ? -time : time);
    return true;
}

TDateTime ParseDateTime(const std::string& text)
{
    TDateTime value = 0;
    if (!TryParseDateTime(text, value))
        throw EConvertError(Format("'%s' is not a valid date and time", {text}));
    return value;
}

// The boolean type, and the enumerations that start below 0 (the boolean-like types).
bool IsBooleanLike(const TTypeInfo& type)
{
    return type.Kind == tkEnumeration && (type.Name == "Boolean" || type.Data.MinValue < 0);
}

bool IsCharKind(TTypeKind kind)
{
    return kind == tkChar || kind == tkWChar;
}

std::int64_t ReadOrdinal(TOrdType storage, const void* value)
{
    switch (storage) {
    case otSByte: { std::int8_t v; std::memcpy(&v, value, 1); return v; }
    case otUByte: { std::uint8_t v; std::memcpy(&v, value, 1); return v; }
    case otSWord: { std::int16_t v; std::memcpy(&v, value, 2); return v; }
    case otUWord: { std::uint16_t v; std::memcpy(&v, value, 2); return v; }
    case otSLong: { std::int32_t v; std::memcpy(&v, value, 4); return v; }
    case otULong: { std::uint32_t v; std::memcpy(&v, value, 4); return v; }
    }
    return 0;
}

void WriteOrdinal(TOrdType storage, void* value, std::int64_t ordinal)
{
    switch (storage) {
    case otSByte:
    case otUByte: { const auto v = static_cast<std::uint8_t>(ordinal); std::memcpy(value, &v, 1); return; }
    case otSWord:
    case otUWord: { const auto v = static_cast<std::uint16_t>(ordinal); std::memcpy(value, &v, 2); return; }
    case otSLong:
    case otULong: { const auto v = static_cast<std::uint32_t>(ordinal); std::memcpy(value, &v, 4); return; }
    }
}

struct IdentMapping {
    TIdentToInt IdentToInt;
    TIntToIdent IntToIdent;
};

// The registered identifier mappings, by type record.
struct IdentMappings {
    std::mutex Lock;
    std::map<PTypeInfo, IdentMapping> Map;
};

IdentMappings& Mappings()
{
    static IdentMappings mappings;
    return mappings;
}

bool FindMapping(PTypeInfo type, IdentMapping& mapping)
{
    IdentMappings& m = Mappings();
    const std::lock_guard guard(m.Lock);
    const auto it = m.Map.find(type);
    if (it == m.Map.end())
        return false;
    mapping = it->second;
    return true;
}

} // namespace

void RegisterIntegerIdentMapping(PTypeInfo type, TIdentToInt identToInt, TIntToIdent intToIdent)
{
    IdentMappings& m = Mappings();
    const std::lock_guard guard(m.Lock);
    m.Map[type] = IdentMapping{std::move(identToInt), std::move(intToIdent)};
}

void UnregisterIntegerIdentMapping(PTypeInfo type)
{
    IdentMappings& m = Mappings();
    const std::lock_guard guard(m.Lock);
    m.Map.erase(type);
}

// ---- options

TExCustomAppStorageOptions::TExCustomAppStorageOptions()
{
    SetBooleanStringTrueValues("TRUE, YES, Y");
    SetBooleanStringFalseValues("FALSE, NO, N");
    SetBooleanAsString(true);
}

void TExCustomAppStorageOptions::SetBooleanStringTrueValues(const std::string& values)
{
    FTrueValues = values;
    FBooleanAsString = FBooleanAsString && !FirstTrueText().empty();
}

void TExCustomAppStorageOptions::SetBooleanStringFalseValues(const std::string& values)
{
    FFalseValues = values;
    FBooleanAsString = FBooleanAsString && !FirstFalseText().empty();
}

void TExCustomAppStorageOptions::SetBooleanAsString(bool value)
{
    FBooleanAsString = value && !FirstTrueText().empty() && !FirstFalseText().empty();
}

std::string TExCustomAppStorageOptions::FirstTrueText() const
{
    return FirstWord(FTrueValues);
}

std::string TExCustomAppStorageOptions::FirstFalseText() const
{
    return FirstWord(FFalseValues);
}

bool TExCustomAppStorageOptions::IsTrueText(const std::string& value) const
{
    return IsListWord(FTrueValues, value);
}

bool TExCustomAppStorageOptions::IsFalseText(const std::string& value) const
{
    return IsListWord(FFalseValues, value);
}

void TExCustomAppStorageOptions::Assign(const TPersistent& source)
{
    const auto* other = dynamic_cast<const TExCustomAppStorageOptions*>(&source);
    if (!other) {
        TPersistent::Assign(source);
        return;
    }
    FTrueValues = other->FTrueValues;
    FFalseValues = other->FFalseValues;
    FBooleanAsString = other->FBooleanAsString;
    FEnumerationAsString = other->FEnumerationAsString;
    FTypedIntegerAsString = other->FTypedIntegerAsString;
    FSetAsString = other->FSetAsString;
    FDateTimeAsString = other->FDateTimeAsString;
    FFloatAsString = other->FFloatAsString;
    FDefaultIfReadConvertError = other->FDefaultIfReadConvertError;
    FDefaultIfValueNotExists = other->FDefaultIfValueNotExists;
}

// ---- sub-storages

void TExAppSubStorage::SetRootPath(const std::string& value)
{
    const std::string root = TExCustomAppStorage::NormalizePathList({value});
    if (root == FRootPath)
        return;
    if (FCollection.MatchingSubStorage(root + "\\*", this))
        throw EExLibAppStorageError(Format(ExRes::NotUniqueRootPath, {root}));
    FRootPath = root;
}

void TExAppSubStorage::SetAppStorage(TExCustomAppStorage* store)
{
    if (store == FAppStorage)
        return;
    TExCustomAppStorage& owner = FCollection.Owner();
    if (store && (store == &owner || store->ReachesStore(&owner)))
        throw EExLibAppStorageError(ExRes::CircularStorages);
    TExCustomAppStorage* old = FAppStorage;
    FAppStorage = store;
    if (old) {
        bool stillServing = false;
        for (int i = 0; i < FCollection.Count(); ++i)
            stillServing = stillServing || FCollection.Items(i).AppStorage() == old;
        if (!stillServing)
            owner.RemoveFreeNotification(old);
    }
    if (store)
        owner.FreeNotification(store);
}

std::string TExAppSubStorage::DisplayName() const
{
    if (!FRootPath.empty() && FAppStorage)
        return "\\" + FRootPath + "=" + FAppStorage->Name();
    return "TExAppSubStorage";
}

TExAppSubStorages::~TExAppSubStorages() = default;

TExAppSubStorage& TExAppSubStorages::Add()
{
    FItems.push_back(std::make_unique<TExAppSubStorage>(*this));
    return *FItems.back();
}

TExAppSubStorage& TExAppSubStorages::Items(int index) const
{
    if (index < 0 || index >= Count())
        throw EListError(Format("List index out of bounds (%d)", {index}));
    return *FItems[static_cast<size_t>(index)];
}

int TExAppSubStorages::IndexOf(const TExAppSubStorage* item) const
{
    for (int i = 0; i < Count(); ++i)
        if (FItems[static_cast<size_t>(i)].get() == item)
            return i;
    return -1;
}

void TExAppSubStorages::Delete(int index)
{
    Items(index).SetAppStorage(nullptr);
    FItems.erase(FItems.begin() + index);
}

void TExAppSubStorages::Clear()
{
    while (Count() > 0)
        Delete(Count() - 1);
}

TExAppSubStorage* TExAppSubStorages::MatchingSubStorage(const std::string& path, const TExAppSubStorage* ignore) const
{
    const std::string p = TExCustomAppStorage::NormalizePathList({path});
    TExAppSubStorage* best = nullptr;
    for (const auto& item : FItems) {
        if (item.get() == ignore)
            continue;
        const std::string& root = item->RootPath();
        if (root.empty() || p.size() <= root.size() || p[root.size()] != '\\')
            continue;
        if (!SameText(std::string_view(p).substr(0, root.size()), root))
            continue;
        if (!best || root.size() > best->RootPath().size())
            best = item.get();
    }
    return best;
}

void TExAppSubStorages::RemoveStore(const TComponent* store)
{
    std::erase_if(FItems, [store](const auto& item) {
        return item->AppStorage() && static_cast<const TComponent*>(item->AppStorage()) == store;
    });
}

// ---- the store

TExCustomAppStorage::TExCustomAppStorage(TComponent* AOwner) : TExComponent(AOwner) {}

TExCustomAppStorage::~TExCustomAppStorage() = default;

std::unique_ptr<TExCustomAppStorageOptions> TExCustomAppStorage::OptionsClass() const
{
    return std::make_unique<TExAppStorageOptions>();
}

TExCustomAppStorageOptions& TExCustomAppStorage::StorageOptions() const
{
    // why: the kind of options depends on the derived store, which a constructor cannot ask.
    if (!FOptions)
        FOptions = OptionsClass();
    return *FOptions;
}

std::string TExCustomAppStorage::NormalizePathList(const std::vector<std::string>& paths)
{
    if (paths.empty())
        return {};
    size_t start = 0;
    for (size_t i = paths.size(); i-- > 1;)
        if (!paths[i].empty() && paths[i][0] == '\\') {
            start = i;
            break;
        }
    std::vector<std::string> result;
    TStringList pieces;
    for (size_t i = start; i < paths.size(); ++i) {
        SplitToList(paths[i], "\\", pieces, false);
        for (int k = 0; k < pieces.Count(); ++k) {
            const std::string piece = pieces[k];
            const int dots = CharCount(piece, '.');
            if (dots == static_cast<int>(piece.size())) {
                const size_t climb = std::min(result.size(), static_cast<size_t>(dots - 1));
                result.resize(result.size() - climb);
            } else {
                result.push_back(piece);
            }
        }
    }
    std::string joined;
    for (size_t i = 0; i < result.size(); ++i) {
        if (i > 0)
            joined += '\\';
        joined += result[i];
    }
    return joined.find_first_not_of(' ') == std::string::npos ? std::string() : joined;
}

std::string TExCustomAppStorage::AbsolutePath(const std::string& path) const
{
    const std::string result = FStoreRoot + "\\" + NormalizePathList({FCurrentPath, path});
    const size_t first = result.find_first_not_of('\\');
    return first == std::string::npos ? std::string() : result.substr(first);
}

void TExCustomAppStorage::SectionAndName(const std::string& path, std::string& section, std::string& name) const
{
    const std::string absolute = AbsolutePath(path);
    const size_t slash = absolute.rfind('\\');
    if (slash == std::string::npos) {
        section.clear();
        name = absolute;
    } else {
        section = absolute.substr(0, slash);
        name = absolute.substr(slash + 1);
    }
}

TExCustomAppStorage& TExCustomAppStorage::RouteToStore(const std::string& path, std::string& targetPath)
{
    targetPath = "\\" + NormalizePathList({FCurrentPath, path});
    const TExAppSubStorage* item = FSubStorages.MatchingSubStorage(targetPath);
    if (!item || !item->AppStorage())
        return *this;
    const std::string inside = NormalizePathList({targetPath.substr(item->RootPath().size() + 1)});
    if (inside.empty())
        throw EExLibAppStorageError(ExRes::InvalidPath);
    targetPath = "\\" + inside;
    return *item->AppStorage();
}

bool TExCustomAppStorage::ReachesStore(const TExCustomAppStorage* store) const
{
    for (int i = 0; i < FSubStorages.Count(); ++i) {
        const TExCustomAppStorage* served = FSubStorages.Items(i).AppStorage();
        if (served && (served == store || served->ReachesStore(store)))
            return true;
    }
    return false;
}

void TExCustomAppStorage::Notification(TComponent* component, TOperation operation)
{
    TExComponent::Notification(component, operation);
    // why: a store that goes is no store any more by now, so it is compared as a component.
    if (operation == TOperation::opRemove)
        FSubStorages.RemoveStore(component);
}

void TExCustomAppStorage::Loaded()
{
    TExComponent::Loaded();
    if (!InBatch())
        RefreshContent();
}

bool TExCustomAppStorage::ReadOnly() const
{
    if (ComponentState().Contains(csDesigning))
        return FReadOnly;
    return FReadOnly || FileMarkedReadOnly();
}

// ---- public path operations

int TExCustomAppStorage::GetInteger(const std::string& path, int defaultValue)
{
    std::string target;
    return RouteToStore(path, target).LoadInteger(target, defaultValue);
}

void TExCustomAppStorage::PutInteger(const std::string& path, int value)
{
    std::string target;
    TExCustomAppStorage& store = RouteToStore(path, target);
    if (!store.ReadOnly())
        store.SaveInteger(target, value);
}

std::string TExCustomAppStorage::GetString(const std::string& path, const std::string& defaultValue)
{
    std::string target;
    return RouteToStore(path, target).LoadString(target, defaultValue);
}

void TExCustomAppStorage::PutString(const std::string& path, const std::string& value)
{
    std::string target;
    TExCustomAppStorage& store = RouteToStore(path, target);
    if (!store.ReadOnly())
        store.SaveString(target, value);
}

bool TExCustomAppStorage::GetBoolean(const std::string& path, bool defaultValue)
{
    std::string target;
    return RouteToStore(path, target).LoadBoolean(target, defaultValue);
}

void TExCustomAppStorage::PutBoolean(const std::string& path, bool value)
{
    std::string target;
    TExCustomAppStorage& store = RouteToStore(path, target);
    if (!store.ReadOnly())
        store.SaveBoolean(target, value);
}

bool TExCustomAppStorage::HasValue(const std::string& path)
{
    std::string target;
    return RouteToStore(path, target).ValueExistsAt(target);
}

bool TExCustomAppStorage::HasFolder(const std::string& path)
{
    std::string target;
    return RouteToStore(path, target).FolderExistsAt(target);
}

bool TExCustomAppStorage::HasList(const std::string& path)
{
    std::string target;
    TExCustomAppStorage& store = RouteToStore(path, target);
    return store.ValueExistsAt(AppendSuffixOnce("\\", target) + "Count");
}

bool TExCustomAppStorage::CountsAsFolder(const std::string& path, bool listIsValue)
{
    std::string target;
    return RouteToStore(path, target).FolderCheck(target, listIsValue);
}

void TExCustomAppStorage::EraseTree(const std::string& path)
{
    std::string target;
    TExCustomAppStorage& store = RouteToStore(path, target);
    if (!store.ReadOnly())
        store.RemoveTreeAt(target);
}

// ---- batches

void TExCustomAppStorage::BeginBatch()
{
    RefreshIfDue();
    ++FBatchCount;
}

void TExCustomAppStorage::EndBatch()
{
    --FBatchCount;
    CommitIfDue();
    if (FBatchCount < 0)
        FBatchCount = 0;
}

void TExCustomAppStorage::RefreshIfDue()
{
    if (RefreshDue())
        RefreshContent();
}

void TExCustomAppStorage::CommitIfDue()
{
    if (CommitDue())
        CommitChanges();
}

// ---- value coding

std::string TExCustomAppStorage::EncodeValueText(const std::string& text)
{
    if (FValueCodingCount <= 0 || !OnEncryptPropertyValue)
        return text;
    std::string value = text;
    OnEncryptPropertyValue(value);
    return MimeEncodeText(value);
}

std::string TExCustomAppStorage::DecodeValueText(const std::string& text)
{
    if (FValueCodingCount <= 0 || !OnDecryptPropertyValue)
        return text;
    std::string value = MimeDecodeText(text);
    OnDecryptPropertyValue(value);
    return value;
}

// ---- the typed layer

template <class T, class Read>
T TExCustomAppStorage::ReadFramed(const std::string& path, const T& defaultValue, Read read)
{
    const TExCustomAppStorageOptions& options = StorageOptions();
    if (options.DefaultIfValueNotExists() && !ValueExistsAt(path))
        return defaultValue;
    try {
        return read();
    } catch (const EConvertError&) {
        if (options.DefaultIfReadConvertError())
            return defaultValue;
        throw;
    }
}

int TExCustomAppStorage::LoadInteger(const std::string& path, int defaultValue)
{
    return ReadFramed(path, defaultValue, [&] { return RawReadInteger(path, defaultValue); });
}

void TExCustomAppStorage::SaveInteger(const std::string& path, int value)
{
    RawWriteInteger(path, value);
}

long double TExCustomAppStorage::LoadFloat(const std::string& path, long double defaultValue)
{
    return ReadFramed(path, defaultValue, [&]() -> long double {
        const std::string defaultText = EncodeValueText(FloatText(defaultValue));
        if (StorageOptions().FloatAsString()) {
            double value = 0;
            if (TryStrToFloat(DecodeValueText(RawReadString(path, defaultText)), value))
                return value;
            return RawReadFloat(path, defaultValue);
        }
        try {
            return RawReadFloat(path, defaultValue);
        } catch (const EConvertError&) {
            return ParseFloat(DecodeValueText(RawReadString(path, defaultText)));
        }
    });
}

void TExCustomAppStorage::SaveFloat(const std::string& path, long double value)
{
    if (StorageOptions().FloatAsString())
        RawWriteString(path, EncodeValueText(FloatText(value)));
    else
        RawWriteFloat(path, value);
}

std::string TExCustomAppStorage::LoadString(const std::string& path, const std::string& defaultValue)
{
    return ReadFramed(path, defaultValue,
                      [&] { return DecodeValueText(RawReadString(path, EncodeValueText(defaultValue))); });
}

void TExCustomAppStorage::SaveString(const std::string& path, const std::string& value)
{
    RawWriteString(path, EncodeValueText(value));
}

int TExCustomAppStorage::LoadBinary(const std::string& path, void* buffer, int size)
{
    return RawReadBinary(path, buffer, size);
}

void TExCustomAppStorage::SaveBinary(const std::string& path, const void* buffer, int size)
{
    RawWriteBinary(path, buffer, size);
}

TDateTime TExCustomAppStorage::LoadDateTime(const std::string& path, TDateTime defaultValue)
{
    return ReadFramed(path, defaultValue, [&]() -> TDateTime {
        const std::string defaultText = EncodeValueText(DateTimeText(defaultValue));
        if (StorageOptions().DateTimeAsString()) {
            TDateTime value = 0;
            if (TryParseDateTime(DecodeValueText(RawReadString(path, defaultText)), value))
                return value;
            return RawReadDateTime(path, defaultValue);
        }
        try {
            return RawReadDateTime(path, defaultValue);
        } catch (const EConvertError&) {
            return ParseDateTime(DecodeValueText(RawReadString(path, defaultText)));
        }
    });
}

void TExCustomAppStorage::SaveDateTime(const std::string& path, TDateTime value)
{
    if (StorageOptions().DateTimeAsString())
        RawWriteString(path, EncodeValueText(DateTimeText(value)));
    else
        RawWriteDateTime(path, value);
}

bool TExCustomAppStorage::LoadBoolean(const std::string& path, bool defaultValue)
{
    return ReadFramed(path, defaultValue, [&]() -> bool {
        const TExCustomAppStorageOptions& options = StorageOptions();
        if (!options.BooleanAsString())
            return RawReadBoolean(path, defaultValue);
        try {
            const std::string word = defaultValue ? options.FirstTrueText() : options.FirstFalseText();
            const std::string text = DecodeValueText(RawReadString(path, EncodeValueText(word)));
            if (options.IsTrueText(text))
                return true;
            if (options.IsFalseText(text))
                return false;
            return RawReadBoolean(path, defaultValue);
        } catch (const EConvertError&) {
            // One more try as a number; its own conversion error goes to the frame.
            return RawReadBoolean(path, defaultValue);
        }
    });
}

void TExCustomAppStorage::SaveBoolean(const std::string& path, bool value)
{
    const TExCustomAppStorageOptions& options = StorageOptions();
    if (options.BooleanAsString())
        RawWriteString(path, EncodeValueText(value ? options.FirstTrueText() : options.FirstFalseText()));
    else
        RawWriteBoolean(path, value);
}

void TExCustomAppStorage::SaveEnumeration(const std::string& path, const TTypeInfo& type, const void* value)
{
    const std::int64_t ordinal = ReadOrdinal(type.Data.OrdType, value);
    const TExCustomAppStorageOptions& options = StorageOptions();
    if (IsBooleanLike(type)) {
        SaveBoolean(path, ordinal != 0);
        return;
    }
    if (IsCharKind(type.Kind)) {
        SaveInteger(path, static_cast<int>(ordinal));
        return;
    }
    if (type.Kind == tkInteger) {
        IdentMapping mapping;
        std::string ident;
        if (options.TypedIntegerAsString() && FindMapping(&type, mapping) && mapping.IntToIdent &&
            mapping.IntToIdent(ordinal, ident))
            SaveString(path, ident);
        else
            SaveInteger(path, static_cast<int>(ordinal));
        return;
    }
    if (type.Kind == tkEnumeration) {
        if (options.EnumerationAsString())
            SaveString(path, OrdinalValueToText(type, value));
        else
            SaveInteger(path, static_cast<int>(ordinal));
        return;
    }
    throw EExLibAppStorageError(ExRes::InvalidType);
}

void TExCustomAppStorage::LoadEnumeration(const std::string& path, const TTypeInfo& type, const void* defaultValue,
                                          void* value)
{
    const std::int64_t defaultOrdinal = ReadOrdinal(type.Data.OrdType, defaultValue);
    const std::int64_t ordinal = ReadFramed(path, defaultOrdinal, [&]() -> std::int64_t {
        if (IsBooleanLike(type))
            return LoadBoolean(path, defaultOrdinal != 0) ? 1 : 0;
        const int defaultInt = static_cast<int>(defaultOrdinal);
        if (IsCharKind(type.Kind))
            return LoadInteger(path, defaultInt);
        if (type.Kind == tkInteger) {
            IdentMapping mapping;
            if (FindMapping(&type, mapping) && mapping.IdentToInt) {
                TExCustomAppStorageOptions& options = StorageOptions();
                const bool saved = options.DefaultIfReadConvertError();
                options.SetDefaultIfReadConvertError(true);
                std::string text;
                try {
                    text = LoadString(path, {});
                } catch (...) {
                    options.SetDefaultIfReadConvertError(saved);
                    throw;
                }
                options.SetDefaultIfReadConvertError(saved);
                std::int64_t mapped = 0;
                if (mapping.IdentToInt(text, mapped))
                    return mapped;
            }
            return LoadInteger(path, defaultInt);
        }
        if (type.Kind == tkEnumeration) {
            const auto names = std::dynamic_pointer_cast<IUclEnumerationTypeInfo>(WrapTypeInfo(type));
            const std::int64_t found = names->IndexOfValueName(LoadString(path, " #!@not known@!# "));
            return found >= 0 ? found : LoadInteger(path, defaultInt);
        }
        throw EExLibAppStorageError(ExRes::InvalidType);
    });
    WriteOrdinal(type.Data.OrdType, value, ordinal);
}

namespace {

// The element type of a set whose members have names: integers, characters, enumerations.
const TTypeInfo& ElementTypeOf(const TTypeInfo& setType)
{
    const TTypeInfo* element = setType.Kind == tkSet ? setType.Data.CompType : nullptr;
    if (!element || !(element->Kind == tkInteger || IsCharKind(element->Kind) || element->Kind == tkEnumeration))
        throw EExLibAppStorageError(ExRes::UnknownSetBaseType);
    return *element;
}

std::string ElementName(const TExCustomAppStorage& store, const TTypeInfo& element, int ordinal)
{
    if (element.Kind == tkInteger)
        return store.IntElementName(ordinal);
    if (IsCharKind(element.Kind))
        return store.CharElementName(static_cast<char>(ordinal));
    const auto names = std::dynamic_pointer_cast<IUclEnumerationTypeInfo>(WrapTypeInfo(element));
    return names->ValueName(ordinal);
}

// Where member `ordinal` lives in a set value whose elements start at `minValue`.
int SetBitOf(int minValue, int ordinal)
{
    return ordinal - minValue + minValue % 8;
}

} // namespace

void TExCustomAppStorage::SaveSet(const std::string& path, const TTypeInfo& setType, const void* value)
{
    if (StorageOptions().SetAsString()) {
        SaveString(path, SetValueToText(setType, value, true));
        return;
    }
    const TTypeInfo& element = ElementTypeOf(setType);
    const int low = element.Data.MinValue;
    for (int ord = low; ord <= element.Data.MaxValue; ++ord)
        SaveBoolean(JoinPaths({path, ElementName(*this, element, ord)}), TestBitInBuffer(value, SetBitOf(low, ord)));
}

void TExCustomAppStorage::LoadSet(const std::string& path, const TTypeInfo& setType, const void* defaultValue,
                                  void* value)
{
    if (FolderCheck(path, true)) {
        const TTypeInfo& element = ElementTypeOf(setType);
        const int low = element.Data.MinValue;
        std::memset(value, 0, static_cast<size_t>(SetValueSize(setType)));
        for (int ord = low; ord <= element.Data.MaxValue; ++ord)
            if (LoadBoolean(JoinPaths({path, ElementName(*this, element, ord)}), false))
                SetBitInBuffer(value, SetBitOf(low, ord));
        return;
    }
    TextToSetValue(setType, value, LoadString(path, SetValueToText(setType, defaultValue, true)));
}

// ---- raw defaults

TDateTime TExCustomAppStorage::RawReadDateTime(const std::string& path, TDateTime defaultValue)
{
    return static_cast<TDateTime>(RawReadFloat(path, defaultValue));
}

void TExCustomAppStorage::RawWriteDateTime(const std::string& path, TDateTime value)
{
    RawWriteFloat(path, value);
}

bool TExCustomAppStorage::RawReadBoolean(const std::string& path, bool defaultValue)
{
    return RawReadInteger(path, defaultValue ? 1 : 0) != 0;
}

void TExCustomAppStorage::RawWriteBoolean(const std::string& path, bool value)
{
    RawWriteInteger(path, value ? 1 : 0);
}

std::string TExCustomAppStorage::CharElementName(char c) const
{
    const auto code = static_cast<unsigned char>(c);
    if (code >= 33 && code <= 122)
        return std::string("Char_") + c;
    return "Char#" + std::to_string(code);
}

std::string TExCustomAppStorage::IntElementName(int value) const
{
    return "Int_" + std::to_string(value);
}

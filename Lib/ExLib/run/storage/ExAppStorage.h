#pragma once
// TExCustomAppStorage: typed settings values under backslash-separated paths ("Forms\Main\Top"),
// without knowing where they are kept; a back end supplies the raw primitives. Paths are
// normalised (empty pieces dropped, "." stays, ".." climbs one level, never above the root),
// relative paths start at CurrentPath, and a path below a sub-storage's root is served by that
// sub-storage. The options decide how booleans, floats, date-times, enumerations and sets are
// stored. Paths here are settings paths, not file paths: they keep their backslashes.

#include "ExLib/run/controls/ExComponent.h"

#include "Platform/core/DateTime.h"
#include "Platform/text/Strings.h"
#include "utility/UclRtti.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class TExCustomAppStorage;

// The identifier mapping of an integer type (as colours map clRed to 255), registered once per
// type record; enumeration and typed-integer values use it when they are stored as text.
using TIntToIdent = std::function<bool(std::int64_t value, std::string& ident)>;
using TIdentToInt = std::function<bool(const std::string& ident, std::int64_t& value)>;
void RegisterIntegerIdentMapping(PTypeInfo type, TIdentToInt identToInt, TIntToIdent intToIdent);
void UnregisterIntegerIdentMapping(PTypeInfo type);

class TExCustomAppStorageOptions : public TPersistent {
public:
    TExCustomAppStorageOptions();

    const std::string& BooleanStringTrueValues() const { return FTrueValues; }
    // BooleanAsString stays True only while the list's first word is not empty.
    void SetBooleanStringTrueValues(const std::string& values);
    const std::string& BooleanStringFalseValues() const { return FFalseValues; }
    void SetBooleanStringFalseValues(const std::string& values);
    bool BooleanAsString() const { return FBooleanAsString; }
    // Holds True only while both first words are non-empty.
    void SetBooleanAsString(bool value);
    bool EnumerationAsString() const { return FEnumerationAsString; }
    void SetEnumerationAsString(bool value) { FEnumerationAsString = value; }
    bool TypedIntegerAsString() const { return FTypedIntegerAsString; }
    void SetTypedIntegerAsString(bool value) { FTypedIntegerAsString = value; }
    bool SetAsString() const { return FSetAsString; }
    void SetSetAsString(bool value) { FSetAsString = value; }
    bool DateTimeAsString() const { return FDateTimeAsString; }
    void SetDateTimeAsString(bool value) { FDateTimeAsString = value; }
    bool FloatAsString() const { return FFloatAsString; }
    void SetFloatAsString(bool value) { FFloatAsString = value; }
    bool DefaultIfReadConvertError() const { return FDefaultIfReadConvertError; }
    void SetDefaultIfReadConvertError(bool value) { FDefaultIfReadConvertError = value; }
    bool DefaultIfValueNotExists() const { return FDefaultIfValueNotExists; }
    void SetDefaultIfValueNotExists(bool value) { FDefaultIfValueNotExists = value; }

    // The words booleans are written as: the first of each list, trimmed ("TRUE", "FALSE").
    std::string FirstTrueText() const;
    std::string FirstFalseText() const;
    // True when the value is one of the list's words, ignoring letter case.
    bool IsTrueText(const std::string& value) const;
    bool IsFalseText(const std::string& value) const;

    void Assign(const TPersistent& source) override;

private:
    std::string FTrueValues;
    std::string FFalseValues;
    bool FBooleanAsString = false;
    bool FEnumerationAsString = true;
    bool FTypedIntegerAsString = true;
    bool FSetAsString = false;
    bool FDateTimeAsString = true;
    bool FFloatAsString = false;
    bool FDefaultIfReadConvertError = false;
    bool FDefaultIfValueNotExists = true;
};

// The options as the form designer shows them; nothing more.
class TExAppStorageOptions : public TExCustomAppStorageOptions {};

class TExAppSubStorages;

// One sub-storage: the paths below RootPath are served by AppStorage.
class TExAppSubStorage {
public:
    explicit TExAppSubStorage(TExAppSubStorages& collection) : FCollection(collection) {}

    const std::string& RootPath() const { return FRootPath; }
    // Stores the normalised root; EExLibAppStorageError "'%s' is not a unique root path" when
    // another item's root equals it or lies above it.
    void SetRootPath(const std::string& value);
    TExCustomAppStorage* AppStorage() const { return FAppStorage; }
    // EExLibAppStorageError "Circular reference of storages" when `store` would serve its owner.
    void SetAppStorage(TExCustomAppStorage* store);
    // "\Root=Name" when both are set.
    std::string DisplayName() const;

private:
    friend class TExAppSubStorages;
    TExAppSubStorages& FCollection;
    std::string FRootPath;
    TExCustomAppStorage* FAppStorage = nullptr;
};

class TExAppSubStorages : public TPersistent {
public:
    explicit TExAppSubStorages(TExCustomAppStorage& owner) : FOwner(owner) {}
    ~TExAppSubStorages() override;

    TExAppSubStorage& Add();
    int Count() const { return static_cast<int>(FItems.size()); }
    TExAppSubStorage& Items(int index) const;
    int IndexOf(const TExAppSubStorage* item) const;
    void Delete(int index);
    void Clear();
    TExCustomAppStorage& Owner() const { return FOwner; }

    // The item whose root begins `path` (normalised) followed by a backslash, ignoring letter
    // case; the longest root wins, the first of equal length; `ignore` is left out.
    TExAppSubStorage* MatchingSubStorage(const std::string& path, const TExAppSubStorage* ignore = nullptr) const;
    // Deletes every item served by `store`.
    void RemoveStore(const TComponent* store);

private:
    TExCustomAppStorage& FOwner;
    std::vector<std::unique_ptr<TExAppSubStorage>> FItems;
};

using TExAppStorageTranslateEvent =
    std::function<void(TExCustomAppStorage* Sender, TPersistent* Instance, std::string& Name, bool Reading)>;
using TExAppStorageCryptEvent = std::function<void(std::string& Value)>;

class TExCustomAppStorage : public TExComponent {
public:
    explicit TExCustomAppStorage(TComponent* AOwner);
    ~TExCustomAppStorage() override;

    // ---- paths
    // Starts at the last element (from the second on) that begins with a backslash; "."
    // pieces stay, ".." climbs one level (a piece of n dots climbs n - 1), never above the root.
    static std::string NormalizePathList(const std::vector<std::string>& paths);
    static std::string JoinPaths(const std::vector<std::string>& paths) { return NormalizePathList(paths); }
    const std::string& StoreRoot() const { return FStoreRoot; }
    const std::string& CurrentPath() const { return FCurrentPath; }
    void SetCurrentPath(const std::string& path) { FCurrentPath = NormalizePathList({path}); }
    std::string AbsolutePath(const std::string& path) const;
    // The text before the last backslash of the absolute path, and the text after it.
    virtual void SectionAndName(const std::string& path, std::string& section, std::string& name) const;

    // ---- values by path, routed to the serving store; writes to a read-only store are skipped
    int GetInteger(const std::string& path, int defaultValue = 0);
    void PutInteger(const std::string& path, int value);
    std::string GetString(const std::string& path, const std::string& defaultValue = {});
    void PutString(const std::string& path, const std::string& value);
    bool GetBoolean(const std::string& path, bool defaultValue = false);
    void PutBoolean(const std::string& path, bool value);
    bool HasValue(const std::string& path);
    bool HasFolder(const std::string& path);
    // True when the folder the path names holds a value "Count".
    bool HasList(const std::string& path);
    bool CountsAsFolder(const std::string& path, bool listIsValue);
    void EraseTree(const std::string& path);

    // ---- batches: no commit and no re-read until the outermost EndBatch
    void BeginBatch();
    void EndBatch();
    bool InBatch() const { return FBatchCount != 0; }

    TExCustomAppStorageOptions& StorageOptions() const;
    TExAppSubStorages& SubStorages() { return FSubStorages; }
    bool AutoFlush() const { return FAutoFlush; }
    void SetAutoFlush(bool value) { FAutoFlush = value; }
    bool AutoReload() const { return FAutoReload; }
    void SetAutoReload(bool value) { FAutoReload = value; }
    // The flag, or a source the system marks read-only.
    bool ReadOnly() const;
    void SetReadOnly(bool value) { FReadOnly = value; }
    // Value coding (the crypt events, then Base64) acts only while enabled and only with its
    // event set.
    void EnableValueCoding() { ++FValueCodingCount; }
    void DisableValueCoding() { --FValueCodingCount; }

    // ---- the typed layer
    virtual int LoadInteger(const std::string& path, int defaultValue);
    virtual void SaveInteger(const std::string& path, int value);
    virtual long double LoadFloat(const std::string& path, long double defaultValue);
    virtual void SaveFloat(const std::string& path, long double value);
    virtual std::string LoadString(const std::string& path, const std::string& defaultValue);
    virtual void SaveString(const std::string& path, const std::string& value);
    virtual int LoadBinary(const std::string& path, void* buffer, int size);
    virtual void SaveBinary(const std::string& path, const void* buffer, int size);
    virtual TDateTime LoadDateTime(const std::string& path, TDateTime defaultValue);
    virtual void SaveDateTime(const std::string& path, TDateTime value);
    virtual bool LoadBoolean(const std::string& path, bool defaultValue);
    virtual void SaveBoolean(const std::string& path, bool value);
    // Booleans, characters, integers and enumerations; the value and the default are ordinals
    // of the type's storage size.
    virtual void LoadEnumeration(const std::string& path, const TTypeInfo& type, const void* defaultValue, void* value);
    virtual void SaveEnumeration(const std::string& path, const TTypeInfo& type, const void* value);
    // Set values in the layout of the set type (SetValueSize bytes).
    virtual void LoadSet(const std::string& path, const TTypeInfo& setType, const void* defaultValue, void* value);
    virtual void SaveSet(const std::string& path, const TTypeInfo& setType, const void* value);

    // ---- the back end's primitives
    virtual void ListFolders(const std::string& path, TStrings& names, bool listIsValue) = 0;
    virtual void ListValues(const std::string& path, TStrings& names, bool listIsValue) = 0;
    virtual bool FolderCheck(const std::string& path, bool listIsValue) = 0;
    virtual bool FolderExistsAt(const std::string& path) = 0;
    virtual bool ValueExistsAt(const std::string& path) = 0;
    virtual void RemoveValueAt(const std::string& path) = 0;
    virtual void RemoveTreeAt(const std::string& path) = 0;
    virtual int RawReadInteger(const std::string& path, int defaultValue) = 0;
    virtual void RawWriteInteger(const std::string& path, int value) = 0;
    virtual long double RawReadFloat(const std::string& path, long double defaultValue) = 0;
    virtual void RawWriteFloat(const std::string& path, long double value) = 0;
    virtual std::string RawReadString(const std::string& path, const std::string& defaultValue) = 0;
    virtual void RawWriteString(const std::string& path, const std::string& value) = 0;
    virtual int RawReadBinary(const std::string& path, void* buffer, int size) = 0;
    virtual void RawWriteBinary(const std::string& path, const void* buffer, int size) = 0;
    virtual TDateTime RawReadDateTime(const std::string& path, TDateTime defaultValue);
    virtual void RawWriteDateTime(const std::string& path, TDateTime value);
    virtual bool RawReadBoolean(const std::string& path, bool defaultValue);
    virtual void RawWriteBoolean(const std::string& path, bool value);
    virtual bool FileMarkedReadOnly() const { return false; }
    virtual void CommitChanges() {}
    virtual void RefreshContent() {}
    virtual bool RefreshDue() const { return FAutoReload && !InBatch(); }
    virtual bool CommitDue() const { return FAutoFlush && !InBatch(); }
    void RefreshIfDue();
    void CommitIfDue();
    virtual std::string CharElementName(char c) const;
    virtual std::string IntElementName(int value) const;

    void Loaded() override;

    TExAppStorageTranslateEvent OnTranslatePropertyName;
    TExAppStorageCryptEvent OnEncryptPropertyValue;
    TExAppStorageCryptEvent OnDecryptPropertyValue;

protected:
    // Makes the options object of this kind of store.
    virtual std::unique_ptr<TExCustomAppStorageOptions> OptionsClass() const;
    void Notification(TComponent* component, TOperation operation) override;
    std::string EncodeValueText(const std::string& text);
    std::string DecodeValueText(const std::string& text);

private:
    friend class TExAppSubStorage;
    // The store that serves `path` and the path inside it; "Invalid path" when a sub-storage
    // would get nothing below its root.
    TExCustomAppStorage& RouteToStore(const std::string& path, std::string& targetPath);
    // True when this store is `store` or reaches it through its sub-storages.
    bool ReachesStore(const TExCustomAppStorage* store) const;
    template <class T, class Read>
    T ReadFramed(const std::string& path, const T& defaultValue, Read read);

    std::string FStoreRoot;
    std::string FCurrentPath;
    mutable std::unique_ptr<TExCustomAppStorageOptions> FOptions;
    TExAppSubStorages FSubStorages{*this};
    bool FAutoFlush = false;
    bool FAutoReload = false;
    bool FReadOnly = false;
    int FBatchCount = 0;
    int FValueCodingCount = 0;
};

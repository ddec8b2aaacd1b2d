#pragma once
// The hierarchical key-value store through which highlighters may import and export their
// attribute settings under registry-style key and value names. TSrcRegistry is the small
// interface a settings store implements; TSrcMemoryRegistry keeps the values in memory.

#include "Platform/core/Exceptions.h"

#include <map>
#include <string>
#include <variant>

ZENTU_DECLARE_EXCEPTION(ERegistryException, Exception);

enum class TSrcRegDataType { rdUnknown, rdString, rdInteger };

class TSrcRegistry {
public:
    virtual ~TSrcRegistry() = default;

    // Keys are paths below the store's root, their parts separated by backslashes. Opening makes
    // the key current for the value operations; false when it does not exist (and, with
    // `canCreate`, cannot be made).
    virtual bool OpenKey(const std::string& key, bool canCreate) = 0;
    virtual bool OpenKeyReadOnly(const std::string& key) = 0;
    virtual void CloseKey() = 0;

    // rdUnknown when the current key has no such value.
    virtual TSrcRegDataType ValueType(const std::string& name) const = 0;
    bool ValueExists(const std::string& name) const { return ValueType(name) != TSrcRegDataType::rdUnknown; }
    // Raise ERegistryException "Invalid data type for '%s'" for a missing value or another type.
    virtual int ReadInteger(const std::string& name) const = 0;
    virtual std::string ReadString(const std::string& name) const = 0;
    // Raise ERegistryException "Failed to set data for '%s'" without a writable current key.
    virtual void WriteInteger(const std::string& name, int value) = 0;
    virtual void WriteString(const std::string& name, const std::string& value) = 0;
};

// Key and value names compare without letter case.
class TSrcMemoryRegistry : public TSrcRegistry {
public:
    bool OpenKey(const std::string& key, bool canCreate) override;
    bool OpenKeyReadOnly(const std::string& key) override;
    void CloseKey() override;
    TSrcRegDataType ValueType(const std::string& name) const override;
    int ReadInteger(const std::string& name) const override;
    std::string ReadString(const std::string& name) const override;
    void WriteInteger(const std::string& name, int value) override;
    void WriteString(const std::string& name, const std::string& value) override;

    bool KeyExists(const std::string& key) const;

private:
    using Value = std::variant<int, std::string>;
    using Values = std::map<std::string, Value>;
    const Value* Find(const std::string& name) const;
    Values& Writable(const std::string& name);

    std::map<std::string, Values> FKeys;
    std::string FCurrentKey;
    bool FOpen = false;
    bool FReadOnly = false;
};

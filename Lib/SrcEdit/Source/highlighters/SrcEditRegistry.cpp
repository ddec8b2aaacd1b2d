// The in-memory registry store.

#include "SrcEdit/Source/highlighters/SrcEditRegistry.h"

#include "Platform/text/Format.h"
#include "Platform/text/TextUtils.h"

namespace {

// The canonical form of a key path: lower case, no leading, trailing or doubled backslashes.
std::string NormalKey(const std::string& key)
{
    std::string result;
    for (const char c : LowerCase(key)) {
        if (c == '\\' && (result.empty() || result.back() == '\\'))
            continue;
        result += c;
    }
    if (!result.empty() && result.back() == '\\')
        result.pop_back();
    return result;
}

} // namespace

bool TSrcMemoryRegistry::KeyExists(const std::string& key) const
{
    return FKeys.count(NormalKey(key)) != 0;
}

bool TSrcMemoryRegistry::OpenKey(const std::string& key, bool canCreate)
{
    const std::string path = NormalKey(key);
    if (!FKeys.count(path)) {
        if (!canCreate)
            return false;
        // why: a key exists only with all its parents
        for (size_t p = path.find('\\'); p != std::string::npos; p = path.find('\\', p + 1))
            FKeys[path.substr(0, p)];
        FKeys[path];
    }
    FCurrentKey = path;
    FOpen = true;
    FReadOnly = false;
    return true;
}

bool TSrcMemoryRegistry::OpenKeyReadOnly(const std::string& key)
{
    if (!OpenKey(key, false))
        return false;
    FReadOnly = true;
    return true;
}

void TSrcMemoryRegistry::CloseKey()
{
    FOpen = false;
    FCurrentKey.clear();
}

const TSrcMemoryRegistry::Value* TSrcMemoryRegistry::Find(const std::string& name) const
{
    if (!FOpen)
        return nullptr;
    const auto key = FKeys.find(FCurrentKey);
    if (key == FKeys.end())
        return nullptr;
    const auto value = key->second.find(LowerCase(name));
    return value == key->second.end() ? nullptr : &value->second;
}

TSrcRegDataType TSrcMemoryRegistry::ValueType(const std::string& name) const
{
    const Value* value = Find(name);
    if (!value)
        return TSrcRegDataType::rdUnknown;
    return std::holds_alternative<int>(*value) ? TSrcRegDataType::rdInteger : TSrcRegDataType::rdString;
}

int TSrcMemoryRegistry::ReadInteger(const std::string& name) const
{
    const Value* value = Find(name);
    if (!value || !std::holds_alternative<int>(*value))
        throw ERegistryException(Format("Invalid data type for '%s'", {name}));
    return std::get<int>(*value);
}

std::string TSrcMemoryRegistry::ReadString(const std::string& name) const
{
    const Value* value = Find(name);
    if (!value || !std::holds_alternative<std::string>(*value))
        throw ERegistryException(Format("Invalid data type for '%s'", {name}));
    return std::get<std::string>(*value);
}

TSrcMemoryRegistry::Values& TSrcMemoryRegistry::Writable(const std::string& name)
{
    if (!FOpen || FReadOnly)
        throw ERegistryException(Format("Failed to set data for '%s'", {name}));
    return FKeys[FCurrentKey];
}

void TSrcMemoryRegistry::WriteInteger(const std::string& name, int value)
{
    Writable(name)[LowerCase(name)] = value;
}

void TSrcMemoryRegistry::WriteString(const std::string& name, const std::string& value)
{
    Writable(name)[LowerCase(name)] = value;
}

// Typed keys, numbered lists, the key map and the four settings files.

#include "settings/zuSettings.h"

#include "settings/zuIniText.h"

#include "Platform/text/Strings.h"
#include "Platform/text/TextUtils.h"

#include <memory>

namespace {

std::string S(std::string_view s)
{
    return std::string(s);
}

std::unique_ptr<TIniFileEx> OwnedFiles[4];

} // namespace

bool TBoolKey::Read(const TIniFileEx& ini) const
{
    return Read(ini, Default);
}
bool TBoolKey::Read(const TIniFileEx& ini, bool defaultValue) const
{
    return ini.ReadBool(S(Section), S(Key), defaultValue);
}
void TBoolKey::Write(TIniFileEx& ini, bool value) const
{
    ini.WriteBool(S(Section), S(Key), value);
}

int TIntKey::Read(const TIniFileEx& ini) const
{
    return Read(ini, Default);
}
int TIntKey::Read(const TIniFileEx& ini, int defaultValue) const
{
    return ini.ReadInteger(S(Section), S(Key), defaultValue);
}
void TIntKey::Write(TIniFileEx& ini, int value) const
{
    ini.WriteInteger(S(Section), S(Key), value);
}

double TFloatKey::Read(const TIniFileEx& ini) const
{
    return Read(ini, Default);
}
double TFloatKey::Read(const TIniFileEx& ini, double defaultValue) const
{
    return ini.ReadFloat(S(Section), S(Key), defaultValue);
}
void TFloatKey::Write(TIniFileEx& ini, double value) const
{
    ini.WriteFloat(S(Section), S(Key), value);
}

std::string TStringKey::Read(const TIniFileEx& ini) const
{
    return Read(ini, S(Default));
}
std::string TStringKey::Read(const TIniFileEx& ini, const std::string& defaultValue) const
{
    return ini.ReadString(S(Section), S(Key), defaultValue);
}
void TStringKey::Write(TIniFileEx& ini, const std::string& value) const
{
    ini.WriteString(S(Section), S(Key), value);
}

TColor TColorKey::Read(const TIniFileEx& ini) const
{
    return Read(ini, Default);
}
TColor TColorKey::Read(const TIniFileEx& ini, TColor defaultValue) const
{
    return ini.ReadColor(S(Section), S(Key), defaultValue);
}
void TColorKey::Write(TIniFileEx& ini, TColor value) const
{
    ini.WriteColor(S(Section), S(Key), value);
}

void TFontSettingKey::Read(const TIniFileEx& ini, TFont& font) const
{
    ini.ReadFont(S(Section), S(Key), font);
}
void TFontSettingKey::Write(TIniFileEx& ini, const TFont& font) const
{
    ini.WriteFont(S(Section), S(Key), font);
}

void ReadNumberedList(const TIniFileEx& ini, std::string_view section, TStrings& list)
{
    TStringsUpdate update(list);
    list.Clear();
    const std::string sectionName = S(section);
    for (int n = 0;; ++n) {
        const std::string key = IntToStr(n);
        if (!ini.ValueExists(sectionName, key))
            break;
        list.Add(ini.ReadString(sectionName, key, ""));
    }
}

void WriteNumberedList(TIniFileEx& ini, std::string_view section, const TStrings& list, int maxCount,
                       const std::vector<std::string_view>& keepKeys)
{
    const int count = maxCount < 0 ? list.Count() : std::min(maxCount, list.Count());
    // why: one write for the whole list, so that no reader and no crash meets half a list.
    ini.Modify([&](TIniText& text) {
        std::vector<std::pair<std::string_view, std::string>> kept;
        for (std::string_view key : keepKeys)
            if (std::string value; text.ReadValue(section, key, value))
                kept.emplace_back(key, std::move(value));
        text.EraseSection(section);
        for (int n = 0; n < count; ++n)
            text.WriteValue(section, IntToStr(n), list[n]);
        for (const auto& [key, value] : kept)
            text.WriteValue(section, key, value);
    });
}

TShortCut ReadKeymapShortCut(const TIniFileEx& keymap, std::string_view actionName, TShortCut builtIn)
{
    const int code = keymap.ReadInteger(S(Settings::KeymapSection), S(actionName), builtIn);
    // why: a code outside 16 bits is no shortcut; truncating it would bind an arbitrary key.
    return code >= 0 && code <= 0xFFFF ? static_cast<TShortCut>(code) : builtIn;
}

void WriteKeymap(TIniFileEx& keymap, const std::vector<std::pair<std::string, TShortCut>>& shortcuts)
{
    keymap.Modify([&](TIniText& text) {
        text.EraseSection(Settings::KeymapSection);
        for (const auto& [action, shortcut] : shortcuts)
            text.WriteValue(Settings::KeymapSection, action, IntToStr(shortcut));
    });
}

TIniFileEx* SettingsFile = nullptr;
TIniFileEx* ProjectsFile = nullptr;
TIniFileEx* FTPAccountsFile = nullptr;
TIniFileEx* KeymapFile = nullptr;

void OpenSettingsFiles(const std::string& userFolder)
{
    CloseSettingsFiles();
    TIniFileEx** globals[4] = {&SettingsFile, &ProjectsFile, &FTPAccountsFile, &KeymapFile};
    const std::string_view names[4] = {SettingsFileName, ProjectsFileName, FTPAccountsFileName, KeymapFileName};
    for (int i = 0; i < 4; ++i) {
        OwnedFiles[i] = std::make_unique<TIniFileEx>(userFolder + S(names[i]));
        *globals[i] = OwnedFiles[i].get();
    }
}

void CloseSettingsFiles()
{
    TIniFileEx** globals[4] = {&SettingsFile, &ProjectsFile, &FTPAccountsFile, &KeymapFile};
    for (int i = 0; i < 4; ++i) {
        *globals[i] = nullptr;
        OwnedFiles[i].reset();
    }
}

// The settings file class and the colour and font texts.

#include "settings/zentuIniFiles.h"

#include "settings/zuIniText.h"

#include "Platform/files/FileNames.h"
#include "Platform/text/Format.h"
#include "Platform/graphics/Graphics.h"
#include "Platform/files/SafeFileStream.h"
#include "Platform/text/Strings.h"
#include "Platform/text/TextUtils.h"

#include <algorithm>

namespace {

constexpr const char* SInvalidFontText = "Invalid string to font conversion";

void FillStrings(TStrings& target, const std::vector<std::string>& items)
{
    TStringsUpdate update(target);
    target.Clear();
    for (const std::string& item : items)
        target.Add(item);
}

// A section or key that the file cannot hold as one name: a line break would start other
// lines (even sections), "]" ends a header early, and a key with "=" or that begins with "["
// or ";" reads back as another key, a header or a comment.
bool RepresentableName(std::string_view name, bool key)
{
    if (name.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos)
        return false;
    if (!key)
        return name.find(']') == std::string_view::npos;
    const size_t first = name.find_first_not_of(" \t");
    return first != std::string_view::npos && name.find('=') == std::string_view::npos && name[first] != '[' &&
           name[first] != ';';
}

} // namespace

TIniFileEx::TIniFileEx(std::string fileName) : FFileName(std::move(fileName)) {}

TIniFileEx::~TIniFileEx()
{
    try {
        UpdateFile();
    } catch (const std::exception&) {
        // the file itself is whole; only its flush to the disk is not known to be done
    }
}

void TIniFileEx::UpdateFile()
{
    std::lock_guard lock(FLock);
    if (!FUnflushed)
        return;
    try {
        SyncSavedFile(FFileName);
    } catch (const std::exception&) {
        throw EIniFileException(Format("Unable to write to %s", {FFileName}));
    }
    FUnflushed = false;
}

const TIniText& TIniFileEx::Current() const
{
    std::string bytes;
    switch (FVersion.Look(FFileName, bytes)) {
    case TFileVersion::TLook::Unchanged:
        break;
    case TFileVersion::TLook::Changed:
        FText = TIniText(bytes);
        break;
    case TFileVersion::TLook::Unreadable:
        FText = TIniText(); // an unreadable file reads as defaults
        break;
    }
    return FText;
}

void TIniFileEx::Modify(const std::function<void(TIniText& text)>& change)
{
    std::lock_guard lock(FLock);
    std::string bytes;
    const TFileVersion::TLook look = FVersion.Look(FFileName, bytes);
    // why: rewriting a file that could not be read would throw its content away.
    if (look == TFileVersion::TLook::Unreadable)
        throw EIniFileException(Format("Unable to write to %s", {FFileName}));
    if (look == TFileVersion::TLook::Changed)
        FText = TIniText(bytes);
    const std::uint64_t before = FText.Revision();
    // why: after a failure the text in memory may hold a change the file does not.
    try {
        change(FText);
    } catch (...) {
        FVersion.Forget();
        throw;
    }
    if (FText.Revision() == before)
        return;
    std::string after = FText.Text();
    try {
        SaveFileAtomically(FFileName, after, TSaveSync::Later);
    } catch (const std::exception&) {
        FVersion.Forget();
        throw EIniFileException(Format("Unable to write to %s", {FFileName}));
    }
    FUnflushed = true;
    FVersion.Accept(FFileName, std::move(after));
}

std::string TIniFileEx::ReadString(const std::string& section, const std::string& key,
                                   const std::string& defaultValue) const
{
    std::lock_guard lock(FLock);
    std::string value;
    return Current().ReadValue(section, key, value) ? value : defaultValue;
}

void TIniFileEx::WriteString(const std::string& section, const std::string& key, const std::string& value)
{
    // why: written anyway, such a name would be lost and could take other keys' places.
    if (!RepresentableName(section, false) || !RepresentableName(key, true))
        throw EIniFileException(Format("Unable to write to %s", {FFileName}));
    Modify([&](TIniText& text) { text.WriteValue(section, key, value); });
}

int TIniFileEx::ReadInteger(const std::string& section, const std::string& key, int defaultValue) const
{
    std::string text = ReadString(section, key, "");
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
        text = "$" + text.substr(2);
    return StrToIntDef(text, defaultValue);
}

void TIniFileEx::WriteInteger(const std::string& section, const std::string& key, int value)
{
    WriteString(section, key, IntToStr(value));
}

bool TIniFileEx::ReadBool(const std::string& section, const std::string& key, bool defaultValue) const
{
    return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

void TIniFileEx::WriteBool(const std::string& section, const std::string& key, bool value)
{
    WriteString(section, key, value ? "1" : "0");
}

double TIniFileEx::ReadFloat(const std::string& section, const std::string& key, double defaultValue) const
{
    const std::string text = ReadString(section, key, "");
    double value = 0;
    if (TryStrToFloat(text, value))
        return value;
    // why: a file written under another locale may use the other decimal separator.
    std::string swapped = text;
    for (char& c : swapped)
        c = c == ',' ? '.' : (c == '.' ? ',' : c);
    return TryStrToFloat(swapped, value) ? value : defaultValue;
}

void TIniFileEx::WriteFloat(const std::string& section, const std::string& key, double value)
{
    WriteString(section, key, FloatToStr(value));
}

void TIniFileEx::ReadSections(TStrings& sections) const
{
    std::lock_guard lock(FLock);
    FillStrings(sections, Current().SectionNames());
}

void TIniFileEx::ReadSection(const std::string& section, TStrings& keys) const
{
    std::lock_guard lock(FLock);
    FillStrings(keys, Current().SectionKeys(section));
}

void TIniFileEx::ReadSectionValues(const std::string& section, TStrings& lines) const
{
    std::vector<std::string> items;
    {
        std::lock_guard lock(FLock);
        const TIniText& text = Current();
        for (const std::string& key : text.SectionKeys(section)) {
            std::string value;
            text.ReadValue(section, key, value);
            items.push_back(key + "=" + value);
        }
    }
    FillStrings(lines, items);
}

void TIniFileEx::EraseSection(const std::string& section)
{
    Modify([&](TIniText& text) { text.EraseSection(section); });
}

void TIniFileEx::DeleteKey(const std::string& section, const std::string& key)
{
    Modify([&](TIniText& text) { text.DeleteKey(section, key); });
}

bool TIniFileEx::SectionExists(const std::string& section) const
{
    std::lock_guard lock(FLock);
    return !Current().SectionKeys(section).empty();
}

bool TIniFileEx::ValueExists(const std::string& section, const std::string& key) const
{
    std::lock_guard lock(FLock);
    std::string value;
    return Current().ReadValue(section, key, value);
}

TColor TIniFileEx::ReadColor(const std::string& section, const std::string& key, TColor defaultValue) const
{
    TColor color = defaultValue;
    return TryColorFromText(ReadString(section, key, ColorText(defaultValue)), color) ? color : defaultValue;
}

void TIniFileEx::WriteColor(const std::string& section, const std::string& key, TColor value)
{
    WriteString(section, key, ColorText(value));
}

void TIniFileEx::ReadFont(const std::string& section, const std::string& key, TFont& font) const
{
    const std::string defaultText = FontToString(font);
    const std::string text = ReadString(section, key, defaultText);
    try {
        StringToFont(text, font);
    } catch (const EConvertError&) {
        StringToFont(defaultText, font);
    }
}

void TIniFileEx::WriteFont(const std::string& section, const std::string& key, const TFont& font)
{
    WriteString(section, key, FontToString(font));
}

std::string ColorText(TColor color)
{
    return ColorToString(color);
}

bool TryColorFromText(const std::string& text, TColor& color)
{
    if (IdentToColor(text, color))
        return true;
    int value = 0;
    if (!TryStrToInt(text, value))
        return false;
    color = value;
    return true;
}

std::string FontToString(const TFont& font)
{
    const TFontStyles style = font.Style();
    return Format("%s,%d,%d,%d%d%d%d,%s",
                  {font.Name(), font.Size(), static_cast<int>(font.Charset()), style.Contains(fsBold) ? 1 : 0,
                   style.Contains(fsItalic) ? 1 : 0, style.Contains(fsUnderline) ? 1 : 0,
                   style.Contains(fsStrikeOut) ? 1 : 0,
                   IntToHex(static_cast<std::uint32_t>(font.Color()), 8)});
}

void StringToFont(const std::string& text, TFont& font)
{
    std::string rest = text;
    auto takeField = [&rest]() {
        const size_t comma = rest.find(',');
        if (comma == std::string::npos)
            throw EConvertError(SInvalidFontText);
        std::string field = rest.substr(0, comma);
        rest.erase(0, comma + 1);
        return field;
    };
    font.SetName(takeField());
    font.SetSize(StrToInt(takeField()));
    font.SetCharset(static_cast<TFontCharset>(StrToInt(takeField())));
    if (rest.find(',') != 4)
        throw EConvertError(SInvalidFontText);
    TFontStyles style;
    if (rest[0] == '1')
        style.Include(fsBold);
    if (rest[1] == '1')
        style.Include(fsItalic);
    if (rest[2] == '1')
        style.Include(fsUnderline);
    if (rest[3] == '1')
        style.Include(fsStrikeOut);
    font.SetStyle(style);
    TColor color = 0;
    if (!TryColorFromText("$" + rest.substr(5), color))
        throw EConvertError(Format("'%s' is not a valid integer value", {"$" + rest.substr(5)}));
    font.SetColor(color);
}

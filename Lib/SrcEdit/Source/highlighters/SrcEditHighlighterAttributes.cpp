// Highlighter attributes: style values with change notification, defaults and registry import.

#include "SrcEdit/Source/highlighters/SrcEditHighlighterAttributes.h"

#include "Platform/text/TextUtils.h"

#include <vector>

namespace {

constexpr TColor Palette16[16] = {clBlack, clMaroon, clGreen,  clOlive, clNavy, clPurple,  clTeal, clSilver,
                                  clGray,  clRed,    clLime,   clYellow, clBlue, clFuchsia, clAqua, clWhite};

// A colour of the 16-colour palette; a number outside 0 to 15 is an error.
TColor PaletteColor(int number)
{
    if (number < 0 || number > 15)
        throw EConvertError("Palette colour out of range");
    return Palette16[number];
}

std::vector<std::string> SplitFields(const std::string& text)
{
    std::vector<std::string> fields;
    size_t start = 0;
    for (size_t comma; (comma = text.find(',', start)) != std::string::npos; start = comma + 1)
        fields.push_back(Trim(std::string_view(text).substr(start, comma - start)));
    fields.push_back(Trim(std::string_view(text).substr(start)));
    return fields;
}

bool IsTrueText(const std::string& text)
{
    return text != "0" && !SameText(text, "FALSE");
}

TColor ReadColor(TSrcRegistry& reg, const std::string& paletteValue, const std::string& colourValue, bool& found)
{
    found = true;
    if (reg.ValueType(paletteValue) == TSrcRegDataType::rdInteger)
        return PaletteColor(reg.ReadInteger(paletteValue));
    if (reg.ValueExists(colourValue))
        return StringToColor(reg.ReadString(colourValue));
    found = false;
    return clNone;
}

} // namespace

TSrcHighlighterAttributes::TSrcHighlighterAttributes(const std::string& name) : FName(name) {}

void TSrcHighlighterAttributes::SetBackground(TColor value)
{
    if (value == FBackground)
        return;
    FBackground = value;
    NotifyChanged();
}

void TSrcHighlighterAttributes::SetForeground(TColor value)
{
    if (value == FForeground)
        return;
    FForeground = value;
    NotifyChanged();
}

void TSrcHighlighterAttributes::SetStyle(TFontStyles value)
{
    if (value == FStyle)
        return;
    FStyle = value;
    NotifyChanged();
}

void TSrcHighlighterAttributes::RememberDefaults()
{
    FBackgroundDefault = FBackground;
    FForegroundDefault = FForeground;
    FStyleDefault = FStyle;
}

void TSrcHighlighterAttributes::NotifyChanged()
{
    if (OnChange)
        OnChange(this);
}

void TSrcHighlighterAttributes::AssignColorsAndStyle(const TSrcHighlighterAttributes& source)
{
    const bool changed =
        FBackground != source.FBackground || FForeground != source.FForeground || FStyle != source.FStyle;
    FBackground = source.FBackground;
    FForeground = source.FForeground;
    FStyle = source.FStyle;
    if (changed)
        NotifyChanged();
}

void TSrcHighlighterAttributes::Assign(const TPersistent& source)
{
    if (auto src = dynamic_cast<const TSrcHighlighterAttributes*>(&source)) {
        FName = src->FName;
        AssignColorsAndStyle(*src);
        return;
    }
    TPersistent::Assign(source);
}

bool TSrcHighlighterAttributes::ReadFromRegistry(TSrcRegistry& root, const std::string& highlighterKey)
{
    if (!root.OpenKeyReadOnly(highlighterKey + "\\" + FName))
        return false;
    // why: a value of another type is no setting of ours, and reading it as a number would raise
    const auto isNumber = [&root](const char* name) { return root.ValueType(name) == TSrcRegDataType::rdInteger; };
    if (isNumber("Background") && isNumber("Foreground") && isNumber("Style")) {
        SetBackground(root.ReadInteger("Background"));
        SetForeground(root.ReadInteger("Foreground"));
        SetStyle(TFontStyles::FromBits(static_cast<unsigned>(root.ReadInteger("Style")) & 15u));
    }
    return root.OpenKeyReadOnly(highlighterKey);
}

bool TSrcHighlighterAttributes::WriteToRegistry(TSrcRegistry& root, const std::string& highlighterKey) const
{
    if (!root.OpenKey(highlighterKey + "\\" + FName, true))
        return false;
    root.WriteInteger("Background", FBackground);
    root.WriteInteger("Foreground", FForeground);
    root.WriteInteger("Style", static_cast<int>(FStyle.Bits() & 15u));
    return root.OpenKey(highlighterKey, true);
}

bool TSrcHighlighterAttributes::ImportRegistryColors(TSrcRegistry& root, const std::string& key,
                                                     const std::string& name, bool oneValueLayout)
{
    try {
        return oneValueLayout ? ImportOneValue(root, key, name) : ImportSubkey(root, key, name);
    } catch (const Exception&) {
        return false;
    }
}

bool TSrcHighlighterAttributes::ImportOneValue(TSrcRegistry& root, const std::string& key, const std::string& name)
{
    if (!root.OpenKeyReadOnly(key) || root.ValueType(name) != TSrcRegDataType::rdString)
        return false;
    const std::vector<std::string> fields = SplitFields(root.ReadString(name));
    if (fields.size() < 7)
        return false;
    TFontStyles style;
    if (fields[2].find('B') != std::string::npos)
        style.Include(fsBold);
    if (fields[2].find('I') != std::string::npos)
        style.Include(fsItalic);
    if (fields[2].find('U') != std::string::npos)
        style.Include(fsUnderline);
    SetBackground(fields[4] == "1" ? clWindow : PaletteColor(StrToInt(fields[6])));
    SetForeground(fields[3] == "1" ? clWindowText : PaletteColor(StrToInt(fields[5])));
    SetStyle(style);
    return true;
}

bool TSrcHighlighterAttributes::ImportSubkey(TSrcRegistry& root, const std::string& key, const std::string& name)
{
    if (!root.OpenKeyReadOnly(key + "\\" + name))
        return false;
    bool found = false;
    TColor foreground = ReadColor(root, "Foreground Color", "Foreground Color New", found);
    if (!found)
        return false;
    TColor background = ReadColor(root, "Background Color", "Background Color New", found);
    if (!found)
        return false;
    for (const char* flag : {"Bold", "Italic", "Underline", "Default Foreground", "Default Background"})
        if (!root.ValueExists(flag))
            return false;
    TFontStyles style;
    if (IsTrueText(root.ReadString("Bold")))
        style.Include(fsBold);
    if (IsTrueText(root.ReadString("Italic")))
        style.Include(fsItalic);
    if (IsTrueText(root.ReadString("Underline")))
        style.Include(fsUnderline);
    if (IsTrueText(root.ReadString("Default Background")))
        background = clWindow;
    if (IsTrueText(root.ReadString("Default Foreground")))
        foreground = clWindowText;
    SetBackground(background);
    SetForeground(foreground);
    SetStyle(style);
    return true;
}

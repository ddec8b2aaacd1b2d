// GUID values and their text form.

#include "common/zuGuid.h"

#include "Platform/core/Exceptions.h"
#include "Platform/text/Format.h"
#include "Platform/core/QtBridge.h"
#include "Platform/text/TextUtils.h"

#include <QUuid>

namespace {

// Reads `digits` hexadecimal digits at `pos`; false when one is missing.
bool ReadHex(std::string_view text, size_t pos, int digits, std::uint32_t& value)
{
    value = 0;
    for (int i = 0; i < digits; ++i) {
        const int d = HexDigitValue(text[pos + static_cast<size_t>(i)]);
        if (d < 0)
            return false;
        value = value << 4 | static_cast<std::uint32_t>(d);
    }
    return true;
}

} // namespace

std::string GUIDToString(const TGUID& g)
{
    return Format("{%.8x-%.4x-%.4x-%.2x%.2x-%.2x%.2x%.2x%.2x%.2x%.2x}",
                  {g.D1, g.D2, g.D3, g.D4[0], g.D4[1], g.D4[2], g.D4[3], g.D4[4], g.D4[5], g.D4[6], g.D4[7]});
}

bool TryStringToGUID(std::string_view text, TGUID& guid)
{
    // {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}: 38 characters.
    if (text.size() != 38 || text[0] != '{' || text[37] != '}' || text[9] != '-' || text[14] != '-' ||
        text[19] != '-' || text[24] != '-')
        return false;
    TGUID g;
    std::uint32_t v = 0;
    if (!ReadHex(text, 1, 8, g.D1))
        return false;
    if (!ReadHex(text, 10, 4, v))
        return false;
    g.D2 = static_cast<std::uint16_t>(v);
    if (!ReadHex(text, 15, 4, v))
        return false;
    g.D3 = static_cast<std::uint16_t>(v);
    constexpr size_t bytePos[8] = {20, 22, 25, 27, 29, 31, 33, 35};
    for (size_t i = 0; i < 8; ++i) {
        if (!ReadHex(text, bytePos[i], 2, v))
            return false;
        g.D4[i] = static_cast<std::uint8_t>(v);
    }
    guid = g;
    return true;
}

TGUID StringToGUID(std::string_view text)
{
    TGUID guid;
    if (!TryStringToGUID(text, guid))
        throw EConvertError(Format("'%s' is not a valid GUID value", {text}));
    return guid;
}

TGUID CreateGUID()
{
    TGUID guid;
    TryStringToGUID(StdStr(QUuid::createUuid().toString(QUuid::WithBraces)), guid);
    return guid;
}

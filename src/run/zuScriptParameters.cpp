// Form encoding of script parameters.

#include "run/zuScriptParameters.h"

#include "Platform/text/Strings.h"
#include "Platform/text/TextUtils.h"

std::string FormEncode(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == ' ')
            out += '+';
        else if (byte < 128 && std::isalnum(byte))
            out += c;
        else
            out += "%" + IntToHex(byte, 2);
    }
    return out;
}

std::string BuildQueryString(const TStrings& parameters, int requestMethod)
{
    std::string query;
    for (int i = 0; i < parameters.Count(); ++i) {
        const std::string line = parameters[i];
        const size_t equals = line.find('=');
        const std::string name = equals == std::string::npos ? line : line.substr(0, equals);
        // why: the line's own value; a lookup by name would ignore letter case and hand a
        // parameter the value of another one that differs only in case.
        const std::string value = equals == std::string::npos ? std::string() : line.substr(equals + 1);
        query += "&" + FormEncode(name) + "=" + FormEncode(value);
    }
    if (query.empty())
        return query;
    if (requestMethod == RequestMethodGET)
        query[0] = '?';
    else
        query.erase(0, 1);
    return query;
}

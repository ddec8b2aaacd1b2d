#pragma once
// The query or request body a document's script parameters become when it runs.

#include <string>
#include <string_view>

class TStrings;

// How the parameters are sent.
inline constexpr int RequestMethodGET = 0;
inline constexpr int RequestMethodPOST = 1;

// Form encoding: a blank becomes "+", ASCII letters and digits stay, every other byte becomes
// "%" and two upper-case hexadecimal digits ("-", "_", "." and "*" included).
std::string FormEncode(std::string_view text);

// The "name=value" lines encoded and joined by "&": for GET with a leading "?", for POST
// without one; "" for no lines.
std::string BuildQueryString(const TStrings& parameters, int requestMethod);

#pragma once
// The class library's Format: "%" [index ":"] ["-"] [width] ["." precision] type, with the types
// d, u, x, e, f, g, n, m, p, s and "%%". A width or precision may be "*" (taken from the
// arguments). A mismatch between a specifier and its argument raises EConvertError
// "Format '%s' invalid or incompatible with argument".

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <variant>

class TVarRec {
public:
    using Value = std::variant<std::int64_t, std::uint64_t, double, std::string, const void*>;

    TVarRec(int v) : FValue(std::int64_t{v}) {}
    TVarRec(long v) : FValue(std::int64_t{v}) {}
    TVarRec(long long v) : FValue(std::int64_t{v}) {}
    TVarRec(unsigned v) : FValue(std::uint64_t{v}) {}
    TVarRec(unsigned long v) : FValue(std::uint64_t{v}) {}
    TVarRec(unsigned long long v) : FValue(std::uint64_t{v}) {}
    TVarRec(double v) : FValue(v) {}
    TVarRec(char c) : FValue(std::string(1, c)) {}
    TVarRec(const char* s) : FValue(std::string(s ? s : "")) {}
    TVarRec(std::string s) : FValue(std::move(s)) {}
    TVarRec(std::string_view s) : FValue(std::string(s)) {}
    TVarRec(const void* p) : FValue(p) {}

    const Value& Get() const { return FValue; }

private:
    Value FValue;
};

std::string Format(std::string_view format, std::initializer_list<TVarRec> args);
inline std::string Format(std::string_view format) { return Format(format, {}); }

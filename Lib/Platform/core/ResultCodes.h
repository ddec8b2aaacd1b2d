#pragma once
// The success results that the tree view's data objects and the shell's items both answer with;
// one definition, so that code using both sees the same constants.

#include <cstdint>

using HRESULT = std::int32_t;
enum : HRESULT { S_OK = 0, S_FALSE = 1 };

#pragma once
// The tree's errors: ELazyTreeError with its number as help context, and the assertion
// failures by which the tree reports misuse of its interface.

#include "Platform/core/Exceptions.h"

ZENTU_DECLARE_EXCEPTION(ELazyTreeError, Exception);

enum : int {
    hcTFEditLinkIsNil = 2000,
    hcTFWrongMoveError = 2001,
    hcTFWrongStreamFormat = 2002,
    hcTFWrongStreamVersion = 2003,
    hcTFStreamTooSmall = 2004,
    hcTFCorruptStream1 = 2005,
    hcTFCorruptStream2 = 2006,
    hcTFClipboardFailed = 2007,
    hcTFCannotSetUserData = 2008,
};

// The message of a tree error number.
const char* TreeErrorMessage(int number);
// Raises ELazyTreeError with the message of `number` and `number` as help context.
[[noreturn]] void RaiseTreeError(int number);

// Raises EAssertionFailed with `message` unless `condition` holds.
inline void LTAssert(bool condition, const char* message)
{
    if (!condition)
        throw EAssertionFailed(message);
}

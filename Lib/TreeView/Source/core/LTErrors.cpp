#include "TreeView/Source/core/LTErrors.h"

const char* TreeErrorMessage(int number)
{
    switch (number) {
    case hcTFEditLinkIsNil:
        return "Edit link must not be nil.";
    case hcTFWrongMoveError:
        return "Target node cannot be a child node of the node to be moved.";
    case hcTFWrongStreamFormat:
        return "Unable to load tree structure, the format is wrong.";
    case hcTFWrongStreamVersion:
        return "Unable to load tree structure, the version is unknown.";
    case hcTFStreamTooSmall:
        return "Unable to load tree structure, not enough data available.";
    case hcTFCorruptStream1:
        return "Stream data corrupt. A node's anchor chunk is missing.";
    case hcTFCorruptStream2:
        return "Stream data corrupt. Unexpected data after node's end position.";
    case hcTFClipboardFailed:
        return "Clipboard operation failed.";
    case hcTFCannotSetUserData:
        return "Cannot set initial user data because there is not enough user data space allocated.";
    default:
        return "";
    }
}

void RaiseTreeError(int number)
{
    throw ELazyTreeError(TreeErrorMessage(number), number);
}

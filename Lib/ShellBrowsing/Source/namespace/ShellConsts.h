#pragma once
// The flag values of the namespace's questions: item attributes (SFGAO), display-name forms
// (SHGDN), enumeration choices (SHCONTF), file attributes of the find data and the column states
// of the details view. The numbers are the shell's, so that stored values and the Parts that
// name them keep their meaning.

#include "Platform/core/Set.h"

#include <cstdint>

enum : std::uint32_t {
    SFGAO_CANCOPY = 0x1,
    SFGAO_CANMOVE = 0x2,
    SFGAO_CANLINK = 0x4,
    SFGAO_CANRENAME = 0x10,
    SFGAO_CANDELETE = 0x20,
    SFGAO_HASPROPSHEET = 0x40,
    SFGAO_DROPTARGET = 0x100,
    SFGAO_LINK = 0x10000,
    SFGAO_SHARE = 0x20000,
    SFGAO_READONLY = 0x40000,
    SFGAO_HIDDEN = 0x80000,
    SFGAO_NONENUMERATED = 0x100000,
    SFGAO_NEWCONTENT = 0x200000,
    SFGAO_VALIDATE = 0x1000000,
    SFGAO_REMOVABLE = 0x2000000,
    SFGAO_COMPRESSED = 0x4000000,
    SFGAO_FILESYSANCESTOR = 0x10000000,
    SFGAO_FOLDER = 0x20000000,
    SFGAO_FILESYSTEM = 0x40000000,
    SFGAO_HASSUBFOLDER = 0x80000000,
};

enum : std::uint32_t {
    SHGDN_NORMAL = 0x0,
    SHGDN_INFOLDER = 0x1,
    SHGDN_FOREDITING = 0x1000,
    SHGDN_FORADDRESSBAR = 0x4000,
    SHGDN_FORPARSING = 0x8000,
};

enum : std::uint32_t {
    SHCONTF_FOLDERS = 0x20,
    SHCONTF_NONFOLDERS = 0x40,
    SHCONTF_INCLUDEHIDDEN = 0x80,
    SHCONTF_NETPRINTERSRCH = 0x200,
    SHCONTF_SHAREABLE = 0x400,
};

enum : std::uint32_t {
    FILE_ATTRIBUTE_READONLY = 0x1,
    FILE_ATTRIBUTE_HIDDEN = 0x2,
    FILE_ATTRIBUTE_SYSTEM = 0x4,
    FILE_ATTRIBUTE_DIRECTORY = 0x10,
    FILE_ATTRIBUTE_ARCHIVE = 0x20,
    FILE_ATTRIBUTE_NORMAL = 0x80,
    FILE_ATTRIBUTE_TEMPORARY = 0x100,
    FILE_ATTRIBUTE_REPARSE_POINT = 0x400,
    FILE_ATTRIBUTE_COMPRESSED = 0x800,
    FILE_ATTRIBUTE_OFFLINE = 0x1000,
};

enum : std::uint32_t {
    SHCOLSTATE_TYPE_STR = 0x1,
    SHCOLSTATE_TYPE_INT = 0x2,
    SHCOLSTATE_TYPE_DATE = 0x3,
    SHCOLSTATE_ONBYDEFAULT = 0x10,
    SHCOLSTATE_SLOW = 0x20,
    SHCOLSTATE_EXTENDED = 0x40,
    SHCOLSTATE_SECONDARYUI = 0x80,
    SHCOLSTATE_HIDDEN = 0x100,
};

enum class TSHColumnState { csTypeString, csTypeInt, csTypeDate, csOnByDefault, csSlow, csExtended, csSecondaryUI, csHidden };
using TSHColumnStates = TSet<TSHColumnState>;

enum class TFileObject { foFolders, foNonFolders, foHidden, foShareable, foNetworkPrinters };
using TFileObjects = TSet<TFileObject>;

// SHCONTF for the set.
std::uint32_t FileObjectsToFlags(TFileObjects objects);

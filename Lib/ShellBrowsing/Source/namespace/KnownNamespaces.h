#pragma once
// The namespaces of the special folders, shared by the library from its start to its end, and
// the special-folder numbers that have a counterpart here. Folders this system does not have
// (control panel, network neighbourhood, favourites) are nil, and every question about them
// answers as for an item that is not there.

#include "ShellBrowsing/Source/namespace/Namespace.h"

enum : int {
    CSIDL_DESKTOP = 0,
    CSIDL_CONTROLS = 3,
    CSIDL_PERSONAL = 5,
    CSIDL_FAVORITES = 6,
    CSIDL_BITBUCKET = 10,
    CSIDL_DESKTOPDIRECTORY = 16,
    CSIDL_DRIVES = 17,
    CSIDL_NETWORK = 18,
};

// A new namespace for the folder of that number, or nil when this system has none.
std::unique_ptr<TNamespace> CreateSpecialNamespace(int csidl);

struct TKnownNamespaces {
    std::unique_ptr<TNamespace> DesktopFolder;
    std::unique_ptr<TNamespace> RecycleBinFolder;
    std::unique_ptr<TNamespace> PhysicalDesktopFolder;
    std::unique_ptr<TNamespace> MyComputerFolder;
    std::unique_ptr<TNamespace> ControlPanelFolder;
    std::unique_ptr<TNamespace> NetworkNeighborhoodFolder;
    std::unique_ptr<TNamespace> FavoritesFolder;
};

// The shared special namespaces (built on first use, for the GUI thread).
TKnownNamespaces& KnownNamespaces();
void FreeKnownNamespaces();

// Icon indices without asking about a file: 0 closed folder, 1 open folder, 2 a file of no
// known type, 3 the link emblem, 4 the documents folder (-1 without one); -1 otherwise.
int DefaultSystemImageIndex(int kind);

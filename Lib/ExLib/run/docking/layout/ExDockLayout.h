#pragma once
// Saving and loading the dock layout: every floating form with a dock client or server, and
// everything docked below it, as records under "Forms" in a settings store, kept in an INI
// file such as "docking.dat". Loading never writes the file; saving writes it whole and only
// when the whole layout was taken, so a failure leaves the file as it was.

#include "ExLib/run/storage/ExAppStorage.h"

#include <string>

void LoadDockLayoutFromStorage(TExCustomAppStorage& storage, const std::string& rootPath);
void SaveDockLayoutToStorage(TExCustomAppStorage& storage, const std::string& rootPath);
// A missing or empty file loads as an empty layout: every form floats as it was.
void LoadDockLayoutFromIniFile(const std::string& fileName);
void SaveDockLayoutToIniFile(const std::string& fileName);

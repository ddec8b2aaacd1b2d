// Mutation fuzzing of the INI settings store's reader: documents the store itself wrote, with
// every kind of value in folders and lists, mutated and loaded; then every folder and value is
// listed and read as each kind. A value may fail to convert with the store's own error; no
// input crashes, and a loaded document writes the same text again after one load.

#include "ExLib/run/storage/ExIniStorage.h"

#include "Platform/text/Strings.h"
#include "support/MutationFuzzer.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

class TMemoryStore : public TExAppIniFileStorage {
public:
    TMemoryStore() : TExAppIniFileStorage(nullptr) { SetLocation(TFileLocation::flCustom); }
};

std::string WrittenByTheStore()
{
    TMemoryStore store;
    store.PutInteger("Forms\\Main\\DockLeft", -5);
    store.PutString("Forms\\FormNames", "A;B;Main;");
    store.PutBoolean("Forms\\Main\\Visible", true);
    store.PutString("Forms\\Main\\DockClientData", "000004000100000001000000410100000000F6FFFFFF");
    store.SaveFloat("\\Values\\Ratio", 0.375L);
    store.SaveDateTime("\\Values\\When", 45000.5);
    const unsigned char bytes[] = {0, 1, 2, 0xFE, 0xFF};
    store.SaveBinary("\\Values\\Bytes", bytes, sizeof bytes);
    store.PutInteger("List\\Count", 2);
    store.PutString("List\\Item0", "first");
    store.PutString("List\\Item1", "second");
    store.PutString("Deep\\A\\B\\C\\Key", "value");
    return store.ContentText();
}

// Reads every value of the folder `path` and of its folders, as every kind the store offers.
void ReadEverything(TExCustomAppStorage& store, const std::string& path, int depth)
{
    if (depth > 8)
        return;
    TStringList values;
    store.ListValues(path, values, depth % 2 == 0);
    for (int i = 0; i < values.Count(); ++i) {
        const std::string value = path + "\\" + values.Get(i);
        try {
            store.GetString(value);
            store.HasList(value);
            store.GetInteger(value, 7);
        } catch (const Exception&) {
        }
        try {
            store.GetBoolean(value, true);
        } catch (const Exception&) {
        }
        try {
            store.LoadFloat(value, 1.5L);
        } catch (const Exception&) {
        }
        try {
            store.LoadDateTime(value, 2.0);
        } catch (const Exception&) {
        }
        unsigned char buffer[8];
        store.LoadBinary(value, buffer, sizeof buffer);
    }
    TStringList folders;
    store.ListFolders(path, folders, depth % 2 == 1);
    for (int i = 0; i < folders.Count(); ++i) {
        const std::string folder = path.empty() ? folders.Get(i) : path + "\\" + folders.Get(i);
        store.HasFolder(folder);
        store.CountsAsFolder(folder, true);
        ReadEverything(store, folder, depth + 1);
    }
}

} // namespace

TEST(AppStorageFuzz, DocumentsTheStoreWroteReadBackAsEveryKind)
{
    fuzz::TFuzzOptions options;
    options.Cases = 3000;
    options.MaxInputSize = 1 << 14;
    options.Dictionary = {"[", "]", "=", "\r\n", "\\", "..", "Count=", "Item0=", "TRUE", "0000000000000080FF3F", "\""};
    const std::vector<std::string> seeds = {WrittenByTheStore()};
    const int run = fuzz::FuzzReader("settings store", seeds, [](const std::string& input) {
        TMemoryStore store;
        store.SetContentText(input);
        try {
            ReadEverything(store, "", 0);
        } catch (const Exception&) {
            // a section the store cannot address ("Section undefined", "Invalid path")
        }
        const std::string once = store.ContentText();
        TMemoryStore again;
        again.SetContentText(once);
        if (again.ContentText() != once)
            throw std::logic_error("a loaded document writes another text when loaded again");
    }, options);
    EXPECT_GT(run, 3000);
}

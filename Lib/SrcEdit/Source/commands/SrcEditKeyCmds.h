#pragma once
// Editor command numbers and their names, and the key bindings that turn keys into commands
// (TSrcEditKeyStroke, TSrcEditKeyStrokes) with the default table every editor starts from.

#include "Platform/core/Component.h"
#include "Platform/core/Exceptions.h"
#include "Platform/controls/Keys.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

using TSrcEditorCommand = std::uint16_t;

// Caret movement.
constexpr TSrcEditorCommand ecNone = 0, ecLeft = 1, ecRight = 2, ecUp = 3, ecDown = 4, ecWordLeft = 5,
                            ecWordRight = 6, ecLineStart = 7, ecLineEnd = 8, ecPageUp = 9, ecPageDown = 10,
                            ecPageLeft = 11, ecPageRight = 12, ecPageTop = 13, ecPageBottom = 14,
                            ecEditorTop = 15, ecEditorBottom = 16, ecGotoXY = 17;
// Selection: each movement + 100.
constexpr TSrcEditorCommand ecSelLeft = 101, ecSelRight = 102, ecSelUp = 103, ecSelDown = 104,
                            ecSelWordLeft = 105, ecSelWordRight = 106, ecSelLineStart = 107, ecSelLineEnd = 108,
                            ecSelPageUp = 109, ecSelPageDown = 110, ecSelPageLeft = 111, ecSelPageRight = 112,
                            ecSelPageTop = 113, ecSelPageBottom = 114, ecSelEditorTop = 115,
                            ecSelEditorBottom = 116, ecSelGotoXY = 117, ecSelectAll = 199;
// Clipboard copy and scrolling.
constexpr TSrcEditorCommand ecCopy = 201, ecScrollUp = 211, ecScrollDown = 212, ecScrollLeft = 213,
                            ecScrollRight = 214;
// Modes.
constexpr TSrcEditorCommand ecInsertMode = 221, ecOverwriteMode = 222, ecToggleMode = 223,
                            ecNormalSelect = 231, ecColumnSelect = 232, ecLineSelect = 233,
                            ecMatchBracket = 250, ecCommentBlock = 251;
// Bookmarks.
constexpr TSrcEditorCommand ecGotoMarker0 = 301, ecGotoMarker1 = 302, ecGotoMarker2 = 303, ecGotoMarker3 = 304,
                            ecGotoMarker4 = 305, ecGotoMarker5 = 306, ecGotoMarker6 = 307, ecGotoMarker7 = 308,
                            ecGotoMarker8 = 309, ecGotoMarker9 = 310;
constexpr TSrcEditorCommand ecSetMarker0 = 351, ecSetMarker1 = 352, ecSetMarker2 = 353, ecSetMarker3 = 354,
                            ecSetMarker4 = 355, ecSetMarker5 = 356, ecSetMarker6 = 357, ecSetMarker7 = 358,
                            ecSetMarker8 = 359, ecSetMarker9 = 360;
// Focus pseudo-commands; they have no name.
constexpr TSrcEditorCommand ecFocusGained = 480, ecFocusLost = 481;
constexpr TSrcEditorCommand ecContextHelp = 490;
// Editing.
constexpr TSrcEditorCommand ecDeleteLastChar = 501, ecDeleteChar = 502, ecDeleteWord = 503,
                            ecDeleteLastWord = 504, ecDeleteBOL = 505, ecDeleteEOL = 506, ecDeleteLine = 507,
                            ecClearAll = 508, ecLineBreak = 509, ecInsertLine = 510, ecChar = 511,
                            ecImeStr = 550;
constexpr TSrcEditorCommand ecUndo = 601, ecRedo = 602, ecCut = 603, ecPaste = 604;
constexpr TSrcEditorCommand ecBlockIndent = 610, ecBlockUnindent = 611, ecTab = 612, ecShiftTab = 613;
constexpr TSrcEditorCommand ecUpperCase = 620, ecLowerCase = 621, ecToggleCase = 622, ecTitleCase = 623,
                            ecUpperCaseBlock = 625, ecLowerCaseBlock = 626, ecToggleCaseBlock = 627;
constexpr TSrcEditorCommand ecString = 630, ecAutoCompletion = 650;
// The first number free for the application's own commands.
constexpr TSrcEditorCommand ecUserFirst = 1001;

// The command name table: number and identifier of every named command, in table order.
struct TSrcEditorCommandName {
    TSrcEditorCommand Command;
    const char* Name;
};
const std::vector<TSrcEditorCommandName>& EditorCommandNames();

bool NameToEditorCommand(const std::string& name, TSrcEditorCommand& command);
bool EditorCommandToName(TSrcEditorCommand command, std::string& name);
// The name, or the decimal number for a command without one.
std::string EditorCommandToText(TSrcEditorCommand command);

ZENTU_DECLARE_EXCEPTION(ESrcKeyError, Exception);

class TSrcEditKeyStrokes;

class TSrcEditKeyStroke : public TPersistent {
public:
    // Items are made by their collection (Add, AddBinding).
    explicit TSrcEditKeyStroke(TSrcEditKeyStrokes* collection) : FCollection(collection) {}

    WORD Key() const { return FKey; }
    void SetKey(WORD key) { FKey = key; }
    TShiftState Shift() const { return FShift; }
    void SetShift(TShiftState shift) { FShift = shift; }
    WORD Key2() const { return FKey2; }
    void SetKey2(WORD key) { FKey2 = key; }
    TShiftState Shift2() const { return FShift2; }
    void SetShift2(TShiftState shift) { FShift2 = shift; }

    TSrcEditorCommand Command() const { return FCommand; }
    void SetCommand(TSrcEditorCommand command) { FCommand = command; }
    TShortCut ShortCut() const;
    // Raises ESrcKeyError "Shortcut already exists" when another item already has the pair
    // (value, ShortCut2); the item then keeps its keys.
    void SetShortCut(TShortCut value);
    TShortCut ShortCut2() const;
    void SetShortCut2(TShortCut value);

    int Index() const;
    TSrcEditKeyStrokes* Collection() const { return FCollection; }
    // "ecCopy - Ctrl+C", with " " and the second key's text when there is one.
    std::string DisplayName() const;

    void Assign(const TPersistent& source) override;

private:
    void CheckUniquePair(TShortCut shortCut, TShortCut shortCut2) const;

    TSrcEditKeyStrokes* FCollection;
    WORD FKey = 0;
    TShiftState FShift;
    WORD FKey2 = 0;
    TShiftState FShift2;
    TSrcEditorCommand FCommand = ecNone;
};

class TSrcEditKeyStrokes : public TPersistent {
public:
    // The owner names and streams the collection (the editor control); it may be null.
    explicit TSrcEditKeyStrokes(TPersistent* owner = nullptr) : FOwner(owner) {}
    ~TSrcEditKeyStrokes() override;

    TPersistent* Owner() const { return FOwner; }
    int Count() const { return static_cast<int>(FItems.size()); }
    // Raises EListError "List index out of bounds (%d)" for an index outside 0..Count-1.
    TSrcEditKeyStroke* Items(int index) const;

    TSrcEditKeyStroke* Add();
    // Adds a binding without the duplicate test.
    void AddBinding(TSrcEditorCommand command, WORD key, TShiftState shift);
    void Delete(int index);
    void Clear();
    int IndexOf(const TSrcEditKeyStroke* item) const;

    // First item with this Key and Shift and no second key; -1 when none.
    int FindSingleKey(WORD key, TShiftState shift) const;
    int FindKeyPair(WORD key, TShiftState shift, WORD key2, TShiftState shift2) const;
    int FindShortCutPair(TShortCut shortCut, TShortCut shortCut2) const;

    void Assign(const TPersistent& source) override;
    // Clears the collection and adds the default bindings in their order.
    void ResetToDefaults();

    // Item-by-item equality of the published values (Command, ShortCut, ShortCut2).
    bool SameBindings(const TSrcEditKeyStrokes& other) const;

private:
    TPersistent* FOwner;
    std::vector<std::unique_ptr<TSrcEditKeyStroke>> FItems;
};

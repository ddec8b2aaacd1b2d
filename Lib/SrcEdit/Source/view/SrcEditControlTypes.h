#pragma once
// Option sets, status changes, caret shapes and the event types of the editor control.

#include "SrcEdit/Source/view/SrcEditCursor.h"
#include "SrcEdit/Source/commands/SrcEditKeyCmds.h"
#include "SrcEdit/Source/commands/SrcEditMethod.h"
#include "SrcEdit/Source/text/SrcEditTypes.h"

#include "Platform/controls/ControlTypes.h"
#include "Platform/graphics/Canvas.h"
#include "Platform/graphics/Colors.h"
#include "Platform/core/Component.h"
#include "Platform/controls/Keys.h"
#include "Platform/core/Set.h"
#include "Platform/text/Strings.h"

#include <functional>
#include <string>
#include <vector>

// Bit = position in the set.
enum TSrcEditorOption {
    eoAltSetsColumnMode, eoAutoIndent, eoAutoSizeMaxScrollWidth, eoDisableScrollArrows, eoDragDropEditing,
    eoDropFiles, eoEnhanceHomeKey, eoEnhanceEndKey, eoGroupUndo, eoHalfPageScroll, eoHideShowScrollbars,
    eoKeepCaretX, eoNoCaret, eoNoSelection, eoRightMouseMovesCursor, eoScrollByOneLess, eoScrollHintFollows,
    eoScrollPastEof, eoScrollPastEol, eoShowScrollHint, eoShowSpecialChars, eoSmartTabDelete, eoSmartTabs,
    eoSpecialLineDefaultFg, eoTabIndent, eoTabsToSpaces, eoTrimTrailingSpaces,
};
using TSrcEditorOptions = TSet<TSrcEditorOption>;

// $026C0192
constexpr TSrcEditorOptions SrcEditDefaultOptions{eoAutoIndent,     eoDragDropEditing, eoEnhanceEndKey,
                                                  eoGroupUndo,      eoScrollPastEol,   eoShowScrollHint,
                                                  eoSmartTabDelete, eoSmartTabs,       eoTabsToSpaces};

enum TSrcStatusChange {
    scAll, scCaretX, scCaretY, scLeftChar, scTopLine, scInsertMode, scModified, scSelection, scReadOnly,
};
using TSrcStatusChanges = TSet<TSrcStatusChange>;

enum class TSrcEditCaretType { ctVerticalLine, ctHorizontalLine, ctHalfBlock, ctBlock };
enum class TTransientType { ttBefore, ttAfter };
enum class TScrollHintFormat { shfTopLineOnly, shfTopToBottom };
enum class TScrollBarKind { sbHorizontal, sbVertical };
enum class TSrcReplaceAction { raCancel, raSkip, raReplace, raReplaceAll };

// What WM_DROPFILES carries (its WParam points to it): the names of the dropped files in order
// and the drop point in client coordinates.
struct TSrcDroppedFiles {
    TPoint Point;
    std::vector<std::string> FileNames;
};

class TSrcEditMark;

using TSrcProcessCommandEvent =
    std::function<void(TObject* Sender, TSrcEditorCommand& Command, char32_t& AChar, void* Data)>;
using TSrcContextHelpEvent = std::function<void(TObject* Sender, const std::string& Word)>;
using TSrcDropFilesEvent = std::function<void(TObject* Sender, int X, int Y, TStrings& AFiles)>;
using TSrcGutterClickEvent =
    std::function<void(TObject* Sender, TMouseButton Button, int X, int Y, int Line, TSrcEditMark* Mark)>;
using TSrcGutterGetTextEvent = std::function<void(TObject* Sender, int ALine, std::string& AText)>;
using TSrcGutterPaintEvent = std::function<void(TObject* Sender, int ALine, int X, int Y)>;
using TSrcMouseCursorEvent = std::function<void(TObject* Sender, const TBufferCoord& ALineCharPos, TCursor& ACursor)>;
using TSrcPaintEvent = std::function<void(TObject* Sender, TCanvas& ACanvas)>;
// The handler may replace the mark or set it to null. The editor deletes a mark of its own that
// the handler dropped or replaced; a replacement is handed over to the editor.
using TSrcPlaceMarkEvent = std::function<void(TObject* Sender, TSrcEditMark*& Mark)>;
using TSrcReplaceTextEvent =
    std::function<void(TObject* Sender, const std::string& ASearch, const std::string& AReplace, int Line, int Column,
                       TSrcReplaceAction& Action)>;
using TSrcScrollEvent = std::function<void(TObject* Sender, TScrollBarKind ScrollBar)>;
using TSrcSpecialLineColorsEvent =
    std::function<void(TObject* Sender, int Line, bool& Special, TColor& FG, TColor& BG)>;
using TSrcStatusChangeEvent = std::function<void(TObject* Sender, TSrcStatusChanges Changes)>;
using TSrcPaintTransientEvent = std::function<void(TObject* Sender, TCanvas& ACanvas, TTransientType TransientType)>;

// A hooked command handler: called before (AfterProcessing false) and after execution; setting
// Handled turns the command into ecNone.
using THookedCommandEvent = TSrcMethod<void(TObject* Sender, bool AfterProcessing, bool& Handled,
                                            TSrcEditorCommand& Command, char32_t& AChar, void* Data,
                                            void* HandlerData)>;

// An image list that the gutter can draw marks from (BookMarkOptions.BookmarkImages).
class ISrcEditImageList {
public:
    virtual int ImageCount() const = 0;
    virtual void DrawImage(TCanvas& canvas, int index, int x, int y) const = 0;

protected:
    ~ISrcEditImageList() = default;
};

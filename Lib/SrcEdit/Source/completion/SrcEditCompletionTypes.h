#pragma once
// The display types and options of the completion pop-up and the events of its components.

#include "Platform/graphics/Canvas.h"
#include "Platform/core/Component.h"
#include "Platform/controls/Keys.h"
#include "Platform/core/Set.h"

#include <functional>
#include <string>

// A list of proposals that takes the keys, a tip, or a parameter hint with one parameter in bold.
enum class SrcCompletionType { ctCode, ctHint, ctParams };

// Bit = position in the set.
enum TSrcCompletionOption {
    scoAnsiStrings, scoCaseSensitive, scoLimitToMatchedText, scoTitleIsCentered, scoUseInsertList,
    scoUsePrettyText, scoUseBuiltInTimer, scoEndCharCompletion, scoConsiderWordBreakChars, scoCompleteWithTab,
    scoCompleteWithEnter,
};
using TSrcCompletionOptions = TSet<TSrcCompletionOption>;

// 1668
constexpr TSrcCompletionOptions DefaultProposalOptions{scoLimitToMatchedText, scoEndCharCompletion,
                                                       scoCompleteWithTab, scoCompleteWithEnter};

// The selection of the list changed; Index is the item's index in ItemList.
using TCompletionChange = std::function<void(TObject* Sender, int AIndex)>;
// Before showing: may change the input, the screen position and whether the pop-up shows.
using TCompletionExecute = std::function<void(SrcCompletionType Kind, TObject* Sender, std::string& CurrentInput,
                                              int& x, int& y, bool& CanExecute)>;
using TCompletionMeasureItem = std::function<void(TObject* Sender, int Index, TCanvas& TargetCanvas, int& ItemWidth)>;
using TCompletionPaintItem =
    std::function<void(TObject* Sender, int Index, TCanvas& TargetCanvas, const TRect& ItemRect, bool& CustomDraw)>;
using TCompletionParameterToken = std::function<void(TObject* Sender, int CurrentIndex, int& Level,
                                                     int& IndexToDisplay, char32_t& Key, std::string& DisplayString)>;
// Accepting: the value may be changed before it replaces the input.
using TCodeCompletionEvent =
    std::function<void(TObject* Sender, std::string& Value, TShiftState Shift, int Index, char32_t EndToken)>;
using TAfterCodeCompletionEvent =
    std::function<void(TObject* Sender, const std::string& Value, TShiftState Shift, int Index, char32_t EndToken)>;

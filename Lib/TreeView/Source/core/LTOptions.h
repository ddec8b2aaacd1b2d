#pragma once
// TCustomLazyTreeOptions: the five option sets that switch behaviours of a whole tree on or off,
// and the owner tree's reaction to a change of each.

#include "Platform/core/Component.h"
#include "Platform/core/Set.h"

class TBaseLazyTree;

enum TLTPaintOption {
    toHideFocusRect, toHideSelection, toHotTrack, toPopupMode, toShowBackground, toShowButtons, toShowDropmark,
    toShowHorzGridLines, toShowRoot, toShowTreeLines, toShowVertGridLines, toThemeAware, toUseBlendedImages,
    toGhostedIfUnfocused, toFullVertGridLines, toAlwaysHideSelection, toUseBlendedSelection, toStaticBackground,
};
using TLTPaintOptions = TSet<TLTPaintOption>;

enum TLTAnimationOption { toAnimatedToggle };
using TLTAnimationOptions = TSet<TLTAnimationOption>;

enum TLTAutoOption {
    toAutoDropExpand, toAutoExpand, toAutoScroll, toAutoScrollOnExpand, toAutoSort, toAutoSpanColumns,
    toAutoTristateTracking, toAutoHideButtons, toAutoDeleteMovedNodes, toDisableAutoscrollOnFocus,
    toAutoChangeScale, toAutoFreeOnCollapse, toDisableAutoscrollOnEdit,
};
using TLTAutoOptions = TSet<TLTAutoOption>;

enum TLTSelectionOption {
    toDisableDrawSelection, toExtendedFocus, toFullRowSelect, toLevelSelectConstraint, toMiddleClickSelect,
    toMultiSelect, toRightClickSelect, toSiblingSelectConstraint, toCenterScrollIntoView, toSimpleDrawSelection,
};
using TLTSelectionOptions = TSet<TLTSelectionOption>;

enum TLTMiscOption {
    toAcceptOLEDrop, toCheckSupport, toEditable, toFullRepaintOnResize, toGridExtensions, toInitOnSave,
    toReportMode, toToggleOnDblClick, toWheelPanning, toReadOnly, toVariableNodeHeight, toFullRowDrag,
};
using TLTMiscOptions = TSet<TLTMiscOption>;

constexpr TLTPaintOptions DefaultPaintOptions{toShowButtons, toShowDropmark, toShowRoot,
                                              toShowTreeLines, toThemeAware, toUseBlendedImages};
constexpr TLTAnimationOptions DefaultAnimationOptions{};
constexpr TLTAutoOptions DefaultAutoOptions{toAutoDropExpand, toAutoScrollOnExpand, toAutoTristateTracking,
                                            toAutoDeleteMovedNodes};
constexpr TLTSelectionOptions DefaultSelectionOptions{};
constexpr TLTMiscOptions DefaultMiscOptions{toAcceptOLEDrop, toFullRepaintOnResize, toInitOnSave,
                                            toToggleOnDblClick, toWheelPanning};

class TCustomLazyTreeOptions : public TPersistent {
public:
    explicit TCustomLazyTreeOptions(TBaseLazyTree* owner);

    TBaseLazyTree* Owner() const { return FOwner; }

    TLTPaintOptions PaintOptions() const { return FPaintOptions; }
    void SetPaintOptions(TLTPaintOptions value);
    TLTAnimationOptions AnimationOptions() const { return FAnimationOptions; }
    void SetAnimationOptions(TLTAnimationOptions value);
    TLTAutoOptions AutoOptions() const { return FAutoOptions; }
    void SetAutoOptions(TLTAutoOptions value);
    TLTSelectionOptions SelectionOptions() const { return FSelectionOptions; }
    void SetSelectionOptions(TLTSelectionOptions value);
    TLTMiscOptions MiscOptions() const { return FMiscOptions; }
    void SetMiscOptions(TLTMiscOptions value);

protected:
    // Copies the five sets into another options object through its setters.
    void AssignTo(TPersistent& dest) const override;

private:
    TBaseLazyTree* FOwner;
    TLTPaintOptions FPaintOptions = DefaultPaintOptions;
    TLTAnimationOptions FAnimationOptions = DefaultAnimationOptions;
    TLTAutoOptions FAutoOptions = DefaultAutoOptions;
    TLTSelectionOptions FSelectionOptions = DefaultSelectionOptions;
    TLTMiscOptions FMiscOptions = DefaultMiscOptions;
};

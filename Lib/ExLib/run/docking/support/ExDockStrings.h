#pragma once
// The message texts of the docking framework (resource strings of the library).

namespace ExDockRes {

inline constexpr const char* CannotGetOrientationData = "Cannot get data of control that has no dock orientation";
inline constexpr const char* CannotSetOrientationData = "Cannot set data of control that has no dock orientation";
inline constexpr const char* ErrorRemovingControl = "Error removing control from dock tree";
inline constexpr const char* ZoneNotFound = " - Dock zone not found";
inline constexpr const char* ZoneHasNoControl = " - Dock zone has no control";
inline constexpr const char* ControlCannotBeNil = "Control can not be nil";
inline constexpr const char* Close = "Close";
inline constexpr const char* DockedControlNeedsName = "Docked control must have a name";
inline constexpr const char* CannotFindWindow = "Cannot find window";
inline constexpr const char* OnlyOneDockControl = "Only one %s allowed on each form. Cannot add another %s";
inline constexpr const char* AssertionFailure = "Assertion failure";
inline constexpr const char* MultiLineNeeded = "MultiLine must be True when TabPosition is tpLeft or tpRight";
inline constexpr const char* TabStyleIncompatible = "Tab style incompatible with current tab position";
inline constexpr const char* TabPositionIncompatible = "Tab position incompatible with current tab style";
inline constexpr const char* PropertyOutOfRange = "%s property out of range";
inline constexpr const char* InvalidPageIndex = "%d is an invalid PageIndex value.  PageIndex must be between 0 and %d";

} // namespace ExDockRes

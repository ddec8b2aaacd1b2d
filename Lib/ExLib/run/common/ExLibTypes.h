#pragma once
// Small types that the controls of the library share.

#include "Platform/core/Set.h"
#include "Platform/core/Types.h"

// Which clipboard messages a memo or edit lets through.
enum TExClipboardCommand { caCopy, caCut, caPaste, caClear, caUndo };
using TExClipboardCommands = TSet<TExClipboardCommand>;
inline constexpr TExClipboardCommands AllClipboardCommands{caCopy, caCut, caPaste, caClear, caUndo};

// How a control's hot-track font follows its normal font.
enum TExTrackFontOption {
    hoFollowFont, hoPreserveCharSet, hoPreserveColor, hoPreserveHeight, hoPreserveName, hoPreservePitch,
    hoPreserveStyle,
};
using TExTrackFontOptions = TSet<TExTrackFontOption>;

// The type of the design-time marker property AboutExLib; it has no effect at run time.
enum class TExLibAboutInfo { ExLibAbout };


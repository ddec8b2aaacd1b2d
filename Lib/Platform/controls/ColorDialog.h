#pragma once
// TColorDialog: the system colour dialog (QColorDialog). Execute shows it modally with Color and
// the custom colours and reads the chosen colour back when the user confirms.
//
// CustomColors holds lines "ColorA=BBGGRR" to "ColorP=BBGGRR" (hex), one per custom colour slot;
// slots the list does not name keep their colour.

#include "Platform/core/Component.h"
#include "Platform/core/Set.h"
#include "Platform/graphics/Colors.h"
#include "Platform/text/Strings.h"

enum TColorDialogOption { cdFullOpen, cdPreventFullOpen, cdShowHelp, cdSolidColor, cdAnyColor };
using TColorDialogOptions = TSet<TColorDialogOption>;

class TColorDialog : public TComponent {
public:
    explicit TColorDialog(TComponent* AOwner) : TComponent(AOwner) {}

    TColor Color() const { return FColor; }
    void SetColor(TColor color) { FColor = color; }
    TStrings& CustomColors() { return FCustomColors; }
    void SetCustomColors(const TStrings& colors) { FCustomColors.Assign(colors); }
    TColorDialogOptions Options() const { return FOptions; }
    void SetOptions(TColorDialogOptions options) { FOptions = options; }

    // True when the user confirmed a colour, which Color then holds; the custom colours the user
    // set come back into CustomColors.
    virtual bool Execute();

    TNotifyEvent OnShow;
    TNotifyEvent OnClose;

private:
    TColor FColor = clBlack;
    TStringList FCustomColors;
    TColorDialogOptions FOptions;
};

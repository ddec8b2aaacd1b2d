#pragma once
// A control's Font property: a TFont kept in step with its widget. A change of the TFont goes
// to the widget's QFont and text colour (which raises the control's CM_FONTCHANGED); a font the
// widget takes from its parent comes back into the TFont through Sync.

#include "Platform/graphics/Graphics.h"

class QWidget;

// `font` takes the family, pixel height and style of `qfont` (its colour stays).
void AssignQFont(TFont& font, const QFont& qfont);

class TControlFont {
public:
    explicit TControlFont(QWidget& widget);
    TControlFont(const TControlFont&) = delete;
    TControlFont& operator=(const TControlFont&) = delete;

    TFont& Font() { return FFont; }
    const TFont& Font() const { return FFont; }
    // Copies `font` into the control's font.
    void SetFont(const TFont& font) { FFont.Assign(font); }
    // Takes the widget's current font (after it came from the parent).
    void Sync();

private:
    void Apply();
    QWidget& FWidget;
    TFont FFont;
    bool FSyncing = false;
};

#pragma once
// TJvgRuler: a windowless ruler strip with unit ticks and numbers, in centimetres, inches or
// pixels (a whole unit is 50 pixels), horizontal or vertical.

#include "ExLib/run/controls/ExComponent.h"

#include "Platform/controls/ControlFont.h"

enum class TJvgOrientation { goHorizontal, goVertical };
enum class TJvgSizeUnit { fsuCentimeters, fsuInches, fsuPixels };

struct TRulerMark {
    int Position = 0;   // pixels along the ruler
    int Length = 0;     // tick length: 3 at a whole unit, 8 at a half one
    std::string Label;  // at whole units only
    bool operator==(const TRulerMark&) const = default;
};

// The marks of a ruler `length` pixels long on a device of `dpi` pixels per inch.
std::vector<TRulerMark> RulerMarks(int length, TJvgSizeUnit unit, int dpi);

class TJvgRuler : public TExGraphicControl {
public:
    explicit TJvgRuler(TComponent* AOwner, QWidget* parent = nullptr);

    TJvgOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TJvgOrientation value);
    TJvgSizeUnit UseUnit() const { return FUseUnit; }
    void SetUseUnit(TJvgSizeUnit value);
    TFont& Font() { return FFont.Font(); }

protected:
    void Paint() override;

private:
    TControlFont FFont;
    TJvgOrientation FOrientation = TJvgOrientation::goHorizontal;
    TJvgSizeUnit FUseUnit = TJvgSizeUnit::fsuCentimeters;
};

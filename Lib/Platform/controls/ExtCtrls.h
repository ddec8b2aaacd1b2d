#pragma once
// The class library's panel: an opaque container in its own colour with a bevel and a centred
// caption (its Text).

#include "Platform/controls/Control.h"

enum class TPanelBevel { bvNone, bvLowered, bvRaised };

class TCustomPanel : public TQtControl<QWidget> {
public:
    explicit TCustomPanel(TComponent* AOwner, QWidget* parent = nullptr);

    TPanelBevel BevelOuter() const { return FBevelOuter; }
    void SetBevelOuter(TPanelBevel bevel);

protected:
    void Paint() override;

private:
    TPanelBevel FBevelOuter = TPanelBevel::bvRaised;
};

#pragma once
// The painters of the tab bar: all drawing and measuring of a tab bar goes through one, and the
// modern painter draws flat tabs with close buttons in its own colours and fonts.

#include "Platform/core/Component.h"
#include "Platform/graphics/Canvas.h"

class TExCustomTabBar;
class TExTabBarItem;

class TExTabBarPainter : public TComponent {
public:
    using TComponent::TComponent;

    // Set by the bar that uses the painter; called when the painter's look changes.
    TNotifyEvent OnChangeCallback;
    virtual void NotifyPainterChanged();

    virtual void PaintBarBackground(TCanvas& canvas, TExCustomTabBar& bar, const TRect& r) = 0;
    virtual void PaintTabItem(TCanvas& canvas, TExTabBarItem& tab, const TRect& r) = 0;
    virtual void PaintTabDivider(TCanvas& canvas, TExTabBarItem& tab, const TRect& r) = 0;
    // The insertion mark on `tab` while another tab is dragged.
    virtual void PaintMoveMarker(TCanvas& canvas, TExTabBarItem& tab, bool moveLeft) = 0;
    virtual int TabDividerWidth(TCanvas& canvas, TExTabBarItem& tab) = 0;
    virtual TSize MeasureTab(TCanvas& canvas, TExTabBarItem& tab) = 0;
    virtual TRect CloseButtonBounds(TCanvas& canvas, TExTabBarItem& tab, const TRect& tabRect) = 0;
};

class TExModernTabBarPainter : public TExTabBarPainter {
public:
    explicit TExModernTabBarPainter(TComponent* AOwner);

    TColor TabColor() const { return FTabColor; }
    void SetTabColor(TColor value) { Change(FTabColor, value); }
    TColor Color() const { return FColor; }
    void SetColor(TColor value) { Change(FColor, value); }
    TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(TColor value) { Change(FBorderColor, value); }
    TColor ControlDivideColor() const { return FControlDivideColor; }
    void SetControlDivideColor(TColor value) { Change(FControlDivideColor, value); }
    TColor ModifiedCrossColor() const { return FModifiedCrossColor; }
    void SetModifiedCrossColor(TColor value) { Change(FModifiedCrossColor, value); }
    TColor CloseColorSelected() const { return FCloseColorSelected; }
    void SetCloseColorSelected(TColor value) { Change(FCloseColorSelected, value); }
    TColor CloseColor() const { return FCloseColor; }
    void SetCloseColor(TColor value) { Change(FCloseColor, value); }
    TColor CloseCrossColorSelected() const { return FCloseCrossColorSelected; }
    void SetCloseCrossColorSelected(TColor value) { Change(FCloseCrossColorSelected, value); }
    TColor CloseCrossColor() const { return FCloseCrossColor; }
    void SetCloseCrossColor(TColor value) { Change(FCloseCrossColor, value); }
    TColor CloseCrossColorDisabled() const { return FCloseCrossColorDisabled; }
    void SetCloseCrossColorDisabled(TColor value) { Change(FCloseCrossColorDisabled, value); }
    TColor CloseRectColor() const { return FCloseRectColor; }
    void SetCloseRectColor(TColor value) { Change(FCloseRectColor, value); }
    TColor CloseRectColorDisabled() const { return FCloseRectColorDisabled; }
    void SetCloseRectColorDisabled(TColor value) { Change(FCloseRectColorDisabled, value); }
    TColor DividerColor() const { return FDividerColor; }
    void SetDividerColor(TColor value) { Change(FDividerColor, value); }
    TColor MoveDividerColor() const { return FMoveDividerColor; }
    void SetMoveDividerColor(TColor value) { Change(FMoveDividerColor, value); }
    TFont& Font() { return FFont; }
    void SetFont(const TFont& font) { FFont.Assign(font); }
    TFont& DisabledFont() { return FDisabledFont; }
    void SetDisabledFont(const TFont& font) { FDisabledFont.Assign(font); }
    TFont& SelectedFont() { return FSelectedFont; }
    void SetSelectedFont(const TFont& font) { FSelectedFont.Assign(font); }

    void PaintBarBackground(TCanvas& canvas, TExCustomTabBar& bar, const TRect& r) override;
    void PaintTabItem(TCanvas& canvas, TExTabBarItem& tab, const TRect& r) override;
    void PaintTabDivider(TCanvas& canvas, TExTabBarItem& tab, const TRect& r) override;
    void PaintMoveMarker(TCanvas& canvas, TExTabBarItem& tab, bool moveLeft) override;
    int TabDividerWidth(TCanvas& canvas, TExTabBarItem& tab) override;
    TSize MeasureTab(TCanvas& canvas, TExTabBarItem& tab) override;
    TRect CloseButtonBounds(TCanvas& canvas, TExTabBarItem& tab, const TRect& tabRect) override;

private:
    void Change(TColor& field, TColor value);
    void Line(TCanvas& canvas, TColor color, int x1, int y1, int x2, int y2);

    TColor FTabColor = clBtnFace;
    TColor FColor = clWindow;
    TColor FBorderColor = 0xC0C0C0;
    TColor FControlDivideColor = clBlack;
    TColor FModifiedCrossColor = 0x0000FF;
    TColor FCloseColorSelected = 0xF4F4F4;
    TColor FCloseColor = 0xFFFFFF;
    TColor FCloseCrossColorSelected = 0x000000;
    TColor FCloseCrossColor = 0x5D5D5D;
    TColor FCloseCrossColorDisabled = 0xADADAD;
    TColor FCloseRectColor = 0x868686;
    TColor FCloseRectColorDisabled = 0xD6D6D6;
    TColor FDividerColor = 0x99A8AC;
    TColor FMoveDividerColor = clBlack;
    TFont FFont;
    TFont FDisabledFont;
    TFont FSelectedFont;
};

#pragma once
// A splitter that resizes the control beside it (the one on its leading side). While the left
// button is held it shows a line where the edge would go (or resizes at once with rsUpdate);
// the size changes when the button is released, and Escape stops without a change.

#include "ExLib/run/controls/ExComponent.h"
#include "ExLib/run/docking/support/ExDockOverlay.h"

#include "Platform/controls/AlignLayout.h"

#include <functional>
#include <memory>

enum class TResizeStyle { rsNone, rsLine, rsUpdate, rsPattern };

class TExDockCustomPanelSplitter : public TExCustomControl {
public:
    explicit TExDockCustomPanelSplitter(TComponent* AOwner, QWidget* parent = nullptr);
    ~TExDockCustomPanelSplitter() override;

    bool AutoSnap() const { return FAutoSnap; }
    void SetAutoSnap(bool value) { FAutoSnap = value; }
    bool Beveled() const { return FBeveled; }
    void SetBeveled(bool value);
    int MinSize() const { return FMinSize; }
    void SetMinSize(int value) { FMinSize = std::max(1, value); }
    TResizeStyle ResizeStyle() const { return FResizeStyle; }
    void SetResizeStyle(TResizeStyle value) { FResizeStyle = value; }
    // Realigning keeps a split cursor across the splitter.
    void SetSplitterAlign(TAlign align);

    std::function<void(TObject* Sender, int& NewSize, bool& Accept)> OnCanResize;
    TNotifyEvent OnMoved;
    TNotifyEvent OnPaint;

    bool Sizing() const { return FControl != nullptr; }
    const TExDockOverlay* Line() const { return FLine.get(); }

    virtual bool AskCanResize(int& newSize);
    virtual bool AcceptSize(int& newSize);
    // The visible, enabled control of the parent just beyond the splitter's leading side.
    virtual TWinControlCore* FindSizedControl();

protected:
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void Paint() override;

private:
    class KeyWatch;
    void CalcSplitSize(int x, int y, int& newSize, int& split);
    void DrawLine();
    void UpdateControlSize();
    void StopSizing();

    bool FAutoSnap = true;
    bool FBeveled = false;
    int FMinSize = 30;
    TResizeStyle FResizeStyle = TResizeStyle::rsPattern;
    TWinControlCore* FControl = nullptr;
    TPoint FDownPos;
    int FMaxSize = 0;
    int FNewSize = 0;
    int FOldSize = -1;
    int FSplit = 0;
    bool FLineVisible = false;
    std::unique_ptr<TExDockOverlay> FLine;
    std::unique_ptr<KeyWatch> FKeyWatch;
};

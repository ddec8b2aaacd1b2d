#pragma once
// Alignment of child controls, as the class library lays them out: a child aligned to an edge
// sticks to it across the parent's full width or height and keeps its own height or width;
// alClient takes what is left. Controls on one edge are ordered by their current coordinate
// (the one nearest the edge first), so moving a control before realigning changes its place.
// A parent realigns when it is resized and when an aligned child is moved, resized, shown,
// hidden or removed, unless its alignment is disabled; enabling it again realigns at once.
// The area shared out is the parent's contents rectangle (its client area less any contents
// margins), which a control may narrow further through IAlignClientRect.

#include "Platform/controls/Control.h"

#include <QPointer>

enum class TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };

// A parent that shares out less than its contents rectangle (a tab control's display area).
class IAlignClientRect {
public:
    virtual ~IAlignClientRect() = default;
    virtual void AdjustClientRect(TRect& rect) const = 0;

protected:
    IAlignClientRect() = default;
    IAlignClientRect(const IAlignClientRect&) = default;
    IAlignClientRect& operator=(const IAlignClientRect&) = default;
};

TAlign AlignOf(const TWinControlCore& control);
TAlign AlignOf(const QWidget* widget);
// Stores the align and realigns the control's parent.
void SetAlign(TWinControlCore& control, TAlign align);

// The rectangle a parent shares out among its aligned children.
TRect AlignClientRect(const QWidget* parent);

// Counted: only the outermost EnableAlign realigns.
void DisableAlign(QWidget* parent);
void EnableAlign(QWidget* parent);
bool AlignDisabled(const QWidget* parent);
// Lays out the aligned children of `parent` now (nothing while its alignment is disabled).
void Realign(QWidget* parent);

// Disables a parent's alignment for a scope.
class TAlignDisabler {
public:
    explicit TAlignDisabler(QWidget* parent);
    ~TAlignDisabler();
    TAlignDisabler(const TAlignDisabler&) = delete;
    TAlignDisabler& operator=(const TAlignDisabler&) = delete;

private:
    QPointer<QWidget> FParent;
};

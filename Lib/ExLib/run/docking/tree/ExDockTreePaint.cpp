// What lies under the mouse in a zone tree, and how the grabbers and splitters are painted.

#include "ExLib/run/docking/tree/ExDockTree.h"

#include "ExLib/run/controls/ExThemes.h"

#include <QPainter>

namespace {

constexpr TDockOrientation H = TDockOrientation::doHorizontal;
constexpr TDockOrientation V = TDockOrientation::doVertical;

bool Between(int low, int v, int high) { return low <= v && v <= high; }

} // namespace

// ---- hit testing

TExDockZone* TExDockTree::InternalHitTest(TPoint p, int& code)
{
    code = 0;
    QWidget* site = SiteControl().Widget();
    const QObjectList children = site->children();
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        auto* w = qobject_cast<QWidget*>(*it);
        TWinControlCore* control = TWinControlCore::ControlOf(w);
        if (!w || w->isWindow() || !w->isVisible() || !w->geometry().contains(p.ToQt()))
            continue;
        if (!control || w->testAttribute(Qt::WA_TransparentForMouseEvents))
            continue;
        if (HostDockSite(*control) == &DockSite()) {
            code = HTCLIENT_ZONE;
            return FindZone(control, false);
        }
        return nullptr;
    }
    if (!FRootZone || !FRootZone->FirstChild)
        return nullptr;
    TExDockZone* result = nullptr;
    ZoneHitTest(p, code, FRootZone->FirstChild, result);
    return result;
}

void TExDockTree::ZoneHitTest(TPoint p, int& code, TExDockZone* zone, TExDockZone*& result)
{
    for (TExDockZone* z = zone; z && !result; z = z->NextZone) {
        TExDockZone* candidate = nullptr;
        int candidateCode = 0;
        const TExDockZone* parent = z->Parent;
        if (z->NextZone && parent) {
            const bool onSplitter =
                parent->Orientation == H
                    ? Between(z->Limit - FSplitterWidth, p.Y, z->Limit) &&
                          Between(parent->LimitBegin(), p.X, parent->Limit)
                    : parent->Orientation == V && Between(z->Limit - FSplitterWidth, p.X, z->Limit) &&
                          Between(parent->LimitBegin(), p.Y, parent->Limit);
            if (onSplitter) {
                candidate = z;
                candidateCode = z->NextVisible() ? HTSPLITTER : HTCLIENT_ZONE;
            }
        }
        if (!candidate && z->Control) {
            int c = 0;
            switch (GrabberPosition()) {
            case gpTop: TopGrabberHitTest(p, c, z); break;
            case gpBottom: BottomGrabberHitTest(p, c, z); break;
            case gpLeft: LeftGrabberHitTest(p, c, z); break;
            default: RightGrabberHitTest(p, c, z); break;
            }
            if (c == 0)
                BorderHitTest(p, c, z);
            if (c != 0) {
                candidate = z;
                candidateCode = c;
            }
        }
        if (candidate && candidate->Shown()) {
            result = candidate;
            code = candidateCode;
            return;
        }
        if (z->FirstChild)
            ZoneHitTest(p, code, z->FirstChild, result);
    }
}

void TExDockTree::TopGrabberHitTest(TPoint p, int& code, TExDockZone* zone)
{
    const TRect r = zone->ZoneRect();
    if (Between(r.Top + FBorderWidth, p.Y, r.Top + FBorderWidth + FGrabbersSize) && Between(r.Left, p.X, r.Right)) {
        const TWinControlCore* c = zone->Control;
        code = p.X > c->Left() + c->Width() - FGrabbersSize - 3 ? HTCLOSE_ZONE : HTCAPTION_ZONE;
    }
}

void TExDockTree::LeftGrabberHitTest(TPoint p, int& code, TExDockZone* zone)
{
    const TRect r = zone->ZoneRect();
    if (Between(r.Left + FBorderWidth, p.X, r.Left + FBorderWidth + FGrabbersSize) && Between(r.Top, p.Y, r.Bottom)) {
        const TWinControlCore* c = zone->Control;
        code = p.Y < c->Top() + FGrabbersSize + 3 ? HTCLOSE_ZONE : HTCAPTION_ZONE;
    }
}

void TExDockTree::RightGrabberHitTest(TPoint p, int& code, TExDockZone* zone)
{
    (void)p, (void)code, (void)zone;
}

void TExDockTree::BottomGrabberHitTest(TPoint p, int& code, TExDockZone* zone)
{
    (void)p, (void)code, (void)zone;
}

void TExDockTree::BorderHitTest(TPoint p, int& code, TExDockZone* zone)
{
    if (FBorderWidth <= 0)
        return;
    const TRect frame = zone->GetFrameRect();
    TRect inner = frame;
    InflateRect(inner, -FBorderWidth, -FBorderWidth);
    if (frame.Contains(p) && !inner.Contains(p))
        code = HTBORDER_ZONE;
}

int TExDockTree::HitTestCode(TPoint p)
{
    int code = 0;
    return InternalHitTest(p, code) ? code : HTNONE;
}

TWinControlCore* TExDockTree::ControlAtPoint(TPoint p)
{
    int code = 0;
    TExDockZone* zone = InternalHitTest(p, code);
    return zone ? zone->Control : nullptr;
}

// ---- painting

void TExDockTree::PaintSite(QPainter* painter)
{
    FCanvas.SetHandle(painter);
    try {
        PaintAll();
    } catch (...) {
        FCanvas.SetHandle(nullptr);
        throw;
    }
    FCanvas.SetHandle(nullptr);
}

void TExDockTree::PaintAll()
{
    if (!FRootZone)
        return;
    ForEachZone(nullptr, 2, false, [this](TExDockZone* z) { PaintZone(z); });
}

void TExDockTree::PaintZone(TExDockZone* zone)
{
    PaintZoneBorder(zone);
    PaintZoneGrabber(zone);
    PaintZoneSplitter(zone);
    AfterPaintZone(zone);
}

void TExDockTree::PaintZoneGrabber(TExDockZone* zone)
{
    if (!zone->Control || !ControlVisible(*zone->Control) || HostDockSite(*zone->Control) != &DockSite())
        return;
    TRect r;
    ControlZoneRect(zone->Control, r);
    DrawGrabber(zone->Control, r);
}

TRect TExDockTree::GetSplitterRect(TExDockZone* zone)
{
    if (!zone->Shown() || !zone->Parent || zone->Parent->Orientation == TDockOrientation::doNoOrient ||
        !zone->NextVisible())
        return {};
    const int p = zone->Limit - FSplitterWidth;
    const int from = zone->Parent->LimitBegin();
    const int to = zone->Parent->Limit;
    return zone->Parent->Orientation == H ? Rect(from, p, to, p + FSplitterWidth) : Rect(p, from, p + FSplitterWidth, to);
}

void TExDockTree::PaintZoneSplitter(TExDockZone* zone)
{
    const TRect r = GetSplitterRect(zone);
    if (!r.IsEmpty())
        DrawSplitterRect(r);
}

void TExDockTree::DrawZoneSplitter(TExDockZone* zone)
{
    const TRect r = GetSplitterRect(zone);
    if (!r.IsEmpty())
        DrawSplitterRect(r);
}

void TExDockTree::DrawSplitterRect(const TRect& r)
{
    FCanvas.Brush().SetColor(SiteControl().Color());
    FCanvas.FillRect(r);
}

namespace {

// Highlight from (x2, y1) to (x1, y1) to (x1, y2), then shadow to (x2, y2) and back to (x2, y1 - 1).
void RaisedLine(TCanvas& canvas, int x1, int y1, int x2, int y2)
{
    canvas.Pen().SetColor(clBtnHighlight);
    canvas.MoveTo(x2, y1);
    canvas.LineTo(x1, y1);
    canvas.LineTo(x1, y2);
    canvas.Pen().SetColor(clBtnShadow);
    canvas.LineTo(x2, y2);
    canvas.LineTo(x2, y1 - 1);
}

} // namespace

void TExDockTree::DrawCloseButton(int left, int top, int side)
{
    QPainter* painter = FCanvas.Handle();
    if (!painter || side <= 0)
        return;
    const TRect r = Bounds(left, top, side, side);
    TExThemeServices& themes = CurrentThemeServices();
    themes.DrawElement(*painter, TExThemeServices::GetElementDetails(TThemedElement::CloseButton), r,
                       SiteControl().Widget());
}

void TExDockTree::DrawGrabber(TWinControlCore* control, const TRect& r)
{
    const int b = FBorderWidth;
    const int g = FGrabbersSize;
    TCanvas& canvas = FCanvas;
    switch (GrabberPosition()) {
    case gpTop: {
        if (GrabberColor != clNone) {
            canvas.Brush().SetColor(GrabberColor);
            const TRect band = Rect(r.Left, r.Top, r.Right, r.Top + g + 2);
            canvas.FillRect(band);
            if (GrabberBorderColor != clNone) {
                canvas.Brush().SetColor(GrabberBorderColor);
                canvas.FrameRect(band);
            }
        }
        if (CloseButtonShown(control))
            DrawCloseButton(r.Right - g + b + 1, r.Top + b + 1, g - 2);
        if (GrabberLines) {
            RaisedLine(canvas, r.Left + b + 4, r.Top + 2 * b + 3, r.Right + b - g - 4, r.Top + b + 5);
            RaisedLine(canvas, r.Left + b + 4, r.Top + 2 * b + 6, r.Right + b - g - 4, r.Top + b + 8);
        }
        if (GrabberBorderColor != clNone) {
            canvas.Pen().SetColor(GrabberBorderColor);
            canvas.MoveTo(r.Left, r.Top + g - 1);
            canvas.LineTo(r.Right, r.Top + g - 1);
        }
        break;
    }
    case gpLeft: {
        if (GrabberColor != clNone) {
            canvas.Brush().SetColor(GrabberColor);
            const TRect band = Rect(r.Left, r.Top, r.Left + g, r.Bottom);
            canvas.FillRect(band);
            if (GrabberBorderColor != clNone) {
                canvas.Brush().SetColor(GrabberBorderColor);
                canvas.FrameRect(band);
            }
        }
        if (CloseButtonShown(control))
            DrawCloseButton(r.Left + 2 * b + 1, r.Top + 2 * b + 1, g - 2);
        if (GrabberLines) {
            RaisedLine(canvas, r.Left + b + 3, r.Top + b + g + 1, r.Left + b + 5, r.Bottom + b - 2);
            RaisedLine(canvas, r.Left + b + 6, r.Top + b + g + 1, r.Left + b + 8, r.Bottom + b - 2);
        }
        if (GrabberBorderColor != clNone) {
            canvas.Pen().SetColor(GrabberBorderColor);
            canvas.MoveTo(r.Left + g, r.Top);
            canvas.LineTo(r.Left + g, r.Bottom);
        }
        break;
    }
    default:
        break;
    }
}

#include "Platform/controls/AlignLayout.h"

#include "Platform/core/Application.h"
#include "Platform/core/ChildObjects.h"

#include <QEvent>
#include <algorithm>

namespace {

constexpr const char* AlignProperty = "zentuAlign";

// Lives as a child object of a parent with aligned children and watches the parent and them.
class TAlignEngine : public QObject {
public:
    explicit TAlignEngine(QWidget* parent) : QObject(parent), FParent(parent)
    {
        setObjectName(QStringLiteral("zentuAlignEngine"));
        parent->installEventFilter(this);
    }

    static TAlignEngine* Find(const QWidget* parent)
    {
        return FindChildObject<TAlignEngine>(parent);
    }
    static TAlignEngine& Of(QWidget* parent)
    {
        if (TAlignEngine* engine = Find(parent))
            return *engine;
        return *new TAlignEngine(parent); // owned by the parent as its child object
    }

    int DisableCount = 0;

    void Realign()
    {
        if (DisableCount > 0 || FAligning)
            return;
        FAligning = true;
        try {
            Layout();
        } catch (...) {
            FAligning = false;
            throw;
        }
        FAligning = false;
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == FParent) {
            switch (event->type()) {
            case QEvent::Resize:
            case QEvent::Show:
            case QEvent::ChildRemoved:
            case QEvent::ContentsRectChange:
                Realign();
                break;
            default:
                break;
            }
            return false;
        }
        return false;
    }

private:
    void Layout()
    {
        TRect rect = AlignClientRect(FParent);
        std::vector<QWidget*> children;
        for (QObject* object : FParent->children()) {
            auto* w = qobject_cast<QWidget*>(object);
            if (w && !w->isWindow() && !w->isHidden())
                children.push_back(w);
        }
        for (TAlign align : {TAlign::alTop, TAlign::alBottom, TAlign::alLeft, TAlign::alRight, TAlign::alClient}) {
            std::vector<QWidget*> list;
            std::copy_if(children.begin(), children.end(), std::back_inserter(list),
                         [align](QWidget* w) { return AlignOf(w) == align; });
            // The one nearest its edge goes first; ties keep the child order.
            std::stable_sort(list.begin(), list.end(), [align](QWidget* a, QWidget* b) {
                const QRect ra = a->geometry();
                const QRect rb = b->geometry();
                switch (align) {
                case TAlign::alTop: return ra.top() < rb.top();
                case TAlign::alBottom: return ra.top() + ra.height() > rb.top() + rb.height();
                case TAlign::alLeft: return ra.left() < rb.left();
                case TAlign::alRight: return ra.left() + ra.width() > rb.left() + rb.width();
                default: return false;
                }
            });
            for (QWidget* w : list)
                Place(w, align, rect);
        }
    }

    static void Place(QWidget* w, TAlign align, TRect& rect)
    {
        const int width = std::max(0, rect.Width());
        const int height = std::max(0, rect.Height());
        switch (align) {
        case TAlign::alTop:
            w->setGeometry(rect.Left, rect.Top, width, w->height());
            rect.Top += w->height();
            break;
        case TAlign::alBottom:
            w->setGeometry(rect.Left, rect.Bottom - w->height(), width, w->height());
            rect.Bottom -= w->height();
            break;
        case TAlign::alLeft:
            w->setGeometry(rect.Left, rect.Top, w->width(), height);
            rect.Left += w->width();
            break;
        case TAlign::alRight:
            w->setGeometry(rect.Right - w->width(), rect.Top, w->width(), height);
            rect.Right -= w->width();
            break;
        case TAlign::alClient:
            w->setGeometry(rect.Left, rect.Top, width, height);
            break;
        default:
            break;
        }
    }

    QWidget* FParent;
    bool FAligning = false;
};

// Lives as a child object of an aligned control and tells its parent's engine of the changes
// that move it in the layout, wherever the control goes.
class TAlignWatcher : public QObject {
public:
    explicit TAlignWatcher(QWidget* control) : QObject(control), FControl(control)
    {
        setObjectName(QStringLiteral("zentuAlignWatcher"));
        control->installEventFilter(this);
    }

    static void Ensure(QWidget* control)
    {
        if (!FindChildObject<TAlignWatcher>(control))
            new TAlignWatcher(control); // owned by the control as its child object
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != FControl)
            return false;
        switch (event->type()) {
        case QEvent::ParentChange:
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::ShowToParent:
        case QEvent::HideToParent:
            if (QWidget* parent = FControl->parentWidget(); parent && !FControl->isWindow())
                TAlignEngine::Of(parent).Realign();
            break;
        default:
            break;
        }
        return false;
    }

private:
    QWidget* FControl;
};

} // namespace

TAlign AlignOf(const QWidget* widget)
{
    if (!widget)
        return TAlign::alNone;
    const QVariant v = widget->property(AlignProperty);
    return v.isValid() ? static_cast<TAlign>(v.toInt()) : TAlign::alNone;
}

TAlign AlignOf(const TWinControlCore& control)
{
    return AlignOf(control.Widget());
}

void SetAlign(TWinControlCore& control, TAlign align)
{
    QWidget* w = control.Widget();
    if (AlignOf(w) == align)
        return;
    w->setProperty(AlignProperty, static_cast<int>(align));
    TAlignWatcher::Ensure(w);
    QWidget* parent = w->parentWidget();
    if (!parent || w->isWindow())
        return;
    TAlignEngine::Of(parent).Realign();
}

TRect AlignClientRect(const QWidget* parent)
{
    TRect rect = TRect::FromQt(parent->contentsRect());
    if (const auto* adjust = dynamic_cast<const IAlignClientRect*>(parent))
        adjust->AdjustClientRect(rect);
    return rect;
}

void DisableAlign(QWidget* parent)
{
    if (parent)
        ++TAlignEngine::Of(parent).DisableCount;
}

void EnableAlign(QWidget* parent)
{
    TAlignEngine* engine = TAlignEngine::Find(parent);
    if (!engine || engine->DisableCount == 0)
        return;
    if (--engine->DisableCount == 0)
        engine->Realign();
}

bool AlignDisabled(const QWidget* parent)
{
    const TAlignEngine* engine = TAlignEngine::Find(parent);
    return engine && engine->DisableCount > 0;
}

void Realign(QWidget* parent)
{
    if (parent)
        TAlignEngine::Of(parent).Realign();
}

TAlignDisabler::TAlignDisabler(QWidget* parent) : FParent(parent)
{
    DisableAlign(parent);
}

TAlignDisabler::~TAlignDisabler()
{
    // invariant: destructors never throw; realigning only moves widgets.
    try {
        EnableAlign(FParent.data());
    } catch (...) {
        HandleCurrentException();
    }
}

#include "Platform/docking/WindowOrder.h"

#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <QWidget>
#include <algorithm>

namespace {

// Watches the whole application for windows coming to the top; most recent first.
class TWindowOrderTracker : public QObject {
public:
    static TWindowOrderTracker& Instance()
    {
        // why: one order for the process, as there is one window system; it goes with the
        // application object it filters.
        static QPointer<TWindowOrderTracker> instance;
        if (!instance) {
            instance = new TWindowOrderTracker(qApp);
            qApp->installEventFilter(instance);
        }
        return *instance;
    }

    void Touch(QWidget* w)
    {
        Forget(w);
        FOrder.insert(FOrder.begin(), w);
    }

    std::vector<QWidget*> Ordered()
    {
        FOrder.erase(std::remove_if(FOrder.begin(), FOrder.end(), [](const QPointer<QWidget>& p) { return !p; }),
                     FOrder.end());
        std::vector<QWidget*> result;
        for (const QPointer<QWidget>& p : FOrder)
            if (p->isWindow() && p->isVisible())
                result.push_back(p.data());
        // Windows never seen coming up lie below the known ones.
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible() && std::find(result.begin(), result.end(), w) == result.end())
                result.push_back(w);
        return result;
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::Show:
        case QEvent::WindowActivate:
        case QEvent::ZOrderChange:
            if (auto* w = qobject_cast<QWidget*>(watched); w && w->isWindow())
                Touch(w);
            break;
        default:
            break;
        }
        return false;
    }

private:
    explicit TWindowOrderTracker(QObject* parent) : QObject(parent) {}

    void Forget(QWidget* w)
    {
        FOrder.erase(std::remove_if(FOrder.begin(), FOrder.end(),
                                    [w](const QPointer<QWidget>& p) { return !p || p.data() == w; }),
                     FOrder.end());
    }

    std::vector<QPointer<QWidget>> FOrder;
};

} // namespace

void TrackWindowOrder()
{
    if (qApp)
        TWindowOrderTracker::Instance();
}

std::vector<QWidget*> WindowsInZOrder()
{
    if (!qApp)
        return {};
    return TWindowOrderTracker::Instance().Ordered();
}

void BringWindowToTop(QWidget* window)
{
    if (!window || !qApp)
        return;
    window->raise();
    TWindowOrderTracker::Instance().Touch(window);
}

QWidget* WindowAtPoint(TPoint screenPoint)
{
    for (QWidget* w : WindowsInZOrder()) {
        if (w->testAttribute(Qt::WA_TransparentForMouseEvents) ||
            w->windowFlags().testFlag(Qt::WindowTransparentForInput))
            continue;
        if (w->frameGeometry().contains(screenPoint.ToQt()))
            return w;
    }
    return nullptr;
}

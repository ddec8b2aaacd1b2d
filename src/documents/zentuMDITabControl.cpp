// The document tab strip.

#include "documents/zentuMDITabControl.h"

#include "Platform/files/FileNames.h"
#include "Platform/core/QtBridge.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>

std::string FileNameOf(std::string_view caption)
{
    return ExtractFileName(caption);
}

TMDITabControl::TMDITabControl(TComponent* AOwner, QWidget* parent) : TQtControl<QTabBar>(AOwner, parent)
{
    setExpanding(false);
    setDrawBase(false);
    setUsesScrollButtons(true);
    setElideMode(Qt::ElideNone);
    hide();
    connect(this, &QTabBar::currentChanged, this, [this](int index) { TabChanged(index); });
}

QMdiSubWindow* TMDITabControl::Forms(int index) const
{
    if (index < 0 || index >= count())
        return nullptr;
    return qobject_cast<QMdiSubWindow*>(tabData(index).value<QObject*>());
}

int TMDITabControl::IndexOfForm(const QMdiSubWindow* form) const
{
    for (int i = 0; i < count(); ++i)
        if (Forms(i) == form)
            return i;
    return -1;
}

std::string TMDITabControl::TabText(int index) const
{
    return StdStr(tabText(index));
}

void TMDITabControl::AddForm(QMdiSubWindow* form)
{
    if (!form || IndexOfForm(form) >= 0)
        return;
    FSelecting = true;
    const int index = addTab(QStr(FileNameOf(StdStr(form->windowTitle()))));
    setTabData(index, QVariant::fromValue<QObject*>(form));
    setCurrentIndex(index);
    FSelecting = false;
    if (count() > 0)
        show();
}

void TMDITabControl::RemoveForm(QMdiSubWindow* form)
{
    const int index = IndexOfForm(form);
    if (index < 0)
        return;
    FSelecting = true;
    removeTab(index);
    FSelecting = false;
    if (count() == 0)
        hide();
}

void TMDITabControl::SelectForm(QMdiSubWindow* form)
{
    const int index = IndexOfForm(form);
    if (index < 0)
        return;
    FSelecting = true;
    setCurrentIndex(index);
    FSelecting = false;
}

void TMDITabControl::UpdateCaption(QMdiSubWindow* form)
{
    const int index = IndexOfForm(form);
    if (index < 0)
        return;
    setTabText(index, QStr(FileNameOf(StdStr(form->windowTitle()))));
    update();
}

void TMDITabControl::Activate(QMdiSubWindow* form)
{
    if (form && form->mdiArea())
        form->mdiArea()->setActiveSubWindow(form);
}

void TMDITabControl::TabChanged(int index)
{
    if (FSelecting || index < 0)
        return;
    Activate(Forms(index));
    if (OnChange)
        OnChange(this);
}

void TMDITabControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TQtControl<QTabBar>::MouseDown(button, shift, x, y);
    if (button != TMouseButton::mbMiddle)
        return;
    const int index = tabAt(QPoint(x, y));
    if (index < 0)
        return;
    QPointer<QMdiSubWindow> form = Forms(index);
    setCurrentIndex(index);
    if (form) {
        Activate(form);
        form->close();
    }
}

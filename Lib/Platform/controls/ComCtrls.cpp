#include "Platform/controls/ComCtrls.h"

#include "Platform/core/QtBridge.h"

// ---- tab sheet

TTabSheet::TTabSheet(TComponent* AOwner) : TQtControl<QWidget>(AOwner, nullptr) {}

TTabSheet::~TTabSheet()
{
    if (FPageControl)
        FPageControl->RemovePage(this);
}

void TTabSheet::SetPageControl(TPageControl* pageControl)
{
    if (pageControl == FPageControl)
        return;
    if (FPageControl)
        FPageControl->RemovePage(this);
    if (pageControl)
        pageControl->InsertPage(this);
}

int TTabSheet::PageIndex() const
{
    return FPageControl ? FPageControl->indexOf(const_cast<TTabSheet*>(this)) : -1;
}

void TTabSheet::ApplyText(const std::string& text)
{
    if (FPageControl)
        FPageControl->setTabText(PageIndex(), QStr(text));
}

// ---- page control

TPageControl::TPageControl(TComponent* AOwner, QWidget* parent) : TQtControl<QTabWidget>(AOwner, parent) {}

TPageControl::~TPageControl()
{
    // why: sheets that outlive their page control must not point back at it.
    for (int i = count() - 1; i >= 0; --i)
        if (TTabSheet* page = Pages(i))
            page->FPageControl = nullptr;
}

TTabSheet* TPageControl::Pages(int index) const
{
    return dynamic_cast<TTabSheet*>(widget(index));
}

TTabSheet* TPageControl::ActivePage() const
{
    return dynamic_cast<TTabSheet*>(currentWidget());
}

void TPageControl::SetActivePage(TTabSheet* page)
{
    if (page && page->FPageControl == this)
        setCurrentWidget(page);
}

void TPageControl::InsertPage(TTabSheet* page)
{
    const auto child = reinterpret_cast<WPARAM>(static_cast<TWinControlCore*>(page));
    Perform(CM_CONTROLLISTCHANGE, child, 1);
    addTab(page, QStr(page->Text()));
    page->FPageControl = this;
    Perform(CM_CONTROLCHANGE, child, 1);
}

void TPageControl::RemovePage(TTabSheet* page)
{
    const auto child = reinterpret_cast<WPARAM>(static_cast<TWinControlCore*>(page));
    Perform(CM_CONTROLCHANGE, child, 0);
    removeTab(indexOf(page));
    page->setParent(nullptr);
    page->FPageControl = nullptr;
    Perform(CM_CONTROLLISTCHANGE, child, 0);
}

// ---- status bar

TStatusBar::TStatusBar(TComponent* AOwner, QWidget* parent) : TQtControl<QStatusBar>(AOwner, parent) {}

void TStatusBar::SetSimpleText(const std::string& text)
{
    if (text == FSimpleText)
        return;
    FSimpleText = text;
    showMessage(QStr(text));
}

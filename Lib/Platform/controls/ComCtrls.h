#pragma once
// The class library's page control with its tab sheets, and the status bar, over QTabWidget and
// QStatusBar. A tab sheet lives inside the page control's page stack; the page control still
// hears the child-list notifications when a sheet is inserted or removed.

#include "Platform/controls/Control.h"

#include <QStatusBar>
#include <QTabWidget>

class TPageControl;

class TTabSheet : public TQtControl<QWidget> {
public:
    explicit TTabSheet(TComponent* AOwner);
    ~TTabSheet() override;

    TPageControl* PageControl() const { return FPageControl; }
    // Moves the sheet to the end of `pageControl` (null: out of its page control).
    void SetPageControl(TPageControl* pageControl);
    const std::string& Caption() const { return Text(); }
    void SetCaption(const std::string& caption) { SetText(caption); }
    int PageIndex() const;

protected:
    void ApplyText(const std::string& text) override;

private:
    friend class TPageControl;
    TPageControl* FPageControl = nullptr;
};

class TPageControl : public TQtControl<QTabWidget> {
public:
    explicit TPageControl(TComponent* AOwner, QWidget* parent = nullptr);
    ~TPageControl() override;

    int PageCount() const { return count(); }
    TTabSheet* Pages(int index) const;
    TTabSheet* ActivePage() const;
    void SetActivePage(TTabSheet* page);
    int ActivePageIndex() const { return currentIndex(); }
    void SetActivePageIndex(int index) { setCurrentIndex(index); }

protected:
    LRESULT NativeDialogCode() const override { return DLGC_WANTARROWS; }

private:
    friend class TTabSheet;
    void InsertPage(TTabSheet* page);
    void RemovePage(TTabSheet* page);
};

class TStatusBar : public TQtControl<QStatusBar> {
public:
    explicit TStatusBar(TComponent* AOwner, QWidget* parent = nullptr);

    const std::string& SimpleText() const { return FSimpleText; }
    void SetSimpleText(const std::string& text);

private:
    std::string FSimpleText;
};

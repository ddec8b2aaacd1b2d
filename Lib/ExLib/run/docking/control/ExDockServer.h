#pragma once
// The dock server: the form that owns it becomes a dock host with a dock panel and a splitter
// on each of its four edges (and a custom panel where the program asks for one). The panels
// and splitters come from the attached style and live and die together.

#include "ExLib/run/docking/control/ExDockBaseControl.h"
#include "ExLib/run/docking/control/ExDockStyle.h"
#include "ExLib/run/docking/sites/ExDockSplitter.h"

#include <array>
#include <memory>

class TExDockServer;
class TExDockSplitter;

// The settings of one of the server's splitters.
class TExDockSplitterStyle : public TPersistent {
public:
    TExDockSplitterStyle(TExDockServer* server, int index);

    TExDockSplitter* Splitter() const { return FSplitter; }
    void SetSplitter(TExDockSplitter* splitter) { FSplitter = splitter; }
    TExDockServer* DockServer() const { return FServer; }

    TColor Color() const { return FColor; }
    void SetColor(TColor value);
    Qt::CursorShape Cursor() const { return FCursor; }
    void SetCursor(Qt::CursorShape value);
    bool ParentColor() const { return FParentColor; }
    void SetParentColor(bool value);
    TResizeStyle ResizeStyle() const { return FResizeStyle; }
    void SetResizeStyle(TResizeStyle value);
    int Size() const { return FSize; }
    void SetSize(int value);
    int MinSize() const { return FMinSize; }
    void SetMinSize(int value);

    // Gives the splitter the colour, cursor, parent colour, resize style and size.
    void ApplyToSplitter();
    void Assign(const TPersistent& source) override;

protected:
    void AssignTo(TPersistent& dest) const override;

private:
    TExDockServer* FServer;
    TExDockSplitter* FSplitter = nullptr;
    TColor FColor = clBtnFace;
    Qt::CursorShape FCursor;
    bool FParentColor = false;
    TResizeStyle FResizeStyle = TResizeStyle::rsPattern;
    int FSize = 3;
    int FMinSize = 30;
};

using TExGetClientAlignSizeEvent = std::function<void(TAlign Align, int& Value)>;
using TExFinishSetDockPanelSizeEvent = std::function<void(TExDockPanel* DockPanel)>;
using TExCustomPanelEvent = std::function<void(TExDockServer* Sender, QWidget*& AParent, TAlign& Align)>;

class TExDockServer : public TExDockBaseControl {
public:
    explicit TExDockServer(TComponent* AOwner);
    ~TExDockServer() override;

    TExDockPanelClass DockPanelClass;
    TExDockSplitterClass DockSplitterClass;

    // Index 0 left, 1 right, 2 top, 3 bottom, 4 custom; null when that one does not exist.
    TExDockPanel* DockPanelAt(int index) const;
    TExDockSplitter* SplitterAt(int index) const;
    TExDockSplitterStyle& SplitterStyleAt(int index) const;
    void SetSplitterStyleAt(int index, const TExDockSplitterStyle& style);
    TExDockPanel* DockPanelWithAlign(TAlign align) const;
    TExDockSplitter* SplitterWithAlign(TAlign align) const;
    // The space other aligned controls (tool bars, status bars) take at that edge of the form.
    int ClientAlignSize(TAlign align);

    bool AutoFocusDockedForm() const { return FAutoFocusDockedForm; }
    void SetAutoFocusDockedForm(bool value) { FAutoFocusDockedForm = value; }

    TExGetClientAlignSizeEvent OnGetClientAlignSize;
    TExFinishSetDockPanelSizeEvent OnFinishSetDockPanelSize;
    TExCustomPanelEvent OnCustomPanel;

    void SetLeftDock(bool value) override;
    void SetRightDock(bool value) override;
    void SetTopDock(bool value) override;
    void SetBottomDock(bool value) override;
    void SetEnableDock(bool value) override;
    void AttachStyle(TExDockBasicStyle* style) override;
    void DetachStyle(TExDockBasicStyle* style) override;
    void FormWindowProcHook(TMessage& message) override;
    // Sends every client of the panel back through its style, last first.
    void UndockPanelClients(TExDockPanel* panel);

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    friend class TExDockPanel;
    void CreateDockPanels();
    void FreeDockPanels();
    TExDockPanel* CreateDockPanel(const std::string& name, TAlign align, QWidget* parent);
    TExDockSplitter* CreateSplitter(const std::string& name, TAlign align);

    std::array<TExDockPanel*, 5> FDockPanels{};
    std::array<TExDockSplitter*, 5> FSplitters{};
    std::array<std::unique_ptr<TExDockSplitterStyle>, 5> FSplitterStyles;
    bool FAutoFocusDockedForm = true;
    bool FFreeingPanels = false;
};

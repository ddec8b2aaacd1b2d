#pragma once
// Helpers of the path combo box tests: a shown window holding a combo box and a button beside
// it, typing into the edit as a user does, and clicks at screen points.

#include "ShellBrowsing/Source/combo/ShellExplorerCombobox.h"

#include "ShellBrowsing/ShellTestSupport.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>

class TComboTest : public TShellTest {
protected:
    void SetUp() override
    {
        TShellTest::SetUp();
        FWindow = std::make_unique<QWidget>();
        FWindow->setGeometry(40, 40, 700, 120);
        FCombo = new TShellExplorerCombobox(nullptr, FWindow.get());
        FCombo->setGeometry(10, 10, 400, 24);
        FOutside = new QPushButton(QStringLiteral("Elsewhere"), FWindow.get());
        FOutside->setGeometry(500, 10, 120, 30);
        FWindow->show();
        FWindow->activateWindow();
        QApplication::processEvents();
        FCombo->OnInvalidPath = [this](TObject*, const QString& path) { Invalid.push_back(path.toStdString()); };
        FCombo->SetActive(true);
    }
    void TearDown() override
    {
        SetShellExecuteHandler(nullptr);
        FWindow.reset();
        TShellTest::TearDown();
    }

    TShellExplorerCombobox& Combo() { return *FCombo; }
    TComboEdit& Edit() { return *FCombo->Edit(); }
    QPushButton& Outside() { return *FOutside; }
    QWidget& Window() { return *FWindow; }
    // The shown folder's path ("" without a namespace).
    std::string Shown() { return FCombo->Namespace() ? FCombo->Namespace()->PathBytes() : std::string(); }
    // Goes to a path as the program does.
    void Show(const std::string& path)
    {
        FCombo->BrowseToPath(QString::fromStdString(path));
        ASSERT_EQ(Shown(), path);
    }
    // Replaces the edit's text by typing `text` and, with `enter`, presses Enter.
    void Type(const std::string& text, bool enter)
    {
        Edit().setFocus();
        Edit().SetEditText(QString());
        QTest::keyClicks(&Edit(), QString::fromStdString(text));
        if (enter)
            QTest::keyClick(&Edit(), Qt::Key_Return);
        QApplication::processEvents();
    }
    // A left click at a widget's point, as the window system delivers it.
    static void ClickAt(QWidget& widget, QPoint p)
    {
        QTest::mousePress(&widget, Qt::LeftButton, Qt::NoModifier, p);
        QTest::mouseRelease(&widget, Qt::LeftButton, Qt::NoModifier, p);
        QApplication::processEvents();
    }

    std::vector<std::string> Invalid;

private:
    std::unique_ptr<QWidget> FWindow;
    TShellExplorerCombobox* FCombo = nullptr;
    QPushButton* FOutside = nullptr;
};

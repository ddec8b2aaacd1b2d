#pragma once
// The application object: Qt's application with the exception boundary of the system.
// No exception crosses into Qt's event loop: every event delivery catches, hands the
// exception to HandleException, and the loop goes on. The default handler shows the message
// in a box captioned "Zentu"; EAbort is silent.

#include "Platform/graphics/Colors.h"
#include "Platform/core/Component.h"

#include <QApplication>
#include <exception>
#include <functional>
#include <string>

// Buttons and answers of message boxes.
enum : unsigned {
    MB_OK = 0x0, MB_OKCANCEL = 0x1, MB_ABORTRETRYIGNORE = 0x2, MB_YESNOCANCEL = 0x3, MB_YESNO = 0x4,
    MB_RETRYCANCEL = 0x5, MB_ICONERROR = 0x10, MB_ICONQUESTION = 0x20, MB_ICONWARNING = 0x30,
    MB_ICONINFORMATION = 0x40, MB_DEFBUTTON2 = 0x100, MB_DEFBUTTON3 = 0x200,
};
enum : int { IDOK = 1, IDCANCEL = 2, IDABORT = 3, IDRETRY = 4, IDIGNORE = 5, IDYES = 6, IDNO = 7 };

struct TMessageBoxRequest {
    std::string Text;
    std::string Caption;
    unsigned Flags = MB_OK;
};

class TApplication : public QApplication {
    Q_OBJECT

public:
    TApplication(int& argc, char** argv);
    ~TApplication() override;

    bool notify(QObject* receiver, QEvent* event) override;

    // Reports an exception that reached the event boundary.
    void HandleException(const std::exception& e);
    void HandleUnknownException();
    void ShowException(const std::exception& e);

    // A modal message box; answers IDOK, IDYES, ... The hook, when set, answers instead of
    // the box (tests and scripted runs).
    int MessageBox(const std::string& text, const std::string& caption, unsigned flags);
    std::function<int(const TMessageBoxRequest&)> MessageBoxHook;

    void ProcessMessages();
    void Terminate();
    bool Terminated() const { return FTerminated; }

    std::string Title = "Zentu";
    TColor HintColor = clInfoBk;
    std::function<void(TObject* Sender, const std::exception& e)> OnException;
    // Shows the help topic of a help context through OnHelp; false when nobody showed it.
    bool HelpContext(int context) { return OnHelp && OnHelp(context); }
    std::function<bool(int context)> OnHelp;

private:
    bool FTerminated = false;
};

// The running application (null before it is made and after it is gone).
TApplication* Application();

// Hands the exception being caught to the application's handler (nothing when there is no
// application). Call it only inside a catch block: it is how every event boundary and
// every destructor that must not throw reports what it stopped.
void HandleCurrentException() noexcept;

// A message box captioned with the application's title ("Zentu").
int ShowMessageBox(const std::string& text, unsigned flags = MB_OK);
void ShowMessage(const std::string& text);

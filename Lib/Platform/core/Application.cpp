#include "Platform/core/Application.h"

#include "Platform/core/Exceptions.h"
#include "Platform/core/QtBridge.h"

#include <QMessageBox>
#include <QPushButton>
#include <clocale>
#include <cstdio>

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    // why: Qt adopts the user's locale; numbers in settings files and formatted texts must
    // always use "." whatever the desktop language.
    std::setlocale(LC_NUMERIC, "C");
    setApplicationName(QStringLiteral("Zentu"));
}

TApplication::~TApplication() = default;

TApplication* Application()
{
    return qobject_cast<TApplication*>(QCoreApplication::instance());
}

void HandleCurrentException() noexcept
{
    TApplication* app = Application();
    if (!app)
        return;
    try {
        throw;
    } catch (const std::exception& e) {
        app->HandleException(e);
    } catch (...) {
        app->HandleUnknownException();
    }
}

bool TApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        HandleCurrentException();
    }
    return false;
}

void TApplication::HandleException(const std::exception& e)
{
    try {
        if (OnException)
            OnException(nullptr, e);
        else
            ShowException(e);
    } catch (...) {
        // A failing handler must not take the event loop down with it.
        std::fputs("Zentu: exception handler failed\n", stderr);
    }
}

void TApplication::HandleUnknownException()
{
    HandleException(Exception("Unknown exception"));
}

void TApplication::ShowException(const std::exception& e)
{
    if (dynamic_cast<const EAbort*>(&e))
        return;
    std::string message = e.what();
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.')
        message += '.';
    MessageBox(message, Title, MB_OK | MB_ICONERROR);
}

int TApplication::MessageBox(const std::string& text, const std::string& caption, unsigned flags)
{
    if (MessageBoxHook)
        return MessageBoxHook(TMessageBoxRequest{text, caption, flags});
    QMessageBox box;
    box.setWindowTitle(QStr(caption));
    box.setText(QStr(text));
    switch (flags & 0xF0) {
    case MB_ICONERROR: box.setIcon(QMessageBox::Critical); break;
    case MB_ICONQUESTION: box.setIcon(QMessageBox::Question); break;
    case MB_ICONWARNING: box.setIcon(QMessageBox::Warning); break;
    case MB_ICONINFORMATION: box.setIcon(QMessageBox::Information); break;
    default: break;
    }
    struct Choice {
        QMessageBox::StandardButton Button;
        int Answer;
    };
    std::vector<Choice> choices;
    switch (flags & 0xF) {
    case MB_OKCANCEL: choices = {{QMessageBox::Ok, IDOK}, {QMessageBox::Cancel, IDCANCEL}}; break;
    case MB_ABORTRETRYIGNORE:
        choices = {{QMessageBox::Abort, IDABORT}, {QMessageBox::Retry, IDRETRY}, {QMessageBox::Ignore, IDIGNORE}};
        break;
    case MB_YESNOCANCEL: choices = {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}, {QMessageBox::Cancel, IDCANCEL}}; break;
    case MB_YESNO: choices = {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}}; break;
    case MB_RETRYCANCEL: choices = {{QMessageBox::Retry, IDRETRY}, {QMessageBox::Cancel, IDCANCEL}}; break;
    default: choices = {{QMessageBox::Ok, IDOK}}; break;
    }
    QMessageBox::StandardButtons buttons;
    for (const auto& c : choices)
        buttons |= c.Button;
    box.setStandardButtons(buttons);
    const size_t def = (flags & MB_DEFBUTTON3) ? 2 : ((flags & MB_DEFBUTTON2) ? 1 : 0);
    if (def < choices.size())
        box.setDefaultButton(choices[def].Button);
    const auto pressed = static_cast<QMessageBox::StandardButton>(box.exec());
    for (const auto& c : choices)
        if (c.Button == pressed)
            return c.Answer;
    // Closing the box answers as Cancel when there is one, else as the only button.
    for (const auto& c : choices)
        if (c.Answer == IDCANCEL)
            return IDCANCEL;
    return choices.size() == 1 ? choices[0].Answer : IDNO;
}

void TApplication::ProcessMessages()
{
    QCoreApplication::processEvents();
}

void TApplication::Terminate()
{
    FTerminated = true;
    QCoreApplication::quit();
}

int ShowMessageBox(const std::string& text, unsigned flags)
{
    TApplication* app = Application();
    return app ? app->MessageBox(text, app->Title, flags) : IDCANCEL;
}

void ShowMessage(const std::string& text)
{
    ShowMessageBox(text, MB_OK);
}

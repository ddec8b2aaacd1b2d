#pragma once
// A hidden message window: an object without a screen presence that receives messages on the
// thread that created it. Other threads post to it; its handler runs in the owner's event loop.
// A window without a handler answers every message with 0 (the default handling).

#include "Platform/core/Messages.h"

#include <QObject>
#include <string>

class TMessageWindow : public QObject {
public:
    explicit TMessageWindow(TWndMethod handler = {}, std::string className = {});
    ~TMessageWindow() override;

    const std::string& ClassName() const { return FClassName; }
    void SetHandler(TWndMethod handler) { FHandler = std::move(handler); }
    bool HasHandler() const { return static_cast<bool>(FHandler); }

    // Handles the message now, on the calling thread.
    LRESULT Perform(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
    // Queues the message; safe from any thread while the window exists.
    void PostMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
    // Handles the message on the window's thread and waits for the result.
    LRESULT SendMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);

protected:
    bool event(QEvent* e) override;

private:
    TWndMethod FHandler;
    std::string FClassName;
};

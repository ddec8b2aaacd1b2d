#pragma once
// Answers the next colour dialog the code under test opens: once it shows, the dialog takes
// `color` and is accepted, or is cancelled when no colour is given.

#include <QApplication>
#include <QColorDialog>
#include <QTimer>
#include <optional>

inline void AnswerNextColorDialog(std::optional<QColor> color)
{
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, color] {
        auto* dialog = qobject_cast<QColorDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        timer->stop();
        timer->deleteLater();
        if (color) {
            dialog->setCurrentColor(*color);
            dialog->accept();
        } else {
            dialog->reject();
        }
    });
    timer->start(10);
}

// Zentu: the program entry. Until the main window lands, a plain window says so.

#include "Platform/Application.h"

#include <QLabel>
#include <QVBoxLayout>
#include <QWidget>

int main(int argc, char** argv)
{
    TApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Zentu"));
    auto* layout = new QVBoxLayout(&window);
    auto* label = new QLabel(QStringLiteral("Zentu is not built yet: the main window comes with a later step."), &window);
    label->setAlignment(Qt::AlignCenter);
    layout->addWidget(label);
    window.resize(640, 400);
    window.show();
    return app.exec();
}

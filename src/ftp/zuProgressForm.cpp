// The progress window.

#include "ftp/zuProgressForm.h"

#include "Platform/core/QtBridge.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>

TProgressForm* ProgressForm = nullptr;

namespace {

constexpr int ClientWidth = 288;
constexpr int ClientHeight = 87;
constexpr int BorderWidth = 2;
// The bar's own range; byte counts are scaled into it, so files beyond 2 GB fit.
constexpr int BarRange = 1000;

} // namespace

TProgressForm::TProgressForm(QWidget* centreOn)
    : QWidget(centreOn, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("ProgressForm"));
    setWindowModality(Qt::ApplicationModal);
    setFixedSize(ClientWidth + 2 * BorderWidth, ClientHeight + 2 * BorderWidth);
    auto* bevel = new QFrame(this);
    bevel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    bevel->setLineWidth(BorderWidth);
    bevel->setGeometry(0, 0, width(), height());
    TextLabel = new QLabel(QStringLiteral("::"), this);
    TextLabel->setObjectName(QStringLiteral("TextLabel"));
    TextLabel->setGeometry(BorderWidth + 10, BorderWidth + 8, ClientWidth - 20, 18);
    ProgressBar = new QProgressBar(this);
    ProgressBar->setObjectName(QStringLiteral("ProgressBar"));
    ProgressBar->setTextVisible(false);
    ProgressBar->setGeometry(BorderWidth + 10, BorderWidth + 30, ClientWidth - 20, 16);
    ProgressBar->setRange(0, BarRange);
    ProgressBar->setValue(0);
    CancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    CancelButton->setGeometry(BorderWidth + (ClientWidth - 80) / 2, BorderWidth + 54, 80, 25);
    connect(CancelButton, &QPushButton::clicked, this, [this] { Cancel(); });

    const QRect area = centreOn ? centreOn->frameGeometry()
                                : (screen() ? screen()->availableGeometry() : QRect(0, 0, width(), height()));
    move(area.center() - rect().center());
    ProgressForm = this;
}

TProgressForm::~TProgressForm()
{
    if (ProgressForm == this)
        ProgressForm = nullptr;
}

void TProgressForm::SetStatusText(const std::string& text)
{
    TextLabel->setText(QStr(text));
    QCoreApplication::processEvents();
}

std::string TProgressForm::StatusText() const
{
    return StdStr(TextLabel->text());
}

void TProgressForm::SetProgress(std::int64_t position, std::int64_t maximum)
{
    if (maximum <= 0) {
        ProgressBar->setRange(0, 0);
        return;
    }
    if (ProgressBar->maximum() != BarRange)
        ProgressBar->setRange(0, BarRange);
    const std::int64_t clamped = std::min(std::max<std::int64_t>(position, 0), maximum);
    ProgressBar->setValue(static_cast<int>(clamped * BarRange / maximum));
}

void TProgressForm::Cancel()
{
    if (OnCancel)
        OnCancel();
}

void TProgressForm::closeEvent(QCloseEvent* event)
{
    if (OnCancel) {
        event->ignore();
        Cancel();
        return;
    }
    if (ProgressForm == this)
        ProgressForm = nullptr;
    QWidget::closeEvent(event);
    deleteLater();
}

#include "framework/ProgressWindow.h"

#include "framework/Gauge.h"

#include <QCloseEvent>
#include <QPushButton>

namespace {
constexpr int kClientWidth = 492;
constexpr int kClientHeight = 33;
constexpr int kButtonWidth = 75;
} // namespace

ProgressWindow::ProgressWindow(QWidget* mainWindow)
    : QWidget(mainWindow,
        Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
            | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
    , mainWindow_(mainWindow)
{
    setObjectName(QStringLiteral("Form14"));
    setFixedSize(kClientWidth, kClientHeight);
    // While it is up, the run owns the program: only cancel, minimise and restore are possible.
    setWindowModality(Qt::ApplicationModal);

    gauge_ = new Gauge(this);
    gauge_->setObjectName(QStringLiteral("Gauge1"));
    gauge_->setGeometry(0, 0, kClientWidth, kClientHeight);

    cancelButton_ = new QPushButton(QStringLiteral("Cancelar"), this);
    cancelButton_->setObjectName(QStringLiteral("Button1"));
    cancelButton_->setGeometry(kClientWidth - kButtonWidth - 4, 4, kButtonWidth, kClientHeight - 8);
    connect(cancelButton_, &QPushButton::clicked, this, &QWidget::close);
}

void ProgressWindow::showForRun()
{
    cancelFlag_ = true;
    showNormal();
    raise();
    activateWindow();
    cancelButton_->setFocus();
    cancelFlag_ = false;
}

void ProgressWindow::closeEvent(QCloseEvent* event)
{
    stopRun();
    event->accept();
}

void ProgressWindow::stopRun()
{
    cancelFlag_ = true;
    if (mainWindow_)
        mainWindow_->show();
}

void ProgressWindow::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange)
        return;
    const auto before = static_cast<QWindowStateChangeEvent*>(event)->oldState();
    // A fixed-size window changes size only by being minimised or restored.
    if ((before & Qt::WindowMinimized) != (windowState() & Qt::WindowMinimized))
        followMinimised();
}

void ProgressWindow::followMinimised()
{
    if (cancelFlag_ || !mainWindow_)
        return;
    if (mainWindow_->windowState() & Qt::WindowMinimized)
        mainWindow_->showMaximized();
    else
        mainWindow_->showMinimized();
}

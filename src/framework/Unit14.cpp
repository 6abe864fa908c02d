#include "framework/Unit14.h"

#include "framework/Gauge.h"

#include <QCloseEvent>
#include <QPushButton>

namespace {
constexpr int kClientWidth = 492;
constexpr int kClientHeight = 33;
constexpr int kButtonWidth = 75;
} // namespace

TForm14::TForm14(QWidget* mainWindow)
    : QWidget(mainWindow,
        Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
            | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
    , mainWindow_(mainWindow)
{
    setObjectName(QStringLiteral("Form14"));
    setFixedSize(kClientWidth, kClientHeight);
    // While it is up, the run owns the program: only cancel, minimise and restore are possible.
    setWindowModality(Qt::ApplicationModal);

    Gauge1 = new Gauge(this);
    Gauge1->setObjectName(QStringLiteral("Gauge1"));
    Gauge1->setGeometry(0, 0, kClientWidth, kClientHeight);

    Button1 = new QPushButton(QStringLiteral("Cancelar"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(kClientWidth - kButtonWidth - 4, 4, kButtonWidth, kClientHeight - 8);
    connect(Button1, &QPushButton::clicked, this, &TForm14::Button1Click);
}

void TForm14::showForRun()
{
    cancelFlag_ = true;
    showNormal();
    raise();
    activateWindow();
    Button1->setFocus();
    cancelFlag_ = false;
}

void TForm14::Button1Click() { close(); }

void TForm14::closeEvent(QCloseEvent* event)
{
    FormClose();
    event->accept();
}

void TForm14::FormClose()
{
    cancelFlag_ = true;
    if (mainWindow_)
        mainWindow_->show();
}

void TForm14::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange)
        return;
    const auto before = static_cast<QWindowStateChangeEvent*>(event)->oldState();
    // A fixed-size window changes size only by being minimised or restored.
    if ((before & Qt::WindowMinimized) != (windowState() & Qt::WindowMinimized))
        FormResize();
}

void TForm14::FormResize()
{
    if (cancelFlag_ || !mainWindow_)
        return;
    if (mainWindow_->windowState() & Qt::WindowMinimized)
        mainWindow_->showMaximized();
    else
        mainWindow_->showMinimized();
}

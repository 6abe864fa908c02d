#include "framework/ProgressWindow.h"

#include "framework/ButtonKeys.h"
#include "framework/Gauge.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

namespace {
constexpr int kClientWidth = 492;
constexpr int kClientHeight = 33;
constexpr int kButtonWidth = 75;
constexpr int kStepHeight = 24;
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

    stepLabel_ = new QLabel(this);
    stepLabel_->setObjectName(QStringLiteral("LabelReceita"));
    stepLabel_->setGeometry(6, 0, kClientWidth - 12, kStepHeight);
    stepLabel_->hide();
}

void ProgressWindow::showForRun()
{
    cancelFlag_ = true;
    centreOnMainWindow();
    showNormal();
    raise();
    activateWindow();
    cancelButton_->setFocus();
    cancelFlag_ = false;
}

void ProgressWindow::centreOnMainWindow()
{
    if (!mainWindow_ || !mainWindow_->isVisible())
        return;
    // Over the middle of the main window, where the eye is, never over its menus in a corner.
    QRect frame = frameGeometry();
    frame.moveCenter(mainWindow_->frameGeometry().center());
    move(frame.topLeft());
}

void ProgressWindow::setRecipeStep(const QString& text)
{
    const bool recipe = !text.isEmpty();
    if (recipe != inRecipe_) {
        inRecipe_ = recipe;
        cancelButton_->setEnabled(true);
        cancelButton_->setText(QStringLiteral("Cancelar"));
        const int top = recipe ? kStepHeight : 0;
        setFixedSize(kClientWidth, kClientHeight + top);
        gauge_->move(0, top);
        cancelButton_->move(cancelButton_->x(), top + 4);
        stepLabel_->setVisible(recipe);
    }
    stepLabel_->setText(text);
    stepLabel_->setAccessibleName(text);
}

void ProgressWindow::closeEvent(QCloseEvent* event)
{
    if (inRecipe_) {
        event->ignore();
        if (cancelFlag_)
            return;
        cancelFlag_ = true;
        cancelButton_->setText(QStringLiteral("Parando..."));
        cancelButton_->setEnabled(false);
        return;
    }
    stopRun();
    event->accept();
}

// Esc cancels as "Cancelar" does; Enter on the focused "Cancelar" presses it.
void ProgressWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->accept();
        close();
        return;
    }
    if (!pressFocusedButton(this, event))
        QWidget::keyPressEvent(event);
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

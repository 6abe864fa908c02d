#include "framework/ButtonKeys.h"

#include <QKeyEvent>
#include <QPushButton>
#include <QToolButton>
#include <QWidget>

bool pressFocusedButton(QWidget* window, QKeyEvent* event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (!enter || (event->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
        return false;
    QWidget* focus = window->focusWidget();
    // Options and fields are left alone: Enter there still runs the default button.
    QAbstractButton* button = qobject_cast<QPushButton*>(focus);
    if (!button)
        button = qobject_cast<QToolButton*>(focus);
    if (!button || !button->isEnabled() || !button->isVisible())
        return false;
    event->accept();
    button->click();
    return true;
}

#pragma once

#include <QAbstractSpinBox>
#include <QAccessible>
#include <QComboBox>
#include <QStringList>
#include <QWidget>

// The visible controls under `top` that take the focus but give a screen reader no
// name, as "objectName:class".
inline QStringList unnamedControls(QWidget* top)
{
    QStringList unnamed;
    for (QWidget* control : top->findChildren<QWidget*>()) {
        if (!control->isVisible() || !(control->focusPolicy() & Qt::TabFocus))
            continue;
        // The editor inside a number field or a combo box is spoken as part of it.
        QWidget* parent = control->parentWidget();
        if (qobject_cast<QAbstractSpinBox*>(parent) || qobject_cast<QComboBox*>(parent))
            continue;
        QAccessibleInterface* spoken = QAccessible::queryAccessibleInterface(control);
        if (!spoken || spoken->text(QAccessible::Name).trimmed().isEmpty())
            unnamed << control->objectName() + QLatin1Char(':')
                    + QString::fromLatin1(control->metaObject()->className());
    }
    return unnamed;
}

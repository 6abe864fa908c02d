#include "framework/CaptionColour.h"

#include <QApplication>
#include <QPalette>
#include <QWidget>

QColor windowTextColour() { return QApplication::palette().color(QPalette::Active, QPalette::WindowText); }

QColor greyTextColour() { return QApplication::palette().color(QPalette::Disabled, QPalette::WindowText); }

void paintCaption(QWidget* widget, bool on)
{
    QPalette p = widget->palette();
    const QColor colour = on ? windowTextColour() : greyTextColour();
    // Check boxes and labels draw their text with the window-text role in every state they can be in here.
    for (auto group : {QPalette::Active, QPalette::Inactive})
        p.setColor(group, QPalette::WindowText, colour);
    widget->setPalette(p);
}

QColor captionColour(const QWidget* widget) { return widget->palette().color(QPalette::Active, QPalette::WindowText); }

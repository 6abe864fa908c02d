#pragma once

#include <QColor>

class QWidget;

// Option captions of the tool dialogs: window-text colour when on, grey text when off.
QColor windowTextColour();
QColor greyTextColour();
void paintCaption(QWidget* widget, bool on);
// The colour a caption is drawn in now.
QColor captionColour(const QWidget* widget);

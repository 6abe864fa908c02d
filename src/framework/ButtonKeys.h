#pragma once

class QKeyEvent;
class QWidget;

// Enter on a focused push or tool button presses that button, as Space does, instead of
// the window's default button or nothing at all. True when the key was taken.
bool pressFocusedButton(QWidget* window, QKeyEvent* event);

#pragma once

class MainWindow;

// The one place that makes every dialog of the window and wires it in: the tool
// dialogs behind the Ferramentas items and buttons, the progress window and the runner,
// the history viewer, the colour dialog and the About box. Each is made once, as a
// child of the window.
void assembleWindow(MainWindow& window);

#pragma once

#include "core/Settings.h"

class GCodeLexer;
class MainWindow;
class ProgramView;
class QObject;

// The one place that makes every dialog of the window and wires it in: the tool
// dialogs behind the Ferramentas items and buttons, the progress window and the runner,
// the history viewer, the colour dialog and the About box. Each is made once, as a
// child of the window.
void assembleWindow(MainWindow& window);

// A highlighter in `colours` for the view, attached to it: it learns from the view the
// comment range the view's window of the program starts in, and forgets what it measured
// when the view fills the window anew. `owner` owns it; the caller deletes the one it replaces.
GCodeLexer* attachHighlighter(ProgramView& view, const torvel::ColourValues& colours, QObject* owner);

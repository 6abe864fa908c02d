#pragma once

class TForm1;

// Creates every tool dialog, the progress window and the history viewer once, as
// children of the main window, and hands their actions to the window's Ferramentas
// items, tool buttons and history list.
void installTools(TForm1& window);

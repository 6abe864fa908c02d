#pragma once

class QCoreApplication;

// Qt's own windows (file, colour and font pickers, the dock bars' buttons, the view's
// context menu) in Brazilian Portuguese, from the translations Qt and QScintilla ship.
// False when one of them is missing: those windows then speak English.
bool installQtTranslations(QCoreApplication& app);

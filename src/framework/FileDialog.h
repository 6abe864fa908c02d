#pragma once

#include <QString>

#include <functional>

class QWidget;

// Qt's file dialogs, the same on every desktop, behind a seam a test can answer.
class FileDialog {
public:
    // CNC programs first, then all files; starts in the folder of `start` (a program's path)
    // with that file chosen; a typed name need not exist. Empty = cancelled.
    static QString openFile(QWidget* parent, const QString& start);
    // The same filters, no overwrite question, name preset. Empty = cancelled.
    static QString saveFile(QWidget* parent, const QString& preset);
    static QString filters();

    // Recipe files, with their own titles and a filter for them; the hook sees the kinds
    // "open-recipe" and "save-recipe". Empty = cancelled.
    static QString openRecipeFile(QWidget* parent, const QString& lastChosen);
    static QString saveRecipeFile(QWidget* parent, const QString& lastChosen);

    using Hook = std::function<QString(const QString& kind, const QString& preset)>;
    static void setHook(Hook hook);

private:
    static Hook& hook();
    static QString recipeFile(QWidget* parent, const QString& lastChosen, bool save);
};

#pragma once

#include <QObject>
#include <QString>

class QWidget;
class Session;
class ToolRunner;

// "Salvar Receita..." and "Aplicar Receita...": the functions applied to the open program
// written as a recipe file, and a recipe file run on the program, each of its functions as
// its dialog would run it.
class RecipeCommands : public QObject {
    Q_OBJECT
public:
    RecipeCommands(Session& session, ToolRunner& runner, QWidget* window);

    // Asks for a file and writes the functions recorded from history list item `fromIndex`
    // on (below 1: all of them), those undone since left out.
    void save(QWidget* parent, int fromIndex);
    // Asks for a recipe file and runs it; a recipe that cannot be read is refused with the
    // line that says why, and nothing runs.
    void apply();

private:
    Session& session_;
    ToolRunner& runner_;
    QWidget* window_;
    QString lastRecipe_;
};

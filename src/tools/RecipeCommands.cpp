#include "tools/RecipeCommands.h"

#include "core/Errors.h"
#include "core/FileIO.h"
#include "core/Recipe.h"
#include "framework/FileDialog.h"
#include "framework/MessageBox.h"
#include "framework/Session.h"
#include "framework/ToolRunner.h"

#include <QFile>
#include <QFileInfo>
#include <QWidget>

namespace {

std::string pathBytes(const QString& path) { return QFile::encodeName(path).toStdString(); }

} // namespace

RecipeCommands::RecipeCommands(Session& session, ToolRunner& runner, QWidget* window)
    : QObject(window)
    , session_(session)
    , runner_(runner)
    , window_(window)
{ }

void RecipeCommands::save(QWidget* parent, int fromIndex)
{
    const std::vector<torvel::FunctionCall> calls = session_.document().history.callsFrom(fromIndex);
    if (calls.empty()) {
        MessageBox::error(parent, QStringLiteral("Nenhuma função aplicada a salvar na receita."));
        return;
    }
    QString path = FileDialog::saveRecipeFile(parent, lastRecipe_);
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".receita");
    try {
        torvel::writeFileAtomic(pathBytes(path), torvel::recipeText(calls));
    } catch (const torvel::Error& e) {
        MessageBox::error(parent, QFile::decodeName(e.what()));
        return;
    }
    lastRecipe_ = path;
}

void RecipeCommands::apply()
{
    const QString path = FileDialog::openRecipeFile(window_, lastRecipe_);
    if (path.isEmpty())
        return;
    lastRecipe_ = path;
    torvel::Recipe recipe;
    try {
        recipe = torvel::parseRecipe(torvel::readFileBytes(pathBytes(path)));
    } catch (const torvel::Error& e) {
        MessageBox::error(window_, QFile::decodeName(e.what()));
        return;
    } catch (const torvel::RecipeError& e) {
        MessageBox::error(window_,
            QStringLiteral("Receita %1, linha %2:\n%3")
                .arg(QFileInfo(path).fileName())
                .arg(e.line)
                .arg(QString::fromStdString(e.error.portuguese.empty() ? e.error.message : e.error.portuguese)));
        return;
    }
    if (recipe.empty()) {
        MessageBox::error(window_, QStringLiteral("A receita %1 não tem funções.").arg(QFileInfo(path).fileName()));
        return;
    }
    runner_.runRecipe(recipe);
}

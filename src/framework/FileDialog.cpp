#include "framework/FileDialog.h"

#include <QFileDialog>

FileDialog::Hook& FileDialog::hook()
{
    static Hook h;
    return h;
}

void FileDialog::setHook(Hook h) { hook() = std::move(h); }

QString FileDialog::filters()
{
    return QStringLiteral("Programas CNC (*.nc *.ngc *.tap *.gcode *.cnc *.nci *.iso *.txt);;Todos os arquivos (*)");
}

QString FileDialog::openFile(QWidget* parent, const QString& start)
{
    if (hook())
        return hook()(QStringLiteral("open"), start);
    QFileDialog dialog(parent, QStringLiteral("Abrir"), start, filters());
    // Qt's own dialog everywhere, so that it speaks Portuguese on every desktop.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    // A typed name is taken as it is: a name that cannot be opened is reported by the
    // program's own message, not refused here.
    dialog.setFileMode(QFileDialog::AnyFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

QString FileDialog::saveFile(QWidget* parent, const QString& preset)
{
    if (hook())
        return hook()(QStringLiteral("save"), preset);
    return QFileDialog::getSaveFileName(parent, QStringLiteral("Salvar como"), preset, filters(), nullptr,
        QFileDialog::DontConfirmOverwrite | QFileDialog::DontUseNativeDialog);
}

QString FileDialog::openRecipeFile(QWidget* parent, const QString& lastChosen)
{
    return recipeFile(parent, lastChosen, false);
}

QString FileDialog::saveRecipeFile(QWidget* parent, const QString& lastChosen)
{
    return recipeFile(parent, lastChosen, true);
}

QString FileDialog::recipeFile(QWidget* parent, const QString& lastChosen, bool save)
{
    if (hook())
        return hook()(save ? QStringLiteral("save-recipe") : QStringLiteral("open-recipe"), lastChosen);
    QFileDialog dialog(parent, save ? QStringLiteral("Salvar Receita") : QStringLiteral("Aplicar Receita"), lastChosen,
        QStringLiteral("Receitas do Torvel (*.receita);;Todos os arquivos (*)"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (save)
        dialog.setDefaultSuffix(QStringLiteral("receita"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

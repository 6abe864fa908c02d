#include "framework/FileDialog.h"

#include <QFileDialog>

FileDialog::Hook& FileDialog::hook()
{
    static Hook h;
    return h;
}

void FileDialog::setHook(Hook h) { hook() = std::move(h); }

QString FileDialog::openFile(QWidget* parent, const QString& lastChosen)
{
    if (hook())
        return hook()(QStringLiteral("open"), lastChosen);
    return QFileDialog::getOpenFileName(parent, QString(), lastChosen, QStringLiteral("All files (*)"));
}

QString FileDialog::saveFile(QWidget* parent, const QString& preset)
{
    if (hook())
        return hook()(QStringLiteral("save"), preset);
    return QFileDialog::getSaveFileName(
        parent, QString(), preset, QString(), nullptr, QFileDialog::DontConfirmOverwrite);
}

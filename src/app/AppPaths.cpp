#include "app/AppPaths.h"

#include "core/Settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace AppPaths {

QString programFolder()
{
    QString folder = QCoreApplication::applicationDirPath();
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}

QString settingsFile(const QString& programFolder)
{
    const QString config = QStandardPaths::writableLocation(QStandardPaths::ConfigLocation);
    const std::string path = torvel::settingsFilePath(
        QFile::encodeName(programFolder).toStdString(), QFile::encodeName(config).toStdString());
    return QFile::decodeName(QByteArray::fromStdString(path));
}

QString helpPage(const QString& programFolder, const QString& page)
{
    const QString beside = programFolder + QStringLiteral("Ajuda/") + page;
    if (QFileInfo::exists(beside))
        return beside;
    const QString installed = QDir::cleanPath(programFolder + QStringLiteral("../share/torvel/Ajuda/") + page);
    if (QFileInfo::exists(installed))
        return installed;
    return beside;
}

} // namespace AppPaths

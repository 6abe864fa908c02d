#pragma once

#include <QString>

// Where the program finds its own files: the folder of the executable, the
// settings file and the help pages.
namespace AppPaths {

// Folder of the running executable, ending in '/'.
QString programFolder();

// Torvel.ini beside the executable, or in the user's configuration folder
// when the program folder cannot take it.
QString settingsFile(const QString& programFolder);

// "Ajuda/<page>" in the program folder; in an installed tree, where the
// executable lives in bin/, the pages lie in ../share/torvel/Ajuda. The
// program folder's path is returned when neither exists.
QString helpPage(const QString& programFolder, const QString& page);

} // namespace AppPaths

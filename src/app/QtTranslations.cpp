#include "app/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace {

bool install(QCoreApplication& app, const QString& file)
{
    auto* translator = new QTranslator(&app);
    if (!translator->load(file, QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

} // namespace

bool installQtTranslations(QCoreApplication& app)
{
    // The program's own texts are written in the code, in Portuguese or in the English the
    // messages must keep; only Qt's texts pass through these.
    const bool qt = install(app, QStringLiteral("qtbase_pt_BR"));
    const bool view = install(app, QStringLiteral("qscintilla_pt_br"));
    return qt && view;
}

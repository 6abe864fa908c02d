#include "framework/Session.h"

#include "core/Encoding.h"

#include <QDesktopServices>
#include <QUrl>

Session::Session(QObject* parent)
    : QObject(parent)
{ }

void Session::setProgramFolder(const QString& folder)
{
    programFolder_ = folder;
    if (!programFolder_.endsWith(QLatin1Char('/')))
        programFolder_ += QLatin1Char('/');
}

QString Session::toDisplay(std::string_view bytes) const
{
    const std::string utf8 = torvel::toDisplayUtf8(bytes, utf8_);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string Session::toProgramBytes(const QString& typed) const
{
    const QByteArray utf8 = typed.toUtf8();
    return torvel::typedToProgram(std::string_view(utf8.constData(), static_cast<size_t>(utf8.size())), utf8_);
}

void Session::undo()
{
    const bool changed = torvel::undoFunction(doc_);
    if (changed)
        emit textChanged();
    emit undoAvailabilityChanged(doc_.undo.buttonEnabled());
}

void Session::openHelp(const QString& page) const
{
    const QString path = programFolder_ + QStringLiteral("Ajuda/") + page;
    if (helpOpener)
        helpOpener(path);
    else
        QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

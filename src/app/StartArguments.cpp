#include "app/StartArguments.h"

StartArguments StartArguments::parse(const QStringList& arguments)
{
    StartArguments start;
    bool optionsEnd = false;
    QStringList files;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& a = arguments.at(i);
        if (optionsEnd || !a.startsWith(QLatin1Char('-')) || a == QLatin1String("-")) {
            files << a;
        } else if (a == QLatin1String("--")) {
            optionsEnd = true;
        } else if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            start.help = true;
        } else if (a == QLatin1String("--line") || a.startsWith(QLatin1String("--line="))) {
            QString value;
            if (a.contains(QLatin1Char('=')))
                value = a.section(QLatin1Char('='), 1);
            else if (i + 1 < arguments.size())
                value = arguments.at(++i);
            bool ok = false;
            start.line = value.toLongLong(&ok);
            if (!ok || start.line < 1) {
                start.error = QStringLiteral("--line pede o número de uma linha (1 ou mais), não \"%1\".").arg(value);
                return start;
            }
        } else {
            start.error = QStringLiteral("Opção desconhecida: %1").arg(a);
            return start;
        }
    }
    if (files.size() > 1) {
        start.error = QStringLiteral("O Torvel abre um arquivo por vez; foram dados %1.").arg(files.size());
        return start;
    }
    if (!files.isEmpty())
        start.file = files.first();
    return start;
}

QString StartArguments::usage()
{
    return QStringLiteral("Uso: torvel [--line N] [ARQUIVO]\n"
                          "Abre o programa ARQUIVO; com --line N, o cursor vai para a linha N.\n");
}

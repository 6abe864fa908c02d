#include "app/MainWindow.h"
#include "app/QtTranslations.h"
#include "app/SplashWindow.h"
#include "app/StartArguments.h"
#include "app/WindowAssembly.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Torvel"));
    installQtTranslations(app);
    const StartArguments start = StartArguments::parse(QApplication::arguments());
    if (start.help || !start.error.isEmpty()) {
        const QString text
            = (start.error.isEmpty() ? QString() : start.error + QLatin1Char('\n')) + StartArguments::usage();
        std::fputs(text.toLocal8Bit().constData(), start.help ? stdout : stderr);
        return start.help ? 0 : 2;
    }

    // The splash is painted before anything else is built.
    SplashWindow splash;
    splash.show();
    splash.repaint();
    QApplication::processEvents();

    MainWindow window;
    assembleWindow(window);
    window.showMaximized();
    if (!start.file.isEmpty())
        window.openAtStart(start.file, start.line);
    return QApplication::exec();
}

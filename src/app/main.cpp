#include "app/MainWindow.h"
#include "app/QtTranslations.h"
#include "app/SplashWindow.h"
#include "app/WindowAssembly.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Torvel"));
    installQtTranslations(app);

    // The splash is painted before anything else is built.
    SplashWindow splash;
    splash.show();
    splash.repaint();
    QApplication::processEvents();

    MainWindow window;
    assembleWindow(window);
    window.showMaximized();
    return QApplication::exec();
}

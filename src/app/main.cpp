#include "app/frmMain.h"

#if __has_include("app/Unit12.h")
#include "app/Unit12.h"
#endif
#if __has_include("tools/ToolsInstaller.h")
#include "tools/ToolsInstaller.h"
#endif

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Torvel"));

#if __has_include("app/Unit12.h")
    // The splash is painted before anything else is built.
    TForm12 splash;
    splash.show();
    splash.repaint();
    QApplication::processEvents();
#endif

    TForm1 window;
#if __has_include("tools/ToolsInstaller.h")
    installTools(window);
#endif
    window.showMaximized();
    return QApplication::exec();
}

#pragma once

#include "app/MainWindow.h"
#include "app/WindowAssembly.h"
#include "framework/FileDialog.h"
#include "framework/MessageBox.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

// The real main window, assembled as the program assembles it, opened on a program
// written to a fresh folder. The file dialog answers that program; message boxes answer
// "No". The hooks go with the window.
struct OpenedWindow {
    QTemporaryDir folder;
    QString path = folder.filePath(QStringLiteral("programa.nc"));
    std::unique_ptr<MainWindow> window;
    bool active = false;

    explicit OpenedWindow(const QByteArray& bytes)
    {
        QFile file(path);
        if (!folder.isValid() || !file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            return;
        file.close();
        FileDialog::setHook([this](const QString&, const QString&) { return path; });
        MessageBox::setHook([](const QString&, const QString&) { return MessageBox::No; });
        window = std::make_unique<MainWindow>(nullptr, folder.path());
        assembleWindow(*window);
        window->show();
        active = QTest::qWaitForWindowActive(window.get());
        window->openFile();
    }
    ~OpenedWindow()
    {
        window.reset();
        FileDialog::setHook({});
        MessageBox::setHook({});
    }
};

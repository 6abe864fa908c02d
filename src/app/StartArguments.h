#pragma once

#include <QString>
#include <QStringList>

// What the command line asks of the window at start: `torvel [--line N] [FILE]`.
struct StartArguments {
    QString file;
    long long line = 0; // 1-based; 0 leaves the caret at the start
    bool help = false;
    QString error; // a sentence for the user when the arguments make no sense

    static StartArguments parse(const QStringList& arguments);
    static QString usage();
};

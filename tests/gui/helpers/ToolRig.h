#pragma once

#include "framework/MessageBox.h"
#include "framework/Session.h"
#include "framework/ToolRunner.h"
#include "framework/ProgressWindow.h"

#include <QStringList>
#include <QWidget>

#include <memory>
#include <string>
#include <vector>

// The window side a tool needs, without the main window: a session, a stand-in main
// window, the progress window and the runner. Message boxes and help pages are
// recorded instead of shown.
struct ToolRig {
    std::unique_ptr<QWidget> main = std::make_unique<QWidget>();
    Session session;
    ProgressWindow* progress = new ProgressWindow(main.get());
    ToolRunner runner {session, main.get(), progress};
    QStringList messages;
    QStringList helpPages;

    ToolRig()
    {
        MessageBox::setHook([this](const QString& kind, const QString& text) {
            messages << kind + QLatin1Char(':') + text;
            return MessageBox::Ok;
        });
        session.helpOpener = [this](const QString& path) { helpPages << path; };
        session.setProgramFolder(QStringLiteral("/opt/torvel"));
        main->resize(400, 300);
        main->show();
    }
    ~ToolRig() { MessageBox::setHook({}); }

    void setLines(const std::vector<std::string>& lines)
    {
        std::vector<std::string_view> views(lines.begin(), lines.end());
        session.document().text.setLines(views);
    }
    std::string text() const { return session.document().text.text(); }
    std::string line(long long i) const { return std::string(session.document().text.line(i)); }
    std::vector<std::string> lines() const
    {
        const auto& v = session.document().text.lines();
        return {v.begin(), v.end()};
    }
    const torvel::History& history() const { return session.document().history; }

    template <class Dialog> std::unique_ptr<Dialog> make()
    {
        return std::make_unique<Dialog>(session, runner, main.get());
    }
};

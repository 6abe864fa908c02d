#pragma once

#include "core/ProgramSearch.h"

#include <QObject>
#include <QString>

#include <optional>

class FindBar;
class ProgramView;
class Session;

// Finds in the open program for the find bar and the F3 keys: asks the core, selects
// the match in the view, marks the matches on screen and reports the count to the bar.
// It never changes the text.
class ProgramFind : public QObject {
    Q_OBJECT
public:
    ProgramFind(Session& session, ProgramView& view, FindBar& bar, QObject* parent = nullptr);

    // Shows the bar, with the selection as the text to find when it lies on one line.
    void openBar();
    void findNext() { find(true); }
    void findPrevious() { find(false); }
    // The text or an option changed, or the program did: count and mark again.
    void refresh();
    // The bar was closed: the marks go.
    void clearMarks();
    // Another program was opened, or a function changed this one: what was counted is gone.
    void programReplaced();

signals:
    // What a search found, as the bar shows it ("3 de 120", a wrap, "Não encontrado").
    void reported(const QString& status);

private:
    void find(bool forwards);
    // The search for the bar's text and options, made again only when they or the encoding change.
    const torvel::ProgramSearch& search();
    QString countText(torvel::TextPosition at);

    Session& session_;
    ProgramView& view_;
    FindBar& bar_;
    std::optional<torvel::ProgramSearch> search_;
    QString searchText_;
    torvel::SearchOptions searchOptions_;
    bool searchUtf8_ = false;
    // What is known of the current search in the program as it is: the number of matches,
    // and the match found last with its place, so that the next F3 counts only the lines between.
    std::optional<size_t> total_;
    std::optional<torvel::KnownMatch> lastMatch_;
};

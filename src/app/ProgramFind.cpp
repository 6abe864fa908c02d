#include "app/ProgramFind.h"

#include "editor/ProgramView.h"
#include "framework/FindBar.h"
#include "framework/Session.h"

#include <QLocale>

namespace {

QString number(size_t n) { return QLocale(QLocale::Portuguese, QLocale::Brazil).toString(static_cast<qulonglong>(n)); }

} // namespace

ProgramFind::ProgramFind(Session& session, ProgramView& view, FindBar& bar, QObject* parent)
    : QObject(parent)
    , session_(session)
    , view_(view)
    , bar_(bar)
{
    connect(&bar_, &FindBar::nextRequested, this, &ProgramFind::findNext);
    connect(&bar_, &FindBar::previousRequested, this, &ProgramFind::findPrevious);
    // The text set while the bar is closed (F3 repeats it) is counted when the bar opens.
    connect(&bar_, &FindBar::searchChanged, this, [this] {
        if (bar_.isVisible())
            refresh();
    });
    connect(&bar_, &FindBar::closed, this, &ProgramFind::clearMarks);
    connect(&session_, &Session::textChanged, this, &ProgramFind::programReplaced);
}

void ProgramFind::programReplaced()
{
    total_.reset();
    lastMatch_.reset();
    if (bar_.isVisible())
        refresh();
}

const torvel::ProgramSearch& ProgramFind::search()
{
    const QString text = bar_.text();
    const torvel::SearchOptions options = bar_.options();
    const bool utf8 = session_.utf8Display();
    if (!search_ || text != searchText_ || options.matchCase != searchOptions_.matchCase
        || options.wholeWord != searchOptions_.wholeWord || utf8 != searchUtf8_) {
        search_.emplace(text.toUtf8().toStdString(), utf8, options);
        total_.reset();
        lastMatch_.reset();
        searchText_ = text;
        searchOptions_ = options;
        searchUtf8_ = utf8;
    }
    return *search_;
}

void ProgramFind::openBar()
{
    // Only a selection within one line is read: a whole program selected would be copied for nothing.
    const auto [start, end] = view_.programSelection();
    bar_.open(start.line == end.line && start != end ? view_.selectedProgramText() : QString());
    refresh();
}

QString ProgramFind::countText(torvel::TextPosition at)
{
    const torvel::ProgramText& text = session_.document().text;
    size_t index = 0;
    if (total_) {
        index = search_->indexOf(text, at, *total_, lastMatch_);
    } else {
        const torvel::SearchTally tally = search_->tally(text, at);
        total_ = tally.total;
        index = tally.before;
    }
    lastMatch_ = torvel::KnownMatch {at, index};
    return QStringLiteral("%1 de %2").arg(number(index + 1), number(*total_));
}

void ProgramFind::find(bool forwards)
{
    if (bar_.text().isEmpty()) {
        // F3 with nothing sought yet asks what to find.
        openBar();
        return;
    }
    const torvel::ProgramSearch& s = search();
    if (!s.ready()) {
        bar_.setStatus(QString::fromUtf8(s.problem()));
        emit reported(bar_.status());
        return;
    }
    const torvel::ProgramText& text = session_.document().text;
    const auto [start, end] = view_.programSelection();
    // Next starts just past the start of the selection, so the match selected now is passed over.
    torvel::TextPosition from = start;
    if (forwards && start != end)
        ++from.column;
    const auto hit = forwards ? s.next(text, from) : s.previous(text, from);
    if (!hit) {
        bar_.setStatus(QStringLiteral("Não encontrado"));
        emit reported(bar_.status());
        return;
    }
    view_.selectProgramBytes(hit->at, s.length());
    QString status = countText(hit->at);
    if (hit->wrapped)
        status += forwards ? QStringLiteral(" · fim do programa, recomeçou do início")
                           : QStringLiteral(" · início do programa, recomeçou do fim");
    bar_.setStatus(status);
    emit reported(status);
}

void ProgramFind::refresh()
{
    const torvel::ProgramSearch& s = search();
    if (!s.ready()) {
        view_.setMarks({}, 0);
        bar_.setStatus(s.status() == torvel::ProgramSearch::Status::Empty ? QString() : QString::fromUtf8(s.problem()));
        return;
    }
    const size_t total = s.tally(session_.document().text).total;
    total_ = total;
    bar_.setStatus(total == 0 ? QStringLiteral("Não encontrado")
            : total == 1      ? QStringLiteral("1 ocorrência")
                              : QStringLiteral("%1 ocorrências").arg(number(total)));
    view_.setMarks([this](long long first,
                       long long last) { return search_->matchesInLines(session_.document().text, first, last); },
        s.length());
}

void ProgramFind::clearMarks() { view_.setMarks({}, 0); }

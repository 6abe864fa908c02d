#include "framework/ToolRunner.h"

#include "core/CallTools.h"

#include "framework/VerificationRunner.h"

#include "framework/Gauge.h"
#include "framework/MessageBox.h"
#include "framework/Session.h"
#include "framework/ProgressWindow.h"
#include "toolpath/Interpreter.h"
#include "verify/Verification.h"

#include <QCoreApplication>
#include <QDialog>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <chrono>
#include <exception>
#include <new>
#include <optional>
#include <string>

namespace {
using Clock = std::chrono::steady_clock;
// Asking at every line would cost more than many tools; the cancel flag changes only while
// messages are let through, which happens inside these calls, so nothing is missed.
constexpr long long kLinesPerCall = 64;
// The clock is read at every 16th call, every 1024 lines.
constexpr long long kClockEvery = 16;
constexpr int kCompactDelayMs = 250;
} // namespace

// The window's side of a run: keeps the gauge and the progress window alive on a time slice
// and hands the cancel flag to the loop.
class ToolRunner::Observer : public torvel::RunObserver {
public:
    // `title`, when given, stands for the tool's caption in the progress window; `cancels`
    // false leaves the cancel flag for the caller to read between functions.
    Observer(ToolRunner& runner, bool refreshes, const QString& title = {}, bool cancels = true)
        : runner_(runner)
        , refreshes_(refreshes)
        , title_(title)
        , cancels_(cancels)
    {
        lastPump_ = lastRefresh_ = Clock::now();
    }

    void started(std::string_view caption, long long maximum) override
    {
        ProgressWindow* progress = runner_.progress_;
        progress->setWindowTitle(
            title_.isEmpty() ? QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size())) : title_);
        progress->gauge()->setMaxValue(maximum);
        progress->gauge()->setMinValue(0);
        progress->gauge()->setProgress(0);
        pump(Clock::now());
    }

    bool progress(long long position) override
    {
        position_ = position;
        if (++calls_ % kClockEvery == 0) {
            const auto now = Clock::now();
            if (now - lastPump_ >= std::chrono::milliseconds(kSliceMs))
                pump(now);
        }
        if (runner_.lineHook)
            runner_.lineHook(position);
        return cancels_ && runner_.progress_->cancelFlag();
    }

    long long linesPerCall() const override { return runner_.lineHook ? 1 : kLinesPerCall; }

    void follow(long long row) override { followRow_ = row; }

    long long followRow() const { return followRow_; }

private:
    void pump(Clock::time_point now)
    {
        runner_.progress_->gauge()->setProgress(position_);
        if (refreshes_ && now - lastRefresh_ >= refreshGap_) {
            const auto before = Clock::now();
            runner_.session_.notifyTextChanged();
            if (followRow_ >= 0)
                emit runner_.session_.followRequested(followRow_);
            lastRefresh_ = Clock::now();
            // A view that is slow to refresh is refreshed less often, so the run stays the main cost.
            refreshGap_ = std::max<Clock::duration>(std::chrono::milliseconds(kRefreshMs), 4 * (lastRefresh_ - before));
        }
        QCoreApplication::processEvents();
        lastPump_ = Clock::now();
    }

    ToolRunner& runner_;
    const bool refreshes_;
    const QString title_;
    const bool cancels_;
    long long calls_ = 0;
    long long position_ = 0;
    long long followRow_ = -1;
    Clock::time_point lastPump_;
    Clock::time_point lastRefresh_;
    Clock::duration refreshGap_ = std::chrono::milliseconds(kRefreshMs);
};

ToolRunner::ToolRunner(Session& session, QWidget* mainWindow, ProgressWindow* progress, QObject* parent)
    : QObject(parent)
    , session_(session)
    , mainWindow_(mainWindow)
    , progress_(progress)
{ }

ToolRunner::~ToolRunner() { cancelPreview(); }

torvel::RunResult ToolRunner::run(
    QDialog* dialog, torvel::LineTool& tool, const torvel::Range& range, const torvel::FunctionMeaning* meaning)
{
    // A shared copy: it costs nothing until one side changes.
    const bool verifying = meaning && verifier_;
    torvel::ProgramText before = verifying ? session_.document().text : torvel::ProgramText();
    if (dialog)
        dialog->hide();
    // The window is painted by the run's first pump, with its caption already set.
    progress_->showForRun();

    Observer observer(*this, tool.refreshesView());
    torvel::RunResult result;
    QString failure;
    try {
        const torvel::FunctionCall call = torvel::recordedCall(tool, range, session_.utf8Display());
        result = torvel::runFunction(session_.document(), tool, range, observer, call);
        if (result.status == torvel::RunResult::Status::Failed)
            failure = session_.toDisplay(result.message) + QStringLiteral("\nLinha ") + QString::number(result.line);
    } catch (const std::bad_alloc&) {
        // The text is back as it was; the program stays open with it.
        result.status = torvel::RunResult::Status::Failed;
        failure = QStringLiteral("Memória insuficiente para aplicar a função.");
    }
    scheduleCompact();

    switch (result.status) {
    case torvel::RunResult::Status::Done:
        showChanges(observer.followRow());
        finish(dialog);
        if (mainWindow_)
            mainWindow_->showMaximized();
        if (verifying) {
            const auto lines = torvel::rangeLines(range, before.count());
            verifier_->start({std::move(before), session_.document().text, *meaning, lines});
        }
        break;
    case torvel::RunResult::Status::Cancelled:
        // The text is back as it was; nothing is recorded.
        session_.notifyTextChanged();
        session_.notifyUndoState();
        finish(dialog);
        break;
    case torvel::RunResult::Status::Failed:
        // Rolled back like a cancel, then the user learns why and where.
        session_.notifyTextChanged();
        session_.notifyUndoState();
        finish(dialog);
        if (mainWindow_)
            mainWindow_->show();
        MessageBox::error(mainWindow_, failure);
        break;
    }
    return result;
}

torvel::RecipeResult ToolRunner::runRecipe(const torvel::Recipe& recipe)
{
    progress_->setRecipeStep(QStringLiteral("Aplicar Receita"));
    progress_->showForRun();
    const torvel::CallReading reading = torvel::CallReading::forProgram(session_.utf8Display());
    torvel::RecipeResult outcome;
    size_t done = 0;
    long long followRow = -1;
    QString failure;
    // One check runs at a time, so the last coordinate function done is the one checked,
    // against the text right after it.
    std::optional<VerificationRunner::Job> check;
    for (const torvel::RecipeStep& step : recipe) {
        if (progress_->cancelFlag())
            break;
        const std::string_view name = torvel::windowName(step.call.function);
        const QString shownName = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
        const QString title
            = QStringLiteral("Aplicar Receita: %1 (%2 de %3)").arg(shownName).arg(done + 1).arg(recipe.size());
        progress_->setWindowTitle(title);
        progress_->setRecipeStep(QStringLiteral("Função %1 de %2: %3").arg(done + 1).arg(recipe.size()).arg(shownName));
        bool refreshes = false;
        torvel::FunctionMeaning meaning;
        try {
            const auto tool = torvel::makeTool(step.call, reading);
            refreshes = tool && tool->refreshesView();
            meaning = torvel::meaningOf(step.call, reading);
        } catch (const torvel::UsageError&) {
            // Said below, when the run meets it.
        }
        const bool checks = verifier_ && meaning.kind != torvel::FunctionMeaning::Kind::Nothing;
        torvel::ProgramText before = checks ? session_.document().text : torvel::ProgramText();
        Observer observer(*this, refreshes, title, false);
        torvel::RunResult result;
        try {
            result = torvel::runCall(session_.document(), step.call, reading, observer);
            if (result.status == torvel::RunResult::Status::Failed)
                failure
                    = session_.toDisplay(result.message) + QStringLiteral("\nLinha ") + QString::number(result.line);
        } catch (const std::bad_alloc&) {
            result.status = torvel::RunResult::Status::Failed;
            failure = QStringLiteral("Memória insuficiente para aplicar a função.");
        } catch (const torvel::UsageError& e) {
            // Read and checked with the recipe, so this is only a safeguard: nothing was touched.
            result.status = torvel::RunResult::Status::Failed;
            failure = QString::fromStdString(e.portuguese.empty() ? e.message : e.portuguese);
        }
        if (result.status != torvel::RunResult::Status::Done) {
            outcome.failedStep = done;
            outcome.failure = std::move(result);
            failure = QStringLiteral("A receita parou em \"%1\" (linha %2 da receita); as funções anteriores "
                                     "continuam aplicadas.\n%3")
                          .arg(shownName)
                          .arg(step.line)
                          .arg(failure);
            break;
        }
        if (checks) {
            const auto lines = torvel::rangeLines(torvel::callRange(step.call), before.count());
            check = VerificationRunner::Job {std::move(before), session_.document().text, meaning, lines};
        }
        if (observer.followRow() >= 0)
            followRow = observer.followRow();
        else if (result.caretRow > 0)
            followRow = result.caretRow - 1;
        ++done;
    }
    progress_->setRecipeStep({});
    scheduleCompact();
    if (done > 0)
        showChanges(followRow);
    else
        session_.notifyTextChanged();
    session_.notifyUndoState();
    finish(nullptr);
    if (check)
        verifier_->start(std::move(*check));
    if (mainWindow_ && failure.isEmpty())
        mainWindow_->showMaximized();
    else if (mainWindow_)
        mainWindow_->show();
    if (!failure.isEmpty())
        MessageBox::error(mainWindow_, failure);
    return outcome;
}

void ToolRunner::showChanges(long long followRow)
{
    session_.notifyHistoryChanged();
    session_.notifyTextChanged();
    if (followRow >= 0)
        emit session_.followRequested(followRow);
    session_.notifyUndoState();
}

void ToolRunner::finish(QDialog* dialog)
{
    if (progress_->isVisible())
        progress_->close();
    progress_->setCancelFlag(true);
    if (dialog)
        dialog->done(QDialog::Accepted);
    // The keyboard goes back to the program in the main window, so that the arrow keys move
    // through it and Ctrl+Z can follow at once.
    if (mainWindow_)
        mainWindow_->activateWindow();
    emit session_.viewFocusRequested();
}

void ToolRunner::scheduleCompact()
{
    // Snapshots are taken as cheap shared copies. Compressing one costs about as much as
    // the run itself on a large program, so a worker does it, once the result is on the
    // screen: a timer of no delay would start it before the screen's own repaint.
    if (compactPending_)
        return;
    compactPending_ = true;
    QTimer::singleShot(kCompactDelayMs, this, [this] {
        compactPending_ = false;
        session_.document().undo.compactInBackground();
    });
}

torvel::RunResult ToolRunner::edit(torvel::LineCommand command, long long row, std::string_view newText)
{
    // Through the call, so that the entry keeps the row the command acted on.
    const bool utf8 = session_.utf8Display();
    torvel::RunObserver unwatched;
    const torvel::RunResult result = torvel::runCall(session_.document(),
        torvel::lineCommandCall(command, row, newText, utf8), torvel::CallReading::forProgram(utf8), unwatched);
    scheduleCompact();
    session_.notifyHistoryChanged();
    session_.notifyTextChanged();
    emit session_.followRequested(result.caretRow - 1);
    session_.notifyUndoState();
    emit session_.viewFocusRequested();
    return result;
}

// What a preview's worker hands back to the window's thread.
struct ToolRunner::Preview {
    torvel::RunResult result;
    bool outOfMemory = false;
    std::string failure; // anything else that stopped it
    torvel::ProgramText before, after;
    std::shared_ptr<const torvel::Toolpath> path;
    torvel::Range range;
    torvel::FunctionMeaning meaning;
};

void ToolRunner::preview(QWidget* owner, std::unique_ptr<torvel::LineTool> tool, const torvel::Range& range,
    const torvel::FunctionMeaning& meaning)
{
    cancelPreview();
    const uint64_t generation = previewGeneration_;
    auto stop = std::make_shared<std::atomic<bool>>(false);
    previewStop_ = stop;
    previewing_ = true;
    previewOwner_ = owner;
    emit previewBusy(owner, true);
    auto made = std::make_shared<Preview>();
    made->before = session_.document().text;
    made->range = range;
    made->meaning = meaning;
    const bool draws = static_cast<bool>(showPreview);
    previewWorker_ = std::thread([this, generation, stop, made, draws, tool = std::move(tool)] {
        // The run protocol asks this between lines, so a stop takes effect within a few thousand.
        struct Stoppable : torvel::RunObserver {
            explicit Stoppable(const std::atomic<bool>& flag)
                : stop(flag)
            { }
            bool progress(long long) override { return stop; }
            long long linesPerCall() const override { return 4096; }
            const std::atomic<bool>& stop;
        } observer(*stop);
        try {
            torvel::Document scratch {made->before, torvel::UndoRing(torvel::UndoRing::NoSnapshots {}), {}};
            made->result = torvel::runFunction(scratch, *tool, made->range, observer);
            if (made->result.status == torvel::RunResult::Status::Done && draws) {
                auto path = torvel::interpret(scratch.text.lines(), {}, [&stop](size_t) { return !*stop; });
                if (path)
                    made->path = std::make_shared<const torvel::Toolpath>(std::move(*path));
            }
            made->after = std::move(scratch.text);
        } catch (const std::bad_alloc&) {
            made->outOfMemory = true;
        } catch (const std::exception& e) {
            made->failure = e.what();
        }
        if (*stop)
            return;
        // The runner outlives the thread (cancelPreview joins it), and a call still queued
        // when it goes is dropped with it.
        QMetaObject::invokeMethod(
            this, [this, generation, made] { previewMade(generation, made); }, Qt::QueuedConnection);
    });
}

void ToolRunner::previewMade(uint64_t generation, const std::shared_ptr<Preview>& made)
{
    if (generation != previewGeneration_)
        return;
    if (previewWorker_.joinable())
        previewWorker_.join();
    previewing_ = false;
    QWidget* owner = previewOwner_;
    emit previewBusy(owner, false);
    if (made->outOfMemory || !made->failure.empty()) {
        MessageBox::error(owner,
            made->outOfMemory ? QStringLiteral("Memória insuficiente para visualizar a função.")
                              : QString::fromStdString(made->failure));
        return;
    }
    const torvel::RunResult& result = made->result;
    if (result.status != torvel::RunResult::Status::Done) {
        MessageBox::error(
            owner, session_.toDisplay(result.message) + QStringLiteral("\nLinha ") + QString::number(result.line));
        return;
    }
    if (showPreview && made->path)
        showPreview(made->path);
    if (verifier_)
        verifier_->start(
            {made->before, made->after, made->meaning, torvel::rangeLines(made->range, made->before.count()), true});
}

void ToolRunner::cancelPreview()
{
    ++previewGeneration_;
    if (previewStop_)
        *previewStop_ = true;
    if (previewWorker_.joinable())
        previewWorker_.join();
    if (!previewing_)
        return;
    previewing_ = false;
    emit previewBusy(previewOwner_, false);
}

#pragma once

#include "core/LineCommands.h"
#include "core/Recipe.h"
#include "core/RunProtocol.h"

#include <QObject>
#include <QPointer>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>
#include <thread>

class QDialog;
class Session;
class ProgressWindow;
class VerificationRunner;

namespace torvel {
struct FunctionMeaning;
class Toolpath;
} // namespace torvel

// Drives every function the dialogs start: the range tools through the progress
// window and the run protocol, the line commands at once. The view is told about
// the new text once at the end (and a few times a second during a long run of a
// tool that asks for it), so the run costs little more than the tool itself.
class ToolRunner : public QObject {
    Q_OBJECT
public:
    ToolRunner(Session& session, QWidget* mainWindow, ProgressWindow* progress, QObject* parent = nullptr);
    ~ToolRunner() override;

    // Hides the dialog, shows the progress window, runs the tool over the range and
    // closes the dialog at the end, whatever the outcome.
    // With `meaning`, a finished run is then checked against it, off the window's thread.
    torvel::RunResult run(QDialog* dialog, torvel::LineTool& tool, const torvel::Range& range,
        const torvel::FunctionMeaning* meaning = nullptr);

    // A line command at `row`: snapshot, the edit, history entry; then the caret goes
    // where the command says. `newText` is the edited line's.
    torvel::RunResult edit(torvel::LineCommand command, long long row, std::string_view newText = {});

    // The recipe's functions one after another, each through the run protocol as its dialog
    // runs it (its own history entry and undo step), under one progress window that names
    // the function in progress. The last coordinate function done is checked as its dialog's
    // run is. "Cancelar" stops the recipe once that function is done; a
    // function that fails is rolled back and stops it, and the user learns which and why.
    // The functions done before stay applied and undoable.
    torvel::RecipeResult runRecipe(const torvel::Recipe& recipe);

    ProgressWindow* progressWindow() const { return progress_; }
    // The function's result on a copy of the text (which shares its bytes), made by the run
    // protocol on a worker so that the window keeps answering on a long program; then drawn
    // over the toolpath and checked, the program left as it is. A run that stops on a line
    // says why, as a run does, in front of `owner`. A preview still running is dropped.
    void preview(QWidget* owner, std::unique_ptr<torvel::LineTool> tool, const torvel::Range& range,
        const torvel::FunctionMeaning& meaning);
    // Stops a preview still running; nothing is shown of it.
    void cancelPreview();
    bool previewing() const { return previewing_; }
    // Where a preview's path is drawn, and how it is taken away again; unset, nothing is drawn.
    std::function<void(std::shared_ptr<const torvel::Toolpath>)> showPreview;
    std::function<void()> clearPreview;

    // Where the checks of the coordinate functions run; without one nothing is checked.
    void setVerifier(VerificationRunner* verifier) { verifier_ = verifier; }

    // Called before each examined line, before the cancel flag is read (tests cancel through it).
    std::function<void(long long position)> lineHook;

    // Messages are let through at most this often during a run.
    static constexpr int kSliceMs = 30;
    // Tools that ask for it show their work at most this often.
    static constexpr int kRefreshMs = 400;

signals:
    // `owner`'s preview started or ended (shown, failed or stopped).
    void previewBusy(QWidget* owner, bool busy);

private:
    class Observer;
    struct Preview;
    void previewMade(uint64_t generation, const std::shared_ptr<Preview>& made);
    void finish(QDialog* dialog);
    // After a run that changed the text: the views, the undo button, the window.
    void showChanges(long long followRow);
    void scheduleCompact();

    Session& session_;
    QWidget* mainWindow_;
    ProgressWindow* progress_;
    VerificationRunner* verifier_ = nullptr;
    bool compactPending_ = false;

    std::thread previewWorker_;
    std::shared_ptr<std::atomic<bool>> previewStop_;
    uint64_t previewGeneration_ = 0;
    bool previewing_ = false;
    QPointer<QWidget> previewOwner_;
};

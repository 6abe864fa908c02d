#pragma once

#include "plot/JobThread.h"
#include "toolpath/PlotStyle.h"

#include <QDockWidget>

#include <cstdint>
#include <memory>
#include <vector>

namespace torvel {
class ProgramText;
class Toolpath;
class MotionIndex;
} // namespace torvel

class PlotCanvas;
class PathSketch;
class QLabel;
class QToolButton;

// The "Trajetória" dock: the program's toolpath beside the text, with the
// view buttons, the fit button, the switch for the path from before the last
// function and a footer with the extents, the lengths and the time. The
// program is interpreted off the event loop; the dock says how far it got.
//
// The window tells it the text (showProgram, after opening and after every
// change) and the caret (setCaret); it reports a clicked line (lineActivated).
class BackplotDock : public QDockWidget {
    Q_OBJECT
public:
    explicit BackplotDock(QWidget* parent = nullptr);
    ~BackplotDock() override;

    // A program just opened: drawn whole, with nothing from before. `text` is the
    // window's own and outlives the program; a hidden dock reads it only once shown.
    void openProgram(const torvel::ProgramText& text);
    // The text changed. The path shown when a change began stays drawn faintly
    // until the next change begins; `settles` says that this change is complete
    // (a function done, cancelled or undone), not a refresh in the middle of a run.
    void changeProgram(const torvel::ProgramText& text, bool settles);
    void closeProgram();

    // 0-based lines of the caret and of the selection (last < first: none).
    void setCaret(uint32_t line, uint32_t selectionFirst, uint32_t selectionLast);

    // A path drawn over the program's in its own colour, for a function that
    // shows its result before it is applied; cleared by clearPreview or when
    // another program is opened.
    void setPreview(std::shared_ptr<const torvel::Toolpath> preview);
    void clearPreview();
    // Lines the verification doubts (0-based, ascending), marked with a warning halo
    // on the preview while one is shown, else on the program's path; empty clears them.
    void setMarkedLines(std::vector<uint32_t> lines);

    // The character numbers in the footer use between units and decimals.
    void setDecimalSeparator(char separator) { separator_ = separator; }

    PlotCanvas* canvas() const { return canvas_; }
    // The path of the text last given, once interpreted (null before).
    std::shared_ptr<const torvel::Toolpath> path() const { return path_; }
    // The path from before the last function, drawn faintly (null when none).
    std::shared_ptr<const torvel::Toolpath> before() const { return before_; }
    bool building() const { return building_; }

signals:
    void lineActivated(uint32_t line);
    void viewChanged(torvel::PlotView view);
    // The path of the text last given has been interpreted and handed to the drawing.
    void pathReady();

private:
    void build(const torvel::ProgramText& text, bool fit);
    void built(uint64_t generation, std::shared_ptr<const torvel::Toolpath> path, bool fit);
    void showFooter();
    // `room`, when given, is a longer text the footer keeps room for.
    void setFooterText(const QString& text, const QString& room = {});
    QString number(double value, int decimals = 3) const;
    QToolButton* addButton(const char* name, const QString& text, const QString& hint);

    PlotCanvas* canvas_;
    QString buildingLine_;
    QLabel* footer_;
    QToolButton* viewButtons_[5];
    QToolButton* beforeButton_;
    std::shared_ptr<const torvel::Toolpath> path_;
    // The path of the text as the last complete change left it, and the one shown faintly.
    std::shared_ptr<const torvel::Toolpath> settled_, before_;
    const torvel::ProgramText* text_ = nullptr;
    // The dock was hidden when the text came: it is read when the dock is shown.
    bool stale_ = false;
    bool changing_ = false;
    bool nextSettles_ = true;
    bool building_ = false;
    uint64_t generation_ = 0;
    char separator_ = ',';

    JobThread builder_; // last: stopped before the rest goes
};

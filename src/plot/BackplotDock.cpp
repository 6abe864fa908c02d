#include "plot/BackplotDock.h"

#include "core/ProgramText.h"
#include "plot/PathSketch.h"
#include "plot/PlotCanvas.h"
#include "toolpath/Interpreter.h"
#include "toolpath/MotionIndex.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>

using torvel::PlotView;

namespace {

struct ViewButton {
    PlotView view;
    const char* name;
    const char* text;
    const char* hint;
};
constexpr ViewButton kViewButtons[] = {
    {PlotView::Top, "VistaXY", "XY", "Vista de cima (plano XY)"},
    {PlotView::Front, "VistaXZ", "XZ", "Vista de frente (plano XZ)"},
    {PlotView::Lathe, "VistaZX", "ZX", "Vista de torno (plano XZ, Z na horizontal e X para cima)"},
    {PlotView::Side, "VistaYZ", "YZ", "Vista lateral (plano YZ)"},
    {PlotView::Iso, "Vista3D", "3D", "Vista 3D: arraste com o botão esquerdo para girar"},
};

const QString kCanvasHelp = QStringLiteral("Clique num segmento para ir à sua linha. A roda aproxima, arrastar "
                                           "desloca, duplo clique ou Home mostra tudo. Setas deslocam, + e - "
                                           "aproximam; na vista 3D, arrastar ou Ctrl+setas giram. Page Down e "
                                           "Page Up vão à linha do movimento seguinte e do anterior. Parado sobre "
                                           "um segmento, o ponteiro mostra a sua linha.");

// The text a running build holds, let go as soon as it has been read.
struct BuildInput {
    std::optional<torvel::ProgramText> text;
};

} // namespace

BackplotDock::BackplotDock(QWidget* parent)
    : QDockWidget(QStringLiteral("Trajetória"), parent)
{
    setObjectName(QStringLiteral("Trajetoria"));
    setAccessibleName(QStringLiteral("Trajetória"));
    setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea | Qt::BottomDockWidgetArea);
    setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable | QDockWidget::DockWidgetClosable);
    toggleViewAction()->setObjectName(QStringLiteral("Trajetoria1"));
    toggleViewAction()->setText(QStringLiteral("Trajetória"));

    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("TrajetoriaPainel"));
    auto* box = new QVBoxLayout(panel);
    box->setContentsMargins(4, 2, 4, 4);
    box->setSpacing(3);

    auto* buttons = new QHBoxLayout();
    buttons->setSpacing(2);
    auto* group = new QButtonGroup(this);
    group->setExclusive(true);
    for (const ViewButton& b : kViewButtons) {
        QToolButton* button = addButton(b.name, QString::fromLatin1(b.text), QString::fromUtf8(b.hint));
        button->setCheckable(true);
        group->addButton(button);
        buttons->addWidget(button);
        viewButtons_[static_cast<int>(b.view)] = button;
        connect(button, &QToolButton::clicked, this, [this, view = b.view] { canvas_->setView(view); });
    }
    viewButtons_[0]->setChecked(true);
    buttons->addSpacing(8);
    QToolButton* fit = addButton("Ajustar", QStringLiteral("Ajustar"),
        QStringLiteral("Mostrar a trajetória inteira (Home ou duplo clique no desenho)"));
    connect(fit, &QToolButton::clicked, this, [this] { canvas_->fitAll(); });
    buttons->addWidget(fit);
    beforeButton_ = addButton("Anterior", QStringLiteral("Anterior"),
        QStringLiteral("Mostrar, apagada, a trajetória de antes da última função"));
    beforeButton_->setCheckable(true);
    beforeButton_->setChecked(true);
    beforeButton_->setEnabled(false);
    connect(beforeButton_, &QToolButton::toggled, this, [this](bool on) { canvas_->setBeforeShown(on); });
    buttons->addWidget(beforeButton_);
    buttons->addStretch(1);
    box->addLayout(buttons);

    canvas_ = new PlotCanvas(panel);
    canvas_->setObjectName(QStringLiteral("TrajetoriaDesenho"));
    canvas_->setAccessibleName(QStringLiteral("Desenho da trajetória"));
    canvas_->setWhatsThis(kCanvasHelp);
    canvas_->setMessage(QStringLiteral("Nenhum programa aberto."));
    box->addWidget(canvas_, 1);

    footer_ = new QLabel(panel);
    footer_->setObjectName(QStringLiteral("TrajetoriaRodape"));
    footer_->setAccessibleName(QStringLiteral("Medidas da trajetória"));
    footer_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    footer_->setWordWrap(true);
    footer_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    box->addWidget(footer_);
    setWidget(panel);
    setMinimumWidth(260);

    connect(canvas_, &PlotCanvas::lineActivated, this, &BackplotDock::lineActivated);
    connect(this, &QDockWidget::visibilityChanged, this, [this](bool shown) {
        if (shown && stale_ && text_) {
            stale_ = false;
            nextSettles_ = true;
            build(*text_, !path_);
        }
    });
    connect(canvas_, &PlotCanvas::viewChanged, this, [this](PlotView view) {
        viewButtons_[static_cast<int>(view)]->setChecked(true);
        emit viewChanged(view);
    });
    showFooter();
}

BackplotDock::~BackplotDock() = default;

QToolButton* BackplotDock::addButton(const char* name, const QString& text, const QString& hint)
{
    auto* button = new QToolButton(widget() ? widget() : this);
    button->setObjectName(QString::fromLatin1(name));
    button->setText(text);
    button->setToolTip(hint);
    button->setAccessibleName(hint);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::StrongFocus);
    return button;
}

// ---------------------------------------------------------------- the program

void BackplotDock::openProgram(const torvel::ProgramText& text)
{
    text_ = &text;
    settled_.reset();
    before_.reset();
    changing_ = false;
    canvas_->setBefore(nullptr);
    canvas_->setOverlay(nullptr);
    beforeButton_->setEnabled(false);
    nextSettles_ = true;
    if (isHidden()) {
        // Nothing is interpreted for a dock nobody looks at.
        stale_ = true;
        builder_.cancel();
        ++generation_;
        building_ = false;
        path_.reset();
        canvas_->setPath(nullptr, true);
        return;
    }
    build(text, true);
}

void BackplotDock::changeProgram(const torvel::ProgramText& text, bool settles)
{
    text_ = &text;
    if (isHidden()) {
        stale_ = true;
        settled_.reset();
        return;
    }
    stale_ = false;
    if (!changing_) {
        before_ = settled_;
        canvas_->setBefore(before_);
        beforeButton_->setEnabled(before_ != nullptr);
        changing_ = true;
    }
    if (settles)
        changing_ = false;
    nextSettles_ = settles;
    build(text, false);
}

void BackplotDock::closeProgram()
{
    text_ = nullptr;
    stale_ = false;
    builder_.cancel();
    ++generation_;
    building_ = false;
    path_.reset();
    settled_.reset();
    before_.reset();
    changing_ = false;
    canvas_->setPath(nullptr, true);
    canvas_->setBefore(nullptr);
    canvas_->setOverlay(nullptr);
    beforeButton_->setEnabled(false);
    canvas_->setMessage(QStringLiteral("Nenhum programa aberto."));
    showFooter();
}

void BackplotDock::build(const torvel::ProgramText& text, bool fit)
{
    const uint64_t generation = ++generation_;
    const bool settles = nextSettles_;
    building_ = true;
    buildingLine_ = QStringLiteral("Calculando a trajetória...");
    if (!path_)
        canvas_->setMessage(QStringLiteral("Calculando a trajetória..."));
    showFooter();
    // A copy shares the window's lines and bytes until one side changes: the run may
    // change the window's text while this one is read.
    auto input = std::make_shared<BuildInput>();
    input->text.emplace(text);
    // The sketch is drawn here too, for the view as it stands, when the path will not be fitted.
    const torvel::PlotFrame frame = canvas_->frame();
    const double ratio = canvas_->devicePixelRatioF();
    builder_.post([this, input, generation, fit, settles, frame, ratio](const std::atomic<bool>& stop) {
        std::optional<torvel::ProgramText> text = std::move(input->text);
        if (!text)
            return;
        const size_t lines = text->count();
        size_t reported = 0;
        std::optional<torvel::Toolpath> made = torvel::interpret(text->lines(), {}, [&](size_t done) {
            if (lines > 0 && done * 10 / lines != reported) {
                reported = done * 10 / lines;
                const int percent = static_cast<int>(done * 100 / lines);
                QMetaObject::invokeMethod(
                    this,
                    [this, generation, percent] {
                        if (generation == generation_) {
                            buildingLine_ = QStringLiteral("Calculando a trajetória... %1%").arg(percent);
                            showFooter();
                        }
                    },
                    Qt::QueuedConnection);
            }
            return !stop.load(std::memory_order_relaxed);
        });
        text.reset();
        if (!made || stop)
            return;
        auto path = std::make_shared<const torvel::Toolpath>(std::move(*made));
        QMetaObject::invokeMethod(
            this,
            [this, generation, path, fit, settles] {
                if (generation != generation_)
                    return;
                if (settles)
                    settled_ = path;
                built(generation, path, fit);
            },
            Qt::QueuedConnection);
        auto sketch = std::make_shared<const PathSketch>(*path, stop);
        if (stop)
            return;
        QImage picture;
        if (!fit && frame.scale > 0 && frame.width > 0 && frame.height > 0)
            picture = sketch->picture(frame, ratio);
        QMetaObject::invokeMethod(
            this,
            [this, generation, sketch, picture, frame] {
                if (generation == generation_)
                    canvas_->setSketch(sketch, picture, frame);
            },
            Qt::QueuedConnection);
        auto index = std::make_shared<const torvel::MotionIndex>(*path);
        if (stop)
            return;
        QMetaObject::invokeMethod(
            this,
            [this, generation, index] {
                if (generation == generation_)
                    canvas_->setIndex(index);
            },
            Qt::QueuedConnection);
    });
}

void BackplotDock::built(uint64_t, std::shared_ptr<const torvel::Toolpath> path, bool fit)
{
    building_ = false;
    path_ = std::move(path);
    canvas_->setPath(path_, fit);
    if (path_->empty())
        canvas_->setMessage(QStringLiteral("O programa não tem movimentos."));
    showFooter();
    emit pathReady();
}

void BackplotDock::setCaret(uint32_t line, uint32_t selectionFirst, uint32_t selectionLast)
{
    canvas_->setCaretLine(line);
    canvas_->setSelectedLines(selectionFirst, selectionLast);
}

void BackplotDock::setPreview(std::shared_ptr<const torvel::Toolpath> preview)
{
    canvas_->setOverlay(std::move(preview));
}

void BackplotDock::clearPreview() { canvas_->setOverlay(nullptr); }

void BackplotDock::setMarkedLines(std::vector<uint32_t> lines) { canvas_->setMarkedLines(std::move(lines)); }

// ---------------------------------------------------------------- footer

QString BackplotDock::number(double value, int decimals) const
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
    QString text = QString::fromLatin1(buffer);
    if (text.startsWith(QLatin1String("-0")) && text.count(QLatin1Char('0')) + 2 == text.size())
        text.remove(0, 1); // no "-0,000"
    text.replace(QLatin1Char('.'), QLatin1Char(separator_));
    return text;
}

void BackplotDock::setFooterText(const QString& text, const QString& room)
{
    // The footer only grows while a program is shown, and has room for the building
    // line from the start: that line comes and goes with every change, and each time
    // the drawing changed size it was drawn anew.
    footer_->setText(room.isEmpty() ? text : room);
    footer_->setMinimumHeight(std::max(footer_->minimumHeight(), footer_->heightForWidth(footer_->width())));
    if (!room.isEmpty())
        footer_->setText(text);
}

void BackplotDock::showFooter()
{
    if (building_ && !path_) {
        setFooterText(buildingLine_);
        return;
    }
    if (!path_) {
        footer_->setMinimumHeight(0);
        footer_->setText(QString());
        return;
    }
    const torvel::Toolpath& p = *path_;
    const torvel::Box3& box = p.extents();
    QString text;
    if (box.empty()) {
        text = QStringLiteral("Nenhum movimento.");
    } else {
        const char* names[] = {"X", "Y", "Z"};
        for (int axis = 0; axis < 3; ++axis) {
            if (axis > 0)
                text += QStringLiteral("   ");
            text += QStringLiteral("%1 %2 a %3")
                        .arg(QLatin1String(names[axis]), number(box.min[axis]), number(box.max[axis]));
        }
        text += QStringLiteral(" mm");
        const long long seconds = std::llround(p.timeSeconds());
        const QString time = seconds >= 3600
            ? QStringLiteral("%1 h %2 min").arg(seconds / 3600).arg((seconds / 60) % 60, 2, 10, QLatin1Char('0'))
            : QStringLiteral("%1 min %2 s").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
        text += QStringLiteral("\nAvanço %1 mm   Rápido %2 mm   Tempo estimado %3")
                    .arg(number(p.feedLength(), 1), number(p.rapidLength(), 1), time);
        if (!p.tools().empty())
            text += QStringLiteral("   Ferramentas %1").arg(p.tools().size());
        if (p.units() == torvel::Units::Inch)
            text += QStringLiteral("   (programa em polegadas)");
        if (p.noteCount() > 0)
            text += QStringLiteral("   Notas %1").arg(p.noteCount());
    }
    const QString measures = text;
    if (building_)
        text += QLatin1Char('\n') + buildingLine_;
    setFooterText(text, measures + QStringLiteral("\nCalculando a trajetória... 100%"));
    canvas_->setAccessibleDescription(kCanvasHelp + QLatin1Char('\n') + text);
}

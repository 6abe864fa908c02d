#include "highlight/ColourDialog.h"

#include "core/Errors.h"
#include "framework/ButtonKeys.h"
#include "framework/MessageBox.h"
#include "highlight/ColourValue.h"

#include <QColorDialog>
#include <QFile>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

struct RowNames {
    const char* caption; // after "Função "
    int shape;
    int button;
    int label;
};

// In the order of the colour values and of the settings sections.
constexpr std::array<RowNames, ColourDialog::kRows> kRowNames = {{
    {"A", 1, 2, 1},
    {"B", 2, 1, 2},
    {"C", 4, 4, 4},
    {"F", 5, 5, 5},
    {"G", 6, 6, 6},
    {"I", 7, 7, 7},
    {"J", 8, 8, 8},
    {"K", 9, 9, 9},
    {"M", 10, 10, 10},
    {"N", 11, 11, 11},
    {"R", 12, 12, 12},
    {"S", 13, 13, 13},
    {"T", 14, 14, 14},
    {"X", 15, 15, 15},
    {"Y", 16, 16, 16},
    {"Z", 17, 17, 17},
    {"%", 18, 18, 18},
    {"#", 19, 19, 19},
    {"<>", 20, 20, 20},
}};

constexpr int kLeftColumnRows = 10; // A to N; R to <> on the right
constexpr int kSwatchSize = 22;

// A painter's palette: the picture on every row button.
QIcon paletteIcon()
{
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(90, 60, 30), 1));
    p.setBrush(QColor(222, 184, 135));
    p.drawEllipse(QRectF(1, 2, 14, 12));
    p.setPen(Qt::NoPen);
    const std::array<std::pair<QPointF, QColor>, 4> dots = {{{QPointF(5, 6), Qt::red}, {QPointF(8.5, 5), Qt::yellow},
        {QPointF(12, 7), Qt::blue}, {QPointF(11, 11), Qt::darkGreen}}};
    for (const auto& [centre, colour] : dots) {
        p.setBrush(colour);
        p.drawEllipse(centre, 1.7, 1.7);
    }
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(5.5, 10.5), 1.6, 1.6); // the thumb hole
    return QIcon(pm);
}

QString rowCaption(int row) { return QStringLiteral("Função ") + QString::fromUtf8(kRowNames[row].caption); }

QFrame* line(QFrame::Shape shape, QWidget* parent)
{
    auto* f = new QFrame(parent);
    f->setFrameShape(shape);
    f->setFrameShadow(QFrame::Sunken);
    return f;
}

} // namespace

ColourDialog::ColourDialog(
    torvel::ColourValues& values, const torvel::SettingsFile& settings, QWidget* parent, Seams seams)
    : QDialog(parent)
    , values_(values)
    , settings_(settings)
{
    setObjectName(QStringLiteral("Form16"));
    setWindowTitle(QStringLiteral("Configuração - Cores do Código G"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
        | Qt::MSWindowsFixedSizeDialogHint);
    colourPicker_ = new QColorDialog(this);
    colourPicker_->setObjectName(QStringLiteral("ColorDialog1"));
    swatches_.fill(Qt::black);
    buildWindow();
    setSeams(std::move(seams));
}

void ColourDialog::setSeams(Seams seams)
{
    seams_ = std::move(seams);
    if (!seams_.pickColour)
        seams_.pickColour = [this](const QColor& initial) { return runColourPicker(initial); };
    if (!seams_.reportError)
        seams_.reportError = [this](const QString& message) { MessageBox::error(this, message); };
}

void ColourDialog::buildWindow()
{
    group_ = new QGroupBox(QStringLiteral(" Cores Padrões para o código G "), this);
    group_->setObjectName(QStringLiteral("GroupBox1"));
    auto* grid = new QGridLayout(group_);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(4);

    const QIcon icon = paletteIcon();
    for (int row = 0; row < kRows; ++row) {
        const RowNames& n = kRowNames[static_cast<size_t>(row)];
        const QString caption = rowCaption(row);

        auto* shape = new QFrame(group_);
        shape->setObjectName(QStringLiteral("Shape%1").arg(n.shape));
        shape->setFixedSize(kSwatchSize, kSwatchSize);
        shape->setFrameShape(QFrame::Box);
        shape->setAutoFillBackground(true);
        shape->setAccessibleName(QStringLiteral("Cor da ") + caption);

        auto* button = new QToolButton(group_);
        button->setObjectName(QStringLiteral("SpeedButton%1").arg(n.button));
        button->setAutoRaise(true); // flat until the pointer is over it
        button->setIcon(icon);
        button->setFixedSize(kSwatchSize, kSwatchSize);
        button->setFocusPolicy(Qt::StrongFocus);
        button->setAccessibleName(QStringLiteral("Escolher a cor da ") + caption);
        button->setToolTip(QStringLiteral("Escolher a cor da ") + caption);
        connect(button, &QToolButton::clicked, this, [this, row] { pickRowColour(row); });

        auto* label = new QLabel(caption, group_);
        label->setObjectName(QStringLiteral("Label%1").arg(n.label));
        label->setTextFormat(Qt::PlainText);
        label->setBuddy(button);

        swatchFrames_[static_cast<size_t>(row)] = shape;
        pickButtons_[static_cast<size_t>(row)] = button;
        rowLabels_[static_cast<size_t>(row)] = label;

        const int gridRow = (row < kLeftColumnRows ? row : row - kLeftColumnRows) + 1;
        const int col = row < kLeftColumnRows ? 0 : 4;
        grid->addWidget(shape, gridRow, col);
        grid->addWidget(button, gridRow, col + 1);
        grid->addWidget(label, gridRow, col + 2);
    }
    grid->addWidget(line(QFrame::VLine, group_), 1, 3, kLeftColumnRows, 1);
    grid->setColumnMinimumWidth(2, 90);
    grid->setColumnMinimumWidth(6, 90);

    helpButton_ = new QToolButton(group_);
    helpButton_->setObjectName(QStringLiteral("SpeedButton3"));
    helpButton_->setAutoRaise(true);
    const QIcon help(QStringLiteral(":/icons/help.png"));
    if (help.isNull())
        helpButton_->setText(QStringLiteral("?"));
    else
        helpButton_->setIcon(help);
    helpButton_->setFocusPolicy(Qt::StrongFocus);
    helpButton_->setAccessibleName(QStringLiteral("Ajuda"));
    helpButton_->setToolTip(QStringLiteral("Ajuda"));
    connect(helpButton_, &QToolButton::clicked, this, &ColourDialog::openHelpPage);
    grid->addWidget(helpButton_, 0, 6, Qt::AlignRight | Qt::AlignTop);

    applyButton_ = new QPushButton(QStringLiteral("Aplicar"), this);
    applyButton_->setObjectName(QStringLiteral("btnOK"));
    applyButton_->setDefault(true);
    connect(applyButton_, &QPushButton::clicked, this, &ColourDialog::apply);
    cancelButton_ = new QPushButton(QStringLiteral("Cancelar"), this);
    cancelButton_->setObjectName(QStringLiteral("Button1"));
    // Enter on a focused "Cancelar" cancels; elsewhere it applies.
    cancelButton_->setAutoDefault(true);
    connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(applyButton_);
    buttons->addWidget(cancelButton_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group_);
    layout->addWidget(line(QFrame::HLine, this));
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // Rows first, column by column, then the help button and the two buttons.
    QWidget* previous = nullptr;
    for (QToolButton* b : pickButtons_) {
        if (previous)
            setTabOrder(previous, b);
        previous = b;
    }
    setTabOrder(previous, helpButton_);
    setTabOrder(helpButton_, applyButton_);
    setTabOrder(applyButton_, cancelButton_);
}

void ColourDialog::setSwatch(int row, const QColor& colour)
{
    swatches_[static_cast<size_t>(row)] = colour;
    QFrame* shape = swatchFrames_[static_cast<size_t>(row)];
    QPalette p = shape->palette();
    p.setColor(QPalette::Window, colour);
    shape->setPalette(p);
}

QColor ColourDialog::swatchColour(int row) const { return swatches_.at(static_cast<size_t>(row)); }

std::optional<QColor> ColourDialog::runColourPicker(const QColor& initial)
{
    colourPicker_->setCurrentColor(initial);
    if (colourPicker_->exec() != QDialog::Accepted)
        return std::nullopt;
    return colourPicker_->selectedColor();
}

void ColourDialog::showEvent(QShowEvent* event)
{
    showStoredColours();
    QDialog::showEvent(event);
}

// Escape has no binding here. Enter presses the focused button: a row's button opens the
// picker, and "Aplicar" is what Enter on the default button does.
void ColourDialog::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->accept();
        return;
    }
    if (!pressFocusedButton(this, event))
        QDialog::keyPressEvent(event);
}

// Unapplied picks are forgotten; the labels keep theirs.
void ColourDialog::showStoredColours()
{
    for (int row = 0; row < kRows; ++row)
        setSwatch(row, colourFromValue(values_[static_cast<size_t>(row)]));
}

void ColourDialog::pickRowColour(int row)
{
    const std::optional<QColor> chosen = seams_.pickColour(lastPicked_);
    if (!chosen || !chosen->isValid())
        return;
    lastPicked_ = *chosen;
    setSwatch(row, *chosen);
    QLabel* label = rowLabels_[static_cast<size_t>(row)];
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, *chosen);
    label->setPalette(p);
}

void ColourDialog::apply()
{
    for (size_t row = 0; row < static_cast<size_t>(kRows); ++row) {
        // A value left as it was is written as it was, high byte included.
        if (swatches_[row] != colourFromValue(values_[row]))
            values_[row] = valueFromColour(swatches_[row]);
    }
    try {
        settings_.writeColours(values_);
    } catch (const torvel::Error& e) {
        seams_.reportError(QFile::decodeName(e.what()));
    }
    accept();
}

void ColourDialog::openHelpPage()
{
    if (seams_.openHelp)
        seams_.openHelp(QStringLiteral("Cores.htm"));
}

#pragma once

#include "core/Settings.h"

#include <QColor>
#include <QDialog>
#include <QString>

#include <array>
#include <functional>
#include <optional>

class QColorDialog;
class QFrame;
class QGroupBox;
class QLabel;
class QPushButton;
class QToolButton;

// The colour dialog: one row per address or delimited word kind (swatch, picker
// button, label). "Aplicar" stores the swatches in the shared colour values and
// the settings file; the main window then builds a new highlighter.
class ColourDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kRows = 19;

    // Seams for what would open a modal window or leave the program.
    struct Seams {
        // Answers the colour chosen, or nothing when the user cancels.
        std::function<std::optional<QColor>(const QColor& initial)> pickColour;
        std::function<void(const QString& message)> reportError;
        // Receives the page name below the help folder ("Cores.htm").
        std::function<void(const QString& page)> openHelp;
    };

    // `values` are the main window's colour values, read on every showing and
    // written by "Aplicar".
    ColourDialog(torvel::ColourValues& values, const torvel::SettingsFile& settings, QWidget* parent = nullptr,
        Seams seams = {});

    void setSeams(Seams seams);

    // The colour each row's swatch shows now.
    QColor swatchColour(int row) const;
    // The colour the next pick starts from: the last one chosen, black at first.
    QColor lastPickedColour() const { return lastPicked_; }

    // The parts of row `row` (0..18): swatch, picker button and label.
    QFrame* swatch(int row) const { return swatchFrames_.at(static_cast<size_t>(row)); }
    QToolButton* pickButton(int row) const { return pickButtons_.at(static_cast<size_t>(row)); }
    QLabel* rowLabel(int row) const { return rowLabels_.at(static_cast<size_t>(row)); }

    // The row's picker button: a colour chosen goes to the swatch and the label.
    void pickRowColour(int row);

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildWindow();
    void showStoredColours();
    void apply();
    void openHelpPage();
    void setSwatch(int row, const QColor& colour);
    std::optional<QColor> runColourPicker(const QColor& initial);

    QGroupBox* group_ = nullptr;
    std::array<QFrame*, kRows> swatchFrames_ {};
    std::array<QToolButton*, kRows> pickButtons_ {};
    std::array<QLabel*, kRows> rowLabels_ {};
    QToolButton* helpButton_ = nullptr;
    QPushButton* applyButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    QColorDialog* colourPicker_ = nullptr;
    torvel::ColourValues& values_;
    torvel::SettingsFile settings_;
    Seams seams_;
    std::array<QColor, kRows> swatches_ {};
    QColor lastPicked_ = Qt::black;
};

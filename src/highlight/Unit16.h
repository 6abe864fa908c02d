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
class TForm16 : public QDialog {
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
    TForm16(torvel::ColourValues& values, const torvel::SettingsFile& settings, QWidget* parent = nullptr,
        Seams seams = {});

    void setSeams(Seams seams);

    // The colour each row's swatch shows now.
    QColor swatchColour(int row) const;
    // The colour the next pick starts from: the last one chosen, black at first.
    QColor lastPickedColour() const { return lastPicked_; }

    // Event handlers.
    void FormShow();
    void SpeedButtonClick(int row); // SpeedButton2Click and its eighteen twins
    void btnOKClick();
    void Button1Click();
    void SpeedButton3Click();

    QGroupBox* GroupBox1 = nullptr;
    std::array<QFrame*, kRows> Shapes {};
    std::array<QToolButton*, kRows> SpeedButtons {};
    std::array<QLabel*, kRows> Labels {};
    QToolButton* SpeedButton3 = nullptr;
    QPushButton* btnOK = nullptr;
    QPushButton* Button1 = nullptr;
    QColorDialog* ColorDialog1 = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildWindow();
    void setSwatch(int row, const QColor& colour);
    std::optional<QColor> runColorDialog(const QColor& initial);

    torvel::ColourValues& values_;
    torvel::SettingsFile settings_;
    Seams seams_;
    std::array<QColor, kRows> swatches_ {};
    QColor lastPicked_ = Qt::black;
};

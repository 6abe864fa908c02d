#pragma once

#include <QWidget>

class Gauge;
class QLabel;
class QPushButton;

// The progress window of a run: a gauge with "Cancelar" over its right end.
// Closing it, by the button or the close box, sets the cancel flag that the
// running function watches; minimising or restoring it takes the main window along.
class ProgressWindow : public QWidget {
    Q_OBJECT
public:
    explicit ProgressWindow(QWidget* mainWindow);

    Gauge* gauge() const { return gauge_; }
    QPushButton* cancelButton() const { return cancelButton_; }

    bool cancelFlag() const { return cancelFlag_; }
    void setCancelFlag(bool on) { cancelFlag_ = on; }

    // Shows the window in normal state with the flag keeping followMinimised quiet, then clears the flag.
    void showForRun();
    // A recipe names the function in progress on a line above the gauge, and stops only
    // between its functions: "Cancelar" then sets the flag and says the run will stop, and
    // the window stays up until the function in progress is done. Empty: a single function.
    void setRecipeStep(const QString& text);
    QLabel* recipeStepLabel() const { return stepLabel_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void centreOnMainWindow();
    void stopRun();
    void followMinimised();

    QWidget* mainWindow_;
    Gauge* gauge_;
    QPushButton* cancelButton_;
    QLabel* stepLabel_;
    // Set after every run and while the window is being shown; cleared by a run.
    bool cancelFlag_ = true;
    bool inRecipe_ = false;
};

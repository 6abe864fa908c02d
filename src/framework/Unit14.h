#pragma once

#include <QWidget>

class Gauge;
class QPushButton;

// The progress window of a run: a gauge with "Cancelar" over its right end.
// Closing it, by the button or the close box, sets the cancel flag that the
// running function watches; minimising or restoring it takes the main window along.
class TForm14 : public QWidget {
    Q_OBJECT
public:
    explicit TForm14(QWidget* mainWindow);

    Gauge* gauge() const { return Gauge1; }
    QPushButton* cancelButton() const { return Button1; }

    bool cancelFlag() const { return cancelFlag_; }
    void setCancelFlag(bool on) { cancelFlag_ = on; }

    // Shows the window in normal state with the flag keeping FormResize quiet, then clears the flag.
    void showForRun();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void Button1Click();
    void FormClose();
    void FormResize();

    QWidget* mainWindow_;
    Gauge* Gauge1;
    QPushButton* Button1;
    // Set after every run and while the window is being shown; cleared by a run.
    bool cancelFlag_ = true;
};

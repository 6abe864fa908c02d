#pragma once

#include <QDialog>

class QGroupBox;
class QPlainTextEdit;
class QPushButton;
class Session;

// The history viewer: the description of one recorded function, or of all of them.
class TForm17 : public QDialog {
    Q_OBJECT
public:
    TForm17(Session& session, QWidget* parent);

    // Shows the viewer for the history list item last clicked (below 1: every function).
    void showFor(int selectedIndex);

    QPlainTextEdit* memo() const { return Memo2; }
    QGroupBox* groupBox() const { return GroupBox1; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();
    void Button1Click();

    Session& session_;
    int selectedIndex_ = -1;
    QGroupBox* GroupBox1;
    QPlainTextEdit* Memo2;
    QPushButton* Button1;
    bool placed_ = false;
};

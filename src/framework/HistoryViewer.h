#pragma once

#include <QDialog>

class QGroupBox;
class QPlainTextEdit;
class QPushButton;
class Session;

// The history viewer: the description of one recorded function, or of all of them.
class HistoryViewer : public QDialog {
    Q_OBJECT
public:
    HistoryViewer(Session& session, QWidget* parent);

    // Shows the viewer for the history list item last clicked (below 1: every function).
    void showFor(int selectedIndex);

    QPlainTextEdit* descriptionText() const { return text_; }
    QGroupBox* groupBox() const { return group_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void showDescription();

    Session& session_;
    int selectedIndex_ = -1;
    QGroupBox* group_;
    QPlainTextEdit* text_;
    QPushButton* closeButton_;
    bool placed_ = false;
};

#pragma once

#include <QDialog>

#include <functional>

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
    QPushButton* saveRecipeButton() const { return saveRecipeButton_; }

    // "Salvar Receita...": writes the functions shown (the selected one and those after it,
    // or all) as a recipe; the viewer is the parent of what it asks.
    std::function<void(QWidget* parent, int fromIndex)> saveRecipe;
    QGroupBox* groupBox() const { return group_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void showDescription();

    Session& session_;
    int selectedIndex_ = -1;
    QGroupBox* group_;
    QPlainTextEdit* text_;
    QPushButton* saveRecipeButton_;
    QPushButton* closeButton_;
    bool placed_ = false;
};

#pragma once

#include "core/CoordinateTools.h"
#include "framework/ToolDialog.h"

class QCheckBox;
class QLineEdit;

// "Translação dos Eixos XYZ": a value added to the X, Y and Z numbers of each ticked axis.
class TranslateDialog : public ToolDialog {
    Q_OBJECT
public:
    TranslateDialog(Session& session, ToolRunner& runner, QWidget* parent);

    bool plusFlag() const { return plus_; }

protected:
    void preview() override;

private:
    bool fieldsFilled();
    torvel::TranslateOptions options() const;
    void axisToggled(QCheckBox* box, QLineEdit* field);
    void plusToggled();
    void checkFields();
    void apply();

    QCheckBox* xBox_;
    QLineEdit* xValueField_;
    QCheckBox* yBox_;
    QLineEdit* yValueField_;
    QCheckBox* zBox_;
    QLineEdit* zValueField_;
    QCheckBox* plusBox_;
    QCheckBox* followModesBox_;
    QPushButton* runButton_;
    // Follows the "+" box at every click, so the box never shows an option that is off.
    bool plus_ = false;
};

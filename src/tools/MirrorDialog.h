#pragma once

#include "framework/ToolDialog.h"

#include <array>

class QCheckBox;

// "Espelhamento dos Eixos XY": X and Y change sign; G02/G03 and G41/G42 are exchanged.
class MirrorDialog : public ToolDialog {
    Q_OBJECT
public:
    MirrorDialog(Session& session, ToolRunner& runner, QWidget* parent);

    bool plusFlag() const { return plus_; }

protected:
    void preview() override;

private:
    void go(bool previewOnly);
    void boxToggled(QCheckBox* box);
    void apply();

    // CheckBox1 to CheckBox7.
    std::array<QCheckBox*, 7> boxes_ {};
    QCheckBox* arcCentresBox_;
    bool plus_ = false;
};

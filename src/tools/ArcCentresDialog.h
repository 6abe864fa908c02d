#pragma once

#include "framework/ToolDialog.h"

class QCheckBox;
class QRadioButton;

// "Converter Coordenadas IJ ": arc centres between absolute and incremental form.
class ArcCentresDialog : public ToolDialog {
    Q_OBJECT
public:
    ArcCentresDialog(Session& session, ToolRunner& runner, QWidget* parent);

    bool plusFlag() const { return plus_; }

protected:
    void preview() override;

private:
    void go(bool previewOnly);
    void plusToggled();
    void apply();

    QRadioButton* absoluteOption_;
    QRadioButton* incrementalOption_;
    QCheckBox* plusBox_;
    QCheckBox* planesBox_;
    bool plus_ = false;
};

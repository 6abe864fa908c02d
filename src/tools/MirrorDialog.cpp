#include "tools/MirrorDialog.h"

#include "core/CoordinateTools.h"
#include "framework/CaptionColour.h"
#include "framework/Session.h"
#include "verify/Verification.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QPushButton>

MirrorDialog::MirrorDialog(Session& session, ToolRunner& runner, QWidget* parent)
    : ToolDialog(session, runner,
        {.caption = QStringLiteral("Espelhamento dos Eixos XY"),
            .groupCaption = QStringLiteral(" Dados para Espelhamento  "),
            .helpPage = QStringLiteral("EspelhaXY.htm"),
            .withPreview = true},
        parent)
{
    setObjectName(QStringLiteral("Form7"));
    const QString captions[] = {
        QStringLiteral("Aplicar Espelhamento no Eixo  X"),
        QStringLiteral("Aplicar Espelhamento no Eixo  Y"),
        QStringLiteral("Substituir Código  G02 por G03"),
        QStringLiteral("Substituir Código  G03 por G02"),
        QStringLiteral("Substituir Código  G41 por G42"),
        QStringLiteral("Substituir Código  G42 por G41"),
        QStringLiteral("Acrescentar caracter \"+\"  nas coordenadas positivas"),
    };
    for (int i = 0; i < 7; ++i) {
        auto* box = new QCheckBox(captions[i], this);
        box->setObjectName(QStringLiteral("CheckBox%1").arg(i + 1));
        paintCaption(box, false);
        fields()->addWidget(box, i, 0);
        connect(box, &QCheckBox::toggled, this, [this, box] { boxToggled(box); });
        boxes_[static_cast<size_t>(i)] = box;
    }
    arcCentresBox_ = addVariantOption(7, QStringLiteral("ArcCentresBox"),
        QStringLiteral("Espelhar também I e J; trocar G02/G03 só no plano do eixo espelhado"));
    connect(applyButton(), &QPushButton::clicked, this, &MirrorDialog::apply);
    QList<QWidget*> order(boxes_.begin(), boxes_.end());
    order << arcCentresBox_;
    setFieldOrder(order);
}

void MirrorDialog::boxToggled(QCheckBox* box)
{
    paintCaption(box, box->isChecked());
    if (box == boxes_[6])
        plus_ = box->isChecked();
}

void MirrorDialog::apply() { go(false); }

void MirrorDialog::preview() { go(true); }

void MirrorDialog::go(bool previewOnly)
{
    torvel::MirrorOptions options;
    options.x = boxes_[0]->isChecked();
    options.y = boxes_[1]->isChecked();
    options.g02ToG03 = boxes_[2]->isChecked();
    options.g03ToG02 = boxes_[3]->isChecked();
    options.g41ToG42 = boxes_[4]->isChecked();
    options.g42ToG41 = boxes_[5]->isChecked();
    options.plus = plus_;
    options.decimalSeparator = session().decimalSeparator();
    options.arcCentres = arcCentresBox_->isChecked();
    const torvel::FunctionMeaning meaning = torvel::meaningOf(options);
    if (previewOnly)
        return previewTool(std::make_unique<torvel::MirrorTool>(options), meaning);
    torvel::MirrorTool tool(options);
    runTool(tool, &meaning);
}

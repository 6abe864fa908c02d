#include "tools/ArcCentresDialog.h"

#include "core/CoordinateTools.h"
#include "framework/CaptionColour.h"
#include "framework/MessageBox.h"
#include "framework/Session.h"
#include "verify/Verification.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QPushButton>
#include <QRadioButton>

ArcCentresDialog::ArcCentresDialog(Session& session, ToolRunner& runner, QWidget* parent)
    : ToolDialog(session, runner,
        {.caption = QStringLiteral("Converter Coordenadas IJ "),
            .groupCaption = QStringLiteral(" Dados para Conversão "),
            .helpPage = QStringLiteral("CoordIJ.htm"),
            .applyName = QStringLiteral("Button1"),
            .applyIsDefault = false,
            .withPreview = true},
        parent)
{
    setObjectName(QStringLiteral("Form9"));
    absoluteOption_ = new QRadioButton(QStringLiteral("Converter coordenadas I, J para  absoluto"), this);
    absoluteOption_->setObjectName(QStringLiteral("RadioButton1"));
    incrementalOption_ = new QRadioButton(QStringLiteral("Converter coordenadas I, J para  Incremental"), this);
    incrementalOption_->setObjectName(QStringLiteral("RadioButton2"));
    plusBox_ = new QCheckBox(QStringLiteral("Acrescentar caracter \"+\"  nas coordenadas positivas"), this);
    plusBox_->setObjectName(QStringLiteral("CheckBox1"));
    paintCaption(plusBox_, false);
    fields()->addWidget(absoluteOption_, 0, 0);
    fields()->addWidget(incrementalOption_, 1, 0);
    fields()->addWidget(plusBox_, 2, 0);
    planesBox_ = addVariantOption(3, QStringLiteral("PlanesBox"),
        QStringLiteral("Converter no plano do arco (K com Z), só em arcos, sem notação E"));

    // The range sits on a panel of its own.
    rangeGroup()->setObjectName(QStringLiteral("Panel1"));
    rangeGroup()->setFrameShape(QFrame::StyledPanel);
    rangeGroup()->setFrameShadow(QFrame::Raised);

    connect(plusBox_, &QCheckBox::toggled, this, &ArcCentresDialog::plusToggled);
    connect(applyButton(), &QPushButton::clicked, this, &ArcCentresDialog::apply);
    makeOptionGroup({absoluteOption_, incrementalOption_});
    setFieldOrder({absoluteOption_, incrementalOption_, plusBox_, planesBox_});
}

void ArcCentresDialog::plusToggled()
{
    plus_ = plusBox_->isChecked();
    paintCaption(plusBox_, plus_);
}

void ArcCentresDialog::apply() { go(false); }

void ArcCentresDialog::preview() { go(true); }

void ArcCentresDialog::go(bool previewOnly)
{
    torvel::ArcsOptions options;
    if (absoluteOption_->isChecked())
        options.direction = torvel::ArcsOptions::Direction::Absolute;
    else if (incrementalOption_->isChecked())
        options.direction = torvel::ArcsOptions::Direction::Incremental;
    else {
        MessageBox::error(this, QStringLiteral("Favor selecionar uma opção."));
        return;
    }
    options.plus = plus_;
    options.decimalSeparator = session().decimalSeparator();
    options.planes = planesBox_->isChecked();
    const torvel::FunctionMeaning meaning = torvel::meaningOf(options);
    if (previewOnly)
        return previewTool(std::make_unique<torvel::ArcsTool>(options), meaning);
    torvel::ArcsTool tool(options);
    runTool(tool, &meaning);
}

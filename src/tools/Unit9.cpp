#include "tools/Unit9.h"

#include "core/CoordinateTools.h"
#include "framework/CaptionColour.h"
#include "framework/MessageBox.h"
#include "framework/Session.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QPushButton>
#include <QRadioButton>

TForm9::TForm9(Session& session, ToolRunner& runner, QWidget* parent)
    : ToolDialog(session, runner,
        {.caption = QStringLiteral("Converter Coordenadas IJ "),
            .groupCaption = QStringLiteral(" Dados para Conversão "),
            .helpPage = QStringLiteral("CoordIJ.htm"),
            .applyName = QStringLiteral("Button1"),
            .applyIsDefault = false},
        parent)
{
    setObjectName(QStringLiteral("Form9"));
    RadioButton1 = new QRadioButton(QStringLiteral("Converter coordenadas I, J para  absoluto"), this);
    RadioButton1->setObjectName(QStringLiteral("RadioButton1"));
    RadioButton2 = new QRadioButton(QStringLiteral("Converter coordenadas I, J para  Incremental"), this);
    RadioButton2->setObjectName(QStringLiteral("RadioButton2"));
    CheckBox1 = new QCheckBox(QStringLiteral("Acrescentar caracter \"+\"  nas coordenadas positivas"), this);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    paintCaption(CheckBox1, false);
    fields()->addWidget(RadioButton1, 0, 0);
    fields()->addWidget(RadioButton2, 1, 0);
    fields()->addWidget(CheckBox1, 2, 0);

    // The range sits on a panel of its own.
    rangeGroup()->setObjectName(QStringLiteral("Panel1"));
    rangeGroup()->setFrameShape(QFrame::StyledPanel);
    rangeGroup()->setFrameShadow(QFrame::Raised);

    connect(CheckBox1, &QCheckBox::toggled, this, &TForm9::CheckBox1Click);
    connect(applyButton(), &QPushButton::clicked, this, &TForm9::Button1Click);
    makeOptionGroup({RadioButton1, RadioButton2});
    setFieldOrder({RadioButton1, RadioButton2, CheckBox1});
}

void TForm9::CheckBox1Click()
{
    plus_ = CheckBox1->isChecked();
    paintCaption(CheckBox1, plus_);
}

void TForm9::Button1Click()
{
    torvel::ArcsOptions options;
    if (RadioButton1->isChecked())
        options.direction = torvel::ArcsOptions::Direction::Absolute;
    else if (RadioButton2->isChecked())
        options.direction = torvel::ArcsOptions::Direction::Incremental;
    else {
        MessageBox::error(this, QStringLiteral("Favor selecionar uma opção."));
        return;
    }
    options.plus = plus_;
    options.decimalSeparator = session().decimalSeparator();
    torvel::ArcsTool tool(options);
    runTool(tool);
}

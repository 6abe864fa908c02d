#include "app/MainWindow.h"
#include "editor/ProgramView.h"
#include "framework/CaptionColour.h"
#include "framework/FileDialog.h"
#include "framework/HistoryViewer.h"
#include "framework/MessageBox.h"
#include "framework/ProgressWindow.h"
#include "framework/Session.h"
#include "framework/ToolRunner.h"
#include "core/CoordinateTools.h"
#include "tools/ArcCentresDialog.h"
#include "tools/CommentDialog.h"
#include "tools/DeleteWordDialog.h"
#include "tools/InsertInfoDialog.h"
#include "tools/LineEditDialog.h"
#include "tools/MirrorDialog.h"
#include "tools/RenumberDialog.h"
#include "tools/ReplaceDialog.h"
#include "tools/SpacesDialog.h"
#include "tools/TranslateDialog.h"

#include "helpers/OpenedWindow.h"
#include "helpers/SpokenNames.h"
#include "helpers/ToolRig.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QToolButton>
#include <QScrollBar>
#include <QtTest>

namespace {

using Rig = ToolRig;

template <class T> T* child(QWidget* parent, const char* name)
{
    T* found = parent->findChild<T*>(QString::fromLatin1(name));
    if (!found)
        qWarning("no %s", name);
    return found;
}

void showAndWait(ToolDialog* dialog)
{
    dialog->showModal();
    QVERIFY(QTest::qWaitForWindowExposed(dialog));
}

void click(QWidget* parent, const char* name)
{
    QTest::mouseClick(child<QAbstractButton>(parent, name), Qt::LeftButton);
}

// The description lines of the latest recorded function.
QStringList lastDescription(const torvel::History& history)
{
    QStringList lines;
    for (const auto& l : history.viewerLines(static_cast<int>(history.items().size()) - 1))
        lines << QString::fromUtf8(l.c_str());
    return lines;
}

} // namespace

class TestToolDialogs : public QObject {
    Q_OBJECT
private slots:
    void spacesDialogKeepsItsChoiceAndRuns();
    void helpButtonOpensTheDialogsPage();
    void enterPressesTheFocusedButton();
    void renumberCheckBoxesGreyAndResetTheirFields();
    void renumberRunsOverARange();
    void replaceKeepsItsTextsAndRunsFromEnter();
    void deleteRefusesWithoutAMode();
    void commentOffersTheUsualCharacters();
    void insertRefusesWithoutAModeAndStartsAtTheTextToAdd();
    void editLineShowsTheCaretLineAndMovesTheCaret();
    void editLineCancelRecordsNothing();
    void translationChecksItsFields();
    void translationKeyFilter_data();
    void translationKeyFilter();
    void translationFieldsFollowTheirBoxes();
    void translationRunsWithThePlusOption();
    void mirrorCaptionsFollowTheirBoxes();
    void arcsRefuseWithoutADirectionAndKeepTheRangeApart();
    void optionsAreOneGroupApartFromTheRange();
    void variantOptionsStartClearedAndReachTheirTool();
    void everyControlHasASpokenName();
    void throughTheMainWindow();
    void lineCommandsFarDownALongProgram();
};

void TestToolDialogs::spacesDialogKeepsItsChoiceAndRuns()
{
    Rig rig;
    auto dialog = rig.make<SpacesDialog>();
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Adicionar ou Remover Espaços"));
    QCOMPARE(child<QGroupBox>(dialog.get(), "GroupBox1")->title(), QStringLiteral(" Dados para Operação "));
    auto* remove = child<QRadioButton>(dialog.get(), "RadioButton1");
    auto* add = child<QRadioButton>(dialog.get(), "RadioButton2");
    QCOMPARE(remove->text(), QStringLiteral("Remover Espaços"));
    QCOMPARE(add->text(), QStringLiteral("Adcionar Espaços"));
    QVERIFY(remove->isChecked());
    QVERIFY(child<QPushButton>(dialog.get(), "btnOK")->isDefault());
    QCOMPARE(child<QPushButton>(dialog.get(), "Button1")->text(), QStringLiteral("Cancelar"));
    QVERIFY(child<QRadioButton>(dialog.get(), "RadioButton3")->isChecked());

    showAndWait(dialog.get());
    QTest::mouseClick(add, Qt::LeftButton);
    click(dialog.get(), "Button1");
    QVERIFY(!dialog->isVisible());
    QVERIFY(rig.history().items().empty());

    showAndWait(dialog.get());
    QVERIFY(add->isChecked());
    rig.setLines({"N10G01X10.5Y-3(FACE MILL)", "G01", "(TEXT)"});
    click(dialog.get(), "btnOK");
    QVERIFY(!dialog->isVisible());
    QCOMPARE(rig.lines(), (std::vector<std::string> {"N10 G01 X10.5 Y-3 (FACE MILL)", "G01", "(TEXT)"}));
    QCOMPARE(rig.history().items().back(), std::string("1-AddEspaço"));
    QCOMPARE(lastDescription(rig.history()),
        (QStringList {QStringLiteral("Função Aplicada em todo Arquivo"),
            QStringLiteral("Adcionado espaço em branco no arquivo")}));
}

void TestToolDialogs::helpButtonOpensTheDialogsPage()
{
    Rig rig;
    auto spaces = rig.make<SpacesDialog>();
    auto arcs = rig.make<ArcCentresDialog>();
    auto edit = rig.make<LineEditDialog>();
    click(spaces.get(), "SpeedButton1");
    click(arcs.get(), "SpeedButton1");
    click(edit.get(), "SpeedButton1");
    QCOMPARE(rig.helpPages,
        (QStringList {QStringLiteral("/opt/torvel/Ajuda/AddRem.htm"), QStringLiteral("/opt/torvel/Ajuda/CoordIJ.htm"),
            QStringLiteral("/opt/torvel/Ajuda/EditLinha.htm")}));
    QVERIFY(!child<QToolButton>(spaces.get(), "SpeedButton1")->accessibleName().isEmpty());
}

void TestToolDialogs::enterPressesTheFocusedButton()
{
    Rig rig;
    rig.setLines({"N10 G01 X1"});
    // "?" opens the help page and runs nothing; "Cancelar" cancels, default button or none.
    auto spaces = rig.make<SpacesDialog>();
    auto arcs = rig.make<ArcCentresDialog>();
    for (ToolDialog* dialog : {static_cast<ToolDialog*>(spaces.get()), static_cast<ToolDialog*>(arcs.get())}) {
        showAndWait(dialog);
        dialog->helpButton()->setFocus();
        QTest::keyClick(dialog->helpButton(), Qt::Key_Return);
        QVERIFY(dialog->isVisible());
        dialog->cancelButton()->setFocus();
        QTest::keyClick(dialog->cancelButton(), Qt::Key_Enter, Qt::KeypadModifier);
        QVERIFY(!dialog->isVisible());
    }
    QCOMPARE(rig.helpPages.size(), 2);
    QVERIFY(rig.history().items().empty());
    QCOMPARE(rig.line(0), std::string("N10 G01 X1"));

    // "Aplicar" that is not the default button.
    auto words = rig.make<DeleteWordDialog>();
    showAndWait(words.get());
    child<QRadioButton>(words.get(), "RadioButton2")->setChecked(true);
    child<QComboBox>(words.get(), "Textdel")->setEditText(QStringLiteral("X1"));
    words->applyButton()->setFocus();
    QTest::keyClick(words->applyButton(), Qt::Key_Return);
    QVERIFY(!words->isVisible());
    QCOMPARE(rig.history().items().back(), std::string("1-DelPalavra"));
    QVERIFY(rig.messages.isEmpty());
}

void TestToolDialogs::renumberCheckBoxesGreyAndResetTheirFields()
{
    Rig rig;
    auto dialog = rig.make<RenumberDialog>();
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Editar Números dos Blocos"));
    auto* digits = child<QCheckBox>(dialog.get(), "CheckBox1");
    auto* width = child<QSpinBox>(dialog.get(), "SpinEdit3");
    auto* renumber = child<QCheckBox>(dialog.get(), "CheckBox3");
    auto* startLabel = child<QLabel>(dialog.get(), "Label2");
    auto* stepLabel = child<QLabel>(dialog.get(), "Label3");
    auto* start = child<QSpinBox>(dialog.get(), "SpinEdit4");
    auto* step = child<QSpinBox>(dialog.get(), "SpinEdit5");
    QCOMPARE(stepLabel->text(), QStringLiteral("Valor do Incremento      ="));
    QCOMPARE(child<QLabel>(dialog.get(), "LabelAte")->text(), QStringLiteral("até"));
    QCOMPARE(child<QRadioButton>(dialog.get(), "RadioButton3")->text(), QStringLiteral("Aplicar em Todo Arquivo"));
    QCOMPARE(start->minimum(), 0);
    QCOMPARE(step->minimum(), 1);

    QVERIFY(windowTextColour() != greyTextColour());
    for (QWidget* w : {static_cast<QWidget*>(digits), static_cast<QWidget*>(renumber),
             static_cast<QWidget*>(startLabel), static_cast<QWidget*>(stepLabel)})
        QCOMPARE(captionColour(w), greyTextColour());
    QVERIFY(!width->isEnabled() && !start->isEnabled() && !step->isEnabled());

    showAndWait(dialog.get());
    QTest::mouseClick(digits, Qt::LeftButton);
    QCOMPARE(captionColour(digits), windowTextColour());
    QVERIFY(width->isEnabled());
    width->setValue(4);
    QTest::mouseClick(digits, Qt::LeftButton);
    QCOMPARE(captionColour(digits), greyTextColour());
    QCOMPARE(width->value(), 1);
    QVERIFY(!width->isEnabled());

    QTest::mouseClick(renumber, Qt::LeftButton);
    for (QWidget* w :
        {static_cast<QWidget*>(renumber), static_cast<QWidget*>(startLabel), static_cast<QWidget*>(stepLabel)})
        QCOMPARE(captionColour(w), windowTextColour());
    QVERIFY(start->isEnabled() && step->isEnabled());
    start->setValue(100);
    step->setValue(10);
    // Kept while the dialog is closed and opened again.
    dialog->hide();
    showAndWait(dialog.get());
    QCOMPARE(start->value(), 100);
    QTest::mouseClick(renumber, Qt::LeftButton);
    QCOMPARE(start->value(), 0);
    QCOMPARE(step->value(), 1);
    QVERIFY(!start->isEnabled() && !step->isEnabled());
    QCOMPARE(captionColour(stepLabel), greyTextColour());
}

void TestToolDialogs::renumberRunsOverARange()
{
    Rig rig;
    auto dialog = rig.make<RenumberDialog>();
    showAndWait(dialog.get());
    QTest::mouseClick(child<QCheckBox>(dialog.get(), "CheckBox1"), Qt::LeftButton);
    QTest::mouseClick(child<QCheckBox>(dialog.get(), "CheckBox3"), Qt::LeftButton);
    child<QSpinBox>(dialog.get(), "SpinEdit3")->setValue(4);
    child<QSpinBox>(dialog.get(), "SpinEdit4")->setValue(100);
    child<QSpinBox>(dialog.get(), "SpinEdit5")->setValue(10);
    QTest::mouseClick(child<QRadioButton>(dialog.get(), "RadioButton4"), Qt::LeftButton);
    child<QSpinBox>(dialog.get(), "SpinEdit1")->setValue(2);
    child<QSpinBox>(dialog.get(), "SpinEdit2")->setValue(4);
    rig.setLines({"N10 G00 X0 Y0", "N20G01X5", "G01 X7", "N0030 M03", "N40 T1"});
    click(dialog.get(), "btnOK");
    QCOMPARE(rig.lines(), (std::vector<std::string> {"N10 G00 X0 Y0", "N0100G01X5", "G01 X7", "N0110 M03", "N40 T1"}));
    const QStringList description = lastDescription(rig.history());
    QCOMPARE(description.first(), QStringLiteral("Função aplicadada da linha 2 até a linha 4 do arquivo"));
    QVERIFY(description.contains(QStringLiteral("Número de dígitos significativos aplicada na função = 4")));
    QCOMPARE(rig.progress->windowTitle(), QStringLiteral("Executando a função editar número de bloco..."));
}

void TestToolDialogs::replaceKeepsItsTextsAndRunsFromEnter()
{
    Rig rig;
    auto dialog = rig.make<ReplaceDialog>();
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Substituir Palavras"));
    auto* find = child<QComboBox>(dialog.get(), "Textloc");
    auto* with = child<QComboBox>(dialog.get(), "Textsub");
    QVERIFY(find->isEditable() && find->count() == 0 && find->currentText().isEmpty());
    showAndWait(dialog.get());
    QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
    QCOMPARE(QApplication::focusWidget(), find);
    QTest::keyClicks(find, QStringLiteral("X1"));
    QTest::keyClick(find, Qt::Key_Tab);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("Y"));
    QCOMPARE(with->currentText(), QStringLiteral("Y"));
    click(dialog.get(), "Button2");
    QVERIFY(rig.history().items().empty());

    showAndWait(dialog.get());
    QCOMPARE(find->currentText(), QStringLiteral("X1"));
    QCOMPARE(with->currentText(), QStringLiteral("Y"));
    rig.setLines({"N10 X10 X1", "N30 x1"});
    find->setFocus();
    QTest::keyClick(find, Qt::Key_Return);
    QCOMPARE(rig.lines(), (std::vector<std::string> {"N10 Y0 X1", "N30 x1"}));
    QCOMPARE(find->count(), 0); // nothing is added to the lists
    QCOMPARE(rig.history().items().back(), std::string("1-SubPalavra"));
}

void TestToolDialogs::deleteRefusesWithoutAMode()
{
    Rig rig;
    auto dialog = rig.make<DeleteWordDialog>();
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Deletar Palavra"));
    auto* apply = child<QPushButton>(dialog.get(), "Button1");
    QVERIFY(!apply->isDefault());
    auto* text = child<QRadioButton>(dialog.get(), "RadioButton2");
    auto* lines = child<QRadioButton>(dialog.get(), "RadioButton1");
    QVERIFY(!text->isChecked() && !lines->isChecked());
    rig.setLines({"N10 M08", "N20 M08", "N30 M09", "N40 M08"});
    const auto before = rig.lines();

    showAndWait(dialog.get());
    child<QComboBox>(dialog.get(), "Textdel")->setEditText(QStringLiteral("M08"));
    QTest::mouseClick(apply, Qt::LeftButton);
    QCOMPARE(rig.messages, QStringList {QStringLiteral("error:Favor selecionar uma opção.")});
    QVERIFY(dialog->isVisible());
    QCOMPARE(rig.lines(), before);
    QVERIFY(rig.history().items().empty());
    QCOMPARE(rig.session.document().undo.index(), 0);

    QTest::mouseClick(lines, Qt::LeftButton);
    QTest::mouseClick(apply, Qt::LeftButton);
    QVERIFY(!dialog->isVisible());
    QCOMPARE(rig.lines(), (std::vector<std::string> {"N30 M09"}));
    QCOMPARE(lastDescription(rig.history()).last(),
        QStringLiteral("Deletado a linha do arquivo que possuia a palavra \"M08\""));
}

void TestToolDialogs::commentOffersTheUsualCharacters()
{
    Rig rig;
    auto dialog = rig.make<CommentDialog>();
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Comentar Linha"));
    auto* open = child<QComboBox>(dialog.get(), "Textini");
    auto* close = child<QComboBox>(dialog.get(), "Textfim");
    const auto items = [](QComboBox* c) {
        QStringList l;
        for (int i = 0; i < c->count(); ++i)
            l << c->itemText(i);
        return l;
    };
    QCOMPARE(items(open), (QStringList {QStringLiteral("("), QStringLiteral("{"), QStringLiteral("[")}));
    QCOMPARE(items(close), (QStringList {QStringLiteral(")"), QStringLiteral("}"), QStringLiteral("]")}));
    QVERIFY(open->currentText().isEmpty() && close->currentText().isEmpty());

    showAndWait(dialog.get());
    child<QComboBox>(dialog.get(), "Textloc")->setEditText(QStringLiteral("M08"));
    open->setCurrentIndex(1);
    close->setCurrentIndex(2);
    rig.setLines({"N10 M08", "N40 m08"});
    click(dialog.get(), "btnOK");
    QCOMPARE(rig.lines(), (std::vector<std::string> {"{N10 M08]", "N40 m08"}));
    QCOMPARE(lastDescription(rig.history()).last(),
        QStringLiteral("Comentado a linha com palavra \"M08\" utilizando os caracteres \"{]\""));
}

void TestToolDialogs::insertRefusesWithoutAModeAndStartsAtTheTextToAdd()
{
    Rig rig;
    auto dialog = rig.make<InsertInfoDialog>();
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Inserir Informações"));
    auto* find = child<QComboBox>(dialog.get(), "Textloc");
    auto* add = child<QComboBox>(dialog.get(), "TextIns");
    showAndWait(dialog.get());
    QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
    QCOMPARE(QApplication::focusWidget(), add);
    QTest::keyClicks(add, QStringLiteral("M08"));
    QTest::keyClick(add, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), find);
    QTest::keyClicks(find, QStringLiteral("M06"));

    rig.setLines({"N10 T1 M06", "N20 T2 M06", "N30"});
    click(dialog.get(), "btnOK");
    QCOMPARE(rig.messages, QStringList {QStringLiteral("error:Favor selecionar uma opção.")});
    QVERIFY(dialog->isVisible());
    QVERIFY(rig.history().items().empty());

    QTest::mouseClick(child<QRadioButton>(dialog.get(), "RadioButton5"), Qt::LeftButton);
    click(dialog.get(), "btnOK");
    QCOMPARE(rig.lines(), (std::vector<std::string> {"N10 T1 M06", "N00 M08", "N20 T2 M06", "N00 M08", "N30"}));
    QCOMPARE(lastDescription(rig.history()).last(), QStringLiteral("Adicionado dados depois da linha"));
}

void TestToolDialogs::editLineShowsTheCaretLineAndMovesTheCaret()
{
    Rig rig;
    rig.setLines({"N10", "N20 X5", "N30"});
    rig.session.caretRow = [] { return 2LL; };
    QSignalSpy follow(&rig.session, &Session::followRequested);
    auto dialog = rig.make<LineEditDialog>();
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Editar Linha "));
    auto* edit = child<QLineEdit>(dialog.get(), "Edit1");
    showAndWait(dialog.get());
    QCOMPARE(edit->text(), QStringLiteral("N20 X5"));
    edit->setText(QStringLiteral("N20 X6 (peça)"));
    click(dialog.get(), "btnOK");
    QVERIFY(!dialog->isVisible());
    QCOMPARE(rig.session.toDisplay(rig.session.document().text.line(1)), QStringLiteral("N20 X6 (peça)"));
    QCOMPARE(rig.history().items().back(), std::string("1-Editar Linha"));
    QCOMPARE(follow.count(), 1);
    QCOMPARE(follow.first().first().toLongLong(), 1LL);

    // Shown again, it holds the caret line as it is now.
    rig.session.caretRow = [] { return 3LL; };
    showAndWait(dialog.get());
    QCOMPARE(edit->text(), QStringLiteral("N30"));
    rig.session.undo();
    QCOMPARE(rig.line(1), std::string("N20 X5"));
}

void TestToolDialogs::editLineCancelRecordsNothing()
{
    Rig rig;
    rig.setLines({"N10"});
    auto dialog = rig.make<LineEditDialog>();
    showAndWait(dialog.get());
    child<QLineEdit>(dialog.get(), "Edit1")->setText(QStringLiteral("X"));
    click(dialog.get(), "Button2");
    QCOMPARE(rig.line(0), std::string("N10"));
    QVERIFY(rig.history().items().empty());
    QCOMPARE(rig.session.document().undo.index(), 0);
}

void TestToolDialogs::translationChecksItsFields()
{
    Rig rig;
    auto dialog = rig.make<TranslateDialog>();
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Translação dos Eixos XYZ"));
    auto* func = child<QPushButton>(dialog.get(), "btnOK");
    QCOMPARE(func->text(), QStringLiteral("Func"));
    auto* apply = child<QPushButton>(dialog.get(), "Button1");
    QVERIFY(apply->isDefault());
    rig.setLines({"N10 X1"});
    showAndWait(dialog.get());
    QVERIFY(!func->isVisible());

    QTest::mouseClick(apply, Qt::LeftButton);
    QCOMPARE(rig.messages, QStringList {QStringLiteral("error:Favor preencher os campos com o valor da translação.")});
    QVERIFY(dialog->isVisible());
    QVERIFY(rig.history().items().empty());
    QCOMPARE(rig.session.document().undo.index(), 0);

    // A field with only blanks counts as empty, also for an axis that is ticked.
    QTest::mouseClick(child<QCheckBox>(dialog.get(), "CheckBox2"), Qt::LeftButton);
    child<QLineEdit>(dialog.get(), "Edit2")->setText(QStringLiteral("   "));
    QTest::mouseClick(apply, Qt::LeftButton);
    QCOMPARE(rig.messages.size(), 2);
    QVERIFY(dialog->isVisible());
    QVERIFY(rig.history().items().empty());
}

void TestToolDialogs::translationKeyFilter_data()
{
    QTest::addColumn<QChar>("separator");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("kept");
    QTest::newRow("comma locale") << QChar(u',') << QStringLiteral("-12.5,3x ") << QStringLiteral("-125,3");
    QTest::newRow("point locale") << QChar(u'.') << QStringLiteral("+1,5.25e") << QStringLiteral("+15.25");
    QTest::newRow("order is not checked") << QChar(u',') << QStringLiteral("1-2+") << QStringLiteral("1-2+");
}

void TestToolDialogs::translationKeyFilter()
{
    QFETCH(QChar, separator);
    QFETCH(QString, typed);
    QFETCH(QString, kept);
    Rig rig;
    rig.session.setDecimalSeparator(static_cast<char>(separator.unicode()));
    auto dialog = rig.make<TranslateDialog>();
    showAndWait(dialog.get());
    QTest::mouseClick(child<QCheckBox>(dialog.get(), "CheckBox1"), Qt::LeftButton);
    auto* edit = child<QLineEdit>(dialog.get(), "Edit1");
    edit->setFocus();
    QTest::keyClicks(edit, typed);
    QCOMPARE(edit->text(), kept);
    QTest::keyClick(edit, Qt::Key_Backspace);
    QCOMPARE(edit->text(), kept.chopped(1));
    // Pasted text is held to the same characters.
    edit->selectAll();
    edit->insert(QStringLiteral("1 a"));
    QCOMPARE(edit->text(), kept.chopped(1));
}

void TestToolDialogs::translationFieldsFollowTheirBoxes()
{
    Rig rig;
    auto dialog = rig.make<TranslateDialog>();
    auto* box = child<QCheckBox>(dialog.get(), "CheckBox3");
    auto* edit = child<QLineEdit>(dialog.get(), "Edit3");
    QCOMPARE(box->text(), QStringLiteral("Incrementar ao Eixo   Z   Valor ="));
    QCOMPARE(captionColour(box), greyTextColour());
    QVERIFY(!edit->isEnabled());
    showAndWait(dialog.get());
    QTest::mouseClick(box, Qt::LeftButton);
    QCOMPARE(captionColour(box), windowTextColour());
    QVERIFY(edit->isEnabled());
    edit->setText(QStringLiteral("5"));
    QTest::mouseClick(box, Qt::LeftButton);
    QVERIFY(edit->text().isEmpty());
    QVERIFY(!edit->isEnabled());
    QTest::mouseClick(box, Qt::LeftButton);
    QVERIFY(edit->text().isEmpty());

    // The plus option follows its box, also across showings.
    auto* plus = child<QCheckBox>(dialog.get(), "CheckBox4");
    QCOMPARE(plus->text(), QStringLiteral("Acrescentar caracter \"+\"  nas coordenadas positivas"));
    QTest::mouseClick(plus, Qt::LeftButton);
    QVERIFY(dialog->plusFlag());
    QCOMPARE(captionColour(plus), windowTextColour());
    click(dialog.get(), "Button2");
    showAndWait(dialog.get());
    QVERIFY(plus->isChecked());
    QVERIFY(dialog->plusFlag());
}

void TestToolDialogs::translationRunsWithThePlusOption()
{
    Rig rig;
    rig.session.setDecimalSeparator(',');
    auto dialog = rig.make<TranslateDialog>();
    showAndWait(dialog.get());
    QTest::mouseClick(child<QCheckBox>(dialog.get(), "CheckBox1"), Qt::LeftButton);
    QTest::mouseClick(child<QCheckBox>(dialog.get(), "CheckBox3"), Qt::LeftButton);
    QTest::mouseClick(child<QCheckBox>(dialog.get(), "CheckBox4"), Qt::LeftButton);
    child<QLineEdit>(dialog.get(), "Edit1")->setText(QStringLiteral("2,25"));
    child<QLineEdit>(dialog.get(), "Edit3")->setText(QStringLiteral("0,5"));
    rig.setLines({"N20 G01 X10.5 Y-3 Z2", "N30 G00 X-2.25", "N50 (X10 Y10)"});
    click(dialog.get(), "Button1");
    QCOMPARE(rig.messages.join(QLatin1Char(0x7c)), QString());
    QCOMPARE(rig.lines(), (std::vector<std::string> {"N20 G01 X+12.75 Y-3 Z+2.5", "N30 G00 X+0", "N50 (X10 Y10)"}));
    QCOMPARE(rig.history().items().back(), std::string("1-Trans_XYZ"));
    QVERIFY(!dialog->isVisible());
}

void TestToolDialogs::mirrorCaptionsFollowTheirBoxes()
{
    Rig rig;
    auto dialog = rig.make<MirrorDialog>();
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Espelhamento dos Eixos XY"));
    showAndWait(dialog.get());
    for (int i = 1; i <= 7; ++i) {
        auto* box = child<QCheckBox>(dialog.get(), qPrintable(QStringLiteral("CheckBox%1").arg(i)));
        QCOMPARE(captionColour(box), greyTextColour());
        QTest::mouseClick(box, Qt::LeftButton);
        QCOMPARE(captionColour(box), windowTextColour());
    }
    QCOMPARE(child<QCheckBox>(dialog.get(), "CheckBox3")->text(), QStringLiteral("Substituir Código  G02 por G03"));
    QVERIFY(dialog->plusFlag());
    rig.setLines({"N10 G41 D1 X10.5 Y-3", "N30 G03 X-2 Y0", "N80 g02 x5"});
    click(dialog.get(), "btnOK");
    QCOMPARE(rig.lines(), (std::vector<std::string> {"N10 G42 D1 X-10.5 Y+3", "N30 G02 X+2 Y+0", "N80 g02 x5"}));
    QCOMPARE(rig.history().items().back(), std::string("1-Espelhar_XY"));
}

void TestToolDialogs::variantOptionsStartClearedAndReachTheirTool()
{
    Rig rig;
    struct Case {
        std::shared_ptr<ToolDialog> dialog;
        std::vector<const char*> clicks; // the option box last
        const char* apply;
        std::vector<std::string> lines, result;
        const char* historyLine;
    };
    const Case cases[] = {
        {rig.make<TranslateDialog>(), {"CheckBox1", "FollowModesBox"}, "Button1", {"G91 X1", "G90 X1"},
            {"G91 X1", "G90 X3"}, torvel::kFollowModesLine},
        {rig.make<MirrorDialog>(), {"CheckBox1", "CheckBox3", "ArcCentresBox"}, "btnOK", {"G2 X10 Y0 I5 J0"},
            {"G3 X-10 Y0 I-5 J0"}, torvel::kArcCentresLine},
        {rig.make<ArcCentresDialog>(), {"RadioButton1", "PlanesBox"}, "Button1", {"G18 G0 X10 Z5", "G2 X20 I5 K0"},
            {"G18 G0 X10 Z5", "G2 X20 I15 K5"}, torvel::kPlanesLine},
    };
    for (const Case& c : cases) {
        ToolDialog* d = c.dialog.get();
        showAndWait(d);
        auto* option = child<QCheckBox>(d, c.clicks.back());
        QVERIFY(!option->isChecked());
        QCOMPARE(captionColour(option), greyTextColour());
        for (const char* name : c.clicks)
            click(d, name);
        QCOMPARE(captionColour(option), windowTextColour());
        if (auto* x = d->findChild<QLineEdit*>(QStringLiteral("Edit1")))
            x->setText(QStringLiteral("2"));
        rig.setLines(c.lines);
        click(d, c.apply);
        QCOMPARE(rig.lines(), c.result);
        QCOMPARE(lastDescription(rig.history()).last(), QString::fromUtf8(c.historyLine));
        // Kept for the next opening, like the dialog's other fields.
        showAndWait(d);
        QVERIFY(option->isChecked());
        d->hide();
    }
}

void TestToolDialogs::optionsAreOneGroupApartFromTheRange()
{
    Rig rig;
    struct Case {
        std::shared_ptr<ToolDialog> dialog;
        std::vector<const char*> options;
    };
    const Case cases[] = {
        {rig.make<SpacesDialog>(), {"RadioButton1", "RadioButton2"}},
        {rig.make<DeleteWordDialog>(), {"RadioButton2", "RadioButton1"}},
        {rig.make<ArcCentresDialog>(), {"RadioButton1", "RadioButton2"}},
        {rig.make<InsertInfoDialog>(), {"RadioButton1", "RadioButton2", "RadioButton5"}},
    };
    for (const Case& c : cases) {
        ToolDialog* d = c.dialog.get();
        showAndWait(d);
        auto* whole = child<QRadioButton>(d, "RadioButton3");
        auto* lines = child<QRadioButton>(d, "RadioButton4");
        auto checkedOptions = [&] {
            QStringList on;
            for (const char* name : c.options)
                if (child<QRadioButton>(d, name)->isChecked())
                    on << QString::fromLatin1(name);
            return on;
        };
        auto only = [](const char* name) { return QStringList {QString::fromLatin1(name)}; };
        // On the circle: a click right of a stretched option's text misses it.
        auto choose = [](QRadioButton* option) {
            QTest::mouseClick(option, Qt::LeftButton, {}, QPoint(6, option->height() / 2));
        };
        for (const char* name : c.options) {
            choose(child<QRadioButton>(d, name));
            QCOMPARE(checkedOptions(), only(name));
            QVERIFY(whole->isChecked());
        }
        choose(lines);
        QCOMPARE(checkedOptions(), only(c.options.back()));
        QVERIFY(!whole->isChecked());
        choose(whole);
        QVERIFY(whole->isChecked());

        // From the keyboard: an arrow moves the choice, and Tab leaves the options for the range.
        auto* first = child<QRadioButton>(d, c.options.front());
        choose(first);
        QTest::keyClick(first, Qt::Key_Down);
        QCOMPARE(checkedOptions(), only(c.options.at(1)));
        QVERIFY(whole->isChecked());
        QWidget* focus = QApplication::focusWidget();
        for (int i = 0; i < 4 && focus != whole; ++i) {
            QTest::keyClick(focus, Qt::Key_Tab);
            focus = QApplication::focusWidget();
        }
        QCOMPARE(focus, whole);
        d->reject();
    }
    // Enter in the word field does not run "Deletar Palavra": it has no default button.
    auto dialog = rig.make<DeleteWordDialog>();
    showAndWait(dialog.get());
    auto* word = child<QComboBox>(dialog.get(), "Textdel");
    word->setFocus();
    QTest::keyClicks(word, QStringLiteral("F150"));
    QTest::keyClick(word, Qt::Key_Return);
    QVERIFY(!dialog->applyButton()->isDefault());
    QVERIFY(rig.messages.isEmpty());
    QVERIFY(dialog->isVisible());
    QVERIFY(rig.history().items().empty());
}

void TestToolDialogs::everyControlHasASpokenName()
{
    Rig rig;
    const std::shared_ptr<QDialog> dialogs[]
        = {rig.make<SpacesDialog>(), rig.make<RenumberDialog>(), rig.make<ReplaceDialog>(), rig.make<CommentDialog>(),
            rig.make<TranslateDialog>(), rig.make<MirrorDialog>(), rig.make<DeleteWordDialog>(),
            rig.make<ArcCentresDialog>(), rig.make<InsertInfoDialog>(), rig.make<LineEditDialog>()};
    for (const auto& d : dialogs) {
        d->show();
        QVERIFY(QTest::qWaitForWindowExposed(d.get()));
        const QStringList unnamed = unnamedControls(d.get());
        QVERIFY2(unnamed.isEmpty(), qPrintable(d->objectName() + QStringLiteral(": ") + unnamed.join(u' ')));
        d->hide();
    }
}

void TestToolDialogs::arcsRefuseWithoutADirectionAndKeepTheRangeApart()
{
    Rig rig;
    auto dialog = rig.make<ArcCentresDialog>();
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Converter Coordenadas IJ "));
    auto* panel = child<QWidget>(dialog.get(), "Panel1");
    QVERIFY(panel->findChild<QRadioButton*>(QStringLiteral("RadioButton3")));
    rig.setLines({"N10 G00 X10 Y5", "N20 G02 I5 J0"});
    showAndWait(dialog.get());
    click(dialog.get(), "Button1");
    QCOMPARE(rig.messages, QStringList {QStringLiteral("error:Favor selecionar uma opção.")});
    QVERIFY(dialog->isVisible());
    QVERIFY(rig.history().items().empty());

    QTest::mouseClick(child<QRadioButton>(dialog.get(), "RadioButton1"), Qt::LeftButton);
    // The direction and the range are two groups: choosing one leaves the other.
    QVERIFY(child<QRadioButton>(dialog.get(), "RadioButton3")->isChecked());
    click(dialog.get(), "CheckBox1");
    QVERIFY(dialog->plusFlag());
    click(dialog.get(), "Button1");
    QCOMPARE(rig.lines(), (std::vector<std::string> {"N10 G00 X10 Y5", "N20 G02 I+15 J+5"}));
    QCOMPARE(lastDescription(rig.history()).last(), QStringLiteral("Convertido coordenadas \"I,J\" para absoluto"));
}

// The view holds only the lines around the screen; line commands still work
// on the program's caret row, wherever the screen was scrolled to.
void TestToolDialogs::lineCommandsFarDownALongProgram()
{
    QByteArray bytes;
    for (int i = 1; i <= 20000; ++i)
        bytes += QStringLiteral("N%1 G01 X%2\r\n").arg(i * 10).arg(i).toLatin1();
    OpenedWindow program(bytes);
    QVERIFY(program.active);
    MainWindow& window = *program.window;
    torvel::ProgramText& text = window.session().document().text;
    ProgramView* view = window.view();
    auto caretLineShown = [&] {
        const long long row = view->caretRow();
        const std::string_view line = text.line(row - 1);
        return view->text(static_cast<int>(row - 1 - view->windowStart())).trimmed()
            == QLatin1String(line.data(), static_cast<qsizetype>(line.size()));
    };

    view->setCaretRow(15000);
    window.deleteLine();
    QCOMPARE(text.count(), size_t(19999));
    QCOMPARE(std::string(text.line(14999)), std::string("N150010 G01 X15001"));
    QCOMPARE(view->caretRow(), 15000LL);
    QCOMPARE(view->lineCount(), 19999LL);
    QVERIFY(caretLineShown());

    // Scrolled far away, the caret row still names the line.
    view->rowScrollBar()->setValue(100);
    QVERIFY(view->firstVisibleRow() < 200);
    window.editLine();
    auto* edit = window.findChild<LineEditDialog*>();
    QVERIFY(edit && edit->isVisible());
    auto* field = child<QLineEdit>(edit, "Edit1");
    QCOMPARE(field->text(), QStringLiteral("N150010 G01 X15001"));
    field->setText(QStringLiteral("N150010 G00 Z5"));
    click(edit, "btnOK");
    QCOMPARE(std::string(text.line(14999)), std::string("N150010 G00 Z5"));
    QCOMPARE(view->caretRow(), 15000LL);
    QVERIFY(caretLineShown());

    window.insertLine();
    QCOMPARE(text.count(), size_t(20000));
    QCOMPARE(std::string(text.line(14999)), std::string());
    QVERIFY(caretLineShown());
    window.undoLastFunction();
    window.undoLastFunction();
    window.undoLastFunction();
    QCOMPARE(text.count(), size_t(20000));
    QCOMPARE(std::string(text.line(14999)), std::string("N150000 G01 X15000"));
    QCOMPARE(view->lineCount(), 20000LL);
}

void TestToolDialogs::throughTheMainWindow()
{
    OpenedWindow program("N10 G01 X10.5 Y-3\nN20 M30\nN30 G00 X0\n");
    QVERIFY(program.active);
    MainWindow& window = *program.window;
    Session& session = window.session();
    const std::string opened = session.document().text.text();
    QCOMPARE(session.document().text.count(), size_t(3));

    window.addOrRemoveSpaces();
    auto* spaces = window.findChild<SpacesDialog*>();
    QVERIFY(spaces && spaces->isVisible());
    click(spaces, "btnOK");
    QVERIFY(!spaces->isVisible());
    QCOMPARE(std::string(session.document().text.line(0)), std::string("N10G01X10.5Y-3"));
    QCOMPARE(window.view()->text(0).trimmed(), QStringLiteral("N10G01X10.5Y-3"));
    auto* list = window.findChild<QListWidget*>(QStringLiteral("ListView1"));
    QVERIFY(list);
    QCOMPARE(list->count(), 2);
    QCOMPARE(list->item(1)->text(), QStringLiteral("1-AddEspaço"));
    QVERIFY(window.windowState() & Qt::WindowMaximized);
    window.undoLastFunction();
    QCOMPARE(session.document().text.text(), opened);

    // Each line command is one entry, undone by one Ctrl+Z, and the caret follows it.
    QVERIFY(QTest::qWaitForWindowActive(&window));
    window.view()->setFocus();
    window.view()->setCaretRow(2);
    window.insertLine();
    QCOMPARE(std::string(session.document().text.line(1)), std::string());
    QCOMPARE(session.document().text.count(), size_t(4));
    QCOMPARE(list->item(2)->text(), QStringLiteral("2-Inserir"));
    QCOMPARE(window.view()->caretRow(), 2LL);
    QTest::keyClick(window.view(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(session.document().text.text(), opened);

    window.view()->setCaretRow(3);
    window.deleteLine();
    QCOMPARE(session.document().text.count(), size_t(2));
    QCOMPARE(list->item(3)->text(), QStringLiteral("3-Deletar"));
    QTest::keyClick(window.view(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(session.document().text.text(), opened);

    window.view()->setCaretRow(2);
    window.editLine();
    auto* edit = window.findChild<LineEditDialog*>();
    QVERIFY(edit && edit->isVisible());
    auto* field = child<QLineEdit>(edit, "Edit1");
    QCOMPARE(field->text(), QStringLiteral("N20 M30"));
    field->setText(QStringLiteral("N20 M02"));
    click(edit, "btnOK");
    QCOMPARE(std::string(session.document().text.line(1)), std::string("N20 M02"));
    QCOMPARE(list->item(4)->text(), QStringLiteral("4-Editar Linha"));

    // The history viewer shows the entry asked for.
    QVERIFY(window.historyViewer);
    window.historyViewer(4);
    auto* viewer = window.findChild<HistoryViewer*>();
    QVERIFY(viewer && viewer->isVisible());
    QVERIFY(viewer->descriptionText()->toPlainText().startsWith(QStringLiteral("Editado a linha número 2")));
    viewer->close();
}

QTEST_MAIN(TestToolDialogs)
#include "test_tool_dialogs.moc"

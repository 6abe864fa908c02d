#include "app/MainWindow.h"
#include "app/SplashWindow.h"
#include "framework/Session.h"
#include "editor/ProgramView.h"
#include "framework/ToolDialog.h"
#include "framework/VerificationDock.h"
#include "plot/BackplotDock.h"
#include "plot/PlotCanvas.h"

#include "helpers/OpenedWindow.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QStatusBar>
#include <QListView>
#include <QListWidget>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include <vector>

namespace {

// The object names the window and every dialog carried when their classes still had the
// form designer's names, as "name:class". Tests, automation and screen readers address
// them; a rename must keep every one. Each window's list holds the objects whose nearest
// window it is (a menu is a window of its own).
const struct {
    const char* window;
    std::vector<const char*> objects;
} kObjectNames[] = {
    {"Form12",
        {"Image1:QLabel", "Label3:QLabel", "Label1:QLabel", "Label2:QLabel", "Label4:QLabel", "Label5:QLabel",
            "Label6:QLabel", "Label7:QLabel", "Timer1:QTimer"}},
    {"Form1",
        {"ClientArea:QWidget", "Image1:QLabel", "ControlBar1:QMainWindow", "ToolBar2:QDockWidget", "Panel2:QWidget",
            "Label1:QLabel", "BT01:QToolButton", "BT02:QToolButton", "BT03:QToolButton", "BT04:QToolButton",
            "BT05:QToolButton", "BT06:QToolButton", "BT07:QToolButton", "BT08:QToolButton", "BT09:QToolButton",
            "BT10:QToolButton", "BT11:QToolButton", "BT12:QToolButton", "ToolBar3:QDockWidget", "Panel3:QWidget",
            "Label2:QLabel", "ListView1:QListWidget", "SynEditor:ProgramView", "RowScrollBar:QScrollBar",
            "MainMenu1:QMenuBar", "File1:QMenu", "Edit1:QMenu", "Exibir1:QMenu", "Ferramentas1:QMenu",
            "Configuraes1:QMenu", "Help1:QMenu", "ToolBar1:QToolBar", "SpeedButton2:QToolButton",
            "SpeedButton1:QToolButton", "SpeedButton9:QToolButton", "SpeedButton7:QToolButton", "Statusbar:QStatusBar",
            "Form13:AboutDialog", "Form16:ColourDialog", "Form14:ProgressWindow", "Form2:SpacesDialog",
            "Form3:RenumberDialog", "Form4:ReplaceDialog", "Form8:DeleteWordDialog", "Form5:CommentDialog",
            "Form10:InsertInfoDialog", "Form11:LineEditDialog", "Form9:ArcCentresDialog", "Form6:TranslateDialog",
            "Form7:MirrorDialog", "Form17:HistoryViewer", "Trajetoria:BackplotDock", "Trajetoria1:QAction",
            "Verificacao1:QAction", "TrajetoriaPainel:QWidget", "VistaXY:QToolButton", "VistaXZ:QToolButton",
            "VistaZX:QToolButton", "VistaYZ:QToolButton", "Vista3D:QToolButton", "Ajustar:QToolButton",
            "Anterior:QToolButton", "TrajetoriaDesenho:PlotCanvas", "TrajetoriaRodape:QLabel"}},
    {"File1",
        {"FileOpenItem:QAction", "FileSaveItem:QAction", "Salvarcomo1:QAction", "FileCloseItem:QAction",
            "FileExitItem:QAction"}},
    {"Edit1", {"Undo1:QAction", "Recortar1:QAction", "Copiar1:QAction", "Colar1:QAction"}},
    {"Exibir1", {"BarradeFerramentas1:QAction", "BarradeHistorico1:QAction"}},
    {"Ferramentas1",
        {"AdicionarouRemoverespaos1:QAction", "EditarN1:QAction", "SubstituirEliminar1:QAction", "Deletar1:QAction",
            "DeletarComentarSubstituir1:QAction", "InserirInformaes1:QAction", "InserirLinha1:QAction",
            "DeletarLinha1:QAction", "EditarLinha1:QAction", "AbsolutoIncremental1:QAction", "Translao1:QAction",
            "Espelhamento1:QAction", "SalvarReceita1:QAction", "AplicarReceita1:QAction"}},
    {"Configuraes1", {"Coresdasfunes1:QAction", "Fonte1:QAction"}},
    {"Help1", {"Contudoendice1:QAction", "HelpAboutItem:QAction"}},
    {"Form13",
        {"Shape1:QFrame", "Image1:QLabel", "Memo1:QPlainTextEdit", "Image2:QLabel", "Label2:QLabel",
            "BitBtn1:QPushButton"}},
    {"Form16",
        {"ColorDialog1:QColorDialog", "GroupBox1:QGroupBox", "Shape1:QFrame", "SpeedButton2:QToolButton",
            "Label1:QLabel", "Shape2:QFrame", "SpeedButton1:QToolButton", "Label2:QLabel", "Shape4:QFrame",
            "SpeedButton4:QToolButton", "Label4:QLabel", "Shape5:QFrame", "SpeedButton5:QToolButton", "Label5:QLabel",
            "Shape6:QFrame", "SpeedButton6:QToolButton", "Label6:QLabel", "Shape7:QFrame", "SpeedButton7:QToolButton",
            "Label7:QLabel", "Shape8:QFrame", "SpeedButton8:QToolButton", "Label8:QLabel", "Shape9:QFrame",
            "SpeedButton9:QToolButton", "Label9:QLabel", "Shape10:QFrame", "SpeedButton10:QToolButton",
            "Label10:QLabel", "Shape11:QFrame", "SpeedButton11:QToolButton", "Label11:QLabel", "Shape12:QFrame",
            "SpeedButton12:QToolButton", "Label12:QLabel", "Shape13:QFrame", "SpeedButton13:QToolButton",
            "Label13:QLabel", "Shape14:QFrame", "SpeedButton14:QToolButton", "Label14:QLabel", "Shape15:QFrame",
            "SpeedButton15:QToolButton", "Label15:QLabel", "Shape16:QFrame", "SpeedButton16:QToolButton",
            "Label16:QLabel", "Shape17:QFrame", "SpeedButton17:QToolButton", "Label17:QLabel", "Shape18:QFrame",
            "SpeedButton18:QToolButton", "Label18:QLabel", "Shape19:QFrame", "SpeedButton19:QToolButton",
            "Label19:QLabel", "Shape20:QFrame", "SpeedButton20:QToolButton", "Label20:QLabel",
            "SpeedButton3:QToolButton", "btnOK:QPushButton", "Button1:QPushButton"}},
    {"Form14", {"Gauge1:Gauge", "Button1:QPushButton", "LabelReceita:QLabel"}},
    {"Form2",
        {"GroupBox1:QGroupBox", "SpeedButton1:QToolButton", "RangeGroup:RangeGroup", "RadioButton3:QRadioButton",
            "RadioButton4:QRadioButton", "SpinEdit1:NumberField", "Label3:QLabel", "SpinEdit2:NumberField",
            "RadioButton1:QRadioButton", "RadioButton2:QRadioButton", "btnOK:QPushButton", "Button1:QPushButton"}},
    {"Form3",
        {"GroupBox1:QGroupBox", "SpeedButton1:QToolButton", "RangeGroup:RangeGroup", "RadioButton3:QRadioButton",
            "RadioButton4:QRadioButton", "SpinEdit1:NumberField", "LabelAte:QLabel", "SpinEdit2:NumberField",
            "CheckBox1:QCheckBox", "SpinEdit3:NumberField", "CheckBox3:QCheckBox", "Label2:QLabel",
            "SpinEdit4:NumberField", "Label3:QLabel", "SpinEdit5:NumberField", "btnOK:QPushButton",
            "Button1:QPushButton"}},
    {"Form4",
        {"GroupBox1:QGroupBox", "SpeedButton1:QToolButton", "RangeGroup:RangeGroup", "RadioButton3:QRadioButton",
            "RadioButton4:QRadioButton", "SpinEdit1:NumberField", "Label3:QLabel", "SpinEdit2:NumberField",
            "Textloc:QComboBox", "Textsub:QComboBox", "btnOK:QPushButton", "Button2:QPushButton"}},
    {"Form8",
        {"GroupBox1:QGroupBox", "SpeedButton1:QToolButton", "RangeGroup:RangeGroup", "RadioButton3:QRadioButton",
            "RadioButton4:QRadioButton", "SpinEdit1:NumberField", "Label3:QLabel", "SpinEdit2:NumberField",
            "Textdel:QComboBox", "RadioButton2:QRadioButton", "RadioButton1:QRadioButton", "Button1:QPushButton",
            "Button2:QPushButton"}},
    {"Form5",
        {"GroupBox1:QGroupBox", "SpeedButton1:QToolButton", "RangeGroup:RangeGroup", "RadioButton3:QRadioButton",
            "RadioButton4:QRadioButton", "SpinEdit1:NumberField", "Label3:QLabel", "SpinEdit2:NumberField",
            "Textloc:QComboBox", "Textini:QComboBox", "Textfim:QComboBox", "btnOK:QPushButton", "Button2:QPushButton"}},
    {"Form10",
        {"GroupBox1:QGroupBox", "SpeedButton1:QToolButton", "RangeGroup:RangeGroup", "RadioButton3:QRadioButton",
            "RadioButton4:QRadioButton", "SpinEdit1:NumberField", "Label3:QLabel", "SpinEdit2:NumberField",
            "Textloc:QComboBox", "TextIns:QComboBox", "RadioButton1:QRadioButton", "RadioButton2:QRadioButton",
            "RadioButton5:QRadioButton", "btnOK:QPushButton", "Button2:QPushButton"}},
    {"Form11",
        {"GroupBox1:QGroupBox", "SpeedButton1:QToolButton", "Edit1:QLineEdit", "btnOK:QPushButton",
            "Button2:QPushButton"}},
    {"Form9",
        {"GroupBox1:QGroupBox", "SpeedButton1:QToolButton", "Panel1:RangeGroup", "RadioButton3:QRadioButton",
            "RadioButton4:QRadioButton", "SpinEdit1:NumberField", "Label3:QLabel", "SpinEdit2:NumberField",
            "RadioButton1:QRadioButton", "RadioButton2:QRadioButton", "CheckBox1:QCheckBox", "Button1:QPushButton",
            "Button2:QPushButton"}},
    {"Form6",
        {"GroupBox1:QGroupBox", "SpeedButton1:QToolButton", "RangeGroup:RangeGroup", "RadioButton3:QRadioButton",
            "RadioButton4:QRadioButton", "SpinEdit1:NumberField", "Label3:QLabel", "SpinEdit2:NumberField",
            "CheckBox1:QCheckBox", "Edit1:QLineEdit", "CheckBox2:QCheckBox", "Edit2:QLineEdit", "CheckBox3:QCheckBox",
            "Edit3:QLineEdit", "CheckBox4:QCheckBox", "Button1:QPushButton", "Button2:QPushButton",
            "btnOK:QPushButton"}},
    {"Form7",
        {"GroupBox1:QGroupBox", "SpeedButton1:QToolButton", "RangeGroup:RangeGroup", "RadioButton3:QRadioButton",
            "RadioButton4:QRadioButton", "SpinEdit1:NumberField", "Label3:QLabel", "SpinEdit2:NumberField",
            "CheckBox1:QCheckBox", "CheckBox2:QCheckBox", "CheckBox3:QCheckBox", "CheckBox4:QCheckBox",
            "CheckBox5:QCheckBox", "CheckBox6:QCheckBox", "CheckBox7:QCheckBox", "btnOK:QPushButton",
            "Button2:QPushButton"}},
    {"Form17", {"GroupBox1:QGroupBox", "Memo2:QPlainTextEdit", "btnSalvarReceita:QPushButton", "Button1:QPushButton"}},
};

// The object named `name` whose nearest window is `top`, or none.
QObject* ownChild(QObject* top, const QString& name)
{
    for (QObject* o : top->findChildren<QObject*>(name)) {
        QObject* p = o->parent();
        while (p && !(p->isWidgetType() && static_cast<QWidget*>(p)->isWindow()))
            p = p->parent();
        if (p == top)
            return o;
    }
    return nullptr;
}

QStringList visibleToolDialogs(const MainWindow& window)
{
    QStringList shown;
    for (ToolDialog* d : window.findChildren<ToolDialog*>())
        if (d->isVisible())
            shown << d->objectName();
    return shown;
}

// Runs `open` and closes the modal dialog it shows; returns the dialog's object name.
QString modalOpenedBy(const std::function<void()>& open)
{
    QString name;
    QTimer::singleShot(0, qApp, [&name] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            name = modal->objectName();
            modal->close();
        }
    });
    open();
    return name;
}

} // namespace

class TestWindowAssembly : public QObject {
    Q_OBJECT
private slots:
    void everyObjectNameIsStillThere();
    void everyToolItemAndButtonOpensItsOwnDialog();
    void lineCommandItemsAndButtonsActAtOnce();
    void settingsHelpAndHistoryOpenTheirWindows();
    void mirroringIsCheckedInTheVerificationDock();
    void previewIsMadeOffTheWindowsThreadAndASecondClickStopsIt();
};

void TestWindowAssembly::everyObjectNameIsStillThere()
{
    SplashWindow splash;
    OpenedWindow program("N10 G00 X0\n");
    QVERIFY(program.window);
    MainWindow& window = *program.window;
    QCOMPARE(splash.objectName(), QStringLiteral("Form12"));
    QCOMPARE(window.objectName(), QStringLiteral("Form1"));
    int found = 0;
    for (const auto& w : kObjectNames) {
        const QString windowName = QLatin1String(w.window);
        QObject* top = windowName == QLatin1String("Form12") ? static_cast<QObject*>(&splash)
            : windowName == QLatin1String("Form1")           ? static_cast<QObject*>(&window)
                                                             : window.findChild<QObject*>(windowName);
        QVERIFY2(top, w.window);
        for (const char* entry : w.objects) {
            const QStringList parts = QString::fromLatin1(entry).split(QLatin1Char(':'));
            QObject* o = ownChild(top, parts[0]);
            QVERIFY2(o, qPrintable(windowName + QLatin1Char('/') + parts[0]));
            QVERIFY2(o->inherits(qPrintable(parts[1])), entry);
            ++found;
        }
    }
    QCOMPARE(found, 312);
}

void TestWindowAssembly::everyToolItemAndButtonOpensItsOwnDialog()
{
    OpenedWindow program("N10 G01 X10 Y5\nN20 G02 X20 Y5 I5 J0\n");
    QVERIFY(program.active);
    MainWindow& window = *program.window;
    const struct {
        const char* item;
        const char* button;
        const char* dialog;
    } tools[] = {
        {"AdicionarouRemoverespaos1", "BT01", "Form2"},
        {"EditarN1", "BT02", "Form3"},
        {"SubstituirEliminar1", "BT03", "Form4"},
        {"Deletar1", "BT04", "Form8"},
        {"DeletarComentarSubstituir1", "BT05", "Form5"},
        {"AbsolutoIncremental1", "BT06", "Form9"},
        {"Translao1", "BT07", "Form6"},
        {"Espelhamento1", "BT08", "Form7"},
        {"InserirInformaes1", "BT09", "Form10"},
        {"EditarLinha1", "BT10", "Form11"},
    };
    for (const auto& t : tools) {
        auto* item = window.findChild<QAction*>(QLatin1String(t.item));
        auto* button = window.findChild<QToolButton*>(QLatin1String(t.button));
        QVERIFY2(item && button, t.item);
        item->trigger();
        QCOMPARE(visibleToolDialogs(window), QStringList(QLatin1String(t.dialog)));
        window.findChild<ToolDialog*>(QLatin1String(t.dialog))->hide();
        button->click();
        QCOMPARE(visibleToolDialogs(window), QStringList(QLatin1String(t.dialog)));
        window.findChild<ToolDialog*>(QLatin1String(t.dialog))->hide();
    }
}

void TestWindowAssembly::lineCommandItemsAndButtonsActAtOnce()
{
    OpenedWindow program("N10\nN20\n");
    QVERIFY(program.active);
    MainWindow& window = *program.window;
    const torvel::ProgramText& text = window.session().document().text;
    auto* history = window.findChild<QListWidget*>(QStringLiteral("ListView1"));
    const struct {
        const char* item;
        const char* button;
        const char* entry;
        size_t lines;
    } commands[] = {
        {"InserirLinha1", "BT11", "Inserir", 3},
        {"DeletarLinha1", "BT12", "Deletar", 1},
    };
    for (const auto& c : commands) {
        window.findChild<QAction*>(QLatin1String(c.item))->trigger();
        QCOMPARE(visibleToolDialogs(window), QStringList());
        QCOMPARE(text.count(), c.lines);
        QVERIFY(history->item(history->count() - 1)->text().endsWith(QLatin1String(c.entry)));
        window.undoLastFunction();
        window.findChild<QToolButton*>(QLatin1String(c.button))->click();
        QCOMPARE(text.count(), c.lines);
        QVERIFY(history->item(history->count() - 1)->text().endsWith(QLatin1String(c.entry)));
        window.undoLastFunction();
    }
}

void TestWindowAssembly::settingsHelpAndHistoryOpenTheirWindows()
{
    OpenedWindow program("N10\n");
    QVERIFY(program.active);
    MainWindow& window = *program.window;
    const auto item = [&window](const char* name) {
        return [&window, name] { window.findChild<QAction*>(QLatin1String(name))->trigger(); };
    };
    QCOMPARE(modalOpenedBy(item("Coresdasfunes1")), QStringLiteral("Form16"));
    QCOMPARE(modalOpenedBy(item("HelpAboutItem")), QStringLiteral("Form13"));

    window.insertLine();
    auto* history = window.findChild<QListWidget*>(QStringLiteral("ListView1"));
    history->setFocus();
    history->setCurrentRow(1);
    QTest::keyClick(history, Qt::Key_Return);
    auto* viewer = window.findChild<QDialog*>(QStringLiteral("Form17"));
    QVERIFY(viewer && viewer->isVisible());
    viewer->close();
}

void TestWindowAssembly::mirroringIsCheckedInTheVerificationDock()
{
    OpenedWindow opened("G0 X0 Y0\nG2 X10 Y0 I5 J0\nG3 X20 Y0 I5 J0\nG0 X0\n");
    MainWindow& window = *opened.window;
    auto* dialog = window.findChild<ToolDialog*>(QStringLiteral("Form7"));
    auto* dock = window.findChild<VerificationDock*>(QStringLiteral("VerificationDock"));
    QVERIFY(dialog && dock);
    QVERIFY(!dock->isVisible());
    const auto mirror = [&](bool arcCentres) {
        window.findChild<QAction*>(QStringLiteral("Espelhamento1"))->trigger();
        for (const char* box : {"CheckBox1", "CheckBox3", "CheckBox4"})
            dialog->findChild<QCheckBox*>(QLatin1String(box))->setChecked(true);
        dialog->findChild<QCheckBox*>(QStringLiteral("ArcCentresBox"))->setChecked(arcCentres);
        dialog->findChild<QPushButton*>(QStringLiteral("btnOK"))->click();
        QTRY_VERIFY(dock->summary().startsWith(QStringLiteral("Trajetória conferida")));
    };
    // "Visualizar" shows the findings the function would produce and leaves the program as it is.
    window.findChild<QAction*>(QStringLiteral("Espelhamento1"))->trigger();
    for (const char* box : {"CheckBox1", "CheckBox3", "CheckBox4"})
        dialog->findChild<QCheckBox*>(QLatin1String(box))->setChecked(true);
    dialog->findChild<QPushButton*>(QStringLiteral("PreviewButton"))->click();
    QTRY_COMPARE(dock->summary(), QStringLiteral("Trajetória conferida: 2 avisos"));
    QCOMPARE(window.session().document().text.line(1), std::string_view("G2 X10 Y0 I5 J0"));
    QVERIFY(window.session().document().history.items().empty());
    QVERIFY(dialog->isVisible());
    // The lines found are marked in the drawing until the preview goes with its dialog.
    PlotCanvas* canvas = window.findChild<BackplotDock*>()->canvas();
    const std::vector<uint32_t> arcLines {1, 2};
    QCOMPARE(canvas->markedLines(), arcLines);
    dialog->hide();
    QVERIFY(canvas->markedLines().empty());
    QCOMPARE(dock->list()->model()->rowCount(), 0);

    mirror(false);
    QVERIFY(dock->isVisible());
    QCOMPARE(dock->summary(), QStringLiteral("Trajetória conferida: 2 avisos"));
    QCOMPARE(window.statusBar()->currentMessage(), dock->summary());
    QCOMPARE(canvas->markedLines(), arcLines);
    QListView* list = dock->list();
    const QModelIndex second = list->model()->index(1, 0);
    QCOMPARE(second.data().toString(), QStringLiteral("Linha 3: centro do arco não espelhado: I5"));
    list->setCurrentIndex(second);
    emit list->activated(second);
    QCOMPARE(window.view()->caretRow(), 3LL);
    // Undone, the text the findings were about is gone, and so are they.
    window.findChild<QAction*>(QStringLiteral("Undo1"))->trigger();
    QCOMPARE(list->model()->rowCount(), 0);
    QVERIFY(canvas->markedLines().empty());
    QCOMPARE(dock->summary(), VerificationDock::discardedText());
    QCOMPARE(window.statusBar()->currentMessage(), dock->summary());
    // Mirrored with the centres: the text is the geometry's mirror image and nothing is found.
    mirror(true);
    QCOMPARE(dock->summary(), QStringLiteral("Trajetória conferida: nenhum aviso"));
    QCOMPARE(list->model()->rowCount(), 0);
}

void TestWindowAssembly::previewIsMadeOffTheWindowsThreadAndASecondClickStopsIt()
{
    OpenedWindow opened("G0 X0 Y0\nG2 X10 Y0 I5 J0\nG1 X20\n");
    MainWindow& window = *opened.window;
    auto* dialog = window.findChild<ToolDialog*>(QStringLiteral("Form7"));
    auto* dock = window.findChild<VerificationDock*>(QStringLiteral("VerificationDock"));
    window.findChild<QAction*>(QStringLiteral("Espelhamento1"))->trigger();
    dialog->findChild<QCheckBox*>(QStringLiteral("CheckBox1"))->setChecked(true);
    QPushButton* button = dialog->previewButton();
    // The click returns before the result: the button now stops the preview, and stopped,
    // nothing of it is shown or checked.
    button->click();
    QCOMPARE(button->text(), QStringLiteral("Parar"));
    button->click();
    QCOMPARE(button->text(), QStringLiteral("Visualizar"));
    QTest::qWait(100);
    QVERIFY(!dock->showsCheck());
    // Let run, the result arrives and is checked; the program stays as it was.
    button->click();
    QTRY_COMPARE(dock->summary(), QStringLiteral("Trajetória conferida: 1 aviso"));
    QCOMPARE(button->text(), QStringLiteral("Visualizar"));
    QCOMPARE(window.session().document().text.line(1), std::string_view("G2 X10 Y0 I5 J0"));
    QVERIFY(window.session().document().history.items().empty());
    QVERIFY(dialog->isVisible());
    dialog->hide();
}

QTEST_MAIN(TestWindowAssembly)
#include "test_window_assembly.moc"

#include "tools/ToolsInstaller.h"

#include "app/frmMain.h"
#include "core/LineCommands.h"
#include "framework/Session.h"
#include "framework/ToolRunner.h"
#include "framework/Unit14.h"
#include "framework/Unit17.h"
#include "tools/Unit10.h"
#include "tools/Unit11.h"
#include "tools/Unit2.h"
#include "tools/Unit3.h"
#include "tools/Unit4.h"
#include "tools/Unit5.h"
#include "tools/Unit6.h"
#include "tools/Unit7.h"
#include "tools/Unit8.h"
#include "tools/Unit9.h"

void installTools(TForm1& window)
{
    Session& session = window.session();
    auto* progress = new TForm14(&window);
    auto* runner = new ToolRunner(session, &window, progress, &window);

    const auto dialog = [&](const char* menuName, ToolDialog* dlg) {
        window.setToolAction(QString::fromLatin1(menuName), [dlg] { dlg->showModal(); });
    };
    dialog("AdicionarouRemoverespaos1", new TForm2(session, *runner, &window));
    dialog("EditarN1", new TForm3(session, *runner, &window));
    dialog("SubstituirEliminar1", new TForm4(session, *runner, &window));
    dialog("Deletar1", new TForm8(session, *runner, &window));
    dialog("DeletarComentarSubstituir1", new TForm5(session, *runner, &window));
    dialog("InserirInformaes1", new TForm10(session, *runner, &window));
    dialog("EditarLinha1", new TForm11(session, *runner, &window));
    dialog("AbsolutoIncremental1", new TForm9(session, *runner, &window));
    dialog("Translao1", new TForm6(session, *runner, &window));
    dialog("Espelhamento1", new TForm7(session, *runner, &window));

    // The line commands act at once on the caret line.
    window.setToolAction(QStringLiteral("InserirLinha1"), [&session, runner] {
        const long long row = session.caretRow();
        runner->edit(
            torvel::kInsertLineTag, [row](torvel::ProgramText& text) { return torvel::insertLine(text, row); });
    });
    window.setToolAction(QStringLiteral("DeletarLinha1"), [&session, runner] {
        const long long row = session.caretRow();
        runner->edit(
            torvel::kDeleteLineTag, [row](torvel::ProgramText& text) { return torvel::deleteLine(text, row); });
    });

    auto* viewer = new TForm17(session, &window);
    window.showHistoryViewer = [viewer](int selectedIndex) { viewer->showFor(selectedIndex); };
}

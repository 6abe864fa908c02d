#pragma once

#include "core/Settings.h"

#include <memory>

#include <QFont>
#include <QHash>
#include <QMainWindow>
#include <QPoint>
#include <QSize>
#include <QString>

#include <functional>
#include <optional>

class QAction;
class QDockWidget;
class QLabel;
class QListWidget;
class QMenu;
class QToolBar;
class QToolButton;
class QsciLexer;
class Session;
class TSynEdit;

// The main window: menus, tool bars, the tools and history bars, the program
// view and the logo. It owns the session that the dialogs borrow.
class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    // programFolder: where Torvel.ini and Ajuda/ are looked for; empty means the
    // executable's folder (tests pass a folder of their own).
    explicit TForm1(QWidget* parent = nullptr, const QString& programFolder = QString());
    ~TForm1() override;

    Session& session() { return *session_; }
    TSynEdit* editor() const { return SynEditor; }

    // The nineteen colours read at start; the colour dialog changes them and
    // then the window rebuilds the highlighter.
    torvel::ColourValues& colourValues() { return colours_; }
    QString settingsPath() const { return settingsPath_; }
    QString captionBase() const { return captionBase_; }
    QString currentFile() const { return currentFile_; }
    bool fileOpen() const;
    int selectedHistoryIndex() const { return selectedHistoryIndex_; }

    // The tool dialogs are installed from outside: the Ferramentas item with
    // this object name, and its button, call `action`.
    void setToolAction(const QString& menuObjectName, std::function<void()> action);

    // Set by whoever creates the history viewer and the colour dialog.
    std::function<void(int selectedIndex)> showHistoryViewer;
    std::function<void()> showColourDialog;
    // The font dialog: the chosen font, or nothing when cancelled.
    std::function<std::optional<QFont>(const QFont& current)> chooseFont;
    // Opens a help page or another document with the desktop's handler.
    std::function<void(const QString& path)> openDocument;

    // Replaces the highlighter with a new one made from the current colours.
    void rebuildHighlighter();
    QsciLexer* highlighter() const { return highlighter_; }

    // Where the logo goes for a window of outer size `outer` (before a resize),
    // a dock area `controlBarWidth` wide and a logo of size `logo`: centred in
    // the room right of the dock area, halves rounded away from zero.
    static QPoint logoPosition(QSize outer, int controlBarWidth, QSize logo);

    // Handlers; the buttons call their menu item's handler.
    void FileOpenItemClick();
    void FileSaveItemClick();
    void Salvarcomo1Click();
    void FileCloseItemClick();
    void FileExitItemClick();
    void Undo1Click();
    void Copiar1Click();
    void Exibir1Click();
    void BarradeFerramentas1Click();
    void BarradeHistorico1Click();
    void Coresdasfunes1Click();
    void Fonte1Click();
    void Contudoendice1Click();
    void HelpAboutItemClick();
    void ListView1Click(int index);
    void ListView1DblClick();
    void AdicionarouRemoverespaos1Click();
    void EditarN1Click();
    void SubstituirEliminar1Click();
    void Deletar1Click();
    void DeletarComentarSubstituir1Click();
    void InserirInformaes1Click();
    void InserirLinha1Click();
    void DeletarLinha1Click();
    void EditarLinha1Click();
    void AbsolutoIncremental1Click();
    void Translao1Click();
    void Espelhamento1Click();
    void SpeedButton1Click() { FileSaveItemClick(); }
    void SpeedButton2Click() { FileOpenItemClick(); }
    void SpeedButton7Click() { Undo1Click(); }
    void SpeedButton9Click() { Salvarcomo1Click(); }

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    void FormCanResize(QSize outerBefore);
    void placeLogo();
    void buildMenus();
    void buildToolBar();
    QDockWidget* buildToolsBar();
    QDockWidget* buildHistoryBar();
    void buildClientArea();
    QAction* addItem(QMenu* menu, const char* name, const QString& text, void (TForm1::*handler)(),
        const QKeySequence& shortcut = QKeySequence());
    QToolButton* addToolButton(QWidget* parent, const char* name, const QString& hint, const QString& icon,
        void (TForm1::*handler)(), QSize size);
    void runTool(const QString& menuObjectName);
    void readSettings();
    void openHelpPage(const QString& path);
    void controlBarChanged();

    // Close step: asks the close prompt, saves or not, closes. Empties the prompt.
    void closeStep();
    // Writes the text to `path`; false (after an error box) when it could not.
    bool writeProgram(const QString& path);
    void closeProgram();
    void showTitle();
    void refreshHistoryList();
    void refreshView();

    Session* session_;
    torvel::ColourValues colours_ {};
    QString fontName_;
    int fontSize_ = 0;
    QString captionBase_;
    QString currentFile_;
    QString closePrompt_;
    QString lastChosen_;
    QString settingsPath_;
    // The colour dialog keeps a reference to the settings file it writes.
    std::unique_ptr<torvel::SettingsFile> settingsFile_;
    int selectedHistoryIndex_ = -1;
    QsciLexer* highlighter_ = nullptr;
    QHash<QString, std::function<void()>> toolActions_;
    QSize logoSize_;
    QPoint logoPlace_;
    QWidget* aboutBox_ = nullptr;

    QWidget* client_;
    QToolBar* ToolBar1;
    QMainWindow* ControlBar1;
    QDockWidget* ToolBar2;
    QDockWidget* ToolBar3;
    QListWidget* ListView1;
    TSynEdit* SynEditor;
    QLabel* Image1;
    QToolButton* SpeedButton7;
    QMenu* Exibir1;
    QAction* BarradeFerramentas1;
    QAction* BarradeHistorico1;
};

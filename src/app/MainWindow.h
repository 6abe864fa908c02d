#pragma once

#include "core/GoToTarget.h"
#include "core/RecentFiles.h"
#include "core/Settings.h"

#include <QFont>
#include <QHash>
#include <QList>
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
class FindBar;
class ProgramFind;
class ProgramView;
class ProgramWatcher;
class Session;

// The main window: menus, tool bars, the tools and history bars, the program
// view and the logo. It owns the session that the dialogs borrow; the dialogs
// themselves are made and handed in by the window's assembly.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // programFolder: where Torvel.ini and Ajuda/ are looked for; empty means the
    // executable's folder (tests pass a folder of their own).
    explicit MainWindow(QWidget* parent = nullptr, const QString& programFolder = QString());
    ~MainWindow() override;

    Session& session() { return *session_; }
    ProgramView* view() const { return view_; }

    // The nineteen colours read at start; the colour dialog changes them and
    // then the window rebuilds the highlighter.
    torvel::ColourValues& colourValues() { return colours_; }
    QString settingsPath() const { return settingsPath_; }
    QString captionBase() const { return captionBase_; }
    QString currentFile() const { return currentFile_; }
    bool fileOpen() const;
    int selectedHistoryIndex() const { return selectedHistoryIndex_; }

    // The Ferramentas item with this object name, and its button, call `action`.
    void setToolAction(const QString& menuObjectName, std::function<void()> action);

    // The dialogs, handed in by whoever makes them; unset, their items do nothing.
    std::function<void(int selectedIndex)> historyViewer;
    std::function<void()> colourDialog;
    std::function<void()> aboutBox;
    // The font dialog: the chosen font, or nothing when cancelled.
    std::function<std::optional<QFont>(const QFont& current)> fontDialog;
    // Opens a help page or another document with the desktop's handler.
    std::function<void(const QString& path)> openDocument;
    // "Ir para": the 0-based line chosen, asking `resolve` what a typed target means; nothing when cancelled.
    std::function<std::optional<long long>(
        long long lines, const std::function<torvel::GoToResult(const QString& typed)>& resolve)>
        goToDialog;

    // Opens a program named on the command line, the caret on `line` (1-based) when given.
    void openAtStart(const QString& path, long long line = 0);
    // Opens `path` after the close question of the open program, as Arquivo › Abrir does.
    void openOther(const QString& path);
    const torvel::RecentFiles& recentFiles() const { return recent_; }
    // Whether a function changed the program since it was opened or saved.
    bool modified() const { return modified_; }

    // Adds an item that shows or hides a bar to the Exibir menu.
    void addBarItem(QAction* item);

    // Replaces the highlighter with a new one made from the current colours.
    void rebuildHighlighter();
    QsciLexer* highlighter() const { return highlighter_; }

    // Where the logo goes for a window of outer size `outer` (before a resize),
    // a dock area `controlBarWidth` wide and a logo of size `logo`: centred in
    // the room right of the dock area, halves rounded away from zero.
    static QPoint logoPosition(QSize outer, int controlBarWidth, QSize logo);

    // What the menu items do; each tool bar button does what its item does.
    void openFile();
    void saveFile();
    void saveFileAs();
    void closeFile();
    void exitProgram();
    void undoLastFunction();
    void copySelection();
    void showFindBar();
    void findNext();
    void findPrevious();
    void goToLine();
    void toggleToolsBar();
    void toggleHistoryBar();
    void showColourDialog();
    void chooseFont();
    void showHelpContents();
    void showAbout();
    void addOrRemoveSpaces();
    void renumberBlocks();
    void replaceWord();
    void deleteWord();
    void commentLines();
    void insertInformation();
    void insertLine();
    void deleteLine();
    void editLine();
    void convertArcCentres();
    void translateAxes();
    void mirrorAxes();
    void saveRecipe();
    void applyRecipe();
    // A click on a history item, or beside the items (-1).
    void selectHistoryItem(int index);
    void showSelectedHistory();

signals:
    // A program was opened and shown; the view's text is the session's.
    void programOpened();
    void programClosed();

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void startUp();
    // Once the window manager's frame is known, makes the restored size that of the frame.
    // `resized`: called for a resize rather than a change of state.
    void fitRestoredFrame(bool resized);
    void placeLogoFor(QSize outerBefore);
    void placeLogo();
    void buildMenus();
    void buildFileBar();
    QDockWidget* buildToolsBar();
    QDockWidget* buildHistoryBar();
    void buildClientArea();
    QAction* addItem(QMenu* menu, const char* name, const QString& text, void (MainWindow::*handler)(),
        const QKeySequence& shortcut = QKeySequence());
    QToolButton* addToolButton(QWidget* parent, const char* name, const QString& hint, const QString& icon,
        void (MainWindow::*handler)(), QSize size);
    void runTool(const QString& menuObjectName);
    void readSettings();
    void openHelpPage(const QString& path);
    void controlBarChanged();
    // Ticks the Exibir items as the bars stand when the menu opens.
    void showBarStates();

    void buildFindBar();
    void buildStatusBar();
    void showStatus();

    // Close step: asks the close prompt, saves or not, closes. Empties the prompt.
    void closeStep();
    // Asks the close question of the open program before another is opened; true when none is open after.
    bool closeBeforeOpening();
    // Reads `path` into the window (no question); false after an error box.
    // By value: a reload passes the current file, which closing the program empties.
    bool openProgram(QString path);
    void openRecent(const QString& path);
    void rememberProgram(const QString& path);
    void storeRecentFiles();
    void showRecentFiles();
    void programChangedOnDisk();
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
    int selectedHistoryIndex_ = -1;
    QsciLexer* highlighter_ = nullptr;
    QHash<QString, std::function<void()>> toolActions_;
    bool restoredFrameFitted_ = false;
    QSize logoSize_;
    QPoint logoPlace_;

    QWidget* client_;
    QToolBar* fileBar_;
    QMainWindow* dockArea_;
    QDockWidget* toolsBar_;
    QDockWidget* historyBar_;
    QListWidget* historyList_;
    ProgramView* view_;
    QLabel* logo_;
    QToolButton* undoButton_;
    QMenu* viewMenu_;
    QAction* toolsBarItem_;
    QAction* historyBarItem_;
    QMenu* fileMenu_;
    QList<QAction*> recentItems_;
    torvel::RecentFiles recent_;
    FindBar* findBar_;
    ProgramFind* find_;
    ProgramWatcher* watcher_;
    bool modified_ = false;
    bool askingReload_ = false;
    QLabel* caretLabel_;
    QLabel* linesLabel_;
    QLabel* encodingLabel_;
    QLabel* lineBreakLabel_;
    QLabel* modifiedLabel_;
};

#include "app/MainWindow.h"

#include "app/AppPaths.h"
#include "app/AppResources.h"
#include "app/ProgramFind.h"
#include "app/WindowAssembly.h"
#include "core/Encoding.h"
#include "core/Errors.h"
#include "core/ProgramFile.h"
#include "editor/ProgramView.h"
#include "framework/FileDialog.h"
#include "framework/FindBar.h"
#include "framework/MessageBox.h"
#include "framework/ProgramWatcher.h"
#include "framework/Session.h"
#include "highlight/GCodeLexer.h"

#include <QCloseEvent>
#include <QDesktopServices>
#include <QDockWidget>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QFontDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QResizeEvent>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>
#include <new>

namespace {

constexpr int kControlBarWidth = 147;
const QSize kRestoredSize(791, 613);
const QPoint kRestoredPlace(132, 77);

std::string pathBytes(const QString& path) { return QFile::encodeName(path).toStdString(); }

QString errorText(const torvel::Error& e) { return QFile::decodeName(e.what()); }

// Blanks and control characters on both ends do not make a file name.
QString trimmedName(const QString& s)
{
    qsizetype b = 0, e = s.size();
    while (b < e && s.at(b).unicode() <= 32)
        ++b;
    while (e > b && s.at(e - 1).unicode() <= 32)
        --e;
    return s.mid(b, e - b);
}

long long halfAwayFromZero(long long twice) { return twice >= 0 ? (twice + 1) / 2 : -((-twice + 1) / 2); }

QString thousands(long long n) { return QLocale(QLocale::Portuguese, QLocale::Brazil).toString(n); }

QString lineBreakName(torvel::LineBreak style)
{
    switch (style) {
    case torvel::LineBreak::Lf:
        return QStringLiteral("LF");
    case torvel::LineBreak::Cr:
        return QStringLiteral("CR");
    case torvel::LineBreak::CrLf:
        break;
    }
    return QStringLiteral("CR LF");
}

// The first local file among dropped things.
QString droppedFile(const QMimeData* data)
{
    if (!data || !data->hasUrls())
        return QString();
    for (const QUrl& url : data->urls())
        if (url.isLocalFile())
            return url.toLocalFile();
    return QString();
}

} // namespace

MainWindow::MainWindow(QWidget* parent, const QString& programFolder)
    : QMainWindow(parent)
    , session_(new Session(this))
{
    torvel::initResources();
    setObjectName(QStringLiteral("Form1"));
    session_->setProgramFolder(programFolder.isEmpty() ? AppPaths::programFolder() : programFolder);

    fontDialog = [this](const QFont& current) -> std::optional<QFont> {
        bool ok = false;
        const QFont f = QFontDialog::getFont(&ok, current, this);
        return ok ? std::optional<QFont>(f) : std::nullopt;
    };
    openDocument = [](const QString& path) { QDesktopServices::openUrl(QUrl::fromLocalFile(path)); };
    session_->helpOpener = [this](const QString& path) { openHelpPage(path); };
    session_->caretRow = [this] { return view_->caretRow(); };

    buildClientArea();
    buildMenus();
    buildFileBar();
    buildFindBar();
    buildStatusBar();
    watcher_ = new ProgramWatcher(this);
    connect(watcher_, &ProgramWatcher::changedOnDisk, this, &MainWindow::programChangedOnDisk);
    setAcceptDrops(true);

    resize(kRestoredSize);
    move(kRestoredPlace);
    startUp();

    connect(session_, &Session::textChanged, this, &MainWindow::refreshView);
    connect(session_, &Session::textChanged, this, [this] {
        modified_ = fileOpen();
        showStatus();
    });
    connect(view_, &ProgramView::caretMoved, this, &MainWindow::showStatus);
    connect(session_, &Session::historyChanged, this, &MainWindow::refreshHistoryList);
    connect(session_, &Session::undoAvailabilityChanged, undoButton_, &QWidget::setEnabled);
    connect(session_, &Session::followRequested, this, [this](long long row) { view_->setCaretRow(row + 1); });
    connect(session_, &Session::viewFocusRequested, this, [this] { view_->setFocus(Qt::OtherFocusReason); });
}

MainWindow::~MainWindow()
{
    // The view must let go of the highlighter before either is destroyed.
    view_->setHighlighter(nullptr);
}

void MainWindow::startUp()
{
    captionBase_ = QStringLiteral("Torvel");
    setWindowTitle(captionBase_);
    readSettings();

    const QString point = QLocale::system().decimalPoint();
    const char sep = point.isEmpty() ? '.' : static_cast<char>(point.at(0).toLatin1());
    session_->setDecimalSeparator(sep == ',' ? ',' : '.');

    rebuildHighlighter();
    view_->clearAll();
    view_->hide();
}

void MainWindow::readSettings()
{
    settingsPath_ = AppPaths::settingsFile(session_->programFolder());
    const torvel::SettingsFile file(pathBytes(settingsPath_));
    const torvel::Settings settings = file.read();
    if (settings.source != torvel::SettingsSource::Read) {
        // A file that is there but cannot be read is no missing one: say so once, when the window is up.
        if (settings.source != torvel::SettingsSource::Missing)
            QTimer::singleShot(0, this, [this, large = settings.source == torvel::SettingsSource::TooLarge] {
                MessageBox::error(this,
                    (large ? QStringLiteral("O arquivo de configurações %1 passa de 1 MB e não foi lido.")
                           : QStringLiteral("Não foi possível ler o arquivo de configurações %1."))
                            .arg(settingsPath_)
                        + QStringLiteral(" O Torvel começa com as cores e a fonte padrão."));
            });
        return;
    }
    recent_ = torvel::RecentFiles::read(file);
    showRecentFiles();
    colours_ = settings.colours;
    fontName_ = QString::fromUtf8(settings.fontName);
    fontSize_ = settings.fontSize;
    view_->setFontFace(fontName_);
    view_->setFontSize(fontSize_);
}

// ---------------------------------------------------------------- layout

void MainWindow::buildClientArea()
{
    client_ = new QWidget(this);
    client_->setObjectName(QStringLiteral("ClientArea"));
    QPalette white = client_->palette();
    white.setColor(QPalette::Window, Qt::white);
    client_->setPalette(white);
    client_->setAutoFillBackground(true);

    logo_ = new QLabel(client_);
    logo_->setObjectName(QStringLiteral("Image1"));
    const QPixmap logo(QStringLiteral(":/images/logo.jpg"));
    logo_->setPixmap(logo);
    logoSize_ = logo.isNull() ? QSize(500, 163) : logo.size();
    logo_->resize(logoSize_);

    dockArea_ = new QMainWindow(client_);
    // A main window is made a window of its own; this one lives inside ours.
    dockArea_->setWindowFlags(Qt::Widget);
    dockArea_->setObjectName(QStringLiteral("ControlBar1"));
    dockArea_->setPalette(QPalette());
    dockArea_->setAutoFillBackground(true);
    dockArea_->setDockOptions(QMainWindow::AnimatedDocks);
    dockArea_->setFixedWidth(kControlBarWidth);
    toolsBar_ = buildToolsBar();
    historyBar_ = buildHistoryBar();
    dockArea_->addDockWidget(Qt::LeftDockWidgetArea, toolsBar_, Qt::Vertical);
    dockArea_->addDockWidget(Qt::LeftDockWidgetArea, historyBar_, Qt::Vertical);

    view_ = new ProgramView(client_);

    // The find bar goes below the row of bars and view (see buildFindBar).
    auto* column = new QVBoxLayout(client_);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    auto* layout = new QHBoxLayout();
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    column->addLayout(layout, 1);
    layout->addWidget(dockArea_);
    layout->addWidget(view_, 1);
    layout->addStretch(0);
    logo_->lower();
    setCentralWidget(client_);
    client_->installEventFilter(this);

    // Docking reports a bar hidden and shown again on the way; the area is sized once things settle.
    for (QDockWidget* bar : {toolsBar_, historyBar_}) {
        connect(bar, &QDockWidget::topLevelChanged, this, &MainWindow::controlBarChanged, Qt::QueuedConnection);
        connect(bar, &QDockWidget::visibilityChanged, this, &MainWindow::controlBarChanged, Qt::QueuedConnection);
    }
    // Docked, a bar shows only its grip and buttons; floating, its window is named.
    connect(toolsBar_, &QDockWidget::topLevelChanged, this,
        [this](bool floating) { toolsBar_->setWindowTitle(floating ? QStringLiteral("Ferramentas") : QString()); });
    connect(historyBar_, &QDockWidget::topLevelChanged, this, [this](bool floating) {
        historyBar_->setWindowTitle(floating ? QStringLiteral("Histórico de Funções") : QString());
    });
}

QToolButton* MainWindow::addToolButton(QWidget* parent, const char* name, const QString& hint, const QString& icon,
    void (MainWindow::*handler)(), QSize size)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setToolTip(hint);
    button->setAccessibleName(hint);
    button->setIcon(QIcon(icon));
    button->setIconSize(size - QSize(8, 8));
    button->setFixedSize(size);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    connect(button, &QToolButton::clicked, this, handler);
    return button;
}

void MainWindow::buildFileBar()
{
    fileBar_ = new QToolBar(this);
    fileBar_->setObjectName(QStringLiteral("ToolBar1"));
    fileBar_->setMovable(false);
    fileBar_->setFloatable(false);
    fileBar_->setFixedHeight(37);
    fileBar_->setContextMenuPolicy(Qt::PreventContextMenu);
    const QSize size(28, 33);
    fileBar_->addWidget(addToolButton(fileBar_, "SpeedButton2", QStringLiteral("Abrir Arquivo"),
        QStringLiteral(":/icons/open.png"), &MainWindow::openFile, size));
    fileBar_->addSeparator();
    fileBar_->addWidget(addToolButton(fileBar_, "SpeedButton1", QStringLiteral("Salvar Arquivo"),
        QStringLiteral(":/icons/save.png"), &MainWindow::saveFile, size));
    fileBar_->addWidget(addToolButton(fileBar_, "SpeedButton9", QStringLiteral("Salvar Arquivo Como"),
        QStringLiteral(":/icons/save-as.png"), &MainWindow::saveFileAs, size));
    fileBar_->addSeparator();
    undoButton_ = addToolButton(fileBar_, "SpeedButton7", QStringLiteral("Desfazer Função"),
        QStringLiteral(":/icons/undo.png"), &MainWindow::undoLastFunction, size);
    undoButton_->setEnabled(false);
    fileBar_->addWidget(undoButton_);
    addToolBar(Qt::TopToolBarArea, fileBar_);
}

QDockWidget* MainWindow::buildToolsBar()
{
    auto* bar = new QDockWidget(dockArea_);
    bar->setObjectName(QStringLiteral("ToolBar2"));
    // Docked, the bar shows no title; this is what a screen reader says of it.
    bar->setAccessibleName(QStringLiteral("Barra de Ferramentas"));
    bar->setAllowedAreas(Qt::LeftDockWidgetArea);
    bar->setFeatures(
        QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable | QDockWidget::DockWidgetClosable);
    auto* panel = new QWidget(bar);
    panel->setObjectName(QStringLiteral("Panel2"));
    auto* box = new QVBoxLayout(panel);
    box->setContentsMargins(6, 4, 6, 6);
    auto* label = new QLabel(QStringLiteral("Ferramentas"), panel);
    label->setObjectName(QStringLiteral("Label1"));
    label->setAlignment(Qt::AlignCenter);
    box->addWidget(label);
    auto* grid = new QGridLayout();
    grid->setSpacing(2);
    struct Button {
        const char* name;
        const char* hint;
        const char* icon;
        void (MainWindow::*handler)();
    };
    const Button buttons[] = {
        {"BT01", "Adicionar ou Remover Espaços em Branco", "bt01-spaces", &MainWindow::addOrRemoveSpaces},
        {"BT02", "Editar Números dos Blocos", "bt02-renumber", &MainWindow::renumberBlocks},
        {"BT03", "Substituir Palavra", "bt03-replace", &MainWindow::replaceWord},
        {"BT04", "Deletar Palavra", "bt04-delete-word", &MainWindow::deleteWord},
        {"BT05", "Comentar Linha", "bt05-comment", &MainWindow::commentLines},
        {"BT06", "Converter coordenadas I J para Absoluto ou Incremental", "bt06-arcs-ij",
            &MainWindow::convertArcCentres},
        {"BT07", "Translação das coordenadas X Y Z", "bt07-translate", &MainWindow::translateAxes},
        {"BT08", "Aplicar Espelhamento as coordenadas X e Y", "bt08-mirror", &MainWindow::mirrorAxes},
        {"BT09", "Inserir Informações", "bt09-insert-info", &MainWindow::insertInformation},
        {"BT10", "Editar Linha", "bt10-edit-line", &MainWindow::editLine},
        {"BT11", "Inserir Linha", "bt11-insert-line", &MainWindow::insertLine},
        {"BT12", "Excluir Linha", "bt12-delete-line", &MainWindow::deleteLine},
    };
    int i = 0;
    for (const Button& b : buttons) {
        QToolButton* button = addToolButton(panel, b.name, QString::fromUtf8(b.hint),
            QStringLiteral(":/icons/%1.png").arg(QLatin1String(b.icon)), b.handler, QSize(28, 28));
        grid->addWidget(button, i / 3, i % 3);
        ++i;
    }
    box->addLayout(grid);
    box->setAlignment(grid, Qt::AlignHCenter);
    panel->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    bar->setWidget(panel);
    return bar;
}

QDockWidget* MainWindow::buildHistoryBar()
{
    auto* bar = new QDockWidget(dockArea_);
    bar->setObjectName(QStringLiteral("ToolBar3"));
    bar->setAccessibleName(QStringLiteral("Barra de Histórico"));
    bar->setAllowedAreas(Qt::LeftDockWidgetArea);
    bar->setFeatures(
        QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable | QDockWidget::DockWidgetClosable);
    auto* panel = new QWidget(bar);
    panel->setObjectName(QStringLiteral("Panel3"));
    auto* box = new QVBoxLayout(panel);
    box->setContentsMargins(6, 4, 6, 6);
    auto* label = new QLabel(QStringLiteral("Histórico de\nFunções"), panel);
    label->setObjectName(QStringLiteral("Label2"));
    label->setAlignment(Qt::AlignCenter);
    box->addWidget(label);
    historyList_ = new QListWidget(panel);
    historyList_->setObjectName(QStringLiteral("ListView1"));
    historyList_->setViewMode(QListView::ListMode);
    historyList_->setIconSize(QSize(16, 16));
    historyList_->setSelectionMode(QAbstractItemView::SingleSelection);
    historyList_->setFixedWidth(130);
    historyList_->setMinimumHeight(247);
    historyList_->setAccessibleName(QStringLiteral("Histórico de Funções"));
    historyList_->installEventFilter(this);
    historyList_->viewport()->installEventFilter(this);
    box->addWidget(historyList_, 1, Qt::AlignHCenter);
    bar->setWidget(panel);
    return bar;
}

QAction* MainWindow::addItem(
    QMenu* menu, const char* name, const QString& text, void (MainWindow::*handler)(), const QKeySequence& shortcut)
{
    QAction* action = menu->addAction(text);
    action->setObjectName(QString::fromLatin1(name));
    if (!shortcut.isEmpty())
        action->setShortcut(shortcut);
    action->setShortcutContext(Qt::WindowShortcut);
    if (handler)
        connect(action, &QAction::triggered, this, handler);
    return action;
}

void MainWindow::buildMenus()
{
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));
    bar->installEventFilter(this);

    QMenu* file = bar->addMenu(QStringLiteral("&Arquivo"));
    file->setObjectName(QStringLiteral("File1"));
    fileMenu_ = file;
    addItem(file, "FileOpenItem", QStringLiteral("&Abrir"), &MainWindow::openFile, QKeySequence(Qt::CTRL | Qt::Key_O));
    file->addSeparator();
    addItem(file, "FileSaveItem", QStringLiteral("&Salvar"), &MainWindow::saveFile, QKeySequence(Qt::CTRL | Qt::Key_S));
    addItem(file, "Salvarcomo1", QStringLiteral("Salvar &como..."), &MainWindow::saveFileAs);
    file->addSeparator();
    addItem(file, "FileCloseItem", QStringLiteral("&Fechar arquivo"), &MainWindow::closeFile);
    addItem(file, "FileExitItem", QStringLiteral("Sai&r"), &MainWindow::exitProgram);

    QMenu* edit = bar->addMenu(QStringLiteral("&Editar"));
    edit->setObjectName(QStringLiteral("Edit1"));
    addItem(edit, "Undo1", QStringLiteral("Undo"), &MainWindow::undoLastFunction, QKeySequence(Qt::CTRL | Qt::Key_Z));
    // Cut and paste have nothing to do in a read-only view; their keys stay with the menu.
    addItem(edit, "Recortar1", QStringLiteral("Recor&tar"), nullptr, QKeySequence(Qt::CTRL | Qt::Key_X));
    addItem(edit, "Copiar1", QStringLiteral("&Copiar"), &MainWindow::copySelection, QKeySequence(Qt::CTRL | Qt::Key_C));
    addItem(edit, "Colar1", QStringLiteral("C&olar"), nullptr, QKeySequence(Qt::CTRL | Qt::Key_V));
    edit->addSeparator();
    addItem(edit, "FindItem", QStringLiteral("&Localizar..."), &MainWindow::showFindBar,
        QKeySequence(Qt::CTRL | Qt::Key_F));
    addItem(
        edit, "FindNextItem", QStringLiteral("Localizar &próxima"), &MainWindow::findNext, QKeySequence(Qt::Key_F3));
    addItem(edit, "FindPreviousItem", QStringLiteral("Localizar &anterior"), &MainWindow::findPrevious,
        QKeySequence(Qt::SHIFT | Qt::Key_F3));
    addItem(edit, "GoToItem", QStringLiteral("&Ir para linha..."), &MainWindow::goToLine,
        QKeySequence(Qt::CTRL | Qt::Key_G));

    viewMenu_ = bar->addMenu(QStringLiteral("Exibir"));
    viewMenu_->setObjectName(QStringLiteral("Exibir1"));
    connect(viewMenu_, &QMenu::aboutToShow, this, &MainWindow::showBarStates);
    toolsBarItem_ = addItem(
        viewMenu_, "BarradeFerramentas1", QStringLiteral("Barra de Ferramentas"), &MainWindow::toggleToolsBar);
    historyBarItem_
        = addItem(viewMenu_, "BarradeHistorico1", QStringLiteral("Barra de Histórico"), &MainWindow::toggleHistoryBar);
    for (QAction* a : {toolsBarItem_, historyBarItem_}) {
        a->setCheckable(true);
        a->setChecked(true);
    }

    QMenu* tools = bar->addMenu(QStringLiteral("&Ferramentas"));
    tools->setObjectName(QStringLiteral("Ferramentas1"));
    addItem(tools, "AdicionarouRemoverespaos1", QStringLiteral("Adicionar ou Remover Espaços"),
        &MainWindow::addOrRemoveSpaces);
    addItem(tools, "EditarN1", QStringLiteral("Editar Nºs dos Blocos"), &MainWindow::renumberBlocks);
    tools->addSeparator();
    addItem(tools, "SubstituirEliminar1", QStringLiteral("Substituir Palavra"), &MainWindow::replaceWord);
    addItem(tools, "Deletar1", QStringLiteral("Deletar Palavra"), &MainWindow::deleteWord);
    addItem(tools, "DeletarComentarSubstituir1", QStringLiteral("Comentar Linha"), &MainWindow::commentLines);
    addItem(tools, "InserirInformaes1", QStringLiteral("Inserir Informações"), &MainWindow::insertInformation);
    addItem(tools, "InserirLinha1", QStringLiteral("Inserir Linha"), &MainWindow::insertLine);
    addItem(tools, "DeletarLinha1", QStringLiteral("Excluir Linha"), &MainWindow::deleteLine);
    addItem(tools, "EditarLinha1", QStringLiteral("Editar Linha"), &MainWindow::editLine);
    tools->addSeparator();
    addItem(tools, "AbsolutoIncremental1", QStringLiteral("Absoluto / Incremental"), &MainWindow::convertArcCentres);
    addItem(tools, "Translao1", QStringLiteral("Translação"), &MainWindow::translateAxes);
    addItem(tools, "Espelhamento1", QStringLiteral("Espelhamento"), &MainWindow::mirrorAxes);
    tools->addSeparator();
    addItem(tools, "SalvarReceita1", QStringLiteral("Salvar Receita..."), &MainWindow::saveRecipe);
    addItem(tools, "AplicarReceita1", QStringLiteral("Aplicar Receita..."), &MainWindow::applyRecipe);

    QMenu* settings = bar->addMenu(QStringLiteral("Configurações"));
    settings->setObjectName(QStringLiteral("Configuraes1"));
    addItem(settings, "Coresdasfunes1", QStringLiteral("Cores do Código G"), &MainWindow::showColourDialog);
    addItem(settings, "Fonte1", QStringLiteral("Fonte"), &MainWindow::chooseFont);

    QMenu* help = bar->addMenu(QStringLiteral("&Ajuda"));
    help->setObjectName(QStringLiteral("Help1"));
    addItem(help, "Contudoendice1", QStringLiteral("Contéudo e Índice"), &MainWindow::showHelpContents);
    help->addSeparator();
    addItem(help, "HelpAboutItem", QStringLiteral("&Sobre o Torvel"), &MainWindow::showAbout);
}

void MainWindow::controlBarChanged()
{
    // The dock area takes room only while it holds a shown, docked bar.
    const bool holds = (toolsBar_->isVisibleTo(dockArea_) && !toolsBar_->isFloating())
        || (historyBar_->isVisibleTo(dockArea_) && !historyBar_->isFloating());
    dockArea_->setVisible(holds);
}

// ---------------------------------------------------------------- logo

QPoint MainWindow::logoPosition(QSize outer, int controlBarWidth, QSize logo)
{
    const long long left = halfAwayFromZero(static_cast<long long>(outer.width()) + controlBarWidth - logo.width());
    const long long top = halfAwayFromZero(static_cast<long long>(outer.height()) - logo.height());
    return QPoint(static_cast<int>(left), static_cast<int>(top));
}

void MainWindow::placeLogoFor(QSize outerBefore)
{
    const int c = dockArea_->isVisibleTo(this) ? dockArea_->width() : 0;
    logoPlace_ = logoPosition(outerBefore, c, logoSize_);
    placeLogo();
}

void MainWindow::placeLogo()
{
    // The place counts from the top left of the area under the menu bar; the
    // logo itself lives in the client area, below the tool bar.
    const int menu = menuBar()->isVisibleTo(this) ? menuBar()->height() : 0;
    logo_->move(client_->mapFrom(this, QPoint(logoPlace_.x(), logoPlace_.y() + menu)));
}

void MainWindow::resizeEvent(QResizeEvent* event)
{
    const QSize frame = frameGeometry().size() - geometry().size();
    const QSize before = event->oldSize().isValid() ? event->oldSize() : event->size();
    QMainWindow::resizeEvent(event);
    placeLogoFor(before + frame);
    fitRestoredFrame(true);
}

void MainWindow::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        fitRestoredFrame(false);
}

void MainWindow::fitRestoredFrame(bool resized)
{
    // The size is set before the window has a frame; the frame is known only once the window
    // manager has framed the window, and the restored size is seen only when the window is
    // first in normal state, which a window manager may report before or after the size
    // itself. A size the user or the program chose since is left alone.
    if (restoredFrameFitted_ || !isVisible()
        || (windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen)))
        return;
    const QSize frame = frameGeometry().size() - geometry().size();
    if (frame.isNull())
        return;
    if (size() != kRestoredSize) {
        restoredFrameFitted_ = resized;
        return;
    }
    restoredFrameFitted_ = true;
    QTimer::singleShot(0, this, [this, frame] {
        if (windowState() != Qt::WindowNoState || size() != kRestoredSize)
            return;
        resize(kRestoredSize - frame);
        move(kRestoredPlace);
    });
}

// ---------------------------------------------------------------- program files

bool MainWindow::fileOpen() const { return !trimmedName(currentFile_).isEmpty(); }

void MainWindow::showTitle()
{
    setWindowTitle(
        fileOpen() ? captionBase_ + QStringLiteral(" - (") + currentFile_ + QStringLiteral(")") : captionBase_);
}

bool MainWindow::writeProgram(const QString& path)
{
    try {
        torvel::saveProgramFile(pathBytes(path), session_->document().text);
    } catch (const torvel::Error& e) {
        MessageBox::error(this, errorText(e));
        return false;
    }
    if (path == currentFile_)
        watcher_->noteOwnWrite();
    modified_ = false;
    showStatus();
    return true;
}

void MainWindow::closeProgram()
{
    torvel::Document& doc = session_->document();
    doc.history.clearList();
    refreshHistoryList();
    doc.text.clear();
    view_->clearAll();
    currentFile_.clear();
    watcher_->watch(QString());
    modified_ = false;
    view_->hide();
    showTitle();
    showStatus();
    doc.undo.reset(false);
    emit programClosed();
}

void MainWindow::closeStep()
{
    if (trimmedName(closePrompt_).isEmpty())
        closePrompt_ = QStringLiteral("Gostaria de salvar o arquivo ") + currentFile_ + QStringLiteral("?");
    if (fileOpen()) {
        switch (MessageBox::question(this, closePrompt_)) {
        case MessageBox::Yes:
            if (writeProgram(currentFile_))
                closeProgram();
            break;
        case MessageBox::No:
            closeProgram();
            break;
        default:
            break;
        }
    }
    closePrompt_.clear();
}

void MainWindow::closeFile() { closeStep(); }

bool MainWindow::closeBeforeOpening()
{
    closePrompt_ = QStringLiteral("O arquivo ") + currentFile_
        + QStringLiteral(" está aberto. Gostaria de salva-lo antes de abrir outro arquivo?");
    closeStep();
    return !fileOpen();
}

void MainWindow::openFile()
{
    // The dialog starts in the folder of the program open now, else of the last one.
    const QString start = fileOpen() ? currentFile_
        : !lastChosen_.isEmpty()     ? lastChosen_
        : recent_.paths().empty()    ? QString()
                                     : QFile::decodeName(QByteArray::fromStdString(recent_.paths().front()));
    if (!closeBeforeOpening())
        return;
    setWindowTitle(captionBase_);
    const QString path = FileDialog::openFile(this, start);
    if (!path.isEmpty())
        openProgram(path);
}

void MainWindow::openOther(const QString& path)
{
    if (closeBeforeOpening())
        openProgram(path);
}

void MainWindow::openAtStart(const QString& path, long long line)
{
    if (!openProgram(QFileInfo(path).absoluteFilePath()))
        return;
    if (line > 0)
        view_->goToRow(line - 1);
}

bool MainWindow::openProgram(QString path)
{
    // Read again over itself (a reload), the program is let go of first, without a question.
    if (fileOpen())
        closeProgram();
    lastChosen_ = path;
    torvel::Document& doc = session_->document();
    doc.history.clearList();
    refreshHistoryList();
    doc.text.clear();
    view_->clearAll();
    try {
        doc.text = torvel::loadProgramFile(pathBytes(path));
    } catch (const torvel::Error& e) {
        // The unread file is never named: a later save cannot overwrite it with nothing.
        MessageBox::error(this, errorText(e));
        return false;
    } catch (const std::bad_alloc&) {
        // A file larger than the memory can hold cannot be opened either.
        MessageBox::error(this, errorText(torvel::FileError::cannotOpen(pathBytes(path))));
        return false;
    }
    currentFile_ = path;
    const bool utf8 = torvel::showsAsUtf8(doc.text);
    session_->setUtf8Display(utf8);
    view_->setProgram(doc.text, utf8);
    view_->show();
    view_->setFocus(Qt::OtherFocusReason);
    showTitle();
    watcher_->watch(path);
    modified_ = false;
    rememberProgram(path);

    doc.undo.reset(true);
    doc.history.clearLog();
    session_->notifyUndoState();
    session_->notifyHistoryChanged();
    emit programOpened();
    find_->programReplaced();
    showStatus();
    return true;
}

void MainWindow::saveFile()
{
    if (fileOpen())
        writeProgram(currentFile_);
}

void MainWindow::saveFileAs()
{
    if (!fileOpen())
        return;
    const QString path = FileDialog::saveFile(this, currentFile_);
    if (path.isEmpty() || !writeProgram(path))
        return;
    currentFile_ = path;
    lastChosen_ = path;
    watcher_->watch(path);
    rememberProgram(path);
    showTitle();
}

// ---------------------------------------------------------------- recent programs, drops, changes on disk

void MainWindow::rememberProgram(const QString& path)
{
    recent_.push(pathBytes(path));
    storeRecentFiles();
}

void MainWindow::storeRecentFiles()
{
    try {
        recent_.write(torvel::SettingsFile(pathBytes(settingsPath_)));
    } catch (const torvel::Error&) {
        // The list is a convenience: a settings file that cannot be written must not stop the work.
    }
    showRecentFiles();
}

void MainWindow::showRecentFiles()
{
    // Later: the item chosen may be the one whose signal is running now.
    for (QAction* item : std::as_const(recentItems_)) {
        fileMenu_->removeAction(item);
        item->setObjectName(QString());
        item->deleteLater();
    }
    recentItems_.clear();
    if (recent_.paths().empty())
        return;
    recentItems_ << fileMenu_->addSeparator();
    int n = 0;
    for (const std::string& bytes : recent_.paths()) {
        const QString path = QFile::decodeName(QByteArray::fromStdString(bytes));
        QString shown = path;
        shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
        QAction* item = fileMenu_->addAction(QStringLiteral("&%1 %2").arg(QString::number(++n), shown));
        item->setObjectName(QStringLiteral("RecentFile%1").arg(n));
        item->setToolTip(path);
        connect(item, &QAction::triggered, this, [this, path] { openRecent(path); });
        recentItems_ << item;
    }
}

void MainWindow::openRecent(const QString& path)
{
    // A program that is gone leaves the list before anything else is touched.
    if (!QFileInfo(path).isFile()) {
        MessageBox::error(this, errorText(torvel::FileError::cannotOpen(pathBytes(path))));
        recent_.remove(pathBytes(path));
        storeRecentFiles();
        return;
    }
    openOther(path);
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event)
{
    if (!droppedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event)
{
    const QString path = droppedFile(event->mimeData());
    if (path.isEmpty())
        return;
    event->acceptProposedAction();
    openOther(path);
}

void MainWindow::programChangedOnDisk()
{
    if (!fileOpen() || askingReload_)
        return;
    askingReload_ = true;
    QString question = QStringLiteral("O arquivo foi alterado fora do Torvel. Recarregar?");
    if (modified_)
        question += QStringLiteral("\nAs funções aplicadas e não salvas serão perdidas.");
    const bool reload = MessageBox::confirm(this, question) == MessageBox::Yes;
    askingReload_ = false;
    if (!reload)
        return;
    const long long top = view_->firstVisibleRow();
    const long long row = view_->caretRow();
    if (openProgram(currentFile_)) {
        view_->scrollToRow(top);
        view_->setCaretRow(row);
    }
}

void MainWindow::exitProgram() { close(); }

void MainWindow::closeEvent(QCloseEvent* event)
{
    closePrompt_ = QStringLiteral("O arquivo ") + currentFile_
        + QStringLiteral(" está aberto. Gostaria de salva-lo antes de encerrar o programa Torvel?");
    closeStep();
    if (fileOpen())
        event->ignore();
    else
        event->accept();
}

// ---------------------------------------------------------------- view of the document

void MainWindow::refreshView() { view_->setProgram(session_->document().text, session_->utf8Display(), true); }

void MainWindow::refreshHistoryList()
{
    static const QIcon icon(QStringLiteral(":/icons/history.png"));
    const auto& items = session_->document().history.items();
    // Functions only add entries: the rows shown stay, and with them the user's selection and
    // scroll position. A list that was emptied (a file opened or closed) is built again.
    int shown = historyList_->count();
    bool prefix = static_cast<size_t>(shown) <= items.size();
    for (int row = 0; prefix && row < shown; ++row)
        prefix = historyList_->item(row)->text() == QString::fromUtf8(items[static_cast<size_t>(row)]);
    if (!prefix) {
        historyList_->clear();
        shown = 0;
    }
    for (size_t i = static_cast<size_t>(shown); i < items.size(); ++i)
        new QListWidgetItem(icon, QString::fromUtf8(items[i]), historyList_);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    // The bars above the client area settle after the first resize.
    if ((watched == client_ || watched == menuBar())
        && (event->type() == QEvent::Move || event->type() == QEvent::Resize))
        placeLogo();
    if (watched == historyList_ && event->type() == QEvent::KeyPress) {
        // Enter on the current item does what a click and a double-click on it do.
        const int key = static_cast<QKeyEvent*>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && historyList_->currentRow() >= 0) {
            selectHistoryItem(historyList_->currentRow());
            showSelectedHistory();
            return true;
        }
    }
    if (watched == historyList_->viewport()) {
        if (event->type() == QEvent::MouseButtonPress) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            const int row = historyList_->indexAt(mouse->position().toPoint()).row();
            if (row < 0) {
                // A click beside the items leaves no item current, as the list's own control does.
                historyList_->clearSelection();
                historyList_->setCurrentRow(-1);
            }
        } else if (event->type() == QEvent::MouseButtonRelease) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            selectHistoryItem(historyList_->indexAt(mouse->position().toPoint()).row());
        } else if (event->type() == QEvent::MouseButtonDblClick) {
            showSelectedHistory();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::selectHistoryItem(int index) { selectedHistoryIndex_ = index; }

void MainWindow::showSelectedHistory()
{
    if (historyList_->currentRow() >= 0 && historyViewer)
        historyViewer(selectedHistoryIndex_);
}

void MainWindow::undoLastFunction() { session_->undo(); }

void MainWindow::copySelection() { view_->copySelection(); }

// ---------------------------------------------------------------- find, go to, status

void MainWindow::buildFindBar()
{
    findBar_ = new FindBar(client_);
    // The client area is white behind the logo; the bar looks like the window's other bars.
    findBar_->setPalette(QPalette());
    findBar_->setAutoFillBackground(true);
    static_cast<QVBoxLayout*>(client_->layout())->addWidget(findBar_);
    find_ = new ProgramFind(*session_, *view_, *findBar_, this);
    connect(findBar_, &FindBar::closed, this, [this] {
        if (view_->isVisible())
            view_->setFocus();
    });
    // With the bar closed, F3 tells its result in the status bar.
    connect(find_, &ProgramFind::reported, this, [this](const QString& status) {
        if (!findBar_->isVisible())
            statusBar()->showMessage(status, 5000);
    });
}

void MainWindow::showFindBar()
{
    if (fileOpen())
        find_->openBar();
}

void MainWindow::findNext()
{
    if (fileOpen())
        find_->findNext();
}

void MainWindow::findPrevious()
{
    if (fileOpen())
        find_->findPrevious();
}

void MainWindow::goToLine()
{
    if (!fileOpen() || !goToDialog)
        return;
    const torvel::ProgramText& text = session_->document().text;
    const auto line = goToDialog(static_cast<long long>(text.count()),
        [&text](const QString& typed) { return torvel::resolveGoTo(text, typed.toStdString()); });
    if (line)
        view_->goToRow(*line);
}

void MainWindow::buildStatusBar()
{
    auto* status = new QStatusBar(this);
    status->setObjectName(QStringLiteral("Statusbar"));
    setStatusBar(status);
    const auto label = [status](QLabel*& out, const char* name, const QString& spoken) {
        out = new QLabel(status);
        out->setObjectName(QString::fromLatin1(name));
        out->setAccessibleName(spoken);
        out->setContentsMargins(6, 0, 6, 0);
        status->addPermanentWidget(out);
    };
    label(caretLabel_, "StatusCaret", QStringLiteral("Posição do cursor"));
    label(linesLabel_, "StatusLines", QStringLiteral("Número de linhas"));
    label(encodingLabel_, "StatusEncoding", QStringLiteral("Codificação"));
    label(lineBreakLabel_, "StatusLineBreak", QStringLiteral("Quebra de linha"));
    label(modifiedLabel_, "StatusModified", QStringLiteral("Modificado"));
    showStatus();
}

void MainWindow::showStatus()
{
    const bool open = fileOpen();
    for (QLabel* l : {caretLabel_, linesLabel_, encodingLabel_, lineBreakLabel_, modifiedLabel_})
        l->setVisible(open);
    if (!open)
        return;
    const torvel::ProgramText& text = session_->document().text;
    caretLabel_->setText(
        QStringLiteral("Linha %1, Coluna %2").arg(thousands(view_->caretRow()), thousands(view_->caretColumn())));
    linesLabel_->setText(text.count() == 1
            ? QStringLiteral("1 linha")
            : QStringLiteral("%1 linhas").arg(thousands(static_cast<long long>(text.count()))));
    encodingLabel_->setText(session_->utf8Display() ? QStringLiteral("UTF-8") : QStringLiteral("Windows-1252"));
    lineBreakLabel_->setText(lineBreakName(text.lineBreak()));
    modifiedLabel_->setText(modified_ ? QStringLiteral("Modificado") : QString());
    modifiedLabel_->setVisible(modified_);
}

// ---------------------------------------------------------------- view toggles

void MainWindow::showBarStates()
{
    toolsBarItem_->setChecked(toolsBar_->isVisibleTo(dockArea_) || (toolsBar_->isFloating() && toolsBar_->isVisible()));
    historyBarItem_->setChecked(
        historyBar_->isVisibleTo(dockArea_) || (historyBar_->isFloating() && historyBar_->isVisible()));
}

void MainWindow::addBarItem(QAction* item) { viewMenu_->addAction(item); }

void MainWindow::toggleToolsBar()
{
    toolsBar_->setVisible(toolsBarItem_->isChecked());
    controlBarChanged();
}

void MainWindow::toggleHistoryBar()
{
    historyBar_->setVisible(historyBarItem_->isChecked());
    controlBarChanged();
}

// ---------------------------------------------------------------- settings and help

void MainWindow::rebuildHighlighter()
{
    QsciLexer* previous = highlighter_;
    highlighter_ = attachHighlighter(*view_, colours_, this);
    delete previous;
}

void MainWindow::showColourDialog()
{
    if (colourDialog)
        colourDialog();
    rebuildHighlighter();
}

void MainWindow::chooseFont()
{
    fontName_ = view_->fontFace();
    fontSize_ = view_->fontSize();
    const std::optional<QFont> chosen = fontDialog ? fontDialog(QFont(fontName_, fontSize_)) : std::nullopt;
    if (!chosen)
        return;
    fontName_ = chosen->family();
    fontSize_ = chosen->pointSize();
    try {
        torvel::SettingsFile(pathBytes(settingsPath_)).writeFont(fontName_.toStdString(), fontSize_);
    } catch (const torvel::Error& e) {
        MessageBox::error(this, errorText(e));
        return;
    }
    view_->setFontFace(fontName_);
    view_->setFontSize(fontSize_);
}

void MainWindow::openHelpPage(const QString& path)
{
    const QString prefix = session_->programFolder() + QStringLiteral("Ajuda/");
    const QString page = path.startsWith(prefix) ? path.mid(prefix.size()) : path;
    if (openDocument)
        openDocument(AppPaths::helpPage(session_->programFolder(), page));
}

void MainWindow::showHelpContents() { session_->openHelp(QStringLiteral("index.htm")); }

void MainWindow::showAbout()
{
    if (aboutBox)
        aboutBox();
}

// ---------------------------------------------------------------- tools

void MainWindow::setToolAction(const QString& menuObjectName, std::function<void()> action)
{
    toolActions_.insert(menuObjectName, std::move(action));
}

void MainWindow::runTool(const QString& menuObjectName)
{
    const auto it = toolActions_.constFind(menuObjectName);
    if (it != toolActions_.constEnd() && *it)
        (*it)();
}

void MainWindow::addOrRemoveSpaces() { runTool(QStringLiteral("AdicionarouRemoverespaos1")); }
void MainWindow::renumberBlocks() { runTool(QStringLiteral("EditarN1")); }
void MainWindow::replaceWord() { runTool(QStringLiteral("SubstituirEliminar1")); }
void MainWindow::deleteWord() { runTool(QStringLiteral("Deletar1")); }
void MainWindow::commentLines() { runTool(QStringLiteral("DeletarComentarSubstituir1")); }
void MainWindow::insertInformation() { runTool(QStringLiteral("InserirInformaes1")); }
void MainWindow::insertLine() { runTool(QStringLiteral("InserirLinha1")); }
void MainWindow::deleteLine() { runTool(QStringLiteral("DeletarLinha1")); }
void MainWindow::editLine() { runTool(QStringLiteral("EditarLinha1")); }
void MainWindow::convertArcCentres() { runTool(QStringLiteral("AbsolutoIncremental1")); }
void MainWindow::translateAxes() { runTool(QStringLiteral("Translao1")); }
void MainWindow::mirrorAxes() { runTool(QStringLiteral("Espelhamento1")); }
void MainWindow::saveRecipe() { runTool(QStringLiteral("SalvarReceita1")); }
void MainWindow::applyRecipe() { runTool(QStringLiteral("AplicarReceita1")); }

#include "app/frmMain.h"

#include "app/AppPaths.h"
#include "core/Encoding.h"
#include "core/Errors.h"
#include "core/ProgramFile.h"
#include "editor/TSynEdit.h"
#include "framework/FileDialog.h"
#include "framework/MessageBox.h"
#include "framework/Session.h"

#if __has_include("app/AppResources.h")
#include "app/AppResources.h"
#endif
#if __has_include("app/Unit13.h")
#include "app/Unit13.h"
#endif
#if __has_include("highlight/Unit16.h")
#include "highlight/Unit16.h"
#endif
#if __has_include("highlight/SynHighlighterSample.h")
#include "highlight/SynHighlighterSample.h"
#define TORVEL_HAS_HIGHLIGHTER 1
#endif

#include <QCloseEvent>
#include <QDesktopServices>
#include <QDockWidget>
#include <QFile>
#include <QFontDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QMenuBar>
#include <QMouseEvent>
#include <QResizeEvent>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>
#include <new>

#if !__has_include("app/AppResources.h")
static void registerResources() { Q_INIT_RESOURCE(resources); }
#endif

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

void initialiseResources()
{
#if __has_include("app/AppResources.h")
    torvel::initResources();
#else
    static const bool done = (registerResources(), true);
    (void)done;
#endif
}

} // namespace

TForm1::TForm1(QWidget* parent, const QString& programFolder)
    : QMainWindow(parent)
    , session_(new Session(this))
{
    initialiseResources();
    setObjectName(QStringLiteral("Form1"));
    session_->setProgramFolder(programFolder.isEmpty() ? AppPaths::programFolder() : programFolder);

    chooseFont = [this](const QFont& current) -> std::optional<QFont> {
        bool ok = false;
        const QFont f = QFontDialog::getFont(&ok, current, this);
        return ok ? std::optional<QFont>(f) : std::nullopt;
    };
    openDocument = [](const QString& path) { QDesktopServices::openUrl(QUrl::fromLocalFile(path)); };
    session_->helpOpener = [this](const QString& path) { openHelpPage(path); };
    session_->caretRow = [this] { return SynEditor->caretRow(); };

    buildClientArea();
    buildMenus();
    buildToolBar();
    auto* status = new QStatusBar(this);
    status->setObjectName(QStringLiteral("Statusbar"));
    setStatusBar(status);

    resize(kRestoredSize);
    move(kRestoredPlace);
    FormCreate();

#if __has_include("app/Unit13.h")
    aboutBox_ = new TForm13(this);
#endif
#if __has_include("highlight/Unit16.h")
    settingsFile_ = std::make_unique<torvel::SettingsFile>(pathBytes(settingsPath_));
    auto* colourDialog = new TForm16(colours_, *settingsFile_, this);
    TForm16::Seams seams;
    seams.openHelp = [this](const QString& page) { session_->openHelp(page); };
    colourDialog->setSeams(std::move(seams));
    showColourDialog = [colourDialog] { colourDialog->exec(); };
#endif

    connect(session_, &Session::textChanged, this, &TForm1::refreshView);
    connect(session_, &Session::historyChanged, this, &TForm1::refreshHistoryList);
    connect(session_, &Session::undoAvailabilityChanged, SpeedButton7, &QWidget::setEnabled);
    connect(session_, &Session::followRequested, this, [this](long long row) { SynEditor->setCaretRow(row + 1); });
}

TForm1::~TForm1()
{
    // The view must let go of the highlighter before either is destroyed.
    SynEditor->setHighlighter(nullptr);
}

void TForm1::FormCreate()
{
    captionBase_ = QStringLiteral("Torvel");
    setWindowTitle(captionBase_);
    readSettings();

    const QString point = QLocale::system().decimalPoint();
    const char sep = point.isEmpty() ? '.' : static_cast<char>(point.at(0).toLatin1());
    session_->setDecimalSeparator(sep == ',' ? ',' : '.');

    rebuildHighlighter();
    SynEditor->clearAll();
    SynEditor->hide();
}

void TForm1::readSettings()
{
    settingsPath_ = AppPaths::settingsFile(session_->programFolder());
    const torvel::SettingsFile file(pathBytes(settingsPath_));
    if (!file.exists())
        return;
    const torvel::Settings settings = file.read();
    colours_ = settings.colours;
    fontName_ = QString::fromUtf8(settings.fontName);
    fontSize_ = settings.fontSize;
    SynEditor->setFontFace(fontName_);
    SynEditor->setFontSize(fontSize_);
}

// ---------------------------------------------------------------- layout

void TForm1::buildClientArea()
{
    client_ = new QWidget(this);
    client_->setObjectName(QStringLiteral("ClientArea"));
    QPalette white = client_->palette();
    white.setColor(QPalette::Window, Qt::white);
    client_->setPalette(white);
    client_->setAutoFillBackground(true);

    Image1 = new QLabel(client_);
    Image1->setObjectName(QStringLiteral("Image1"));
    const QPixmap logo(QStringLiteral(":/images/logo.jpg"));
    Image1->setPixmap(logo);
    logoSize_ = logo.isNull() ? QSize(500, 163) : logo.size();
    Image1->resize(logoSize_);

    ControlBar1 = new QMainWindow(client_);
    // A main window is made a window of its own; this one lives inside ours.
    ControlBar1->setWindowFlags(Qt::Widget);
    ControlBar1->setObjectName(QStringLiteral("ControlBar1"));
    ControlBar1->setPalette(QPalette());
    ControlBar1->setAutoFillBackground(true);
    ControlBar1->setDockOptions(QMainWindow::AnimatedDocks);
    ControlBar1->setFixedWidth(kControlBarWidth);
    ToolBar2 = buildToolsBar();
    ToolBar3 = buildHistoryBar();
    ControlBar1->addDockWidget(Qt::LeftDockWidgetArea, ToolBar2, Qt::Vertical);
    ControlBar1->addDockWidget(Qt::LeftDockWidgetArea, ToolBar3, Qt::Vertical);

    SynEditor = new TSynEdit(client_);

    auto* layout = new QHBoxLayout(client_);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(ControlBar1);
    layout->addWidget(SynEditor, 1);
    layout->addStretch(0);
    Image1->lower();
    setCentralWidget(client_);
    client_->installEventFilter(this);

    // Docking reports a bar hidden and shown again on the way; the area is sized once things settle.
    for (QDockWidget* bar : {ToolBar2, ToolBar3}) {
        connect(bar, &QDockWidget::topLevelChanged, this, &TForm1::controlBarChanged, Qt::QueuedConnection);
        connect(bar, &QDockWidget::visibilityChanged, this, &TForm1::controlBarChanged, Qt::QueuedConnection);
    }
    // Docked, a bar shows only its grip and buttons; floating, its window is named.
    connect(ToolBar2, &QDockWidget::topLevelChanged, this,
        [this](bool floating) { ToolBar2->setWindowTitle(floating ? QStringLiteral("Ferramentas") : QString()); });
    connect(ToolBar3, &QDockWidget::topLevelChanged, this, [this](bool floating) {
        ToolBar3->setWindowTitle(floating ? QStringLiteral("Histórico de Funções") : QString());
    });
}

QToolButton* TForm1::addToolButton(
    QWidget* parent, const char* name, const QString& hint, const QString& icon, void (TForm1::*handler)(), QSize size)
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

void TForm1::buildToolBar()
{
    ToolBar1 = new QToolBar(this);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setMovable(false);
    ToolBar1->setFloatable(false);
    ToolBar1->setFixedHeight(37);
    ToolBar1->setContextMenuPolicy(Qt::PreventContextMenu);
    const QSize size(28, 33);
    ToolBar1->addWidget(addToolButton(ToolBar1, "SpeedButton2", QStringLiteral("Abrir Arquivo"),
        QStringLiteral(":/icons/open.png"), &TForm1::SpeedButton2Click, size));
    ToolBar1->addSeparator();
    ToolBar1->addWidget(addToolButton(ToolBar1, "SpeedButton1", QStringLiteral("Salvar Arquivo"),
        QStringLiteral(":/icons/save.png"), &TForm1::SpeedButton1Click, size));
    ToolBar1->addWidget(addToolButton(ToolBar1, "SpeedButton9", QStringLiteral("Salvar Arquivo Como"),
        QStringLiteral(":/icons/save-as.png"), &TForm1::SpeedButton9Click, size));
    ToolBar1->addSeparator();
    SpeedButton7 = addToolButton(ToolBar1, "SpeedButton7", QStringLiteral("Desfazer Função"),
        QStringLiteral(":/icons/undo.png"), &TForm1::SpeedButton7Click, size);
    SpeedButton7->setEnabled(false);
    ToolBar1->addWidget(SpeedButton7);
    addToolBar(Qt::TopToolBarArea, ToolBar1);
}

QDockWidget* TForm1::buildToolsBar()
{
    auto* bar = new QDockWidget(ControlBar1);
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
        void (TForm1::*handler)();
    };
    const Button buttons[] = {
        {"BT01", "Adicionar ou Remover Espaços em Branco", "bt01-spaces", &TForm1::AdicionarouRemoverespaos1Click},
        {"BT02", "Editar Números dos Blocos", "bt02-renumber", &TForm1::EditarN1Click},
        {"BT03", "Substituir Palavra", "bt03-replace", &TForm1::SubstituirEliminar1Click},
        {"BT04", "Deletar Palavra", "bt04-delete-word", &TForm1::Deletar1Click},
        {"BT05", "Comentar Linha", "bt05-comment", &TForm1::DeletarComentarSubstituir1Click},
        {"BT06", "Converter coordenadas I J para Absoluto ou Incremental", "bt06-arcs-ij",
            &TForm1::AbsolutoIncremental1Click},
        {"BT07", "Translação das coordenadas X Y Z", "bt07-translate", &TForm1::Translao1Click},
        {"BT08", "Aplicar Espelhamento as coordenadas X e Y", "bt08-mirror", &TForm1::Espelhamento1Click},
        {"BT09", "Inserir Informações", "bt09-insert-info", &TForm1::InserirInformaes1Click},
        {"BT10", "Editar Linha", "bt10-edit-line", &TForm1::EditarLinha1Click},
        {"BT11", "Inserir Linha", "bt11-insert-line", &TForm1::InserirLinha1Click},
        {"BT12", "Excluir Linha", "bt12-delete-line", &TForm1::DeletarLinha1Click},
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

QDockWidget* TForm1::buildHistoryBar()
{
    auto* bar = new QDockWidget(ControlBar1);
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
    ListView1 = new QListWidget(panel);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    ListView1->setViewMode(QListView::ListMode);
    ListView1->setIconSize(QSize(16, 16));
    ListView1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListView1->setFixedWidth(130);
    ListView1->setMinimumHeight(247);
    ListView1->setAccessibleName(QStringLiteral("Histórico de Funções"));
    ListView1->installEventFilter(this);
    ListView1->viewport()->installEventFilter(this);
    box->addWidget(ListView1, 1, Qt::AlignHCenter);
    bar->setWidget(panel);
    return bar;
}

QAction* TForm1::addItem(
    QMenu* menu, const char* name, const QString& text, void (TForm1::*handler)(), const QKeySequence& shortcut)
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

void TForm1::buildMenus()
{
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));
    bar->installEventFilter(this);

    QMenu* file = bar->addMenu(QStringLiteral("&Arquivo"));
    file->setObjectName(QStringLiteral("File1"));
    addItem(
        file, "FileOpenItem", QStringLiteral("&Abrir"), &TForm1::FileOpenItemClick, QKeySequence(Qt::CTRL | Qt::Key_O));
    file->addSeparator();
    addItem(file, "FileSaveItem", QStringLiteral("&Salvar"), &TForm1::FileSaveItemClick,
        QKeySequence(Qt::CTRL | Qt::Key_S));
    addItem(file, "Salvarcomo1", QStringLiteral("Salvar &como..."), &TForm1::Salvarcomo1Click);
    file->addSeparator();
    addItem(file, "FileCloseItem", QStringLiteral("&Fechar arquivo"), &TForm1::FileCloseItemClick);
    addItem(file, "FileExitItem", QStringLiteral("Sai&r"), &TForm1::FileExitItemClick);

    QMenu* edit = bar->addMenu(QStringLiteral("&Editar"));
    edit->setObjectName(QStringLiteral("Edit1"));
    addItem(edit, "Undo1", QStringLiteral("Undo"), &TForm1::Undo1Click, QKeySequence(Qt::CTRL | Qt::Key_Z));
    // Cut and paste have nothing to do in a read-only view; their keys stay with the menu.
    addItem(edit, "Recortar1", QStringLiteral("Recor&tar"), nullptr, QKeySequence(Qt::CTRL | Qt::Key_X));
    addItem(edit, "Copiar1", QStringLiteral("&Copiar"), &TForm1::Copiar1Click, QKeySequence(Qt::CTRL | Qt::Key_C));
    addItem(edit, "Colar1", QStringLiteral("C&olar"), nullptr, QKeySequence(Qt::CTRL | Qt::Key_V));

    Exibir1 = bar->addMenu(QStringLiteral("Exibir"));
    Exibir1->setObjectName(QStringLiteral("Exibir1"));
    connect(Exibir1, &QMenu::aboutToShow, this, &TForm1::Exibir1Click);
    BarradeFerramentas1 = addItem(
        Exibir1, "BarradeFerramentas1", QStringLiteral("Barra de Ferramentas"), &TForm1::BarradeFerramentas1Click);
    BarradeHistorico1
        = addItem(Exibir1, "BarradeHistorico1", QStringLiteral("Barra de Histórico"), &TForm1::BarradeHistorico1Click);
    for (QAction* a : {BarradeFerramentas1, BarradeHistorico1}) {
        a->setCheckable(true);
        a->setChecked(true);
    }

    QMenu* tools = bar->addMenu(QStringLiteral("&Ferramentas"));
    tools->setObjectName(QStringLiteral("Ferramentas1"));
    addItem(tools, "AdicionarouRemoverespaos1", QStringLiteral("Adicionar ou Remover Espaços"),
        &TForm1::AdicionarouRemoverespaos1Click);
    addItem(tools, "EditarN1", QStringLiteral("Editar Nºs dos Blocos"), &TForm1::EditarN1Click);
    tools->addSeparator();
    addItem(tools, "SubstituirEliminar1", QStringLiteral("Substituir Palavra"), &TForm1::SubstituirEliminar1Click);
    addItem(tools, "Deletar1", QStringLiteral("Deletar Palavra"), &TForm1::Deletar1Click);
    addItem(tools, "DeletarComentarSubstituir1", QStringLiteral("Comentar Linha"),
        &TForm1::DeletarComentarSubstituir1Click);
    addItem(tools, "InserirInformaes1", QStringLiteral("Inserir Informações"), &TForm1::InserirInformaes1Click);
    addItem(tools, "InserirLinha1", QStringLiteral("Inserir Linha"), &TForm1::InserirLinha1Click);
    addItem(tools, "DeletarLinha1", QStringLiteral("Excluir Linha"), &TForm1::DeletarLinha1Click);
    addItem(tools, "EditarLinha1", QStringLiteral("Editar Linha"), &TForm1::EditarLinha1Click);
    tools->addSeparator();
    addItem(
        tools, "AbsolutoIncremental1", QStringLiteral("Absoluto / Incremental"), &TForm1::AbsolutoIncremental1Click);
    addItem(tools, "Translao1", QStringLiteral("Translação"), &TForm1::Translao1Click);
    addItem(tools, "Espelhamento1", QStringLiteral("Espelhamento"), &TForm1::Espelhamento1Click);

    QMenu* settings = bar->addMenu(QStringLiteral("Configurações"));
    settings->setObjectName(QStringLiteral("Configuraes1"));
    addItem(settings, "Coresdasfunes1", QStringLiteral("Cores do Código G"), &TForm1::Coresdasfunes1Click);
    addItem(settings, "Fonte1", QStringLiteral("Fonte"), &TForm1::Fonte1Click);

    QMenu* help = bar->addMenu(QStringLiteral("&Ajuda"));
    help->setObjectName(QStringLiteral("Help1"));
    addItem(help, "Contudoendice1", QStringLiteral("Contéudo e Índice"), &TForm1::Contudoendice1Click);
    help->addSeparator();
    addItem(help, "HelpAboutItem", QStringLiteral("&Sobre o Torvel"), &TForm1::HelpAboutItemClick);
}

void TForm1::controlBarChanged()
{
    // The dock area takes room only while it holds a shown, docked bar.
    const bool holds = (ToolBar2->isVisibleTo(ControlBar1) && !ToolBar2->isFloating())
        || (ToolBar3->isVisibleTo(ControlBar1) && !ToolBar3->isFloating());
    ControlBar1->setVisible(holds);
}

// ---------------------------------------------------------------- logo

QPoint TForm1::logoPosition(QSize outer, int controlBarWidth, QSize logo)
{
    const long long left = halfAwayFromZero(static_cast<long long>(outer.width()) + controlBarWidth - logo.width());
    const long long top = halfAwayFromZero(static_cast<long long>(outer.height()) - logo.height());
    return QPoint(static_cast<int>(left), static_cast<int>(top));
}

void TForm1::FormCanResize(QSize outerBefore)
{
    const int c = ControlBar1->isVisibleTo(this) ? ControlBar1->width() : 0;
    logoPlace_ = logoPosition(outerBefore, c, logoSize_);
    placeLogo();
}

void TForm1::placeLogo()
{
    // The place counts from the top left of the area under the menu bar; the
    // logo itself lives in the client area, below the tool bar.
    const int menu = menuBar()->isVisibleTo(this) ? menuBar()->height() : 0;
    Image1->move(client_->mapFrom(this, QPoint(logoPlace_.x(), logoPlace_.y() + menu)));
}

void TForm1::resizeEvent(QResizeEvent* event)
{
    const QSize frame = frameGeometry().size() - geometry().size();
    const QSize before = event->oldSize().isValid() ? event->oldSize() : event->size();
    QMainWindow::resizeEvent(event);
    FormCanResize(before + frame);
}

// ---------------------------------------------------------------- program files

bool TForm1::fileOpen() const { return !trimmedName(currentFile_).isEmpty(); }

void TForm1::showTitle()
{
    setWindowTitle(
        fileOpen() ? captionBase_ + QStringLiteral(" - (") + currentFile_ + QStringLiteral(")") : captionBase_);
}

bool TForm1::writeProgram(const QString& path)
{
    try {
        torvel::saveProgramFile(pathBytes(path), session_->document().text);
    } catch (const torvel::Error& e) {
        MessageBox::error(this, errorText(e));
        return false;
    }
    return true;
}

void TForm1::closeProgram()
{
    torvel::Document& doc = session_->document();
    doc.history.clearList();
    refreshHistoryList();
    doc.text.clear();
    SynEditor->clearAll();
    currentFile_.clear();
    SynEditor->hide();
    showTitle();
    doc.undo.reset(false);
}

void TForm1::closeStep()
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

void TForm1::FileCloseItemClick() { closeStep(); }

void TForm1::FileOpenItemClick()
{
    closePrompt_ = QStringLiteral("O arquivo ") + currentFile_
        + QStringLiteral(" está aberto. Gostaria de salva-lo antes de abrir outro arquivo?");
    closeStep();
    if (fileOpen())
        return;
    setWindowTitle(captionBase_);
    const QString path = FileDialog::openFile(this, lastChosen_);
    if (path.isEmpty())
        return;
    lastChosen_ = path;

    torvel::Document& doc = session_->document();
    doc.history.clearList();
    refreshHistoryList();
    doc.text.clear();
    SynEditor->clearAll();
    try {
        doc.text = torvel::loadProgramFile(pathBytes(path));
    } catch (const torvel::Error& e) {
        // The unread file is never named: a later save cannot overwrite it with nothing.
        MessageBox::error(this, errorText(e));
        return;
    } catch (const std::bad_alloc&) {
        // A file larger than the memory can hold cannot be opened either.
        MessageBox::error(this, errorText(torvel::FileError::cannotOpen(pathBytes(path))));
        return;
    }
    currentFile_ = path;
    const bool utf8 = torvel::showsAsUtf8(doc.text);
    session_->setUtf8Display(utf8);
    SynEditor->setProgram(doc.text, utf8);
    SynEditor->show();
    showTitle();

    doc.undo.reset(true);
    doc.history.clearLog();
    session_->notifyUndoState();
    session_->notifyHistoryChanged();
}

void TForm1::FileSaveItemClick()
{
    if (fileOpen())
        writeProgram(currentFile_);
}

void TForm1::Salvarcomo1Click()
{
    if (!fileOpen())
        return;
    const QString path = FileDialog::saveFile(this, currentFile_);
    if (path.isEmpty() || !writeProgram(path))
        return;
    currentFile_ = path;
    showTitle();
}

void TForm1::FileExitItemClick() { close(); }

void TForm1::closeEvent(QCloseEvent* event)
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

void TForm1::refreshView() { SynEditor->setProgram(session_->document().text, session_->utf8Display(), true); }

void TForm1::refreshHistoryList()
{
    static const QIcon icon(QStringLiteral(":/icons/history.png"));
    const auto& items = session_->document().history.items();
    ListView1->clear();
    for (const std::string& item : items)
        new QListWidgetItem(icon, QString::fromUtf8(item), ListView1);
}

bool TForm1::eventFilter(QObject* watched, QEvent* event)
{
    // The bars above the client area settle after the first resize.
    if ((watched == client_ || watched == menuBar())
        && (event->type() == QEvent::Move || event->type() == QEvent::Resize))
        placeLogo();
    if (watched == ListView1 && event->type() == QEvent::KeyPress) {
        // Enter on the current item does what a click and a double-click on it do.
        const int key = static_cast<QKeyEvent*>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && ListView1->currentRow() >= 0) {
            ListView1Click(ListView1->currentRow());
            ListView1DblClick();
            return true;
        }
    }
    if (watched == ListView1->viewport()) {
        if (event->type() == QEvent::MouseButtonPress) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            const int row = ListView1->indexAt(mouse->position().toPoint()).row();
            if (row < 0) {
                // A click beside the items leaves no item current, as the list's own control does.
                ListView1->clearSelection();
                ListView1->setCurrentRow(-1);
            }
        } else if (event->type() == QEvent::MouseButtonRelease) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            ListView1Click(ListView1->indexAt(mouse->position().toPoint()).row());
        } else if (event->type() == QEvent::MouseButtonDblClick) {
            ListView1DblClick();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TForm1::ListView1Click(int index) { selectedHistoryIndex_ = index; }

void TForm1::ListView1DblClick()
{
    if (ListView1->currentRow() >= 0 && showHistoryViewer)
        showHistoryViewer(selectedHistoryIndex_);
}

void TForm1::Undo1Click() { session_->undo(); }

void TForm1::Copiar1Click() { SynEditor->copySelection(); }

// ---------------------------------------------------------------- view toggles

void TForm1::Exibir1Click()
{
    BarradeFerramentas1->setChecked(
        ToolBar2->isVisibleTo(ControlBar1) || (ToolBar2->isFloating() && ToolBar2->isVisible()));
    BarradeHistorico1->setChecked(
        ToolBar3->isVisibleTo(ControlBar1) || (ToolBar3->isFloating() && ToolBar3->isVisible()));
}

void TForm1::BarradeFerramentas1Click()
{
    ToolBar2->setVisible(BarradeFerramentas1->isChecked());
    controlBarChanged();
}

void TForm1::BarradeHistorico1Click()
{
    ToolBar3->setVisible(BarradeHistorico1->isChecked());
    controlBarChanged();
}

// ---------------------------------------------------------------- settings and help

void TForm1::rebuildHighlighter()
{
#ifdef TORVEL_HAS_HIGHLIGHTER
    QsciLexer* previous = highlighter_;
    highlighter_ = new TSynSampleSyn(colours_, SynEditor->editorFont(), this);
    SynEditor->setHighlighter(highlighter_);
    delete previous;
#endif
}

void TForm1::Coresdasfunes1Click()
{
    if (showColourDialog)
        showColourDialog();
    rebuildHighlighter();
}

void TForm1::Fonte1Click()
{
    fontName_ = SynEditor->fontFace();
    fontSize_ = SynEditor->fontSize();
    const std::optional<QFont> chosen = chooseFont ? chooseFont(QFont(fontName_, fontSize_)) : std::nullopt;
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
    SynEditor->setFontFace(fontName_);
    SynEditor->setFontSize(fontSize_);
}

void TForm1::openHelpPage(const QString& path)
{
    const QString prefix = session_->programFolder() + QStringLiteral("Ajuda/");
    const QString page = path.startsWith(prefix) ? path.mid(prefix.size()) : path;
    if (openDocument)
        openDocument(AppPaths::helpPage(session_->programFolder(), page));
}

void TForm1::Contudoendice1Click() { session_->openHelp(QStringLiteral("index.htm")); }

void TForm1::HelpAboutItemClick()
{
#if __has_include("app/Unit13.h")
    if (auto* about = qobject_cast<TForm13*>(aboutBox_))
        about->exec();
#endif
}

// ---------------------------------------------------------------- tools

void TForm1::setToolAction(const QString& menuObjectName, std::function<void()> action)
{
    toolActions_.insert(menuObjectName, std::move(action));
}

void TForm1::runTool(const QString& menuObjectName)
{
    const auto it = toolActions_.constFind(menuObjectName);
    if (it != toolActions_.constEnd() && *it)
        (*it)();
}

void TForm1::AdicionarouRemoverespaos1Click() { runTool(QStringLiteral("AdicionarouRemoverespaos1")); }
void TForm1::EditarN1Click() { runTool(QStringLiteral("EditarN1")); }
void TForm1::SubstituirEliminar1Click() { runTool(QStringLiteral("SubstituirEliminar1")); }
void TForm1::Deletar1Click() { runTool(QStringLiteral("Deletar1")); }
void TForm1::DeletarComentarSubstituir1Click() { runTool(QStringLiteral("DeletarComentarSubstituir1")); }
void TForm1::InserirInformaes1Click() { runTool(QStringLiteral("InserirInformaes1")); }
void TForm1::InserirLinha1Click() { runTool(QStringLiteral("InserirLinha1")); }
void TForm1::DeletarLinha1Click() { runTool(QStringLiteral("DeletarLinha1")); }
void TForm1::EditarLinha1Click() { runTool(QStringLiteral("EditarLinha1")); }
void TForm1::AbsolutoIncremental1Click() { runTool(QStringLiteral("AbsolutoIncremental1")); }
void TForm1::Translao1Click() { runTool(QStringLiteral("Translao1")); }
void TForm1::Espelhamento1Click() { runTool(QStringLiteral("Espelhamento1")); }

#include "app/frmmain.h"

#include "app/classiclook.h"
#include "app/editoractions.h"
#include "app/eggsound.h"
#include "app/frmabout.h"
#include "app/maplink.h"
#include "app/objectcommands.h"
#include "app/virtualkeys.h"
#include "document/imagedocument.h"
#include "objects/layout.h"
#include "objects/spritemodel.h"
#include "rom/romimage.h"
#include "text/hextext.h"
#include "text/modstring.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>

#include <QUndoStack>
#include <tuple>

// The icon and sound live in the static core library; make sure they are registered.
static void initQuilletResources() {
    Q_INIT_RESOURCE(quillet);
}

namespace {

const QString kTitlePrefix = QStringLiteral("Quillet 1.0b ");
const QString kListHeader = QStringLiteral("address: xxxx yyyy tt ss  Desc");

QFont namedFont(const char *family, qreal points) {
    QFont f(QString::fromLatin1(family));
    f.setPointSizeF(points);
    f.setBold(false);
    f.setItalic(false);
    return f;
}

// Fonts the window names that free systems lack get their closest free look-alikes.
void installFontSubstitutes() {
    static bool done = false;
    if (done)
        return;
    done = true;
    QFont::insertSubstitutions(QStringLiteral("Fixedsys"),
                               {QStringLiteral("Terminus"), QStringLiteral("DejaVu Sans Mono"),
                                QStringLiteral("Monospace")});
    QFont::insertSubstitutions(QStringLiteral("Comic Sans MS"),
                               {QStringLiteral("Comic Neue"), QStringLiteral("DejaVu Sans")});
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               {QStringLiteral("Liberation Sans"), QStringLiteral("Nimbus Sans"),
                                QStringLiteral("DejaVu Sans")});
}

const char *const kStyleSheet = R"(
QLabel#RomPath, QLabel#Label1 { background: black; color: rgb(0,255,0); }
QLabel#Label2, QLabel#Label3, QLabel#Label4 { background: black; color: rgb(255,255,0); }
QLineEdit#x, QLineEdit#y, QLineEdit#maintype, QLineEdit#subtype {
    background: rgb(128,128,128); color: rgb(224,224,224);
    border: 2px inset rgb(160,160,160); padding: 0px; }
QListWidget#level { background: rgb(192,192,192); color: rgb(255,0,0); }
QListView#sprite { background: rgb(192,192,192); color: rgb(0,0,255); }
QPushButton#Command1, QPushButton#Command2 {
    background: rgb(128,128,128); border: 2px outset rgb(176,176,176); }
QPushButton#Command1:pressed, QPushButton#Command2:pressed { border-style: inset; }
QPushButton#Command1:focus, QPushButton#Command2:focus { border-color: rgb(208,208,208); }
)";

template <typename T> T *make(QWidget *parent, const char *name, const QRect &geometry) {
    auto *w = new T(parent);
    w->setObjectName(QLatin1String(name));
    w->setGeometry(geometry);
    return w;
}

QGroupBox *frame(QWidget *parent, const char *name, const char *caption, const QRect &geometry) {
    auto *f = make<QGroupBox>(parent, name, geometry);
    f->setTitle(QLatin1String(caption));
    f->setFocusPolicy(Qt::NoFocus);
    return f;
}

QLabel *label(QWidget *parent, const char *name, const QString &text, const QRect &geometry) {
    auto *l = make<QLabel>(parent, name, geometry);
    l->setText(text);
    l->setTextFormat(Qt::PlainText);
    return l;
}

QLineEdit *editor(QWidget *parent, const char *name, const char *text, int maxLength,
                  const QRect &geometry) {
    auto *e = make<QLineEdit>(parent, name, geometry);
    e->setMaxLength(maxLength);
    e->setText(QLatin1String(text));
    return e;
}

int selectedRow(const QAbstractItemView *view) {
    const QModelIndexList rows = view->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

QString saveFailure(const QString &path, const QString &reason) {
    return QStringLiteral("The image could not be saved to %1 (%2). The file was left as it was.")
        .arg(path, reason);
}

} // namespace

frmMain::frmMain(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint) {
    initQuilletResources();
    installFontSubstitutes();
    setObjectName(QStringLiteral("frmMain"));
    setUpWindow(this, QStringLiteral("Quillet 1.0Beta"));
    m_doc = new ImageDocument(this);
    connect(m_doc, &ImageDocument::recordsChanged, this, &frmMain::recordsChanged);
    buildControls();
    m_objects = new ObjectCommands(this, m_doc, sprite, m_sprites, {x, y, maintype, subtype});
    m_mapLink = new MapLink(this, m_doc, m_sprites, m_objects);
    buildActions();
    setAcceptDrops(true);
    resize(609, 425);
    Form_Load();
}

frmMain::~frmMain() = default;

int frmMain::shownLevelRow() const {
    return m_doc->selection()->level();
}

const QByteArray &frmMain::fileData() const {
    return m_doc->data();
}

frmAbout *frmMain::aboutWindow() const {
    return m_about.data();
}

void frmMain::buildControls() {
    setStyleSheet(QLatin1String(kFrameStyle) + QLatin1String(kStyleSheet));
    // The window's own font, for the controls that name no other. Set on each of them, since
    // style-sheeted children do not inherit it.
    const QFont windowFont = namedFont("MS Sans Serif", 8);
    setFont(windowFont);
    const QFont fixedsys = namedFont("Fixedsys", 9);
    const QFont comic9 = namedFont("Comic Sans MS", 9);
    const QFont comic8 = namedFont("Comic Sans MS", 8.25);

    Frame1 = frame(this, "Frame1", "ROM", twips(120, 120, 8895, 735));
    Frame1->setFont(comic8);
    RomPath = label(Frame1, "RomPath", rom::NoPath, twips(240, 360, 5775, 255));
    RomPath->setFont(comic8);
    Command1 = make<QPushButton>(Frame1, "Command1", twips(6360, 240, 1095, 375));
    Command1->setText(QStringLiteral("Load..."));
    Command1->setFont(comic8);
    Command2 = make<QPushButton>(Frame1, "Command2", twips(7560, 240, 1215, 375));
    Command2->setText(QStringLiteral("Save Chgs"));
    Command2->setFont(comic8);
    tmrchg = new QTimer(this);
    tmrchg->setObjectName(QStringLiteral("tmrchg"));
    tmrchg->setSingleShot(true);
    tmrchg->setInterval(0);

    Frame2 = frame(this, "Frame2", "Level", twips(120, 960, 2175, 5295));
    Frame2->setFont(comic8);
    level = make<QListWidget>(Frame2, "level", twips(120, 360, 1935, 4785));
    level->setFont(comic8);
    level->setSelectionMode(QAbstractItemView::SingleSelection);
    level->setSortingEnabled(false);

    Frame3 = frame(this, "Frame3", "Sprites", twips(2400, 960, 6615, 5295));
    Label1 = label(Frame3, "Label1", kListHeader, twips(120, 240, 4215, 255));
    Label1->setFont(fixedsys);
    m_sprites = new SpriteModel(Captions, this);
    sprite = make<QListView>(Frame3, "sprite", twips(120, 600, 6375, 2760));
    sprite->setFont(fixedsys);
    sprite->setModel(m_sprites);
    sprite->setSelectionMode(QAbstractItemView::SingleSelection);
    sprite->setUniformItemSizes(true);
    sprite->setEditTriggers(QAbstractItemView::NoEditTriggers);

    Frame6 = frame(Frame3, "Frame6", "Position", twips(240, 3480, 1695, 1215));
    Label2 = label(Frame6, "Label2", QStringLiteral("X"), twips(120, 240, 135, 255));
    Label2->setFont(fixedsys);
    x = editor(Frame6, "x", "0000", 4, twips(480, 240, 975, 285));
    x->setFont(fixedsys);
    Label3 = label(Frame6, "Label3", QStringLiteral("Y"), twips(120, 720, 135, 255));
    Label3->setFont(fixedsys);
    y = editor(Frame6, "y", "0000", 4, twips(480, 720, 975, 285));
    y->setFont(fixedsys);

    Command3 = make<QPushButton>(Frame3, "Command3", twips(2400, 3600, 735, 375));
    Command3->setText(QStringLiteral("Change"));
    Command4 = make<QPushButton>(Frame3, "Command4", twips(2160, 4200, 1215, 375));
    Command4->setText(QStringLiteral("Clear All Sprites"));

    Frame5 = frame(Frame3, "Frame5", "Type", twips(3600, 3480, 2895, 1695));
    Frame5->setFont(comic9);
    Label4 = label(Frame5, "Label4", QStringLiteral("Type Subtype"), twips(120, 240, 1935, 255));
    Label4->setFont(comic9);
    maintype = editor(Frame5, "maintype", "00", 2, twips(120, 600, 495, 285));
    maintype->setFont(fixedsys);
    subtype = editor(Frame5, "subtype", "00", 2, twips(720, 600, 495, 285));
    subtype->setFont(fixedsys);
    TypeCap = make<QComboBox>(Frame5, "TypeCap", twips(240, 1080, 2535, 315));
    TypeCap->setEditable(true);
    // Typed text only sits in the field: it is never added to the list or completed.
    TypeCap->setInsertPolicy(QComboBox::NoInsert);
    TypeCap->setCompleter(nullptr);

    for (QWidget *w : std::initializer_list<QWidget *>{Frame3, Frame6, Command3, Command4, TypeCap})
        w->setFont(windowFont);
    // The free stand-in for the window font runs wider than the one the sizes were made for: the
    // longest button caption gets half a point less so that it clears the button's edges.
    Command4->setFont(namedFont("MS Sans Serif", 7.5));

    tmrEgg = new QTimer(this);
    tmrEgg->setObjectName(QStringLiteral("tmrEgg"));
    tmrEgg->setSingleShot(true);
    tmrEgg->setInterval(0);

    cd = new QFileDialog(this);
    cd->setObjectName(QStringLiteral("cd"));
    cd->setFileMode(QFileDialog::ExistingFile);
    cd->setAcceptMode(QFileDialog::AcceptOpen);

    // The sliders lie below the client area; they never take the focus, so no control the
    // user cannot see can change the editors.
    yplane = make<QScrollBar>(this, "yplane", twips(480, 6840, 495, 1215));
    yplane->setOrientation(Qt::Vertical);
    xplane = make<QScrollBar>(this, "xplane", twips(1080, 7680, 1695, 375));
    xplane->setOrientation(Qt::Horizontal);
    for (QScrollBar *slider : {xplane, yplane}) {
        slider->setRange(0, 1);
        slider->setFocusPolicy(Qt::NoFocus);
    }

    for (QWidget *w : std::initializer_list<QWidget *>{RomPath, Label1, Label2, Label3, Label4})
        w->setFocusPolicy(Qt::NoFocus);
    QWidget *order[] = {Command1, level, sprite, Command2, maintype, subtype,
                        Command3, y,     x,      Command4, TypeCap};
    for (size_t i = 0; i + 1 < std::size(order); ++i)
        setTabOrder(order[i], order[i + 1]);

    connect(Command1, &QPushButton::clicked, this, &frmMain::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &frmMain::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &frmMain::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &frmMain::Command4_Click);
    // Handlers follow changes of the selected row, never the current row a view sets when it
    // merely gains the focus; choosing the selected row again by mouse runs them too.
    connect(level->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this](const QItemSelection &selected) {
                if (!selected.isEmpty())
                    level_Click();
            });
    connect(sprite->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this](const QItemSelection &selected) {
                if (!selected.isEmpty())
                    sprite_Click();
            });
    connect(level, &QAbstractItemView::clicked, this, [this](const QModelIndex &index) {
        if (index.row() == m_levelRowAtPress)
            level_Click();
    });
    connect(sprite, &QAbstractItemView::clicked, this, [this](const QModelIndex &index) {
        if (index.row() == m_spriteRowAtPress)
            sprite_Click();
    });
    level->viewport()->installEventFilter(this);
    sprite->viewport()->installEventFilter(this);

    connect(x, &QLineEdit::textChanged, this, &frmMain::x_Change);
    connect(y, &QLineEdit::textChanged, this, &frmMain::y_Change);
    connect(xplane, &QAbstractSlider::actionTriggered, this, &frmMain::xplane_Scroll);
    connect(yplane, &QAbstractSlider::actionTriggered, this, &frmMain::yplane_Scroll);
    connect(maintype, &QLineEdit::textChanged, this, &frmMain::maintype_Change);
    connect(subtype, &QLineEdit::textChanged, this, &frmMain::subtype_Change);
    maintype->installEventFilter(this);
    subtype->installEventFilter(this);
    x->installEventFilter(this);
    connect(TypeCap, qOverload<int>(&QComboBox::activated), this, &frmMain::TypeCap_Click);
    connect(tmrchg, &QTimer::timeout, this, &frmMain::tmrchg_Timer);
    connect(tmrEgg, &QTimer::timeout, this, &frmMain::tmrEgg_Timer);
}

void frmMain::buildActions() {
    using editing::keysOf;
    using editing::windowAction;
    std::tie(m_undo, m_redo) = editing::addUndoRedo(this, m_doc->undoStack());
    m_saveAs = windowAction(
        this, new QAction(QStringLiteral("Save As..."), this), "actionSaveAs",
        keysOf(QKeySequence::SaveAs, {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)}));
    connect(m_saveAs, &QAction::triggered, this, &frmMain::SaveAs_Click);
    QAction *open = windowAction(this, new QAction(QStringLiteral("Load..."), this), "actionLoad",
                                 keysOf(QKeySequence::Open, {QKeySequence(Qt::CTRL | Qt::Key_O)}));
    connect(open, &QAction::triggered, this, &frmMain::Command1_Click);
    QAction *save = windowAction(this, new QAction(QStringLiteral("Save Chgs"), this), "actionSave",
                                 keysOf(QKeySequence::Save, {QKeySequence(Qt::CTRL | Qt::Key_S)}));
    connect(save, &QAction::triggered, this, &frmMain::Command2_Click);

    sprite->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(sprite, &QWidget::customContextMenuRequested, this, &frmMain::sprite_ContextMenu);
    level->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(level, &QWidget::customContextMenuRequested, this, &frmMain::level_ContextMenu);
}

void frmMain::sprite_ContextMenu(const QPoint &pos) {
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("spriteMenu"));
    menu.addActions(m_objects->listActions());
    menu.addSeparator();
    menu.addAction(m_undo);
    menu.addAction(m_redo);
    menu.addSeparator();
    menu.addAction(m_saveAs);
    menu.addSeparator();
    menu.addAction(m_mapLink->showMapAction());
    menu.exec(sprite->viewport()->mapToGlobal(pos));
}

void frmMain::level_ContextMenu(const QPoint &pos) {
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("levelMenu"));
    menu.addAction(m_mapLink->showMapAction());
    menu.exec(level->viewport()->mapToGlobal(pos));
}

bool frmMain::eventFilter(QObject *watched, QEvent *event) {
    switch (event->type()) {
    case QEvent::FocusOut:
        if (watched == maintype)
            maintype_LostFocus();
        else if (watched == subtype)
            subtype_LostFocus();
        break;
    case QEvent::KeyPress:
        if (watched == x) {
            const auto *key = static_cast<QKeyEvent *>(event);
            const int code = virtualKeyCode(*key);
            if (code > 0)
                x_KeyDown(code, key->modifiers());
        }
        break;
    case QEvent::MouseButtonPress:
        if (watched == level->viewport())
            m_levelRowAtPress = selectedLevelRow();
        else if (watched == sprite->viewport())
            m_spriteRowAtPress = selectedSpriteRow();
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event); // only watching: nothing is swallowed
}

// ---------------------------------------------------------------------------------------------
// Start-up and the size lock

void frmMain::Form_Load() {
    StartWidth = width();
    StartHeight = height();
    // The window keeps its load-time size; the window manager is told so up front.
    setFixedSize(StartWidth, StartHeight);
}

void frmMain::showEvent(QShowEvent *event) {
    QWidget::showEvent(event);
    if (!focusWidget())
        Command1->setFocus(Qt::OtherFocusReason);
}

void frmMain::resizeEvent(QResizeEvent *event) {
    QWidget::resizeEvent(event);
    Form_Resize();
}

void frmMain::Form_Resize() {
    if (StartWidth == 0 || isMinimized())
        return;
    if (width() != StartWidth || height() != StartHeight)
        resize(StartWidth, StartHeight);
}

// ---------------------------------------------------------------------------------------------
// Loading

void frmMain::ChgCaption(const QString &text) {
    setWindowTitle(kTitlePrefix + text);
}

void frmMain::setRomPath(const QString &path) {
    // The label shows the path the image is saved to; the document saves there.
    RomPath->setText(path);
    m_doc->setPath(path);
}

void frmMain::Command1_Click() {
    if (!maybeSave())
        return;
    const QString titleBefore = windowTitle();
    ChgCaption(QStringLiteral("- [Loading ROM]"));
    cd->setNameFilters(editing::imageFilters());
    const bool chosen = cd->exec() == QDialog::Accepted;
    const QStringList files = cd->selectedFiles();
    if (!chosen || files.isEmpty() || files.first().isEmpty()) {
        // Cancelling changes nothing: the image, its path and every list stay as they were.
        setWindowTitle(titleBefore);
        return;
    }
    setRomPath(files.first());
    ChgCaption(QStringLiteral("- [Opening ROM]"));
    loadRom();
}

void frmMain::openPath(const QString &path) {
    if (!maybeSave())
        return;
    ChgCaption(QStringLiteral("- [Loading ROM]"));
    setRomPath(path.isEmpty() ? rom::NoPath : path);
    ChgCaption(QStringLiteral("- [Opening ROM]"));
    loadRom();
}

void frmMain::loadRom() {
    rom::ImageReader reader;
    QString reason;
    if (!reader.open(RomPath->text(), &reason)) {
        openFailure();
        return;
    }
    ChgCaption(QStringLiteral("- [Reading ROM]"));
    fillROM(reader);
}

void frmMain::fillROM(rom::ImageReader &reader) {
    QString reason;
    QByteArray buffer(reader.size(), '\0');
    if (!reader.read(buffer, &reason)) {
        reader.close();
        // The buffer no longer matches the file, so it must never be saved over it.
        setRomPath(rom::NoPath);
        replaceImage(std::move(buffer));
        readFailure(reason);
        return;
    }
    replaceImage(std::move(buffer));
    ChgCaption(QStringLiteral("- [ROM Loaded]"));
    reader.close();
    doRomCheck();
}

void frmMain::doRomCheck() {
    const rom::Recognition found = rom::recognise(m_doc->data());
    switch (found) {
    case rom::Recognition::OutOfRange:
        readFailure(QStringLiteral("Subscript out of range: the image ends before offset 0x%1")
                        .arg(QString::number(rom::Sonic1SigB, 16).toUpper()));
        return;
    case rom::Recognition::Unknown:
        ChgCaption(QStringLiteral("- [Non recognized ROM]"));
        setRomPath(rom::NoPath);
        return;
    case rom::Recognition::Sonic1:
    case rom::Recognition::Sonic2:
        break;
    }
    ChgCaption(rom::revisionStatus(m_doc->revision()));
    const int Game = rom::gameCode(found);
    LoadAddresses(Game);
    LoadLevels(Game);
    loadCaptions(Game);
}

void frmMain::replaceImage(QByteArray data) {
    // Lines listed from the previous image must never address the new one.
    m_sprites->clear();
    m_doc->load(std::move(data), RomPath->text());
}

void frmMain::showError(const QString &text) {
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Error"), text, QMessageBox::Ok, this);
    box.exec();
}

void frmMain::openFailure() {
    showError(QStringLiteral("That path could not be opened (") + RomPath->text() +
              QLatin1Char(')'));
    setRomPath(rom::NoPath);
    ChgCaption(QStringLiteral("- [Couldnt Open ROM]"));
}

void frmMain::readFailure(const QString &description) {
    ChgCaption(QStringLiteral("- [Couldnt Read ROM]"));
    showError(QStringLiteral("That rom couldnt be loaded (") + description + QLatin1Char(')'));
}

// ---------------------------------------------------------------------------------------------
// Saving

void frmMain::Command2_Click() {
    saveChanges();
}

bool frmMain::saveChanges() {
    const QString path = RomPath->text();
    QString reason;
    if (path == rom::NoPath) {
        showError(QStringLiteral("There is no image to save: load one first."));
        return false;
    }
    if (!m_doc->save(&reason)) {
        showError(saveFailure(path, reason));
        return false;
    }
    return true;
}

void frmMain::SaveAs_Click() {
    saveAs();
}

bool frmMain::saveAs() {
    if (m_doc->data().isEmpty()) {
        showError(QStringLiteral("There is no image to save: load one first."));
        return false;
    }
    const QString path =
        editing::askSavePath(this, RomPath->text() == rom::NoPath ? QString() : RomPath->text());
    if (path.isEmpty())
        return false;
    QString reason;
    if (!m_doc->saveAs(path, &reason)) {
        showError(saveFailure(path, reason));
        return false;
    }
    setRomPath(path);
    return true;
}

bool frmMain::maybeSave() {
    if (!m_doc->isModified())
        return true;
    switch (editing::askSaveChanges(this, RomPath->text())) {
    case QMessageBox::Save:
        // An image without a path can only be saved under a new one.
        return RomPath->text() == rom::NoPath ? saveAs() : saveChanges();
    case QMessageBox::Discard:
        return true;
    default:
        return false;
    }
}

void frmMain::closeEvent(QCloseEvent *event) {
    if (maybeSave())
        event->accept();
    else
        event->ignore();
}

void frmMain::dragEnterEvent(QDragEnterEvent *event) {
    if (!editing::droppedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
    else
        event->ignore();
}

void frmMain::dropEvent(QDropEvent *event) {
    const QString path = editing::droppedFile(event->mimeData());
    if (path.isEmpty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    // Out of the drop first: the drag's source waits until the drop returns.
    QTimer::singleShot(0, this, [this, path] { openPath(QFileInfo(path).absoluteFilePath()); });
}

// ---------------------------------------------------------------------------------------------
// Levels and objects

void frmMain::LoadLevels(int game) {
    level->clear();
    level->addItems(levelNames(game));
}

void frmMain::LoadAddresses(int game) {
    m_doc->loadLevelAddresses(game);
}

int frmMain::selectedLevelRow() const {
    return selectedRow(level);
}

int frmMain::selectedSpriteRow() const {
    return selectedRow(sprite);
}

bool frmMain::level_Click() {
    const int row = selectedLevelRow();
    if (row < 0 || row >= LevelCount)
        return false;
    xplane->setMaximum(1);
    yplane->setMaximum(1);
    Label1->setText(QStringLiteral("Loading ..."));
    // Paint the header now, but take no user input in the middle of a listing.
    Label1->repaint();
    LoadSprites(m_doc->levelAddresses()[row]);
    Label1->setText(kListHeader);
    m_doc->selection()->showLevel(row);
    emit levelShown(row);
    return true;
}

void frmMain::LoadSprites(qint32 address) {
    const layout::Walk w = m_sprites->list(m_doc->data(), address);
    if (w.xMax > xplane->maximum())
        xplane->setMaximum(w.xMax);
    if (w.yMax > yplane->maximum())
        yplane->setMaximum(w.yMax);
}

void frmMain::sprite_Click() {
    const QString line = m_sprites->lineAt(selectedSpriteRow());
    const QString space = QStringLiteral(" ");
    x->setText(getField(line, 2, false, space));
    y->setText(getField(line, 3, false, space));
    maintype->setText(getField(line, 4, false, space));
    subtype->setText(getField(line, 5, false, space));
    // Positions beyond the range (possible for the largest object) stop at the maximum.
    xplane->setValue(layout::sliderPosition(x->text()));
    yplane->setValue(layout::sliderPosition(y->text()));
    getType();
    emit recordSelected(m_sprites->offsetAt(selectedSpriteRow()));
}

void frmMain::selectRecord(qint64 offset) {
    const int row = m_sprites->rowOf(offset);
    if (row < 0) {
        sprite->selectionModel()->clearSelection();
        emit recordSelected(-1);
        return;
    }
    const QModelIndex index = m_sprites->index(row);
    sprite->scrollTo(index);
    if (selectedSpriteRow() == row)
        sprite_Click(); // selecting it again changes no selection: fill the editors anyway
    else
        sprite->setCurrentIndex(index);
}

void frmMain::recordsChanged(int levelRow, qint64 recordOffset) {
    // Show what a step did, undone or redone: its level listed, its record selected.
    if (selectedLevelRow() == levelRow || levelRow < 0 || levelRow >= level->count())
        level_Click();
    else
        level->setCurrentRow(levelRow);
    if (recordOffset >= 0)
        selectRecord(recordOffset);
}

void frmMain::Command3_Click() {
    const int levelRow = selectedLevelRow();
    const int row = selectedSpriteRow();
    if (levelRow < 0 || row < 0)
        return; // no record to write to
    x->setText(layout::padPosition(x->text()));
    y->setText(layout::padPosition(y->text()));
    const qint64 at = layout::lineOffset(m_sprites->lineAt(row));
    // A step lists the level again and selects the record where it now is (recordsChanged);
    // a press that changes no byte only lists the level again and selects the same line.
    if (at >= 0 && m_doc->changeRecord(levelRow, at,
                                       layout::recordBytes(x->text(), y->text(), maintype->text(),
                                                           subtype->text())) >= 0)
        return;
    level_Click();
    if (row < m_sprites->rowCount()) {
        sprite->setCurrentIndex(m_sprites->index(row));
        sprite->scrollTo(m_sprites->index(row));
    }
}

void frmMain::Command4_Click() {
    const int levelRow = selectedLevelRow();
    if (levelRow < 0)
        return;
    const int n = m_sprites->rowCount();
    QVector<qint64> offsets;
    offsets.reserve(n);
    for (int i = 0; i < n; ++i)
        offsets.append(m_sprites->offsetAt(i));
    // A step lists the level again itself (recordsChanged).
    if (!m_doc->clearLevel(levelRow, offsets))
        level_Click();
}

// ---------------------------------------------------------------------------------------------
// Position editors

void frmMain::x_Change() {
    x->setText(QCase(x->text()));
    y->setText(QCase(y->text()));
    x->setCursorPosition(int(x->text().size()));
    y->setCursorPosition(int(y->text().size()));
}

void frmMain::y_Change() {
    x_Change();
}

void frmMain::xplane_Scroll() {
    x->setText(layout::sliderText(xplane->sliderPosition()));
}

void frmMain::yplane_Scroll() {
    y->setText(layout::sliderText(yplane->sliderPosition()));
}

// ---------------------------------------------------------------------------------------------
// Type editors

void frmMain::loadCaptions(int game) {
    if (!Captions.load(game))
        return;
    // Refilling the list must leave the caption field alone.
    const QString shown = TypeCap->currentText();
    TypeCap->clear();
    TypeCap->addItems(Captions.pickList());
    TypeCap->setCurrentIndex(-1);
    TypeCap->setEditText(shown);
}

void frmMain::getType() {
    const int t = cHex(maintype->text().toUpper());
    const int s = cHex(subtype->text().toUpper());
    if (t < 0 || t > 256 || s < 0 || s > 256)
        return;
    TypeCap->setEditText(Captions.caption(t, s));
}

void frmMain::maintype_Change() {
    getType();
}

void frmMain::subtype_Change() {
    getType();
}

void frmMain::maintype_LostFocus() {
    maintype->setText(twa(maintype->text()));
    subtype->setText(twa(subtype->text()));
}

void frmMain::subtype_LostFocus() {
    maintype_LostFocus();
}

void frmMain::TypeCap_Click(int index) {
    const QString text = TypeCap->itemText(index);
    const QString space = QStringLiteral(" ");
    const QString f1 = getField(text, 1, false, space);
    const QString f2 = getField(text, 2, false, space);
    const QString f3 = getField(text, 3, true, space);
    if (f1.size() != 2 || f2.size() != 2 || f3.isEmpty())
        return;
    maintype->setText(f1);
    subtype->setText(f2);
    tmrchg->setInterval(100);
    tmrchg->start();
}

void frmMain::tmrchg_Timer() {
    tmrchg->stop();
    tmrchg->setInterval(0);
    maintype_Change();
}

// ---------------------------------------------------------------------------------------------
// Hidden extras

void frmMain::x_KeyDown(int keyCode, Qt::KeyboardModifiers) {
    KeyBuffer += QString::number(keyCode);
    KeyBuffer = KeyBuffer.right(14);
    if (KeyBuffer == QLatin1String("37393740383940")) {
        PlayEggSound();
        tmrEgg->setInterval(m_eggDelay);
        tmrEgg->start();
    }
}

void frmMain::tmrEgg_Timer() {
    if (!m_about) {
        m_about = new frmAbout();
        m_about->setAttribute(Qt::WA_DeleteOnClose);
    }
    m_about->show();
    m_about->raise();
    tmrEgg->stop();
    tmrEgg->setInterval(0);
}

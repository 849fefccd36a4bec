#include "app/frmmap.h"

#include "map/levelscene.h"
#include "map/mapexport.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QFileDialog>
#include <QGraphicsItem>
#include <QGraphicsView>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QScrollBar>
#include <QToolBar>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

// The icon lives in the static core library; make sure it is registered.
static void initMapResources() {
    Q_INIT_RESOURCE(quillet);
}

namespace {

// One zoom step (a wheel notch or a key press): two steps double or halve the size.
const qreal ZoomStep = std::sqrt(2.0);

QString hex4(int value) {
    return QString::number(value, 16).toUpper().rightJustified(4, QLatin1Char('0'));
}

QAction *makeAction(QWidget *owner, const char *name, const QString &text,
                    const QList<QKeySequence> &keys = {}) {
    auto *a = new QAction(text, owner);
    a->setObjectName(QLatin1String(name));
    a->setShortcuts(keys);
    owner->addAction(a);
    return a;
}

} // namespace

frmMap::frmMap(QWidget *parent) : QWidget(parent, Qt::Window) {
    initMapResources();
    setObjectName(QStringLiteral("frmMap"));
    setWindowTitle(QStringLiteral("Map"));
    setWindowIcon(QIcon(QStringLiteral(":/icon/quillet.png")));
    buildControls();
    resize(800, 560);
}

frmMap::~frmMap() = default;

void frmMap::buildControls() {
    m_scene = new map::LevelScene(this);
    m_view = new QGraphicsView(m_scene, this);
    m_view->setObjectName(QStringLiteral("mapView"));
    // Zooming keeps its own anchor (see setZoom); a left drag on bare ground draws a rubber
    // band, the middle button pans.
    m_view->setTransformationAnchor(QGraphicsView::NoAnchor);
    m_view->setDragMode(QGraphicsView::RubberBandDrag);
    m_view->setRubberBandSelectionMode(Qt::IntersectsItemShape);
    m_view->setOptimizationFlags(QGraphicsView::DontAdjustForAntialiasing);
    m_view->setViewportUpdateMode(QGraphicsView::MinimalViewportUpdate);
    m_view->viewport()->installEventFilter(this);

    m_tools = new QToolBar(this);
    m_tools->setObjectName(QStringLiteral("mapTools"));
    actionGrid = makeAction(this, "actionGrid", QStringLiteral("Chunk grid"),
                            {QKeySequence(Qt::CTRL | Qt::Key_G)});
    actionGrid->setCheckable(true);
    actionSaveImage = makeAction(this, "actionSaveImage", QStringLiteral("Save Map Image..."));
    QAction *zoomInAction =
        makeAction(this, "actionZoomIn", QStringLiteral("Zoom In"),
                   {QKeySequence::ZoomIn, QKeySequence(Qt::CTRL | Qt::Key_Equal)});
    QAction *zoomOutAction = makeAction(this, "actionZoomOut", QStringLiteral("Zoom Out"),
                                        QKeySequence::keyBindings(QKeySequence::ZoomOut));
    QAction *fitAction = makeAction(this, "actionFit", QStringLiteral("Fit Level"),
                                    {QKeySequence(Qt::CTRL | Qt::Key_0)});
    actionSprites = makeAction(this, "actionSprites", QStringLiteral("Sprites"));
    actionSprites->setCheckable(true);
    actionSprites->setChecked(true);
    for (QAction *a :
         {actionGrid, actionSprites, actionSaveImage, zoomInAction, zoomOutAction, fitAction})
        m_tools->addAction(a);
    actionGrid->setEnabled(false);
    actionSaveImage->setEnabled(false);

    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("mapStatus"));
    m_status->setTextFormat(Qt::PlainText);
    m_status->setMinimumWidth(1); // long reasons must not widen the window
    m_status->setContentsMargins(4, 2, 4, 2);

    auto *box = new QVBoxLayout(this);
    box->setContentsMargins(0, 0, 0, 0);
    box->setSpacing(0);
    box->addWidget(m_tools);
    box->addWidget(m_view, 1);
    box->addWidget(m_status);

    connect(actionGrid, &QAction::toggled, m_scene, &map::LevelScene::setGridShown);
    connect(actionSprites, &QAction::toggled, m_scene, &map::LevelScene::setSpritesShown);
    connect(actionSaveImage, &QAction::triggered, this, &frmMap::saveImage);
    connect(zoomInAction, &QAction::triggered, this, &frmMap::zoomIn);
    connect(zoomOutAction, &QAction::triggered, this, &frmMap::zoomOut);
    connect(fitAction, &QAction::triggered, this, &frmMap::fitLevel);
    connect(m_scene, &map::LevelScene::markerClicked, this, &frmMap::reportClick);
    connect(m_scene, &map::LevelScene::markerMoved, this, &frmMap::reportMove);
    connect(m_scene, &map::LevelScene::selectionPicked, this,
            [this](const QVector<qint64> &offsets, qint64 current) {
                report([&] { emit objectsPicked(offsets, current); });
            });
    connect(m_scene, &map::LevelScene::markersMoved, this,
            [this](const QVector<qint64> &offsets, int dx, int dy) {
                report([&] { emit objectsMoved(offsets, dx, dy); });
            });
    connect(m_view, &QGraphicsView::rubberBandChanged, this, &frmMap::rubberBand);
    buildObjectActions();
}

void frmMap::buildObjectActions() {
    QAction *remove = makeAction(this, "actionDeleteObjects", QStringLiteral("Delete Object"),
                                 {QKeySequence(QKeySequence::Delete)});
    QAction *copy = makeAction(this, "actionCopyObjects", QStringLiteral("Copy Objects"),
                               {QKeySequence(QKeySequence::Copy)});
    QAction *paste = makeAction(this, "actionPasteObjects", QStringLiteral("Paste Objects"),
                                {QKeySequence(QKeySequence::Paste)});
    QAction *inPlace =
        makeAction(this, "actionPasteInPlace", QStringLiteral("Paste Objects in Place"),
                   {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_V)});
    m_objectActions = {remove, copy, paste, inPlace};
    for (QAction *a : std::as_const(m_objectActions))
        a->setShortcutVisibleInContextMenu(true);
    connect(remove, &QAction::triggered, this, [this] { report([&] { emit deleteRequested(); }); });
    connect(copy, &QAction::triggered, this, &frmMap::copyRequested);
    connect(paste, &QAction::triggered, this,
            [this] { report([&] { emit pasteRequested(pasteTarget()); }); });
    connect(inPlace, &QAction::triggered, this,
            [this] { report([&] { emit pasteRequested(QPoint(-1, -1)); }); });
}

void frmMap::report(const std::function<void()> &emitIt) {
    m_reporting = true;
    emitIt();
    m_reporting = false;
}

QPoint frmMap::levelPixel(const QPoint &viewportPos) const {
    const QPointF at =
        m_view->viewportTransform().inverted().map(QPointF(viewportPos) + QPointF(0.5, 0.5));
    return {int(std::floor(at.x())), int(std::floor(at.y()))};
}

QPoint frmMap::pasteTarget() const {
    const QPoint mouse = m_view->viewport()->mapFromGlobal(QCursor::pos());
    const bool inside = m_view->viewport()->rect().contains(mouse);
    const QPoint at = levelPixel(inside ? mouse : m_view->viewport()->rect().center());
    return {std::clamp(at.x(), 0, map::LevelScene::MaxX),
            std::clamp(at.y(), 0, map::LevelScene::MaxY)};
}

void frmMap::rubberBand(const QRect &viewRect) {
    // The band as drawn (the scene points the view reports lag behind by one move).
    if (!viewRect.isNull()) {
        m_band = m_view->mapToScene(viewRect).boundingRect();
        return;
    }
    // The band was let go: every object it touches is chosen (Ctrl adds them).
    if (m_band.isNull())
        return;
    QVector<qint64> offsets = m_scene->markersIn(m_band);
    m_band = QRectF();
    if (QGuiApplication::keyboardModifiers() & Qt::ControlModifier)
        offsets += m_scene->selectedOffsets();
    std::sort(offsets.begin(), offsets.end());
    offsets.erase(std::unique(offsets.begin(), offsets.end()), offsets.end());
    const qint64 current = offsets.contains(m_scene->selectedOffset()) ? m_scene->selectedOffset()
                                                                       : offsets.value(0, -1);
    m_scene->setSelection(offsets, current);
    report([&] { emit objectsPicked(offsets, current); });
}

void frmMap::contextMenu(const QPoint &viewportPos) {
    if (m_rowText.isEmpty())
        return;
    const QPoint at = levelPixel(viewportPos);
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("mapMenu"));
    QAction *add = menu.addAction(QStringLiteral("Add Object Here"));
    const QPoint clamped(std::clamp(at.x(), 0, map::LevelScene::MaxX),
                         std::clamp(at.y(), 0, map::LevelScene::MaxY));
    connect(add, &QAction::triggered, this,
            [this, clamped] { report([&] { emit addRequested(clamped); }); });
    menu.addSeparator();
    menu.addActions(m_objectActions);
    menu.exec(m_view->viewport()->mapToGlobal(viewportPos));
}

// ---------------------------------------------------------------------------------------------
// What is shown

void frmMap::showLevel(const QString &rowText,
                       const std::shared_ptr<const map::TerrainSource> &terrain,
                       const QVector<map::MapObject> &objects,
                       const QVector<map::MapObject> &rings) {
    // The same level shown again (after an edit) stays where the user was looking.
    const bool sameLevel = rowText == m_rowText && !m_scene->levelRect().isEmpty();
    QScrollBar *h = m_view->horizontalScrollBar(), *v = m_view->verticalScrollBar();
    const QPoint scrolled(h->value(), v->value());
    m_scene->setLevel(terrain, objects, rings);
    m_rowText = rowText;
    setWindowTitle(QStringLiteral("Map - ") + rowText);
    // Without terrain there is no picture to save either (the export needs terrain too).
    actionGrid->setEnabled(m_scene->hasTerrain());
    actionSaveImage->setEnabled(m_scene->hasTerrain());
    if (sameLevel) {
        h->setValue(scrolled.x());
        v->setValue(scrolled.y());
    } else {
        m_pointerText.clear(); // known again at the next move
        h->setValue(h->minimum());
        v->setValue(v->minimum());
        // Something to look at rather than the level's empty top left corner.
        if (const QGraphicsItem *first =
                objects.isEmpty() ? nullptr : m_scene->marker(objects.first().offset))
            m_view->centerOn(first->pos());
    }
    updateStatus();
}

void frmMap::clearLevel() {
    m_scene->clearLevel();
    m_rowText.clear();
    m_pointerText.clear();
    setWindowTitle(QStringLiteral("Map"));
    actionGrid->setEnabled(false);
    actionSaveImage->setEnabled(false);
    updateStatus();
}

void frmMap::selectObject(qint64 offset) {
    selectObjects({offset}, offset);
}

void frmMap::selectObjects(const QVector<qint64> &offsets, qint64 current) {
    m_scene->setSelection(offsets, current);
    const qint64 shown = m_scene->selectedOffset();
    if (shown < 0 || m_reporting)
        return;
    m_view->centerOn(m_scene->marker(shown)->pos());
}

void frmMap::reportClick(qint64 offset) {
    m_reporting = true;
    emit objectClicked(offset);
    m_reporting = false;
}

void frmMap::reportMove(qint64 offset, int x, int y) {
    m_reporting = true;
    emit objectMoved(offset, x, y);
    m_reporting = false;
}

// ---------------------------------------------------------------------------------------------
// Zoom and pan

void frmMap::setZoom(qreal factor, QPoint anchor) {
    if (anchor == QPoint(-1, -1))
        anchor = m_view->viewport()->rect().center();
    // Snap to the limits, which repeated steps reach only within rounding.
    const qreal smallest = std::min(MinZoom, fittingZoom());
    factor = std::clamp(factor, smallest, MaxZoom);
    if (std::abs(factor - MaxZoom) < 1e-9)
        factor = MaxZoom;
    if (std::abs(factor - smallest) < 1e-9)
        factor = smallest;
    const QPointF fixed = m_view->mapToScene(anchor);
    m_view->setTransform(QTransform::fromScale(factor, factor));
    m_zoom = factor;
    m_scene->setViewScale(factor);
    // Keep the point under the anchor where it was.
    const QPoint drift = m_view->mapFromScene(fixed) - anchor;
    m_view->horizontalScrollBar()->setValue(m_view->horizontalScrollBar()->value() + drift.x());
    m_view->verticalScrollBar()->setValue(m_view->verticalScrollBar()->value() + drift.y());
}

void frmMap::zoomIn() {
    setZoom(m_zoom * ZoomStep);
}

void frmMap::zoomOut() {
    setZoom(m_zoom / ZoomStep);
}

// The zoom at which the whole level fits: the scroll bars go, so their room counts too.
qreal frmMap::fittingZoom() const {
    const QRectF level = m_scene->levelRect();
    const QSize room = m_view->maximumViewportSize();
    if (level.isEmpty() || room.isEmpty())
        return MinZoom;
    return std::min(room.width() / level.width(), room.height() / level.height());
}

void frmMap::fitLevel() {
    if (m_scene->levelRect().isEmpty())
        return;
    setZoom(fittingZoom());
    m_view->centerOn(m_scene->levelRect().center());
}

bool frmMap::spritesShown() const {
    return actionSprites->isChecked();
}

bool frmMap::eventFilter(QObject *watched, QEvent *event) {
    if (watched != m_view->viewport())
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::Wheel: {
        auto *wheel = static_cast<QWheelEvent *>(event);
        if (!(wheel->modifiers() & Qt::ControlModifier))
            break; // plain wheel scrolls
        const qreal notches = wheel->angleDelta().y() / 120.0;
        setZoom(m_zoom * std::pow(ZoomStep, notches), wheel->position().toPoint());
        return true;
    }
    case QEvent::MouseButtonPress: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() != Qt::MiddleButton)
            break;
        m_panning = true;
        m_panLast = mouse->position().toPoint();
        m_view->viewport()->setCursor(Qt::ClosedHandCursor);
        return true;
    }
    case QEvent::MouseMove: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        const QPoint at = mouse->position().toPoint();
        showPointer(at);
        if (!m_panning)
            break;
        const QPoint moved = at - m_panLast;
        m_panLast = at;
        m_view->horizontalScrollBar()->setValue(m_view->horizontalScrollBar()->value() - moved.x());
        m_view->verticalScrollBar()->setValue(m_view->verticalScrollBar()->value() - moved.y());
        return true;
    }
    case QEvent::MouseButtonRelease:
        if (!m_panning || static_cast<QMouseEvent *>(event)->button() != Qt::MiddleButton)
            break;
        m_panning = false;
        m_view->viewport()->setCursor(Qt::OpenHandCursor);
        return true;
    case QEvent::Leave:
        m_pointerText.clear();
        updateStatus();
        break;
    case QEvent::ContextMenu:
        contextMenu(static_cast<QContextMenuEvent *>(event)->pos());
        return true;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------------------------
// Status line

void frmMap::showPointer(const QPoint &viewportPos) {
    // The level pixel drawn at the centre of the screen pixel.
    const QPointF at =
        m_view->viewportTransform().inverted().map(QPointF(viewportPos) + QPointF(0.5, 0.5));
    const int x = int(std::floor(at.x())), y = int(std::floor(at.y()));
    const bool onLevel =
        !m_rowText.isEmpty() && x >= 0 && x <= 0xFFFF && y >= 0 && y <= map::LevelScene::MaxY;
    QStringList parts;
    if (onLevel)
        parts << QStringLiteral("X %1  Y %2").arg(hex4(x), hex4(y));
    // The object under the pointer, as its hover text names it.
    if (const QGraphicsItem *object = m_scene->marker(m_scene->objectAt(at)))
        parts << object->toolTip().replace(QLatin1Char('\n'), QStringLiteral("    "));
    m_pointerText = parts.join(QStringLiteral("    "));
    updateStatus();
}

void frmMap::updateStatus() {
    QStringList parts;
    if (!m_pointerText.isEmpty())
        parts << m_pointerText;
    if (!m_rowText.isEmpty() && !m_scene->hasTerrain())
        parts << (m_scene->reason().isEmpty() ? QStringLiteral("No terrain") : m_scene->reason());
    m_status->setText(parts.join(QStringLiteral("    ")));
}

// ---------------------------------------------------------------------------------------------
// Saving the picture

void frmMap::saveImage() {
    QFileDialog dialog(this, QStringLiteral("Save Map Image"));
    dialog.setObjectName(QStringLiteral("saveDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(QStringLiteral("PNG images (*.png)"));
    dialog.setDefaultSuffix(QStringLiteral("png"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const QString path = dialog.selectedFiles().first();
    QString reason;
    if (map::writePicture(m_picture ? m_picture() : QImage(), path, &reason))
        return;
    QMessageBox box(
        QMessageBox::Warning, QStringLiteral("Error"),
        QStringLiteral("The map image could not be saved to %1 (%2).").arg(path, reason),
        QMessageBox::Ok, this);
    box.exec();
}

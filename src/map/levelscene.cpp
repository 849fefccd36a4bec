#include "map/levelscene.h"

#include <QApplication>
#include <QBitmap>
#include <QGraphicsItem>
#include <QGraphicsPixmapItem>
#include <QGraphicsSceneMouseEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>
#include <QStyleOptionGraphicsItem>
#include <QtConcurrent/QtConcurrentMap>

#include <algorithm>
#include <cmath>

namespace map {

namespace {

// Halvings kept per chunk: 1/2, 1/4 and 1/8 of full size, enough for the smallest zoom.
constexpr int MipLevels = 3;
// What the chunk cache may hold, in KiB: every distinct chunk of the largest level fits.
constexpr int CacheKiB = 96 * 1024;

const QColor ChunkGridColour(255, 255, 255, 96);
const QColor PlainGridColour(96, 96, 96);
const QColor HighlightColour(255, 0, 255);
// Rings stand in front of every object's sprite.
constexpr qreal RingZ = 2;

int roundUp(int value, int step) {
    return (value + step - 1) / step * step;
}

} // namespace

// One object: its sprite as the game draws it, or a 5x5 level-pixel square (black border, white
// inside) centred on its pixel as in the exported picture, which below 1:1 keeps five screen
// pixels. pos() is the pixel's centre. It is hit where it is drawn: the sprite's opaque pixels,
// or the marker's square.
class MarkerItem : public QGraphicsItem {
  public:
    enum { Type = UserType + 1 };

    explicit MarkerItem(const MapObject &object)
        : m_offset(object.offset),
          m_sprite(hasOpaquePixel(object.sprite) ? object.sprite : QImage()),
          m_spriteRect(QPointF(object.spriteAt) - QPointF(object.x + 0.5, object.y + 0.5),
                       QSizeF(object.sprite.size())) {
        setPos(object.x + 0.5, object.y + 0.5);
        setToolTip(object.name.isEmpty() ? object.line : object.name + '\n' + object.line);
        setCursor(Qt::PointingHandCursor);
    }

    int type() const override { return Type; }
    qint64 offset() const { return m_offset; }
    QPoint levelPos() const { return {int(std::floor(pos().x())), int(std::floor(pos().y()))}; }
    void moveTo(QPoint level) { setPos(level.x() + 0.5, level.y() + 0.5); }
    bool hasSprite() const { return !m_sprite.isNull(); }
    // Where it stands among the sprites, from 0 (back) to below 1 (front).
    void setDepth(qreal depth) { m_depth = depth; }

    void setHighlighted(bool on) {
        m_highlighted = on;
        restack();
        update();
    }
    // Markers lie under every sprite, and the sprites in the game's order; the highlighted
    // object over all of them.
    void restack() {
        prepareGeometryChange();
        setZValue(m_highlighted ? HighlightZ : showsSprite() ? SpriteZ + m_depth : 0);
    }
    void rescale() { prepareGeometryChange(); }

    QRectF boundingRect() const override {
        const qreal px = pixel();
        if (showsSprite())
            return m_spriteRect.adjusted(-4 * px, -4 * px, 4 * px, 4 * px);
        const qreal h = half() + 4 * px;
        return {-h, -h, 2 * h, 2 * h};
    }
    // Small markers are hard to hit: the clickable area is at least nine screen pixels wide.
    QPainterPath shape() const override {
        if (showsSprite())
            return spriteShape();
        const qreal h = std::max(half(), 4.5 * pixel());
        QPainterPath path;
        path.addRect(-h, -h, 2 * h, 2 * h);
        return path;
    }
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *) override {
        const qreal px = pixel();
        QRectF outline;
        if (showsSprite()) {
            painter->drawImage(m_spriteRect.topLeft(), m_sprite);
            outline = spriteShape().boundingRect().adjusted(-2 * px, -2 * px, 2 * px, 2 * px);
        } else {
            const qreal h = half(), border = std::max<qreal>(1, px);
            painter->fillRect(QRectF(-h, -h, 2 * h, 2 * h), Qt::black);
            painter->fillRect(QRectF(-h + border, -h + border, 2 * (h - border), 2 * (h - border)),
                              Qt::white);
            outline = QRectF(-h, -h, 2 * h, 2 * h).adjusted(-2 * px, -2 * px, 2 * px, 2 * px);
        }
        if (!m_highlighted)
            return;
        // A cosmetic pen keeps the outline two screen pixels wide at every zoom; a black line
        // inside it keeps it apart from sprites and terrain of a like colour.
        painter->setBrush(Qt::NoBrush);
        QPen pen(Qt::black, 1);
        pen.setCosmetic(true);
        painter->setPen(pen);
        painter->drawRect(outline.adjusted(1.5 * px, 1.5 * px, -1.5 * px, -1.5 * px));
        pen = QPen(HighlightColour, 2);
        pen.setCosmetic(true);
        painter->setPen(pen);
        painter->drawRect(outline);
    }

  private:
    static constexpr qreal SpriteZ = 1, HighlightZ = 3;

    static bool hasOpaquePixel(const QImage &image) {
        if (image.isNull())
            return false;
        const QImage argb = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        for (int y = 0; y < argb.height(); ++y) {
            const auto *row = reinterpret_cast<const QRgb *>(argb.constScanLine(y));
            if (std::any_of(row, row + argb.width(), [](QRgb p) { return qAlpha(p) != 0; }))
                return true;
        }
        return false;
    }
    bool showsSprite() const {
        const auto *s = static_cast<const LevelScene *>(scene());
        return hasSprite() && (!s || s->spritesShown());
    }
    // The opaque pixels, worked out when first asked for.
    const QPainterPath &spriteShape() const {
        if (m_shape.isEmpty()) {
            m_shape.addRegion(QRegion(QBitmap::fromImage(m_sprite.createAlphaMask())));
            m_shape.translate(m_spriteRect.topLeft());
        }
        return m_shape;
    }
    qreal pixel() const {
        const auto *s = static_cast<const LevelScene *>(scene());
        return s ? s->devicePixel() : 1;
    }
    qreal half() const { return std::max<qreal>(2.5, 2.5 * pixel()); }

    qint64 m_offset;
    QImage m_sprite;
    QRectF m_spriteRect; // relative to pos()
    mutable QPainterPath m_shape;
    qreal m_depth = 0;
    bool m_highlighted = false;
};

LevelScene::LevelScene(QObject *parent) : QGraphicsScene(parent) {
    m_cache.setMaxCost(CacheKiB);
    // A few hundred markers: a plain list is searched faster than an index is kept up to date
    // while one is dragged.
    setItemIndexMethod(NoIndex);
}

LevelScene::~LevelScene() = default;

void LevelScene::clearLevel() {
    setLevel(nullptr, {});
    m_levelRect = {};
    setSceneRect({});
}

void LevelScene::setLevel(const std::shared_ptr<const TerrainSource> &terrain,
                          const QVector<MapObject> &objects, const QVector<MapObject> &rings) {
    m_pressed = nullptr;
    m_dragged.clear();
    m_dragging = false;
    m_selected.clear();
    m_current = -1;
    m_markers.clear();
    m_rings.clear();
    clear();
    m_reason = terrain ? terrain->reason() : QString();
    const auto shown =
        terrain && terrain->hasTerrain() && terrain->chunkSize() > 0 ? terrain : nullptr;
    // The same terrain shown again (the objects changed) keeps its rendered chunks.
    const bool newTerrain = shown != m_terrain;
    if (newTerrain)
        m_cache.clear();
    m_terrain = shown;
    if (m_terrain && newTerrain)
        renderAhead();

    QRect objectsBox;
    QVector<std::pair<int, MarkerItem *>> sprites; // priority, in record order
    for (const MapObject &o : objects) {
        if (m_markers.contains(o.offset))
            continue; // one marker per record
        MapObject placed = o;
        placed.x = std::clamp(o.x, 0, 0xFFFF);
        placed.y = o.y & MaxY;
        placed.spriteAt += QPoint(placed.x - o.x, placed.y - o.y);
        auto *item = new MarkerItem(placed);
        addItem(item);
        m_markers.insert(o.offset, item);
        objectsBox |= QRect(placed.x - 2, placed.y - 2, 5, 5);
        if (item->hasSprite()) {
            sprites.append({o.priority, item});
            objectsBox |= QRect(placed.spriteAt, placed.sprite.size());
        }
    }
    // Front to back: priority 0 first, and of equal priority the earlier record.
    std::stable_sort(sprites.begin(), sprites.end(),
                     [](const auto &a, const auto &b) { return a.first < b.first; });
    for (int i = 0; i < sprites.size(); ++i) {
        sprites[i].second->setDepth(1 - (i + 1.0) / (sprites.size() + 1.0));
        sprites[i].second->restack();
    }
    // Rings are no records: drawn in front of every object, the first ring in front, and never
    // hit.
    for (int i = 0; i < rings.size(); ++i) {
        auto *ring = new QGraphicsPixmapItem(QPixmap::fromImage(rings[i].sprite));
        ring->setOffset(rings[i].spriteAt);
        ring->setShapeMode(QGraphicsPixmapItem::BoundingRectShape); // never hit: keep it cheap
        ring->setZValue(RingZ + 1 - (i + 1.0) / (rings.size() + 1.0));
        ring->setVisible(m_spritesShown);
        addItem(ring);
        m_rings.append(ring);
        objectsBox |= QRect(rings[i].spriteAt, rings[i].sprite.size());
    }

    if (m_terrain) {
        m_levelRect = QRectF(QPointF(0, 0), QSizeF(m_terrain->size()));
    } else {
        // At least one screen, and whole grid cells around every object.
        const int w = roundUp(std::max(objectsBox.right() + 1, 320), PlainGrid);
        const int h = roundUp(std::max(objectsBox.bottom() + 1, 224), PlainGrid);
        m_levelRect = QRectF(0, 0, w, h);
    }
    // Objects off the level's edge stay reachable.
    setSceneRect(m_levelRect.united(QRectF(objectsBox)));
    invalidate(sceneRect(), BackgroundLayer);
}

void LevelScene::setSpritesShown(bool shown) {
    if (shown == m_spritesShown)
        return;
    m_spritesShown = shown;
    for (MarkerItem *m : std::as_const(m_markers))
        m->restack();
    for (QGraphicsItem *ring : std::as_const(m_rings))
        ring->setVisible(shown);
}

qint64 LevelScene::objectAt(const QPointF &scenePos) const {
    const MarkerItem *hit = markerAt(scenePos);
    return hit ? hit->offset() : -1;
}

int LevelScene::gridSize() const {
    return m_terrain ? m_terrain->chunkSize() : PlainGrid;
}

void LevelScene::setGridShown(bool shown) {
    if (shown == m_gridShown)
        return;
    m_gridShown = shown;
    invalidate(sceneRect(), BackgroundLayer);
}

void LevelScene::setViewScale(qreal scale) {
    const qreal px = scale > 0 ? 1 / scale : 1;
    if (qFuzzyCompare(px, m_devicePixel))
        return;
    m_devicePixel = px;
    for (MarkerItem *m : std::as_const(m_markers))
        m->rescale();
}

bool LevelScene::selectMarker(qint64 offset) {
    setSelection({offset}, offset);
    return m_markers.contains(offset);
}

void LevelScene::setSelection(const QVector<qint64> &offsets, qint64 current) {
    for (MarkerItem *m : std::as_const(m_selected))
        m->setHighlighted(false);
    m_selected.clear();
    for (qint64 offset : offsets)
        if (MarkerItem *m = m_markers.value(offset); m && !m_selected.contains(m)) {
            m->setHighlighted(true);
            m_selected.append(m);
        }
    m_current = m_markers.contains(current) && offsets.contains(current)
                    ? current
                    : (m_selected.isEmpty() ? -1 : m_selected.first()->offset());
}

qint64 LevelScene::selectedOffset() const {
    return m_current;
}

QVector<qint64> LevelScene::selectedOffsets() const {
    QVector<qint64> offsets;
    for (const MarkerItem *m : m_selected)
        offsets.append(m->offset());
    std::sort(offsets.begin(), offsets.end());
    return offsets;
}

QVector<qint64> LevelScene::markersIn(const QRectF &rect) const {
    QVector<qint64> offsets;
    for (QGraphicsItem *item : items(rect, Qt::IntersectsItemShape))
        if (auto *m = qgraphicsitem_cast<MarkerItem *>(item))
            offsets.append(m->offset());
    std::sort(offsets.begin(), offsets.end());
    return offsets;
}

QGraphicsItem *LevelScene::marker(qint64 offset) const {
    return m_markers.value(offset);
}

// ---------------------------------------------------------------------------------------------
// Drawing

void LevelScene::drawBackground(QPainter *painter, const QRectF &rect) {
    painter->fillRect(rect, QColor::fromRgb(Surround));
    const QRectF inside = rect & m_levelRect;
    if (inside.isEmpty())
        return;
    painter->fillRect(inside, QColor::fromRgb(Backdrop));
    if (m_terrain) {
        drawTerrain(painter, inside);
        if (m_gridShown)
            drawGrid(painter, inside, m_terrain->chunkSize(), ChunkGridColour);
    } else {
        drawGrid(painter, inside, PlainGrid, PlainGridColour);
    }
}

void LevelScene::drawTerrain(QPainter *painter, const QRectF &rect) {
    const int size = m_terrain->chunkSize();
    // Below half size a chunk is drawn from its smallest halving that is still at least as
    // large as on screen: few pixels to copy, and smoothed rather than dropped.
    const qreal scale = painter->worldTransform().mapRect(QRectF(0, 0, 1, 1)).width();
    int level = 0;
    while (level < MipLevels && scale * 2 <= 1.0 / (1 << level))
        ++level;
    const int c0 = std::max(0, int(std::floor(rect.left() / size)));
    const int r0 = std::max(0, int(std::floor(rect.top() / size)));
    const int c1 = std::min(m_terrain->columns(), int(std::ceil(rect.right() / size)));
    const int r1 = std::min(m_terrain->rows(), int(std::ceil(rect.bottom() / size)));
    for (int r = r0; r < r1; ++r) {
        for (int c = c0; c < c1; ++c) {
            const int chunk = m_terrain->chunkAt(c, r);
            const QPixmap *pixmap = chunk < 0 ? nullptr : chunkPixmap(chunk, level);
            if (pixmap)
                painter->drawPixmap(QRectF(c * size, r * size, size, size), *pixmap,
                                    QRectF(pixmap->rect()));
        }
    }
}

namespace {

// A chunk laid over the backdrop, so that a repaint only copies opaque pixels. A decoded chunk is
// opaque or clear pixel by pixel, which is copied as it is; anything else goes through a painter.
QImage overBackdrop(const QImage &art, int size) {
    QImage picture(size, size, QImage::Format_RGB32);
    picture.fill(LevelScene::Backdrop);
    if (art.isNull())
        return picture;
    if (art.size() == picture.size() && art.format() == QImage::Format_ARGB32_Premultiplied) {
        bool copied = true;
        for (int y = 0; y < size && copied; ++y) {
            const auto *from = reinterpret_cast<const QRgb *>(art.constScanLine(y));
            auto *to = reinterpret_cast<QRgb *>(picture.scanLine(y));
            for (int x = 0; x < size && copied; ++x) {
                const int alpha = qAlpha(from[x]);
                if (alpha == 255)
                    to[x] = from[x];
                copied = alpha == 255 || alpha == 0;
            }
        }
        if (copied)
            return picture;
        picture.fill(LevelScene::Backdrop);
    }
    QPainter p(&picture);
    p.drawImage(0, 0, art);
    return picture;
}

// Half the size, smoothed rather than dropped.
QImage halved(const QImage &picture) {
    return picture.scaled(picture.size() / 2, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

int costKiB(int size) {
    return std::max(1, size * size * 4 / 1024);
}

} // namespace

// Every chunk the layout names, at every size, rendered when the level is shown rather than when
// a pan or zoom first reveals it: a jump across the largest level reveals dozens of chunks at
// once, more than one frame can render. The rendering is spread over the cores; the pixmaps are
// made here, on the GUI thread.
void LevelScene::renderAhead() {
    QVector<int> chunks;
    QVector<bool> seen;
    for (int r = 0; r < m_terrain->rows(); ++r) {
        for (int c = 0; c < m_terrain->columns(); ++c) {
            const int chunk = m_terrain->chunkAt(c, r);
            if (chunk < 0)
                continue;
            if (chunk >= seen.size())
                seen.resize(chunk + 1, false);
            if (!seen[chunk])
                chunks.append(chunk);
            seen[chunk] = true;
        }
    }
    const std::shared_ptr<const TerrainSource> terrain = m_terrain;
    const int size = terrain->chunkSize();
    const QVector<QVector<QImage>> rendered =
        QtConcurrent::blockingMapped(chunks, [terrain, size](int chunk) {
            QVector<QImage> sizes{overBackdrop(terrain->chunkImage(chunk), size)};
            for (int level = 1; level <= MipLevels; ++level)
                sizes.append(halved(sizes.last()));
            return sizes;
        });
    for (qsizetype i = 0; i < chunks.size(); ++i) {
        for (int level = 0; level <= MipLevels; ++level) {
            const QImage &picture = rendered[i][level];
            m_cache.insert(quint32(chunks[i]) << 2 | quint32(level),
                           new QPixmap(QPixmap::fromImage(picture)), costKiB(picture.width()));
        }
    }
}

// The chunk at `level`, rendered now (with every larger size) when the cache does not hold it.
const QPixmap *LevelScene::chunkPixmap(int chunk, int level) {
    const quint32 key = quint32(chunk) << 2 | quint32(level);
    if (const QPixmap *hit = m_cache.object(key))
        return hit;
    const int size = m_terrain->chunkSize() >> level;
    QImage picture;
    if (level == 0) {
        picture = overBackdrop(m_terrain->chunkImage(chunk), size);
    } else {
        const QPixmap *larger = chunkPixmap(chunk, level - 1);
        if (!larger)
            return nullptr;
        picture = halved(larger->toImage());
    }
    auto *pixmap = new QPixmap(QPixmap::fromImage(std::move(picture)));
    // QCache deletes the picture itself when it cannot hold it.
    return m_cache.insert(key, pixmap, costKiB(size)) ? m_cache.object(key) : nullptr;
}

void LevelScene::drawGrid(QPainter *painter, const QRectF &rect, int cell, const QColor &colour) {
    QPen pen(colour, 0); // cosmetic: one screen pixel at every zoom
    painter->save();
    painter->setPen(pen);
    QVector<QLineF> lines;
    const qreal left = std::floor(rect.left() / cell) * cell;
    const qreal top = std::floor(rect.top() / cell) * cell;
    for (qreal x = left; x <= rect.right(); x += cell)
        lines.append(QLineF(x, rect.top(), x, rect.bottom()));
    for (qreal y = top; y <= rect.bottom(); y += cell)
        lines.append(QLineF(rect.left(), y, rect.right(), y));
    painter->drawLines(lines);
    painter->restore();
}

// ---------------------------------------------------------------------------------------------
// Clicking and dragging markers

MarkerItem *LevelScene::markerAt(const QPointF &scenePos) const {
    // Topmost first, so the marker drawn over the others is the one hit.
    for (QGraphicsItem *item : items(scenePos, Qt::IntersectsItemShape, Qt::DescendingOrder)) {
        if (auto *m = qgraphicsitem_cast<MarkerItem *>(item))
            return m;
    }
    return nullptr;
}

void LevelScene::mousePressEvent(QGraphicsSceneMouseEvent *event) {
    MarkerItem *hit = event->button() == Qt::LeftButton ? markerAt(event->scenePos()) : nullptr;
    if (!hit) {
        event->ignore(); // the view may draw a rubber band instead
        return;
    }
    event->accept();
    if (event->modifiers() & Qt::ControlModifier) {
        // Ctrl+click adds the object to the selection or takes it out; nothing is dragged.
        QVector<qint64> offsets = selectedOffsets();
        const bool had = offsets.removeAll(hit->offset()) > 0;
        if (!had)
            offsets.append(hit->offset());
        const qint64 current =
            had ? (m_current == hit->offset() ? offsets.value(0, -1) : m_current) : hit->offset();
        setSelection(offsets, current);
        emit selectionPicked(selectedOffsets(), m_current);
        return;
    }
    m_pressed = hit;
    m_dragging = false;
    // Pressing one of several selected markers drags them all; a click without a drag then
    // selects it alone.
    m_collapseOnRelease = m_selected.contains(hit) && m_selected.size() > 1;
    if (!m_collapseOnRelease) {
        selectMarker(hit->offset());
        emit markerClicked(hit->offset());
    }
    m_dragged.clear();
    for (MarkerItem *m : std::as_const(m_selected))
        m_dragged.append({m, m->levelPos()});
}

void LevelScene::mouseMoveEvent(QGraphicsSceneMouseEvent *event) {
    if (!m_pressed || !(event->buttons() & Qt::LeftButton)) {
        QGraphicsScene::mouseMoveEvent(event);
        return;
    }
    const QPointF screenMoved = event->screenPos() - event->buttonDownScreenPos(Qt::LeftButton);
    if (!m_dragging && screenMoved.manhattanLength() < QApplication::startDragDistance())
        return;
    m_dragging = true;
    // The markers keep to the level pixel under the mouse, whatever the zoom, and all stay
    // inside the limits together.
    const QPointF now = event->scenePos(), then = event->buttonDownScenePos(Qt::LeftButton);
    int dx = int(std::floor(now.x()) - std::floor(then.x()));
    int dy = int(std::floor(now.y()) - std::floor(then.y()));
    for (const Dragged &d : std::as_const(m_dragged)) {
        dx = std::clamp(dx, -d.start.x(), MaxX - d.start.x());
        dy = std::clamp(dy, -d.start.y(), MaxY - d.start.y());
    }
    for (const Dragged &d : std::as_const(m_dragged))
        d.item->moveTo(d.start + QPoint(dx, dy));
}

void LevelScene::mouseReleaseEvent(QGraphicsSceneMouseEvent *event) {
    if (!m_pressed || event->button() != Qt::LeftButton) {
        QGraphicsScene::mouseReleaseEvent(event);
        return;
    }
    const qint64 offset = m_pressed->offset();
    const QVector<Dragged> dragged = m_dragged;
    const QPoint moved =
        dragged.isEmpty() ? QPoint() : dragged.first().item->levelPos() - dragged.first().start;
    const bool wasDragging = m_dragging, collapse = m_collapseOnRelease;
    endDrag();
    // Last: whoever hears these may replace the whole scene.
    if (!wasDragging && collapse) {
        selectMarker(offset);
        emit markerClicked(offset);
    } else if (wasDragging && !moved.isNull() && dragged.size() == 1) {
        const QPoint to = dragged.first().item->levelPos();
        emit markerMoved(offset, to.x(), to.y());
    } else if (wasDragging && !moved.isNull()) {
        QVector<qint64> offsets;
        for (const Dragged &d : dragged)
            offsets.append(d.item->offset());
        emit markersMoved(offsets, moved.x(), moved.y());
    }
}

void LevelScene::keyPressEvent(QKeyEvent *event) {
    if (event->key() == Qt::Key_Escape && m_pressed) {
        cancelDrag();
        event->accept();
        return;
    }
    QGraphicsScene::keyPressEvent(event);
}

void LevelScene::cancelDrag() {
    for (const Dragged &d : std::as_const(m_dragged))
        d.item->moveTo(d.start);
    endDrag();
}

void LevelScene::endDrag() {
    m_pressed = nullptr;
    m_dragged.clear();
    m_dragging = false;
    m_collapseOnRelease = false;
}

} // namespace map

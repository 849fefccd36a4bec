#pragma once
// A level as a graphics scene: the terrain painted behind everything from a cache of rendered
// chunks (only the cells a repaint exposes), and one item per object above it, drawn as its
// sprite or as a marker. Objects are clicked and dragged here; the outcome leaves as signals, so
// the scene never edits anything.

#include "map/terrainsource.h"

#include <QCache>
#include <QGraphicsScene>
#include <QHash>
#include <QPixmap>

#include <memory>

namespace map {

class MarkerItem;

class LevelScene : public QGraphicsScene {
    Q_OBJECT
  public:
    // Where nothing is drawn inside the level (as in the exported picture), and around it.
    static constexpr QRgb Backdrop = 0xFF404040;
    static constexpr QRgb Surround = 0xFF202020;
    // The largest position a drag may give: X $FFFF would read as the end of the layout, and Y
    // has twelve position bits.
    static constexpr int MaxX = 0xFFFE;
    static constexpr int MaxY = 0x0FFF;
    // Cell of the plain grid drawn when there is no terrain.
    static constexpr int PlainGrid = 256;

    explicit LevelScene(QObject *parent = nullptr);
    ~LevelScene() override;

    // Replaces everything shown. A null or unusable terrain gives the plain grid over the
    // objects' extent. Passing the terrain shown already keeps the chunks rendered from it.
    // `rings` (Sonic 2's, which are no records) are drawn in front of every object, the first
    // in front, and cannot be clicked.
    void setLevel(const std::shared_ptr<const TerrainSource> &terrain,
                  const QVector<MapObject> &objects, const QVector<MapObject> &rings = {});
    void clearLevel();

    bool hasTerrain() const { return m_terrain != nullptr; }
    // Why there is no terrain (empty when there is, or when no reason was given).
    QString reason() const { return m_reason; }
    // The level's extent in level pixels (0, 0 at the top left).
    QRectF levelRect() const { return m_levelRect; }
    // The side of a grid cell: the chunk size, or PlainGrid without terrain.
    int gridSize() const;

    void setGridShown(bool shown);
    bool gridShown() const { return m_gridShown; }

    // Objects drawn as their sprites (those that have one), or every object as its marker.
    void setSpritesShown(bool shown);
    bool spritesShown() const { return m_spritesShown; }
    // The record of the topmost object drawn at a scene point, or -1.
    qint64 objectAt(const QPointF &scenePos) const;

    // The view's scale: below 1:1 markers keep a few screen pixels so that they stay visible.
    void setViewScale(qreal scale);
    // Scene units per screen pixel at the current view scale.
    qreal devicePixel() const { return m_devicePixel; }

    // Highlights the object's marker (and no other); false when it has none.
    bool selectMarker(qint64 offset);
    // Highlights the markers of `offsets` (those it has) and no other; `current` is the one the
    // object list shows.
    void setSelection(const QVector<qint64> &offsets, qint64 current);
    // The current selected marker's object, or -1; and every selected one, ascending.
    qint64 selectedOffset() const;
    QVector<qint64> selectedOffsets() const;
    // The objects whose markers' shapes touch `rect` (scene coordinates), ascending.
    QVector<qint64> markersIn(const QRectF &rect) const;
    // The marker's item (its pos() is the centre of the object's pixel), or null.
    QGraphicsItem *marker(qint64 offset) const;
    int markerCount() const { return int(m_markers.size()); }

    bool isDragging() const { return m_dragging; }
    // Puts the dragged markers back where they were; nothing is reported.
    void cancelDrag();

    // The chunk cache, for the benchmark: rendered pictures held and their size.
    int cachedPictures() const { return m_cache.count(); }
    qint64 cachedKiB() const { return m_cache.totalCost(); }

  signals:
    // A plain click: that object alone is selected.
    void markerClicked(qint64 offset);
    // Ctrl+click added or removed one: the selection is now `offsets`, `current` shown.
    void selectionPicked(const QVector<qint64> &offsets, qint64 current);
    // Once, when a drag ends somewhere else than it started: one marker dragged alone ...
    void markerMoved(qint64 offset, int x, int y);
    // ... or several selected ones, all by the same distance.
    void markersMoved(const QVector<qint64> &offsets, int dx, int dy);

  protected:
    void drawBackground(QPainter *painter, const QRectF &rect) override;
    void mousePressEvent(QGraphicsSceneMouseEvent *event) override;
    void mouseMoveEvent(QGraphicsSceneMouseEvent *event) override;
    void mouseReleaseEvent(QGraphicsSceneMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

  private:
    void drawTerrain(QPainter *painter, const QRectF &rect);
    void drawGrid(QPainter *painter, const QRectF &rect, int cell, const QColor &colour);
    const QPixmap *chunkPixmap(int chunk, int level);
    void renderAhead();
    MarkerItem *markerAt(const QPointF &scenePos) const;
    void endDrag();

    std::shared_ptr<const TerrainSource> m_terrain;
    QString m_reason;
    QRectF m_levelRect;
    bool m_gridShown = false;
    qreal m_devicePixel = 1;
    // Rendered chunks over the backdrop, full size and halved down to 1/8; cost in KiB.
    QCache<quint32, QPixmap> m_cache;
    QHash<qint64, MarkerItem *> m_markers;
    QVector<QGraphicsItem *> m_rings;
    bool m_spritesShown = true;
    QVector<MarkerItem *> m_selected;
    qint64 m_current = -1;

    MarkerItem *m_pressed = nullptr;
    struct Dragged {
        MarkerItem *item;
        QPoint start; // its level position when pressed
    };
    QVector<Dragged> m_dragged;
    bool m_dragging = false;
    bool m_collapseOnRelease = false; // a click on one of several selected markers
};

} // namespace map

#pragma once
// The map window: one level's terrain and objects in a zoomable view, beside the main window.
// It edits nothing itself: clicks and drags leave as signals, and its owner shows the level,
// the selection and the picture to save.

#include "map/terrainsource.h"

#include <QPoint>
#include <QWidget>

#include <functional>
#include <memory>

class QAction;
class QGraphicsView;
class QLabel;
class QToolBar;
namespace map {
class LevelScene;
}

class frmMap : public QWidget {
    Q_OBJECT
  public:
    static constexpr qreal MinZoom = 1.0 / 8;
    static constexpr qreal MaxZoom = 8;

    explicit frmMap(QWidget *parent = nullptr);
    ~frmMap() override;

    // Shows a level (replacing what was shown; the zoom stays). `terrain` may be null or say
    // it has none: then the objects stand on a plain grid and the status line gives the reason.
    // Showing the same row again keeps the view where it was, and the same terrain object keeps
    // the chunks already rendered from it; another row opens on its first object. `rings` are
    // drawn in front of the objects and cannot be clicked.
    void showLevel(const QString &rowText, const std::shared_ptr<const map::TerrainSource> &terrain,
                   const QVector<map::MapObject> &objects,
                   const QVector<map::MapObject> &rings = {});
    // Shows nothing (no image loaded).
    void clearLevel();
    // Highlights the object's marker and centres the view on it, except while this window is
    // reporting a click or move (the answer must not move the map under the mouse). Reports
    // nothing.
    void selectObject(qint64 offset);
    // The same for several objects; the view centres on `current`.
    void selectObjects(const QVector<qint64> &offsets, qint64 current);
    // What "Save Map Image..." writes: the exported picture of the shown level (null: none).
    void setPictureSource(std::function<QImage()> picture) { m_picture = std::move(picture); }
    // Whether objects are drawn as their sprites ("Sprites" in the tool bar) or as markers.
    bool spritesShown() const;

    QGraphicsView *view() const { return m_view; }
    map::LevelScene *scene() const { return m_scene; }
    qreal zoom() const { return m_zoom; }
    // Zooms about a point of the viewport (its centre when none is given), within the limits.
    void setZoom(qreal factor, QPoint anchor = QPoint(-1, -1));
    void zoomIn();
    void zoomOut();
    // As large as the whole level fits; zooming out goes as far as that needs.
    void fitLevel();

  signals:
    void objectClicked(qint64 offset);
    // Ctrl+click or a rubber band chose these objects, `current` first among them.
    void objectsPicked(const QVector<qint64> &offsets, qint64 current);
    // A marker dragged to a new place and released there (whole level pixels) ...
    void objectMoved(qint64 offset, int newX, int newY);
    // ... or several selected ones dragged together by the same distance.
    void objectsMoved(const QVector<qint64> &offsets, int dx, int dy);
    // "Delete Object" (Delete), "Copy Objects" (Ctrl+C) on the selected objects; "Paste
    // Objects" (Ctrl+V: the first record lands on `at`, the level pixel under the mouse or in the
    // view's centre) and "Paste Objects in Place" (Ctrl+Shift+V: `at` is (-1, -1)).
    void deleteRequested();
    void copyRequested();
    void pasteRequested(QPoint at);
    // "Add Object Here" from the map's right-click menu, at that level pixel.
    void addRequested(QPoint at);

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

  private:
    void buildControls();
    qreal fittingZoom() const;
    void saveImage();
    void showPointer(const QPoint &viewportPos);
    void updateStatus();
    void reportClick(qint64 offset);
    void reportMove(qint64 offset, int x, int y);
    // Emits a request while the owner's answer must not move the view.
    void report(const std::function<void()> &emitIt);
    void buildObjectActions();
    void rubberBand(const QRect &viewRect);
    void contextMenu(const QPoint &viewportPos);
    QPoint levelPixel(const QPoint &viewportPos) const;
    QPoint pasteTarget() const;

    map::LevelScene *m_scene = nullptr;
    QGraphicsView *m_view = nullptr;
    QToolBar *m_tools = nullptr;
    QLabel *m_status = nullptr;
    QAction *actionGrid = nullptr;
    QAction *actionSaveImage = nullptr;
    QAction *actionSprites = nullptr;
    QList<QAction *> m_objectActions;
    QRectF m_band; // the rubber band's last extent (scene), while one is drawn
    std::function<QImage()> m_picture;
    QString m_rowText;
    QString m_pointerText;
    qreal m_zoom = 1;
    bool m_panning = false;
    QPoint m_panLast;
    // Set while this window reports: the owner's answer must not move the view under the mouse.
    bool m_reporting = false;
};

#pragma once
// Joins the map window to the main window and its image: the map follows the level and the
// selection the document holds, and its clicks, drags and commands come back as the selection
// and as the image's undoable steps. Terrain is read only while the map is open.

#include "map/levelterrainsource.h"
#include "map/terrainsource.h"
#include "sprites/levelsprites.h"

#include <QObject>
#include <QVector>

#include <memory>

class ImageDocument;
class ObjectCommands;
class QAction;
class SpriteModel;
class frmMain;
class frmMap;

class MapLink : public QObject {
    Q_OBJECT
  public:
    // `sprites` is the main window's object list: the map shows the records it lists. The map's
    // object commands go through `commands`.
    MapLink(frmMain *main, ImageDocument *document, const SpriteModel *sprites,
            ObjectCommands *commands);
    ~MapLink() override;

    // "Show Map" (Ctrl+M): opens the map window showing the level the object list shows, or
    // brings it to the front.
    QAction *showMapAction() const { return m_showMap; }
    void showMap();
    // The map window once it was opened, else null.
    frmMap *mapWindow() const { return m_map; }

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

  private:
    void createMap();
    bool mapOpen() const;
    void refresh();
    void levelShown();
    void selectionChanged();
    void imageReplaced();
    void objectsPicked(const QVector<qint64> &offsets, qint64 current);
    void objectMoved(qint64 offset, int x, int y);
    void objectsMoved(const QVector<qint64> &offsets, int dx, int dy);
    void paste(QPoint at);
    void addHere(QPoint at);
    int shownRow() const;
    struct Kept;
    const Kept &kept(int row);
    QVector<map::MapObject> objects(int row, const sprites::LevelSprites &looks) const;
    QImage picture();

    frmMain *m_main;
    ImageDocument *m_doc;
    const SpriteModel *m_sprites;
    ObjectCommands *m_commands;
    QAction *m_showMap = nullptr;
    frmMap *m_map = nullptr; // a window of its own (no parent), deleted with this link
    struct Kept {
        int row;
        std::shared_ptr<const map::LevelTerrainSource> terrain;
        std::shared_ptr<const sprites::LevelSprites> looks; // what its objects look like
    };
    QVector<Kept> m_terrains; // of the current image, the most recently shown first
};

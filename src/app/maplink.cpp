#include "app/maplink.h"

#include "app/editoractions.h"
#include "app/frmmain.h"
#include "app/frmmap.h"
#include "app/objectcommands.h"
#include "document/imagedocument.h"
#include "levels/leveltables.h"
#include "objects/spritemodel.h"
#include "sprites/objectnames.h"
#include "sprites/spritelayer.h"
#include "text/hextext.h"

#include "map/levelscene.h"

#include <QAction>
#include <QEvent>
#include <QUndoStack>

#include <algorithm>

namespace {

// Terrain kept for the levels shown last: going back to one reuses its rendered chunks, while
// a user touring every level does not hold them all at once.
constexpr int KeptTerrains = 3;

quint16 wordAt(const QByteArray &data, qint64 at) {
    return quint16(quint8(data[at]) << 8 | quint8(data[at + 1]));
}

} // namespace

MapLink::MapLink(frmMain *main, ImageDocument *document, const SpriteModel *sprites,
                 ObjectCommands *commands)
    : QObject(main), m_main(main), m_doc(document), m_sprites(sprites), m_commands(commands) {
    setObjectName(QStringLiteral("mapLink"));
    m_showMap = editing::windowAction(main, new QAction(QStringLiteral("Show Map"), this),
                                      "actionShowMap", {QKeySequence(Qt::CTRL | Qt::Key_M)});
    connect(m_showMap, &QAction::triggered, this, &MapLink::showMap);

    connect(document->selection(), &LevelSelection::levelShown, this, &MapLink::levelShown);
    connect(document->selection(), &LevelSelection::selectionChanged, this,
            &MapLink::selectionChanged);
    connect(document, &ImageDocument::imageReplaced, this, &MapLink::imageReplaced);
    main->installEventFilter(this);
}

MapLink::~MapLink() {
    // The main window's parts may be gone already: nothing the map says may reach them now.
    if (m_map) {
        m_map->disconnect(this);
        delete m_map;
    }
}

void MapLink::createMap() {
    m_map = new frmMap();
    editing::addUndoRedo(m_map, m_doc->undoStack());
    m_map->setPictureSource([this] { return picture(); });
    connect(m_map, &frmMap::objectClicked, m_main, &frmMain::selectRecord);
    connect(m_map, &frmMap::objectMoved, this, &MapLink::objectMoved);
    connect(m_map, &frmMap::objectsPicked, this, &MapLink::objectsPicked);
    connect(m_map, &frmMap::objectsMoved, this, &MapLink::objectsMoved);
    connect(m_map, &frmMap::deleteRequested, this,
            [this] { m_commands->remove(m_map, m_doc->selection()->records()); });
    connect(m_map, &frmMap::copyRequested, this,
            [this] { m_commands->copy(m_doc->selection()->records()); });
    connect(m_map, &frmMap::pasteRequested, this, &MapLink::paste);
    connect(m_map, &frmMap::addRequested, this, &MapLink::addHere);
}

int MapLink::shownRow() const {
    return m_doc->selection()->level();
}

bool MapLink::mapOpen() const {
    return m_map && m_map->isVisible();
}

void MapLink::showMap() {
    if (!m_map)
        createMap();
    if (!m_map->isVisible()) {
        // A shut map follows nothing: it catches up once shown, when its view has its size
        // and can centre the selected object.
        m_map->show();
        refresh();
    }
    m_map->setWindowState(m_map->windowState() & ~Qt::WindowMinimized);
    m_map->raise();
    m_map->activateWindow();
}

bool MapLink::eventFilter(QObject *watched, QEvent *event) {
    // The main window closed (not minimised): the map goes with it, so that no window is left
    // holding the program open.
    if (watched == m_main && event->type() == QEvent::Hide && !event->spontaneous() && m_map)
        m_map->close();
    return QObject::eventFilter(watched, event);
}

void MapLink::refresh() {
    const int row = shownRow();
    if (row < 0 || row >= LevelCount) {
        m_map->clearLevel();
        return;
    }
    const Kept &shown = kept(row);
    QVector<map::MapObject> rings;
    for (const sprites::Appearance &ring : shown.looks->rings())
        rings.append({-1, 0, 0, {}, {}, ring.picture, ring.topLeft, ring.priority});
    m_map->showLevel(levelNames(m_doc->game()).value(row), shown.terrain,
                     objects(row, *shown.looks), rings);
    selectionChanged();
}

void MapLink::levelShown() {
    if (mapOpen())
        refresh();
}

void MapLink::selectionChanged() {
    if (mapOpen())
        m_map->selectObjects(m_doc->selection()->records(), m_doc->selection()->current());
}

void MapLink::imageReplaced() {
    m_terrains.clear();
    if (mapOpen())
        refresh();
}

void MapLink::objectsPicked(const QVector<qint64> &offsets, qint64 current) {
    // The object list shows the current one first; the whole choice is the selection after.
    m_main->selectRecord(current);
    m_doc->selection()->select(offsets, current);
}

void MapLink::objectsMoved(const QVector<qint64> &offsets, int dx, int dy) {
    const QByteArray &data = m_doc->data();
    QVector<ImageDocument::Moved> moves;
    for (qint64 at : offsets) {
        if (at < 0 || at + 6 > data.size())
            continue;
        layout::Record r{};
        std::copy_n(data.constData() + at, r.size(), r.begin());
        const int x = std::clamp(int(wordAt(data, at)) + dx, 0, map::LevelScene::MaxX);
        const int yWord = wordAt(data, at + 2);
        const int y = (yWord & 0xF000) | (std::clamp((yWord & 0x0FFF) + dy, 0, 0x0FFF));
        r[0] = quint8(x >> 8);
        r[1] = quint8(x);
        r[2] = quint8(y >> 8);
        r[3] = quint8(y);
        moves.append({at, r});
    }
    if (!m_doc->moveRecords(shownRow(), moves))
        refresh();
}

void MapLink::paste(QPoint at) {
    std::optional<QVector<layout::Record>> records = m_commands->clipboardRecords(m_map);
    if (!records || records->isEmpty())
        return;
    if (at != QPoint(-1, -1)) {
        // Moved as one, so that the first record lands on the point.
        const layout::Record &first = records->first();
        const int dx = at.x() - layout::xOf(first);
        const int dy = at.y() - ((first[2] << 8 | first[3]) & 0x0FFF);
        for (layout::Record &r : *records) {
            const int x = std::clamp(layout::xOf(r) + dx, 0, 0xFFFF);
            const int yWord = r[2] << 8 | r[3];
            const int y = (yWord & 0xF000) | std::clamp((yWord & 0x0FFF) + dy, 0, 0x0FFF);
            r = {quint8(x >> 8), quint8(x), quint8(y >> 8), quint8(y), r[4], r[5]};
        }
    }
    m_commands->insert(m_map, *records, QStringLiteral("Paste Objects"));
}

void MapLink::addHere(QPoint at) {
    layout::Record r = m_commands->editorRecord();
    // Type and subtype from the editors, and the flag bits above Y's position.
    const int y = ((r[2] << 8 | r[3]) & 0xF000) | (at.y() & 0x0FFF);
    r = {quint8(at.x() >> 8), quint8(at.x()), quint8(y >> 8), quint8(y), r[4], r[5]};
    m_commands->insert(m_map, {r}, QStringLiteral("Add Object Here"));
}

void MapLink::objectMoved(qint64 offset, int x, int y) {
    const QByteArray &data = m_doc->data();
    const int row = shownRow();
    if (row < 0 || offset < 0 || offset + 6 > data.size())
        return;
    std::array<quint8, 6> bytes{};
    std::copy_n(data.constData() + offset, bytes.size(), bytes.begin());
    // Position bits only: the flags above Y's twelve position bits, type and subtype stay.
    const int newY = (wordAt(data, offset + 2) & 0xF000) | (y & 0x0FFF);
    bytes[0] = quint8(x >> 8);
    bytes[1] = quint8(x);
    bytes[2] = quint8(newY >> 8);
    bytes[3] = quint8(newY);
    // A step lists the level again and selects the record where it now is; the map follows
    // from there. Without a step the marker goes back to where its record is.
    if (m_doc->changeRecord(row, offset, bytes) < 0)
        refresh();
}

const MapLink::Kept &MapLink::kept(int row) {
    const auto kept = std::find_if(m_terrains.begin(), m_terrains.end(),
                                   [row](const Kept &k) { return k.row == row; });
    if (kept != m_terrains.end()) {
        const Kept found = *kept;
        m_terrains.erase(kept);
        m_terrains.prepend(found);
        return m_terrains.first();
    }
    // Object edits never touch the art, blocks, chunks, layouts or object code: what a level is
    // drawn from holds for as long as the image does (each record is read afresh).
    const QByteArray &data = m_doc->data();
    m_terrains.prepend({row, map::LevelTerrainSource::load(data, m_doc->revision(), row),
                        sprites::LevelSprites::load(data, m_doc->revision(), row)});
    if (m_terrains.size() > KeptTerrains)
        m_terrains.removeLast();
    return m_terrains.first();
}

QVector<map::MapObject> MapLink::objects(int row, const sprites::LevelSprites &looks) const {
    const QByteArray &data = m_doc->data();
    const int game = m_doc->game();
    const int count = m_sprites->rowCount();
    QVector<map::MapObject> objects;
    objects.reserve(count);
    for (int i = 0; i < count; ++i) {
        const qint64 at = m_sprites->offsetAt(i);
        if (at < 0 || at + 6 > data.size())
            continue;
        map::MapObject o{at, wordAt(data, at), wordAt(data, at + 2) & 0x0FFF, m_sprites->lineAt(i)};
        const auto type = quint8(data[at + 4]);
        const QString name = sprites::objectName(game, row, type);
        if (!name.isEmpty())
            o.name = name + QStringLiteral(" (") + two(game == 1 ? type & 0x7F : type) + ')';
        const sprites::Appearance look = looks.record(data, at);
        if (look.look == sprites::Look::Sprite) {
            o.sprite = look.picture;
            o.spriteAt = look.topLeft;
            o.priority = look.priority;
        }
        objects.append(o);
    }
    return objects;
}

QImage MapLink::picture() {
    const int row = shownRow();
    if (row < 0 || row >= LevelCount)
        return QImage();
    // What the map shows: the objects as their sprites, or all as markers.
    const Kept &shown = kept(row);
    const QByteArray &data = m_doc->data();
    const QVector<map::ObjectMarker> records = map::objectMarkers(data, m_doc->layoutStart(row));
    return m_map && m_map->spritesShown()
               ? sprites::levelPicture(shown.terrain->terrain(), *shown.looks, data, records)
               : map::levelPicture(shown.terrain->terrain(), records);
}

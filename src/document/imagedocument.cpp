#include "document/imagedocument.h"

#include "edits/changerecordcommand.h"
#include "edits/clearlevelcommand.h"
#include "edits/layoutstepcommand.h"
#include "objects/layout.h"
#include "rom/checksum.h"

#include <QUndoStack>

#include <memory>

ImageDocument::ImageDocument(QObject *parent)
    : QObject(parent), m_path(rom::NoPath), m_undo(new QUndoStack(this)),
      m_selection(new LevelSelection(this)) {
    m_levelAddresses.fill(NoLevel);
    connect(m_undo, &QUndoStack::cleanChanged, this,
            [this](bool clean) { emit modifiedChanged(!clean); });
}

ImageDocument::~ImageDocument() {
    // The steps hold references to the image: they go first.
    delete m_undo;
}

bool ImageDocument::isModified() const {
    return !m_undo->isClean();
}

void ImageDocument::load(QByteArray data, const QString &path) {
    m_undo->clear();
    m_data = std::move(data);
    m_path = path;
    m_revision = rom::revision(m_data);
    m_checksumRightAtLoad = rom::checksumRight(m_data);
    m_selection->showLevel(-1);
    emit imageReplaced();
}

void ImageDocument::loadLevelAddresses(int game) {
    if (rom::gameCode(m_revision) == game)
        loadAddresses(m_levelAddresses, m_data, m_revision);
    else
        loadAddresses(m_levelAddresses, game);
    m_game = game;
}

qint64 ImageDocument::layoutStart(int levelRow) const {
    if (levelRow < 0 || levelRow >= LevelCount)
        return -1;
    return m_levelAddresses[levelRow];
}

void ImageDocument::notify(int levelRow, qint64 recordOffset) {
    emit recordsChanged(levelRow, recordOffset);
}

qint64 ImageDocument::changeRecord(int levelRow, qint64 offset,
                                   const std::array<quint8, 6> &bytes) {
    if (offset < 0 || offset + layout::RecordSize > m_data.size())
        return -1;
    const qint64 start = layoutStart(levelRow);
    const qint64 count = start >= 0 ? layout::walk(m_data, start).count : 0;
    auto step = std::make_unique<edits::ChangeRecordCommand>(
        m_data, levelRow, start, count, offset, bytes,
        [this](int row, qint64 at) { notify(row, at); });
    if (!step->changesAnything())
        return -1;
    const qint64 after = step->offsetAfter();
    m_undo->push(step.release());
    return after;
}

bool ImageDocument::clearLevel(int levelRow, const QVector<qint64> &recordOffsets) {
    auto step = std::make_unique<edits::ClearLevelCommand>(
        m_data, levelRow, recordOffsets, [this](int row, qint64 at) { notify(row, at); });
    if (!step->changesAnything())
        return false;
    m_undo->push(step.release());
    return true;
}

void ImageDocument::notifyMany(int levelRow, const QVector<qint64> &recordOffsets) {
    // Lists may have moved: the rows follow the image's own table again.
    loadLevelAddresses(m_game);
    emit recordsChanged(levelRow, recordOffsets.value(0, -1));
    m_selection->select(recordOffsets);
}

QString ImageDocument::levelName(int levelRow) const {
    return levelNames(m_game).value(levelRow).section(QStringLiteral(" - "), 1);
}

QString ImageDocument::insertRecords(int levelRow, const QVector<layout::Record> &records,
                                     const QString &text) {
    QString refusal;
    auto step = edits::InsertRecordsCommand::make(
        text,
        {m_data, m_revision, levelRow, levelName(levelRow), m_selection->records(),
         [this](int row, const QVector<qint64> &at) { notifyMany(row, at); }},
        records, &refusal);
    if (step && step->changesAnything())
        m_undo->push(step.release());
    return refusal;
}

QString ImageDocument::deleteRecords(int levelRow, const QVector<qint64> &recordOffsets) {
    QString refusal;
    auto step = edits::DeleteRecordsCommand::make(
        {m_data, m_revision, levelRow, levelName(levelRow), m_selection->records(),
         [this](int row, const QVector<qint64> &at) { notifyMany(row, at); }},
        recordOffsets, &refusal);
    if (step && step->changesAnything())
        m_undo->push(step.release());
    return refusal;
}

bool ImageDocument::moveRecords(int levelRow, const QVector<Moved> &moves) {
    const qint64 start = layoutStart(levelRow);
    if (start < 0)
        return false;
    QVector<edits::MoveRecordsCommand::Move> steps;
    for (const Moved &m : moves)
        steps.append({m.offset, m.bytes});
    auto step = edits::MoveRecordsCommand::make(
        {m_data, m_revision, levelRow, levelName(levelRow), m_selection->records(),
         [this](int row, const QVector<qint64> &at) { notifyMany(row, at); }},
        start, layout::walk(m_data, start).count, steps);
    if (!step || !step->changesAnything())
        return false;
    m_undo->push(step.release());
    return true;
}

bool ImageDocument::save(QString *reason) {
    return saveAs(m_path, reason);
}

bool ImageDocument::saveAs(const QString &newPath, QString *reason) {
    if (m_checksumRightAtLoad)
        rom::writeChecksum(m_data);
    if (!rom::saveImage(newPath, m_data, reason))
        return false;
    m_path = newPath;
    m_undo->setClean();
    return true;
}

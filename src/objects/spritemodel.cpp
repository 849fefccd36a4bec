#include "objects/spritemodel.h"

#include <limits>

SpriteModel::SpriteModel(const CaptionCatalogue &captions, QObject *parent)
    : QAbstractListModel(parent), m_captions(captions) {}

layout::Walk SpriteModel::list(const QByteArray &image, qint64 start) {
    beginResetModel();
    const layout::Walk w = layout::walk(image, start);
    m_image = image;
    m_start = start;
    m_count = static_cast<int>(qMin<qint64>(w.count, std::numeric_limits<int>::max()));
    endResetModel();
    return w;
}

void SpriteModel::clear() {
    beginResetModel();
    m_image.clear();
    m_start = 0;
    m_count = 0;
    endResetModel();
}

int SpriteModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : m_count;
}

QVariant SpriteModel::data(const QModelIndex &index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= m_count)
        return {};
    return lineAt(index.row());
}

QString SpriteModel::lineAt(int row) const {
    const qint64 at = offsetAt(row);
    return at < 0 ? QString() : layout::line(m_image, at, m_captions);
}

qint64 SpriteModel::offsetAt(int row) const {
    if (row < 0 || row >= m_count)
        return -1;
    return m_start + qint64(row) * layout::RecordSize;
}

int SpriteModel::rowOf(qint64 offset) const {
    const qint64 from = offset - m_start;
    if (offset < 0 || from < 0 || from % layout::RecordSize != 0)
        return -1;
    const qint64 row = from / layout::RecordSize;
    return row < m_count ? static_cast<int>(row) : -1;
}

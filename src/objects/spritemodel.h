#pragma once
// The object list of one level. A listing keeps a copy of the image as it stood (shared, so it
// costs nothing until the image is edited) and builds each line only when a view asks for it,
// which keeps even a layout of hundreds of thousands of records instant to list.

#include "objects/layout.h"

#include <QAbstractListModel>
#include <QByteArray>

class CaptionCatalogue;

class SpriteModel : public QAbstractListModel {
    Q_OBJECT
  public:
    explicit SpriteModel(const CaptionCatalogue &captions, QObject *parent = nullptr);

    // Replaces the list with the layout at `start` of `image`; returns the walk's figures.
    layout::Walk list(const QByteArray &image, qint64 start);
    void clear();

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    // The line text of `row`, or the empty text outside the list.
    QString lineAt(int row) const;
    // The image offset of the record on `row` (the number its line starts with), or -1.
    qint64 offsetAt(int row) const;
    // The row listing the record at `offset`, or -1.
    int rowOf(qint64 offset) const;

  private:
    const CaptionCatalogue &m_captions;
    QByteArray m_image;
    qint64 m_start = 0;
    int m_count = 0;
};

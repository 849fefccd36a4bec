#pragma once
// A hand-made terrain for the map window: a layout of cells naming chunks, each chunk painted by
// a function, so tests know every pixel and the benchmark can ask for any size.

#include "map/terrainsource.h"

#include <atomic>
#include <functional>
#include <memory>
#include <utility>

namespace testsupport {

class GridTerrain : public map::TerrainSource {
  public:
    using Painter = std::function<QImage(int chunk, int size)>;

    GridTerrain(int chunkSize, int columns, int rows, QVector<int> cells, Painter paint)
        : m_size(chunkSize), m_columns(columns), m_rows(rows), m_cells(std::move(cells)),
          m_paint(std::move(paint)) {}
    // A level without terrain, for the reason given.
    explicit GridTerrain(QString reason) : m_reason(std::move(reason)) {}

    bool hasTerrain() const override { return m_size > 0; }
    QString reason() const override { return m_reason; }
    QSize size() const override { return {m_columns * m_size, m_rows * m_size}; }
    int chunkSize() const override { return m_size; }
    int columns() const override { return m_columns; }
    int rows() const override { return m_rows; }
    int chunkAt(int column, int row) const override {
        const int i = row * m_columns + column;
        return i >= 0 && i < m_cells.size() ? m_cells[i] : -1;
    }
    QImage chunkImage(int chunk) const override {
        ++chunkRenders;
        return m_paint ? m_paint(chunk, m_size) : QImage();
    }

    mutable std::atomic<int> chunkRenders = 0; // how often a chunk picture was asked for

  private:
    int m_size = 0, m_columns = 0, m_rows = 0;
    QVector<int> m_cells;
    Painter m_paint;
    QString m_reason;
};

// A chunk in one colour, the left `clearColumns` pixel columns transparent.
inline QImage plainChunk(QRgb colour, int size, int clearColumns = 0) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(colour);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < clearColumns; ++x)
            image.setPixel(x, y, 0);
    return image;
}

} // namespace testsupport

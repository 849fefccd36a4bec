#pragma once
// A level's terrain as the map window reads it: LevelTerrain behind the window's interface.

#include "map/levelterrain.h"
#include "map/terrainsource.h"

#include <memory>

namespace map {

class LevelTerrainSource : public TerrainSource {
  public:
    explicit LevelTerrainSource(LevelTerrain terrain) : m_terrain(std::move(terrain)) {}

    // The terrain of `row` of `image`, resolved through the revision's own tables.
    static std::shared_ptr<const LevelTerrainSource> load(const QByteArray &image,
                                                          rom::Revision revision, int row) {
        return std::make_shared<const LevelTerrainSource>(LevelTerrain::load(image, revision, row));
    }

    bool hasTerrain() const override { return m_terrain.hasTerrain(); }
    QString reason() const override { return m_terrain.reason(); }
    QSize size() const override { return m_terrain.size(); }
    int chunkSize() const override { return m_terrain.chunkSize(); }
    int columns() const override { return m_terrain.columns(); }
    int rows() const override { return m_terrain.rows(); }
    int chunkAt(int column, int row) const override { return m_terrain.chunkAt(column, row); }
    QImage chunkImage(int chunk) const override { return m_terrain.chunkImage(chunk); }

    // The terrain itself, for the exported picture ("Save Map Image...").
    const LevelTerrain &terrain() const { return m_terrain; }

  private:
    LevelTerrain m_terrain;
};

} // namespace map

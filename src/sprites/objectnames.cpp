#include "sprites/objectnames.h"

namespace sprites {

QString objectName(int game, int row, quint8 type) {
    Q_UNUSED(game)
    Q_UNUSED(row)
    Q_UNUSED(type)
    return {};
}

} // namespace sprites

// Sonic 1: how the objects beyond the most placed ones look at level start, each rule read from
// the object's own init code.

#include "sprites/imagebytes.h"
#include "sprites/ruletools.h"

namespace sprites::rules {

namespace {} // namespace

const std::vector<IdRule> &sonic1Rules() {
    static const std::vector<IdRule> kRules = {};
    return kRules;
}

} // namespace sprites::rules

#pragma once
// What the per-object rules share: the record as a rule sees it, and the few ways a rule turns
// the constants it found into sprites. Internal to the sprite rules.

#include "sprites/objectrules.h"

#include <optional>
#include <vector>

namespace sprites::rules {

using Value = std::optional<quint32>;

// What a rule sees of one record.
struct Context {
    const ObjectRules &rules;
    const InitScan &scan;
    const RecordBytes &record;
    bool xFlip; // the record's own flips
    bool yFlip;
    int s; // subtype
};

Drawn hidden();
Drawn marker();
MappingFormat formatOf(const Context &c);

// One sprite at the record's position; a marker when a constant was not found.
Drawn one(const Context &c, Value mappings, int frame, Value art, int priority, bool xFlip,
          bool yFlip);

// M1, A1 and P1 on a0, with the given frame and the record's flips.
Drawn plain(const Context &c, int frame);

// The table named by the first lea d8(pc,d0.w),aN in the init's first `window` bytes (a
// per-subtype table the init indexes).
std::optional<qint64> indexedLea(const Context &c, int window = 128);

// The n-th mappings and art constants on a0, with the given frame, priority and flips.
Drawn fixed(const Context &c, int mappings, int art, int frame, int priority, bool xFlip,
            bool yFlip);

// Signposts of both games: constants `n`, the first frame of animation 0 (which their code names
// every frame) with the script's flips alone (the init replaces the render flags), priority 4,
// the art brought in by their own list as the camera nears the act's end.
Drawn signpost(const Context &c, int n);

// The first frame of animation `anim` in the script table named by the first lea (table).l,a1
// within the scanned bytes: the frame byte, flip bits included (Sonic 1 keeps flips in bits 5
// and 6). None when the script starts with an end mark or anything lies outside the image.
// `fromCode`: look from the object's own code, where its routine dispatch names the script every
// frame, rather than from its init.
std::optional<int> firstAnimationFrame(const Context &c, int anim, bool fromCode = false);

using Rule = Drawn (*)(const Context &);

struct IdRule {
    int game;
    int id;
    Rule rule; // null: the game never shows it (shown only in debug mode)
};

// The rules of each game beyond the most placed objects', one entry per id.
const std::vector<IdRule> &sonic1Rules();
const std::vector<IdRule> &sonic2Rules();

// The rule of `id` in those tables, or null.
const IdRule *gameRule(int game, int id);

} // namespace sprites::rules

// SPDX-FileCopyrightText: 2026 The Vemol developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/scripted_player.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <deque>
#include <map>
#include <optional>
#include <utility>

namespace vemol::test {
namespace {

// The lowest die still coming down in the columns the player minds, or null.
const ObjectRecord* Target(const GameState& g, int columns) {
    const ObjectRecord* best = nullptr;
    for (const ObjectRecord& die : g.fallingDice)
        if (die.live && !die.collected && die.column < columns && (!best || die.z < best->z)) best = &die;
    return best;
}

// A die of our own, as numbers on its sides (-x, +y, +x, -y, +z, -z), tipped as a real
// die is: the player's plan is made on it, not on the game's vertices.
struct PlanState {
    int cell, row;  // row 0 at z = -15.3, row 1 at z = -18.75
    std::array<int, 6> sides;
};

PlanState Tipped(PlanState s, Key arrow) {
    const std::array<int, 6> o = s.sides;
    auto& n = s.sides;
    switch (arrow) {
        case Key::Left:
            n[0] = o[1];
            n[1] = o[2];
            n[2] = o[3];
            n[3] = o[0];
            --s.cell;
            break;
        case Key::Right:
            n[2] = o[1];
            n[1] = o[0];
            n[0] = o[3];
            n[3] = o[2];
            ++s.cell;
            break;
        case Key::Down:
            n[1] = o[4];
            n[5] = o[1];
            n[3] = o[5];
            n[4] = o[3];
            s.row = 1;
            break;
        default:
            n[1] = o[5];
            n[4] = o[1];
            n[3] = o[4];
            n[5] = o[3];
            s.row = 0;
            break;
    }
    return s;
}

bool Allowed(const PlanState& s, Key arrow) {
    switch (arrow) {
        case Key::Left: return s.cell > 0;
        case Key::Right: return s.cell < 11;
        case Key::Down: return s.row == 0;
        default: return s.row == 1;
    }
}

// The first arrow of a shortest way to `column` with `pips` on top.
std::optional<Key> FirstMove(const PlanState& from, int column, int pips) {
    const Key arrows[] = {Key::Left, Key::Right, Key::Down, Key::Up};
    std::map<std::pair<int, std::array<int, 7>>, bool> seen;
    auto key = [](const PlanState& s) {
        std::array<int, 7> k{};
        std::copy(s.sides.begin(), s.sides.end(), k.begin());
        k[6] = s.row;
        return std::make_pair(s.cell, k);
    };
    std::deque<std::pair<PlanState, Key>> queue;
    seen[key(from)] = true;
    for (Key a : arrows)
        if (Allowed(from, a)) queue.push_back({Tipped(from, a), a});
    while (!queue.empty()) {
        auto [s, first] = queue.front();
        queue.pop_front();
        if (seen[key(s)]) continue;
        seen[key(s)] = true;
        if (s.cell == column && s.sides[1] == pips) return first;
        for (Key a : arrows)
            if (Allowed(s, a)) queue.push_back({Tipped(s, a), first});
    }
    return std::nullopt;
}

PlanState Observe(GameState& g) {
    PlanState s;
    s.cell = static_cast<int>(std::lround((g.player.x + 22.55f) / 3.45f));
    s.row = g.player.z < -17.0f ? 1 : 0;
    const gfx::QuadVertex* v = g.playerDieMesh->lockVertices();
    for (int group = 0; group < 6; ++group) s.sides[group] = static_cast<int>(v[4 * group].diffuse >> 24);
    return s;
}

}  // namespace

bool ChooseKeys(Harness& h, int columns) {
    GameState& g = h.g;
    h.keys.releaseAll();
    const ObjectRecord* target = Target(g, columns);
    if (!target || g.player.rollDir != 0) return true;
    const PlanState now = Observe(g);
    if (now.sides[1] != g.player.topFace) return false;
    if (now.cell == target->column && now.sides[1] == target->face + 1) {
        h.keys.press(Key::Space);
        return true;
    }
    if (auto arrow = FirstMove(now, target->column, target->face + 1)) h.keys.press(*arrow);
    return true;
}

}  // namespace vemol::test

#pragma once
#include "platform/Math.h"

#include <vector>

class Airplane;
class Target;

// The orders a squadron's leader gives.
enum class SquadronOrder : int { Formation = 0, Attack = 1, Defend = 2 };

// A leader and its wingmen. Each squadron holds an id of the 128-entry
// table; one made while the table is full has id -1 and takes no members.
// Wingmen hold numbered slots behind the leader in the order they joined.
class Squadron {
public:
    static constexpr int kMaxSquadrons = 128;
    // Distance ahead of the leader of the anchor point.
    static constexpr float kAnchorDistance = 475.0f;
    // Spacing of the slots, across and back.
    static constexpr float kSlotSpacing = 120.0f;
    // Defending wingmen take on threats this near the leader.
    static constexpr float kDefendRadius = 3000.0f;

    Squadron();
    ~Squadron();
    Squadron(const Squadron&) = delete;
    Squadron& operator=(const Squadron&) = delete;

    int id() const { return m_id; }
    static Squadron* byId(int id);

    // Makes the airplane a member (it keeps a link) and, with lead, the leader.
    void add(Airplane& airplane, bool lead = false);
    // The airplane leaves (its link is cleared); a leaving leader leaves the
    // squadron without one.
    void remove(Airplane& airplane);
    void setLeader(Airplane* airplane);
    Airplane* leader() const { return m_leader; }
    const std::vector<Airplane*>& members() const { return m_members; }
    // 1 for the first wingman, 2 for the next...; 0 for the leader or a stranger.
    int slotOf(const Airplane& airplane) const;
    // Where slot n flies now: echelons to either side of and behind the leader.
    Vec3 slotPosition(int slot) const;

    // The modes' squadron command 0..4: 0 formation, 1 attack, 3 and 4
    // defend, 2 the next order in turn.
    void applyCommand(int command);
    SquadronOrder order() const { return m_order; }
    void setOrder(SquadronOrder order) { m_order = order; }

    // Once a frame: the anchor ahead of the leader and its orientation.
    void update();
    const Vec3& anchor() const { return m_anchor; }
    const Vec3& orientation() const { return m_orientation; }
    float turn = 0.0f;
    bool playerSquadron = false;  // the flag byte
    int spare = 0;

    // Drops t as leader and member.
    void forget(const Target& t);
    static void forgetEverywhere(const Target& t);

private:
    int m_id;
    Airplane* m_leader = nullptr;
    std::vector<Airplane*> m_members;
    SquadronOrder m_order = SquadronOrder::Formation;
    Vec3 m_anchor;
    Vec3 m_orientation{1.0f, 0.0f, 0.0f};
};

// What each HUD button does, on recording controls and a recording game side.
#include "HudPlayFixture.h"
#include "HudTestSupport.h"

namespace {

using HudActions = HudPlay;
using Pressed = std::pair<int, bool>;

TEST_F(HudActions, EachButtonStartsAndEndsItsActionAsItsKeyWould)
{
    struct Row {
        int id;
        std::vector<Pressed> expected;
    };
    const std::vector<Row> rows = {
        {1, {{action(ControlAction::Autopilot), true}}},
        {2, {{action(ControlAction::Autopilot), true}}},
        {4, {{action(ControlAction::Camera), true}}},
        {5, {{action(ControlAction::Weapon_1), true}, {action(ControlAction::Weapon_1), false}}},
        {6, {{action(ControlAction::Weapon_2), true}, {action(ControlAction::Weapon_2), false}}},
        {7, {{action(ControlAction::Weapon_3), true}, {action(ControlAction::Weapon_3), false}}},
        {8, {}},
        {9, {{action(ControlAction::Squadron_CmdA), true}}},
        {10, {{action(ControlAction::Squadron_CmdF), true}}},
        {11, {{action(ControlAction::Squadron_CmdD), true}}},
        {12, {{action(ControlAction::Radar), true}, {action(ControlAction::Radar), false}}},
        {18, {{action(ControlAction::Eject), true}}},
        {19, {{action(ControlAction::Link_Weapons), true}}},
        {20, {{action(ControlAction::Link_Weapons), true}}},
        {21, {}},
        {25, {{action(ControlAction::Boost), true}}},
    };
    for (const Row& row : rows) {
        handler.actions.clear();
        hud.pressButton(row.id);
        hud.releaseButton(row.id);
        EXPECT_EQ(handler.actions, row.expected) << "button " << row.id;
    }
    EXPECT_EQ(game.calls, (std::vector<std::string>{"end boost"}));
}

// While the mouse steers, each button wears the tag of the key that does what
// the button does: the key of the action a press of the button starts, the
// squadron's Form and Defend above all.
TEST_F(HudActions, EachButtonsKeyTagNamesTheKeyOfTheActionItStarts)
{
    state.relativeMouse = true;
    hud.update(state);
    for (int id : {1, 4, 5, 6, 7, 9, 10, 11, 12, 18, 19, 25}) {
        handler.actions.clear();
        hud.pressButton(id);
        hud.releaseButton(id);
        ASSERT_FALSE(handler.actions.empty()) << "button " << id;
        std::u16string bound;
        (void)controls.getActionBindingText(handler.actions.front().first + kFirstGameAction, bound);
        EXPECT_EQ(hud.keyHint(id), bound) << "button " << id;
    }
    for (int squad : {9, 10, 11})
        EXPECT_FALSE(hud.keyHint(squad).empty()) << "button " << squad;
    EXPECT_NE(hud.keyHint(10), hud.keyHint(11));
}

TEST_F(HudActions, WithoutAPlaneInPlayOnlyPauseAndChatAct)
{
    state.singlePlayer = false;
    state.player.removalState = 1;
    hud.update(state);
    for (int id = 1; id <= 26; ++id) {
        hud.pressButton(id);
        hud.releaseButton(id);
    }
    EXPECT_TRUE(handler.actions.empty());
    EXPECT_EQ(game.calls, (std::vector<std::string>{"pause", "chat", "chat custom"}));
    game.calls.clear();
    state.player = HudPlaneState{};
    state.singlePlayer = true;
    hud.update(state);
    for (int id = 1; id <= 26; ++id) {
        hud.pressButton(id);
        hud.releaseButton(id);
    }
    EXPECT_TRUE(handler.actions.empty());
    EXPECT_EQ(game.calls, (std::vector<std::string>{"pause"})) << "no chat in single player";
}

TEST_F(HudActions, ACrashReleasesEveryHeldButtonWithItsAction)
{
    const auto weapon = centreOf(5);
    hud.onTouchDown(1, weapon.first, weapon.second);
    const auto boost = centreOf(25);
    hud.onTouchDown(2, boost.first, boost.second);
    ASSERT_TRUE(hud.button(25)->pressed);
    handler.actions.clear();
    state.player.crashing = true;
    hud.update(state);
    EXPECT_FALSE(hud.controlsActive);
    EXPECT_FALSE(hud.button(5)->pressed);
    EXPECT_FALSE(hud.button(25)->pressed);
    EXPECT_EQ(handler.actions, (std::vector<Pressed>{{action(ControlAction::Weapon_1), false}}));
    EXPECT_EQ(game.calls, (std::vector<std::string>{"end boost"}));
    // Released once: a later touch up finds nothing held.
    hud.onTouchUp(1, weapon.first, weapon.second);
    EXPECT_EQ(handler.actions.size(), 1u);
}

TEST_F(HudActions, SchemesAndGroupsShowTheirButtons)
{
    hud.setControlScheme(1);
    EXPECT_FALSE(hud.layoutPanel(9).visible);
    EXPECT_TRUE(hud.layoutPanel(19).visible);
    hud.setControlScheme(2);
    EXPECT_FALSE(hud.layoutPanel(19).visible);
    hud.showSquadButtons(1);
    EXPECT_FALSE(hud.button(9)->visible);
    EXPECT_TRUE(hud.button(11)->visible);
    EXPECT_EQ(hud.squadIndex, 1);
    hud.hideAllButtons();
    EXPECT_TRUE(hud.button(3)->visible);
    EXPECT_FALSE(hud.button(5)->visible);
    EXPECT_FALSE(hud.dpad().containsPoint(hud.dpad().area.x + 1.0f, hud.dpad().area.y + 1.0f));
    hud.showAllButtons();
    EXPECT_TRUE(hud.button(5)->visible);
    EXPECT_FALSE(hud.button(2)->visible) << "group 2 hidden again";
}

TEST_F(HudActions, InSchemeOneTheFixedButtonsStayDrawnWhereTheyAct)
{
    hud.setControlScheme(1);
    ASSERT_FALSE(hud.layoutPanel(9).visible);
    const auto weapon = centreOf(5);
    ASSERT_TRUE(hud.button(5)->hitTest(static_cast<float>(weapon.first), static_cast<float>(weapon.second)));
    QuadRecorder recorder;
    hud.drawContents();
    bool drawn = false;
    for (const RecordedQuad& q : recorder.take())
        drawn = drawn || (q.minX <= weapon.first && q.maxX >= weapon.first && q.minY <= weapon.second &&
                          q.maxY >= weapon.second);
    EXPECT_TRUE(drawn) << "a live button is seen";
}

}  // namespace

#include "menus/frontend/HowToPlayMenuFrame.h"

#include <array>

namespace {
using K = HelpRecord::Kind;
constexpr HelpRecord SP{K::Spacer, 0, 0, 0, 1, 0, -1};
constexpr HelpRecord BR{K::PageBreak, 0, 0, 0, 1, 0, -1};
constexpr HelpRecord T(int n)
{
    return {K::Text, n, 0, 0, 1, 0, -1};
}
// A heading: large font, centred.
constexpr HelpRecord H(int n)
{
    return {K::Text, n, 0, 0, 2, 2, -1};
}
constexpr HelpRecord P(int set, int frame, int placement)
{
    return {K::Picture, 0, set, frame, 1, placement, 0};
}
constexpr int C = 2, R = 3;

constexpr std::array kHelp = {
    // 1: the aim of the game.
    SP, H(760), SP, T(761), SP, T(762), SP, H(765), SP, T(766), SP, T(767), SP, SP, BR,
    // 2: flying.
    SP, H(768), SP, T(769), SP, T(770), SP, T(771), SP, T(772), SP, T(773), BR,
    // 3: the autopilot.
    SP, H(774), SP, T(775), SP, SP, P(2, 86, C), SP, SP, T(776), SP, T(777), BR,
    // 4: the radar.
    SP, H(779), SP, T(780), SP, P(7, 177, C), SP, SP, T(781), SP, T(783), BR,
    // 5 and 6: weapons.
    SP, H(784), SP, P(7, 121, R), SP, T(785), SP, T(786), SP, P(7, 120, R), SP, T(787), SP, T(788), BR,
    SP, H(784), SP, P(7, 108, R), SP, T(789), SP, T(790), SP, P(7, 122, R), SP, T(793), SP, T(794), SP, T(795), SP,
    T(796), BR,
    // 7: damage and ejecting.
    SP, H(813), SP, T(814), SP, T(815), SP, H(816), SP, T(819), SP, T(818), SP, BR,
    // 8: the squadron.
    SP, H(821), SP, T(823), SP, P(2, 87, R), T(824), SP, T(825), SP, P(2, 88, R), T(826), SP, T(827), SP,
    P(2, 89, R), T(828), SP, T(829), SP, BR,
    // 9: points.
    SP, H(830), SP, T(831), SP, T(832), BR,
    // 10: the match types.
    SP, SP, P(2, 146, R), H(836), SP, T(837), SP, SP, P(2, 147, R), H(838), SP, T(839), SP, SP, P(2, 149, R),
    H(833), SP, T(834), SP, T(835), SP, P(2, 148, R), H(840), SP, T(841), SP, T(842), BR,
    // 11 and 12: landing and the carrier.
    SP, H(843), SP, T(844), SP, T(845), SP, T(846), SP, T(847), SP, P(2, 150, C), SP, SP, BR,
    SP, H(848), SP, T(849), SP, T(850), SP, P(2, 151, C), SP, SP, SP, SP, SP, BR,
    // 13: planes and upgrades.
    SP, H(797), SP, T(798), SP, T(799), SP, T(800), SP, T(801), SP,
};
}  // namespace

std::span<const HelpRecord> helpTable()
{
    return kHelp;
}

#include "StagedPageTest.h"

#include "menus/MenuFrameRegistry.h"
#include "menus/frontend/CampaignListSelectMenuFrame.h"
#include "menus/frontend/CampaignMenuFrame.h"
#include "menus/multiplayer/MPCreateOnlineMenuFrame.h"
#include "menus/multiplayer/MPCreateWiFiMenuFrame.h"
#include "menus/multiplayer/ModeTile.h"
#include "menus/multiplayer/MultiPlayerMenuFrameWIFI.h"
#include "platform/Language.h"
#include "platform/ScreenMetrics.h"
#include "render/2d/CFont.h"
#include "render/2d/SpriteSets.h"
#include "ui/widgets/MenuPanel.h"
#include "ui/widgets/SpriteEditBox.h"
#include "ui/widgets/SpriteLabel.h"

#include <algorithm>
#include <string>
#include <utility>

// The campaign map's names, the mission cards' top lines, the hosting page's
// lines and the game lists' mode plates over the staged data, at the smallest
// and the largest screen, in every language the string tables hold.
namespace {
using Size = std::pair<int, int>;
constexpr Size kSizes[] = {{960, 640}, {1920, 1080}};

struct NamesAndPlates : SizedPageTest {};

std::u16string without(std::u16string text, std::u16string_view units)
{
    std::erase_if(text, [units](char16_t c) { return units.find(c) != std::u16string_view::npos; });
    return text;
}

// Whether the segment passes through the item's inside (its edge shrunk by
// two pixels: a line that starts on an edge does not count).
bool crossesItem(const SceneMenuFrame::ConnectorLine& line, const MenuItem& item)
{
    const float x0 = static_cast<float>(item.absX + 2), y0 = static_cast<float>(item.absY + 2);
    const float x1 = static_cast<float>(item.absX + item.width - 2), y1 = static_cast<float>(item.absY + item.height - 2);
    constexpr int kSteps = 400;
    for (int i = 0; i <= kSteps; ++i) {
        const float t = static_cast<float>(i) / kSteps;
        const float x = static_cast<float>(line.x0) + t * static_cast<float>(line.x1 - line.x0);
        const float y = static_cast<float>(line.y0) + t * static_cast<float>(line.y1 - line.y0);
        if (x > x0 && x < x1 && y > y0 && y < y1)
            return true;
    }
    return false;
}
}  // namespace

TEST_F(NamesAndPlates, CampaignNamesAndCardTopLinesFitInEveryLanguage)
{
    for (const Size& size : kSizes)
        for (int language = 0; language < kLanguageCount; ++language) {
            rebuild(size, language);
            const std::string at = where(size, language);
            const float s = screenMetrics().uiScale;
            CampaignListSelectMenuFrame& list = *MenuFrameRegistry::campaignListSelect();
            for (int c = 0; c < 3; ++c) {
                const CampaignListEntry& entry = *list.entries[c];
                // The table's name in this language, perhaps on two lines.
                const std::u16string name = getStringByIndex(CampaignListEntry::kNameStringBase + c);
                EXPECT_EQ(without(entry.label, u"\n "), without(name, u" ")) << at << ": campaign " << c;
                const SpriteButton::LabelBox& box = CampaignListEntry::kNameBox;
                const float boxW = (box.right - box.left) * static_cast<float>(entry.width);
                const float boxH = (box.bottom - box.top) * static_cast<float>(entry.height);
                EXPECT_LE(entry.nameWidth(), boxW + 1.0f) << at << ": campaign " << c << "'s name runs off";
                EXPECT_LE(entry.nameHeight(), boxH + 1.0f) << at << ": campaign " << c << "'s name is too tall";
                EXPECT_GE(entry.textScale, 0.7f) << at << ": campaign " << c << "'s name is drawn too small";
            }

            CampaignMenuFrame& missions = *MenuFrameRegistry::campaignMenu();
            for (int campaign = 0; campaign < 3; ++campaign) {
                missions.setCampaign(campaign);
                missions.onShow();
                ASSERT_FALSE(missions.entries.empty()) << at;
                for (CampaignMenuEntry* card : missions.entries) {
                    const std::string which = at + ": card " + std::to_string(card->record.index + 1) + " of campaign " +
                                              std::to_string(campaign);
                    const CampaignMenuEntry::Header top = card->header();
                    EXPECT_GE(top.titleX - (top.numberX + top.numberWidth), 8.0f * s) << which << ": title meets number";
                    EXPECT_LE(top.titleX + top.titleWidth, static_cast<float>(card->width) - 20.0f * s + 1.0f)
                        << which << ": title runs off the card";
                    EXPECT_GE(top.titleScale, 0.6f) << which << ": title drawn too small";

                    const std::u16string& text = card->description();
                    const std::u16string original = getStringByIndex(card->descriptionId);
                    const std::string code = languageTable[language].code;
                    if (code == "KO" || code == "EN" || code == "DE") {
                        // Words stay whole: every break stands where the text has a space.
                        std::u16string joined = text;
                        std::replace(joined.begin(), joined.end(), u'\n', u' ');
                        EXPECT_EQ(joined, original) << which << ": a line breaks inside a word";
                    } else {
                        EXPECT_EQ(without(text, u"\n "), without(original, u" ")) << which;
                    }
                    // No line wider than the card's text room unless it is one word.
                    const float room = static_cast<float>(card->width) - 40.0f * s;
                    std::size_t start = 0;
                    while (start <= text.size()) {
                        const std::size_t end = std::min(text.find(u'\n', start), text.size());
                        const std::u16string line = text.substr(start, end - start);
                        if (line.find(u' ') != std::u16string::npos || code == "JA" || code == "ZH") {
                            EXPECT_LE(measureText(getFont(CampaignMenuEntry::kFont), line).width, room + 1.0f)
                                << which << ": a description line runs past the card";
                        }
                        if (!line.empty() && (code == "JA" || code == "ZH")) {
                            EXPECT_EQ(std::u16string_view(u"\u3001\u3002\uFF01\uFF1F\uFF09\u300D").find(line[0]),
                                      std::u16string_view::npos)
                                << which << ": a line begins with a closing mark";
                        }
                        start = end + 1;
                    }
                }
                missions.onHide();
            }
        }
}

TEST_F(NamesAndPlates, HostLinesPassBesideTheNameBoxAndModePlatesHoldTheirNames)
{
    for (const Size& size : kSizes)
        for (int language = 0; language < kLanguageCount; ++language) {
            rebuild(size, language);
            const std::string at = where(size, language);
            const float s = screenMetrics().uiScale;
            MPCreateWiFiMenuFrame& host = *MenuFrameRegistry::mpCreateWiFiMenu();
            goToFrame(&host);
            ASSERT_EQ(host.connectorLines.size(), 4u) << at;
            for (const SceneMenuFrame::ConnectorLine& line : host.connectorLines)
                for (const MenuItem* item : std::initializer_list<const MenuItem*>{
                         host.nameBox, host.leftPanel, host.rightPanel, host.lowerPanel, host.titleLabel})
                    EXPECT_FALSE(crossesItem(line, *item))
                        << at << ": line (" << line.x0 << "," << line.y0 << ")-(" << line.x1 << "," << line.y1
                        << ") crosses the item at " << item->absX << "," << item->absY;

            for (int type : {2, 3, 4, 5, 6, 10, 13}) {
                const mode_tile::NamePlace place = mode_tile::namePlace(type);
                EXPECT_GT(place.width, 0.0f) << at << ": type " << type << " has no name in its plate";
                EXPECT_LE(place.width, place.plateWidth + 0.5f) << at << ": type " << type << "'s name runs off";
                EXPECT_LE(place.height, place.plateHeight + 0.5f) << at << ": type " << type;
                EXPECT_GE(place.scale, 0.6f) << at << ": type " << type << "'s name drawn too small";
            }
            // The room creation page's game types stay on the screen, below its options.
            MPCreateOnlineMenuFrame& room = *MenuFrameRegistry::mpCreateOnlineMenu();
            goToFrame(&room);
            for (const SpriteButton* button : room.modeButtons) {
                EXPECT_LE(button->absY + button->height, size.second) << at << ": a game type runs off the screen";
                EXPECT_GE(button->absY, room.optionsRow->absY + room.optionsRow->height) << at;
            }
            // The listed game's icon ends above its name.
            MultiPlayerMenuFrameWIFI::MPServerMenuEntry row(*MenuFrameRegistry::wifiMenu(), 0);
            using Row = MultiPlayerMenuFrameWIFI::MPServerMenuEntry;
            const float iconBottom =
                Row::kIconTop * s + getSprite(kSpriteSetMenus)->frameRect(Row::kDefaultIconFrame).h * row.iconScale;
            EXPECT_LE(iconBottom, Row::kNameLine * s - getFont(1)->lineHeight() / 2.0f + 1.0f) << at;
            clearFrameHistory();
        }
}

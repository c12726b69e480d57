#include "harness/MenuHarness.h"

#include "gamedata/records/MapLists.h"
#include "gamedata/records/PlaneList.h"
#include "gamedata/records/WeaponList.h"
#include "menus/MenuFrameRegistry.h"
#include "menus/MenuPages.h"
#include "menus/SaveNoticeAlerts.h"
#include "menus/multiplayer/JoinRefusal.h"
#include "menus/multiplayer/MPCreateWiFiMenuFrame.h"
#include "menus/multiplayer/MultiPlayerMenuFrame.h"
#include "menus/multiplayer/MultiPlayerMenuFrameOnline.h"
#include "menus/multiplayer/MultiPlayerMenuFrameWIFI.h"
#include "menus/ingame/GameResultMenuFrame.h"
#include "modes/Match.h"
#include "platform/Language.h"
#include "platform/Settings.h"
#include "render/2d/CFont.h"
#include "render/2d/SpriteSets.h"
#include "ui/MenuContainer.h"
#include "ui/MenuNavigation.h"
#include "ui/widgets/MenuAlert.h"
#include "ui/widgets/SpriteButton.h"
#include "ui/widgets/SpriteLabel.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

// Every language table the data holds, against the English one and the
// fonts: the same strings, the same placeholders, no glyph the font lacks,
// and every text of the menu pages inside the widget that shows it.
namespace {
// The languages whose main table is in the staged data, English first.
std::vector<int> languagesPresent()
{
    std::vector<int> found;
    const std::filesystem::path strings = std::filesystem::path(SKYFRONT_STAGE_DIR) / "data" / "strings";
    for (int i = 0; i < kLanguageCount; ++i)
        if (std::filesystem::exists(strings / languageTable[i].code / "main.str"))
            found.push_back(i);
    return found;
}

std::string utf8(std::u16string_view text)
{
    std::string out;
    for (char16_t c : text) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

// The placeholders in order: "%d", "%w", "%.0f", "%02d" and the like.
std::vector<std::u16string> placeholders(std::u16string_view text)
{
    std::vector<std::u16string> found;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != u'%')
            continue;
        std::size_t end = i + 1;
        while (end < text.size() && (text[end] == u'.' || (text[end] >= u'0' && text[end] <= u'9')))
            ++end;
        if (end < text.size())
            found.emplace_back(text.substr(i, end - i + 1));
        i = end;
    }
    return found;
}

bool hasGlyph(const CFont& font, char16_t code)
{
    const auto& glyphs = font.glyphSprite().sheet().font.glyphs;
    return std::binary_search(glyphs.begin(), glyphs.end(), code,
                              [](const auto& a, const auto& b) {
                                  if constexpr (std::is_same_v<std::decay_t<decltype(a)>, char16_t>)
                                      return a < b.code;
                                  else
                                      return a.code < b;
                              });
}

struct LanguageTables : MenuHarness {
    void TearDown() override
    {
        if (!IsSkipped()) {
            clearFrameHistory();
            MenuFrameRegistry::deleteAll();
            (void)setLanguageByIndex(0);
            reloadFonts();
        }
        MenuHarness::TearDown();
    }
};
}  // namespace

TEST_F(LanguageTables, EveryTableHasTheEnglishStringsWithTheirPlaceholdersAndGlyphs)
{
    const std::vector<int> languages = languagesPresent();
    ASSERT_FALSE(languages.empty());
    ASSERT_EQ(languages.front(), 0);
    ASSERT_TRUE(setLanguageByIndex(0));
    std::map<int, std::u16string> english;
    for (int n = 0; n < stringCount(); ++n)
        if (getStringByIndex(n) != u"DUMMY")
            english[n] = getStringByIndex(n);
    ASSERT_GT(english.size(), 900u);
    for (int language : languages) {
        const std::string code = languageTable[language].code;
        ASSERT_TRUE(setLanguageByIndex(language)) << code;
        reloadFonts();
        for (const auto& [n, source] : english) {
            const std::u16string& text = getStringByIndex(n);
            if (text == u"DUMMY") {
                ADD_FAILURE() << code << " lacks string " << n;
                continue;
            }
            EXPECT_EQ(placeholders(text), placeholders(source))
                << code << " string " << n << ": \"" << utf8(text) << "\"";
            for (int f = 0; f < kFontCount; ++f) {
                const CFont* font = getFont(f);
                ASSERT_TRUE(font && font->isLoaded()) << code << " font " << f;
                std::set<char16_t> missing;
                for (char16_t c : text)
                    if (c >= u' ' && !hasGlyph(*font, c))
                        missing.insert(c);
                EXPECT_TRUE(missing.empty()) << code << " string " << n << ": font " << f << " lacks "
                                             << utf8(std::u16string(missing.begin(), missing.end()));
            }
        }
        for (int n = 0; n < stringCount(); ++n)
            EXPECT_TRUE(english.count(n) || getStringByIndex(n) == u"DUMMY")
                << code << " string " << n << " is not in the English table";
    }
}

namespace {
struct PageTexts : LanguageTables, testing::WithParamInterface<std::pair<int, int>> {
    void SetUp() override
    {
        LanguageTables::SetUp();
        if (IsSkipped())
            return;
        boot(GetParam().first, GetParam().second);
        ASSERT_TRUE(PlaneList::instance().load());
        ASSERT_TRUE(WeaponList::instance().load());   // the weapons page shows its cards
        ASSERT_TRUE(MapLists::instance().load());
        saved = settings();
        settings().tutorialPromptAnswered = 1;
    }
    void TearDown() override
    {
        if (!IsSkipped()) {
            GameResultMenuFrame::routes() = {};
            gameResultBooked() = false;
            settings() = saved;
            MapLists::instance().clear();
            WeaponList::instance().clear();
            PlaneList::instance().clear();
        }
        LanguageTables::TearDown();
    }
    std::string size() const { return std::to_string(GetParam().first) + "x" + std::to_string(GetParam().second); }

    // Where a text of a page is drawn, in the page's walk order.
    struct Extent {
        std::string text;
        float width = 0.0f;   // the text's
        int box = 0;          // the widget's width when it bounds the text, else 0
        int left = 0, right = 0, bottom = 0;
        bool hidden = false;  // a clipping container leaves it out (a card off its row)
    };
    // A clipping container draws no child wholly outside its box; such texts
    // are walked all the same, so that every language lists the same ones.
    void collect(const MenuItem& item, std::vector<Extent>& out, bool hidden = false)
    {
        if (!item.visible)
            return;
        if (const auto* button = dynamic_cast<const SpriteButton*>(&item); button && button->hasLabel()) {
            // The scale the label is drawn at, with any shrinking to fit its band.
            const float scale = (button->textScale == -1.0f ? button->scale : button->textScale) * button->labelFit();
            Extent e;
            e.text = utf8(button->labelText());
            e.width = measureText(button->font, button->labelText()).width * scale;
            e.box = button->isFrameButton() || button->fixedWidth != 0 ? button->width : 0;
            // The text fits its button (below), and the button the screen.
            e.left = button->absX + static_cast<int>(button->scrollX);
            e.right = e.left + button->width;
            e.bottom = button->absY + button->height;
            e.hidden = hidden;
            out.push_back(e);
        } else if (const auto* label = dynamic_cast<const SpriteLabel*>(&item); label && label->hasText()) {
            Extent e;
            e.text = utf8(label->shownText());
            e.width = static_cast<float>(label->width);
            e.left = label->absX;
            e.right = label->absX + label->width;
            e.bottom = label->absY + label->height;
            e.hidden = hidden;
            out.push_back(e);
        }
        if (!item.isContainer())
            return;
        const auto& box = static_cast<const MenuContainer&>(item);
        const bool clips = box.touchMode != MenuContainer::kTouchPage;
        for (const MenuItem* child : box.drawList()) {
            const bool outside = clips && (child->absX <= box.absX - child->width || child->absX >= box.absX + box.width ||
                                           child->absY <= box.absY - child->height || child->absY >= box.absY + box.height);
            collect(*child, out, hidden || outside);
        }
    }
    // The English layout is the limit: a text may fill its button or the
    // screen, or overflow as far as the English one does, but no farther.
    void checkPage(MenuFrame& page, const std::string& name, const std::string& code, bool picture)
    {
        step(45);
        std::vector<Extent> texts;
        collect(page, texts);
        if (picture)
            savePicture("lang/" + code + "/" + name + "_" + size() + ".png");
        if (code == "EN") {
            english[name] = texts;
            return;
        }
        const std::vector<Extent>& limits = english[name];
        ASSERT_EQ(texts.size(), limits.size()) << code << " " << name << ": the page holds other widgets";
        constexpr int kSlack = 2;
        const int w = screenWidth(), h = screenHeight();
        for (std::size_t i = 0; i < texts.size(); ++i) {
            const Extent& t = texts[i];
            const Extent& en = limits[i];
            const std::string where = code + " " + name + " " + size() + ": \"" + t.text + "\" (English \"" + en.text + "\")";
            if (t.box > 0) {
                EXPECT_LE(t.width, std::max(static_cast<float>(t.box), en.width) + kSlack)
                    << where << " overflows its button of " << t.box << " px";
            }
            // A text the English page keeps off the screen or out of its row stands on another page of a carousel.
            if (en.hidden || en.left >= w || en.right <= 0)
                continue;
            EXPECT_GE(t.left, std::min(0, en.left) - kSlack) << where << " leaves the screen on the left";
            EXPECT_LE(t.right, std::max(w, en.right) + kSlack) << where << " leaves the screen on the right";
            EXPECT_LE(t.bottom, std::max(h, en.bottom) + kSlack) << where << " leaves the screen at the bottom";
        }
    }
    std::map<std::string, std::vector<Extent>> english;
    Settings saved;
};
}  // namespace

TEST_P(PageTexts, EveryPageTextFitsItsWidgetInEveryLanguage)
{
    std::filesystem::create_directories(std::string(SKYFRONT_BINARY_DIR) + "/lang");
    const std::vector<std::string> pictured = {"main", "play", "briefing:c1m1", "options", "controls", "howtoplay"};
    const std::vector<std::string> others = {"tutorials", "othersettings", "language", "setkeys", "graphics", "audio",
                                             "credits", "achievements", "campaigns", "missions:1", "dogfights",
                                             "setup", "profile", "weapons", "painting", "multiplayer", "lan",
                                             "lancreate", "online", "onlinecreate", "onlinefilters", "customchat"};
    for (int language : languagesPresent()) {
        const std::string code = languageTable[language].code;
        ASSERT_TRUE(setLanguageByIndex(language)) << code;
        settings().languageIndex = language;
        reloadFonts();
        clearFrameHistory();
        MenuFrameRegistry::deleteAll();
        // Every page on the small screen; the pictured ones on the large one too.
        for (const std::vector<std::string>* list : {&pictured, &others})
            for (const std::string& name : *list) {
                if (list == &others && screenWidth() > 960)
                    continue;
                MenuFrame* page = menuPageByName(name);
                ASSERT_NE(page, nullptr) << name;
                goToFrame(page);
                std::string file = name;
                std::replace(file.begin(), file.end(), ':', '_');
                checkPage(*page, file, code, list == &pictured);
            }
        // The result of a game, counted to its end.
        GameResultMenuFrame::routes().leaveGame = [] {};
        GameResultMenuFrame* result = MenuFrameRegistry::gameResultMenu();
        goToFrame(result);
        gameResultBooked() = false;
        settings().pointsSP = 900;
        settings().pointsMP = 0;
        GameResultInput in;
        in.killPoints = 120;
        in.deathPoints = -20;
        in.resultPoints = 100;
        result->showResult(in);
        for (int i = 0; i < 900 && result->resultState != GameResultMenuFrame::Final; ++i)
            step(1);
        checkPage(*result, "result", code, true);
        clearFrameHistory();
        MenuFrameRegistry::deleteAll();
    }
}

// Every message the menus raise, in every language: the text, wrapped to the
// box's middle eight tenths and centred, stays in the box and clear of the
// close button and the buttons along the bottom.
TEST_P(PageTexts, EveryAlertTextStaysInItsBoxClearOfItsButtons)
{
    using Online = MultiPlayerMenuFrameOnline;
    const std::vector<int> messages = {
        Online::kLostString, Online::kRefusedString, Online::kNoSuchRoomString, Online::kRoomFullString,
        Online::kWrongPasswordString, MultiPlayerMenuFrameWIFI::kJoinFailedString,
        MPCreateWiFiMenuFrame::kHostFailedString, MultiPlayerMenuFrame::kModifiedDataString,
        joinRefusalString(LanTransport::Refusal::Closed, 0), joinRefusalString(LanTransport::Refusal::Full, 0),
        kSettingsResetString, kSaveFailedString, kControlsResetString, kStatsDamagedString};
    auto overlap = [](const MenuItem& a, const MenuItem& b) {
        return a.absX < b.absX + b.width && b.absX < a.absX + a.width && a.absY < b.absY + b.height &&
               b.absY < a.absY + a.height;
    };
    for (int language : languagesPresent()) {
        const std::string code = languageTable[language].code;
        ASSERT_TRUE(setLanguageByIndex(language)) << code;
        reloadFonts();
        clearFrameHistory();
        MenuFrameRegistry::deleteAll();
        goToFrame(menuPageByName("options"));
        step(2);
        for (int kind = 0; kind < static_cast<int>(messages.size()) + 2; ++kind) {
            std::string what;
            if (kind < static_cast<int>(messages.size())) {
                showMessageById(messages[kind]);
                what = "string" + std::to_string(messages[kind]);
            } else if (kind == static_cast<int>(messages.size())) {
                showQuestionAlert({}, {});
                what = "question";
            } else {
                showNoticeAlert();
                what = "notice";
            }
            step(3);
            const MenuAlert& alert = *MenuAlert::existing();
            const MenuItem& text = *alert.textLabel;
            const std::string where = code + " " + size() + " " + what + ": \"" + utf8(alert.textLabel->shownText()) + "\"";
            EXPECT_LE(text.width, static_cast<int>(0.8f * static_cast<float>(alert.width))) << where;
            EXPECT_NEAR(text.absY + text.height / 2.0f, alert.absY + alert.height / 2.0f, 1.0f) << where;
            EXPECT_GE(text.absY, alert.absY) << where << " rises out of the box";
            std::vector<const MenuItem*> buttons = {alert.closeButton(), alert.buttonA, alert.buttonB};
            for (const MenuItem* button : buttons) {
                if (!button->visible)
                    continue;
                EXPECT_FALSE(overlap(text, *button)) << where << " meets a button at " << button->absX << ","
                                                     << button->absY;
                EXPECT_TRUE(button->absX >= alert.absX && button->absX + button->width <= alert.absX + alert.width)
                    << where << " a button leaves the box";
            }
            if (code == "RU" || code == "JA")
                savePicture("lang/" + code + "/alert_" + what + "_" + size() + ".png");
            pressKey(SDL_SCANCODE_ESCAPE);
            step(2);
            EXPECT_TRUE(alert.closed) << where;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, PageTexts, testing::Values(std::pair{960, 640}, std::pair{1920, 1080}),
                         [](const auto& info) {
                             return std::to_string(info.param.first) + "x" + std::to_string(info.param.second);
                         });

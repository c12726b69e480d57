#pragma once
#include "ui/widgets/SceneMenuFrame.h"

#include <array>
#include <span>
#include <string>
#include <string_view>

class HMenuItemsSlider;
class MenuPanel;
class SpritePageIndicator;

// One record of the help table.
struct HelpRecord {
    enum class Kind : int { PageBreak = 0, Text = 1, Picture = 2, Spacer = 3 };
    Kind kind = Kind::Spacer;
    int textId = 0;
    int spriteSet = 0;
    int spriteFrame = 0;
    int font = 1;
    int placement = 0;   // 0 in the flow, 1 left, 2 centred, 3 right
    int colour = -1;     // picture tint, lowest byte first; -1 in texts
};

// The help pages in order, page breaks between them.
std::span<const HelpRecord> helpTable();
constexpr int kHelpPageCount = 13;
constexpr int kRankPageCount = 3;

// A help text that names a key: the binding goes in place of the first "%s"
// or "%w"; any other '%' shows as itself.
std::u16string fillHelpText(std::u16string_view format, std::u16string_view binding);

// A help picture's tint from its record: the three low bytes, lowest first,
// at full opacity; 0 leaves the picture in its own colours.
Color4 helpPictureTint(int colour);

// The help: pages swiped sideways or picked by their dots, then three pages
// of the pilot ranks with their insignia and the points each needs. Built
// again when the interface language changed since the last build.
class HowToPlayMenuFrame : public FilledMenuFrame {
public:
    static constexpr int kTitleString = 30, kBackString = 40;
    static constexpr int kRankSheet = 17, kInsigniaBase = 21, kRankNameBase = 138, kRankTitleBase = 852;

    HowToPlayMenuFrame();

    void onShow() override;
    void rebuildConnectorLines() override;

    void buildPages();
    // Null for a page break.
    MenuItem* buildPageItem(const HelpRecord& record);
    void onPageChanged(int page);
    // The text of a help string, with the binding the three key texts name.
    static std::u16string helpText(int textId);

    SpritePageIndicator* pageIndicator = nullptr;
    MenuPanel* currentPage = nullptr;
    HMenuItemsSlider* pager = nullptr;
    int builtLanguage = -1;
    int pageCount = 0;

private:
    MenuPanel* newHelpPage();
    void placeOnPage(MenuItem* item, int placement);
    // Shrinks the page's spacers so that its texts fit its height.
    static void fitPage(MenuPanel& page);
    void buildRankPage(int p);

    // The last right-hand picture of the page being built: texts placed
    // above its bottom wrap short of it.
    int m_besideBottom = 0;
    int m_besideWidth = 0;
};

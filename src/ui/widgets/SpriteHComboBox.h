#pragma once
#include "ui/MenuHooks.h"
#include "ui/MenuItem.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class CFont;
class CSprite;

// A horizontal choice box: a left arrow, a stretched middle with the chosen
// text and a right arrow. Touching an arrow steps through the texts with
// wrap-around and tells the owner, who reads the selected index.
class SpriteHComboBox : public MenuItem {
public:
    static constexpr int kBaseFrame = 279;   // left, left pressed, middle, right, right pressed
    static constexpr std::size_t kMaxUnits = 4096;

    // The items one after another, each ended by a 0 unit, the list by two;
    // a list that starts with the double 0 is one empty item.
    explicit SpriteHComboBox(std::u16string_view packedItems);

    // MenuItem
    void draw() override;
    bool onTouchDown(int x, int y) override;
    bool onTouchUp(int x, int y) override;

    // Height h; the width fits the widest text between the two arrows.
    virtual void setHeight(int h);
    // The height of the middle frame.
    virtual void fitHeight();

    // Null out of range.
    const std::u16string* itemText(int index) const;
    int itemCount() const { return static_cast<int>(m_items.size()); }
    // Selects item i (clamped), without calling back.
    void select(int index);
    void stepLeft();
    void stepRight();
    void setSprite(CSprite* sheet)
    {
        sprite = sheet;
        fitHeight();
    }

    MenuAction onChange;
    CSprite* sprite = nullptr;
    int baseFrame = kBaseFrame;
    CFont* font = nullptr;
    int selected = 0;
    int lastStep = 0;   // -1 or 1 while an arrow is held: its pressed look

private:
    void step(int direction);
    std::vector<std::u16string> m_items;
};

// The page dots of a paged list, in a row or a column: the current page in
// its own frame, single pages marked with other frames, taps on either half
// going to the previous or next page, and the dot under a point.
class SpritePageIndicator : public MenuItem {
public:
    static constexpr int kDotFrame = 85, kCurrentDotFrame = 86;
    static constexpr int kMarkCount = 256;

    SpritePageIndicator(int spacing, int pageCount, bool vertical = false);

    // MenuItem
    void draw() override;
    bool onTouchDown(int, int) override { return true; }
    bool onTouchUp(int x, int y) override;
    bool contains(int x, int y, float margin) const override;
    void activate() override;
    bool framesText() const override { return true; }

    // Clears the marks, the current page becomes 0, the length is measured again.
    void setPageCount(int count, int spacing);
    // The page whose dot lies within 20 x the UI scale of the point; -1 for none.
    int pageAt(int x, int y) const;
    // 0 none, 1 or 2: another pair of dot frames.
    virtual void setMark(int page, int mark);
    virtual void setAllMarks(int mark);
    int mark(int page) const;
    // The frame page i draws with.
    int frameFor(int page) const;
    void setSprite(CSprite* sheet);

    int pageCount = 0;
    int currentPage = 0;
    int spacing = 0;
    int dotWidth = 0, dotHeight = 0;
    bool vertical = false;
    CSprite* sprite = nullptr;
    int dotFrame = kDotFrame, currentDotFrame = kCurrentDotFrame;
    MenuAction onPrevious;
    MenuAction onNext;

private:
    void measure();
    std::array<std::uint8_t, kMarkCount> m_marks{};
};

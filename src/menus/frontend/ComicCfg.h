#pragma once
#include "platform/CSerializable.h"

#include <string>
#include <string_view>

// One comic slide: its sheet (frame 0 the picture, frames 1.. the text
// boxes) and the key of its first text; the further boxes take the texts
// numbered after it.
struct ComicSlide : CSerializable {
    std::string sprite;
    std::string txtStart;

    const char* typeName() const override { return "ComicSlide"; }
    void describe(SerMembers& members) override;
};

// A comic: "data/comics/<name>.cfg", its slides in reading order.
struct ComicCfg : CSerializable {
    // How the comic's end button leaves it: 2 back to play, 3 on to the
    // result of the won mission.
    static constexpr int kEndToPlay = 2, kEndToResult = 3;

    CSerArray<ComicSlide> slides;
    int endMode = kEndToPlay;

    const char* typeName() const override { return "ComicCfg"; }
    void describe(SerMembers& members) override;

    // Empties the slides and reads "data/comics/<name>.cfg" with the end
    // mode. A missing or damaged file leaves no slide; a slide without a
    // sheet name is dropped. False when no slide is left.
    bool load(std::string_view name, int mode);
    // The same from a path ("data/comics/<name>.cfg").
    bool loadPath(std::string_view path, int mode);
    // The same from the text of a record (tests, the fuzz entry).
    bool loadText(std::string_view text, int mode);
    int slideCount() const { return slides.count(); }
    const ComicSlide* slide(int index) const { return slides.at(index); }

private:
    void dropEmptySlides();
};

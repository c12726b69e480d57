#include "menus/frontend/ComicCfg.h"

#include "platform/File.h"
#include "platform/Log.h"

#include <memory>
#include <string>

void ComicSlide::describe(SerMembers& members)
{
    members.add("sprite", sprite);
    members.add("txtStart", txtStart);
}

void ComicCfg::describe(SerMembers& members)
{
    members.add("slides", slides);
}

bool ComicCfg::load(std::string_view name, int mode)
{
    return loadPath("data/comics/" + std::string(name) + ".cfg", mode);
}

bool ComicCfg::loadPath(std::string_view path, int mode)
{
    slides.clear();
    endMode = mode;
    std::unique_ptr<File> file = openFile(path);
    if (!file) {
        logWarning("menus", "no comic \"%.*s\"", static_cast<int>(path.size()), path.data());
        return false;
    }
    if (!loadFile(*file))
        slides.clear();   // half a comic reads worse than none
    dropEmptySlides();
    return slideCount() > 0;
}

bool ComicCfg::loadText(std::string_view text, int mode)
{
    slides.clear();
    endMode = mode;
    std::string error;
    if (!readRecord(text, "comic", *this, error))
        slides.clear();
    dropEmptySlides();
    return slideCount() > 0;
}

void ComicCfg::dropEmptySlides()
{
    CSerArray<ComicSlide> kept;
    int count = 0;
    for (int i = 0; i < slides.count(); ++i) {
        const ComicSlide* from = slides.at(i);
        if (!from || from->sprite.empty())
            continue;
        ComicSlide* to = kept.getOrCreate(count++);
        to->sprite = from->sprite;
        to->txtStart = from->txtStart;
    }
    slides.resize(count);
    for (int i = 0; i < count; ++i) {
        slides.at(i)->sprite = kept.at(i)->sprite;
        slides.at(i)->txtStart = kept.at(i)->txtStart;
    }
}

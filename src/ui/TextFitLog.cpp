#include "ui/TextFitLog.h"

#include "platform/ScreenMetrics.h"
#include "platform/Text.h"
#include "render/2d/CFont.h"
#include "render/2d/SpriteBatch.h"
#include "ui/MenuContainer.h"

#include <cxxabi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <typeinfo>

namespace {
// Colour codes take no room; a line break shows as a backslash and n.
std::string toUtf8(std::u16string_view text)
{
    std::u16string shown;
    for (char16_t c : text) {
        if (c == u'\n')
            shown += u"\\n";
        else if (c >= 0x20)
            shown += c;
    }
    return wideToUtf8(shown);
}

std::string kindOf(const MenuItem& item)
{
    const char* mangled = typeid(item).name();
    int status = 0;
    std::unique_ptr<char, decltype(&std::free)> plain(abi::__cxa_demangle(mangled, nullptr, nullptr, &status), &std::free);
    return status == 0 && plain ? plain.get() : mangled;
}

void heard(std::u16string_view text, const CSprite::Rect& inked)
{
    textFitLog().add(text, TextFitLog::Box{inked.x, inked.y, inked.w, inked.h});
}
}  // namespace

TextFitLog& textFitLog()
{
    static TextFitLog log;
    return log;
}

void TextFitLog::setEnabled(bool on)
{
    m_enabled = on;
    CFont::setDrawListener(on ? heard : nullptr);
}

void TextFitLog::beginFrame()
{
    m_entries.clear();
    m_frames.clear();
    m_open.clear();
    m_cropScrolls.clear();
}

void TextFitLog::pushCrop(bool scrolls)
{
    m_cropScrolls.push_back(scrolls);
}

void TextFitLog::popCrop()
{
    if (!m_cropScrolls.empty())
        m_cropScrolls.pop_back();
}

void TextFitLog::pushFrame(const Box& frame, std::string_view owner, bool leaf)
{
    m_frames.push_back({frame, std::string(owner), m_open.empty() ? -1 : m_open.back(), leaf});
    m_open.push_back(static_cast<int>(m_frames.size()) - 1);
}

void TextFitLog::popFrame()
{
    if (!m_open.empty())
        m_open.pop_back();
}

void TextFitLog::addPicture(const Box& box, std::string_view owner)
{
    if (!m_enabled)
        return;
    pushFrame(box, owner, true);
    popFrame();
}

void TextFitLog::add(std::u16string_view text, const Box& inked)
{
    Entry entry;
    entry.text = toUtf8(text);
    entry.inked = inked;
    // A crop (a scrolled list) hides what lies past it: only the shown part counts.
    const bool scrolled = m_cropScrolls.empty() || m_cropScrolls.back();
    if (const ClipRect* crop = spriteBatch().currentCrop(); crop && scrolled) {
        const float left = std::max(inked.x, crop->x), top = std::max(inked.y, crop->y);
        const float right = std::min(inked.x + inked.w, crop->x + crop->w);
        const float bottom = std::min(inked.y + inked.h, crop->y + crop->h);
        if (right <= left || bottom <= top)
            return;
        entry.inked = {left, top, right - left, bottom - top};
    }
    entry.frame = m_open.empty() ? -1 : m_open.back();
    m_entries.push_back(std::move(entry));
}

bool TextFitLog::write(const std::string& path) const
{
    std::FILE* file = std::fopen(path.c_str(), "w");
    if (!file)
        return false;
    const ScreenMetrics& metrics = screenMetrics();
    std::fprintf(file, "screen %d %d\n", metrics.screenWidth, metrics.screenHeight);
    for (std::size_t i = 0; i < m_frames.size(); ++i) {
        const Frame& f = m_frames[i];
        std::fprintf(file, "frame %zu %d %s | %.1f %.1f %.1f %.1f | %s\n", i, f.parent, f.leaf ? "leaf" : "panel", f.box.x,
                     f.box.y, f.box.w, f.box.h, f.owner.c_str());
    }
    for (const Entry& e : m_entries)
        std::fprintf(file, "text %d | %.1f %.1f %.1f %.1f | %s\n", e.frame, e.inked.x, e.inked.y, e.inked.w, e.inked.h,
                     e.text.c_str());
    return std::fclose(file) == 0;
}

TextFrameScope::TextFrameScope(const MenuItem& item)
{
    TextFitLog& log = textFitLog();
    if (!log.enabled())
        return;
    // A container may name the item whose box its texts keep to (a
    // background drawn apart from it).
    const MenuItem* framed = &item;
    if (item.isContainer() && static_cast<const MenuContainer&>(item).textFrame)
        framed = static_cast<const MenuContainer&>(item).textFrame;
    else if (!item.framesText())
        return;
    if (framed != &item) {
        log.pushFrame({static_cast<float>(framed->absX), static_cast<float>(framed->absY), static_cast<float>(framed->width),
                       static_cast<float>(framed->height)},
                      kindOf(*framed), false);
        m_pushed = true;
        return;
    }
    // A leaf draws at its scroll offset; a container's scroll moves only its children.
    const float dx = item.isContainer() ? 0.0f : item.scrollX, dy = item.isContainer() ? 0.0f : item.scrollY;
    log.pushFrame({static_cast<float>(item.absX) + dx, static_cast<float>(item.absY) + dy,
                   static_cast<float>(item.width), static_cast<float>(item.height)},
                  kindOf(item), !item.isContainer());
    m_pushed = true;
}

TextFrameScope::TextFrameScope(float x, float y, float w, float h, std::string_view owner)
{
    TextFitLog& log = textFitLog();
    if (!log.enabled())
        return;
    log.pushFrame({x, y, w, h}, owner, false);
    m_pushed = true;
}

TextFrameScope::~TextFrameScope()
{
    if (m_pushed)
        textFitLog().popFrame();
}

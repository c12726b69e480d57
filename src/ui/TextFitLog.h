#pragma once
#include <string>
#include <string_view>
#include <vector>

class MenuItem;

// The texts a frame drew, each with the rectangle its glyphs cover and the
// rectangle of the frame it belongs to (a framed button, label or panel; the
// screen for texts that belong to none). Test runs write it beside their
// frame pictures so a check can tell a text that leaves its frame or meets
// another. Off unless enabled; off, it costs one test per drawn item.
class TextFitLog {
public:
    struct Box {
        float x = 0.0f, y = 0.0f, w = 0.0f, h = 0.0f;
    };
    struct Entry {
        std::string text;    // UTF-8
        Box inked;           // cut to the crop in force
        int frame = -1;      // the innermost frame in force; -1 the screen
    };
    struct Frame {
        Box box;
        std::string owner;   // the item's kind
        int parent = -1;     // the frame it was drawn in
        bool leaf = true;    // a button, box or label rather than a panel
    };

    void setEnabled(bool on);
    bool enabled() const { return m_enabled; }
    // Forgets the last frame's texts.
    void beginFrame();
    const std::vector<Entry>& entries() const { return m_entries; }
    const std::vector<Frame>& frames() const { return m_frames; }
    // One line per frame, "frame ID PARENT leaf|panel | x y w h | kind", and
    // per text, "text FRAME | x y w h | text"; false when the file could not
    // be written.
    [[nodiscard]] bool write(const std::string& path) const;

    // The frames texts drawn meanwhile belong to, innermost last.
    void pushFrame(const Box& frame, std::string_view owner, bool leaf);
    void popFrame();
    // A picture without text (an arrow), listed so that a text meeting it shows.
    void addPicture(const Box& box, std::string_view owner);

    // Beside each crop a container sets: whether it scrolls. A scrolling
    // list may hide part of a text at its edge; any other crop that cuts a
    // text leaves it whole in the log, so the cut shows as a text that leaves
    // its frame.
    void pushCrop(bool scrolls);
    void popCrop();

    void add(std::u16string_view text, const Box& inked);

private:
    bool m_enabled = false;
    std::vector<Entry> m_entries;
    std::vector<Frame> m_frames;
    std::vector<int> m_open;   // the frames in force, innermost last
    std::vector<bool> m_cropScrolls;
};

TextFitLog& textFitLog();

// Keeps an item's rectangle as the frame of the texts drawn in its scope
// when the item frames its texts (and the log is on).
class TextFrameScope {
public:
    explicit TextFrameScope(const MenuItem& item);
    // An explicit frame drawn by a page itself.
    TextFrameScope(float x, float y, float w, float h, std::string_view owner);
    ~TextFrameScope();
    TextFrameScope(const TextFrameScope&) = delete;
    TextFrameScope& operator=(const TextFrameScope&) = delete;

private:
    bool m_pushed = false;
};

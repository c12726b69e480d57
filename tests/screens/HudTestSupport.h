#pragma once
#include "render/2d/CFont.h"
#include "render/2d/SpriteBatch.h"
#include "render/2d/SpriteSheet.h"
#include "screens/hud/HudSounds.h"
#include "sound/SoundTable.h"
#include "support/sound/RecordingSound.h"

#include <algorithm>
#include <string>
#include <vector>

// A monospace font: every glyph an 8 x 12 module advancing 10 pixels, glyph
// height 12. Letters, digits, space, ':' '.' '?' and the ideograph U+4E00.
inline SpriteSheet hudTestFont()
{
    SpriteSheet s;
    s.texWidth = s.texHeight = 16;
    s.modules.push_back({0, 0, 8, 12});
    s.modules.push_back({0, 0, 0, 0});
    s.hasFont = true;
    s.font.glyphHeight = 12;
    s.font.glyphs.push_back({u' ', 1, 0, 0, 10});
    for (char16_t c = 33; c < 127; ++c)
        s.font.glyphs.push_back({c, 0, 1, 0, 10});
    s.font.glyphs.push_back({0x4E00, 0, 0, 0, 10});
    s.font.fallbackCode = u'?';
    return s;
}

// What the HUD played on the recording sound device, over the test's data
// folder: the message chime and the one announcer file the tests use.
struct RecordingHudSounds {
    explicit RecordingHudSounds(const TempDir& data) : sound(data, {"msgSound", "double_kill"}) {}
    RecordingSound sound;
    int messageSounds() const { return sound.playCount("msgSound"); }
    // The announcer files played, by path.
    std::vector<std::string> announcers() const
    {
        std::vector<std::string> out;
        for (const std::string& name : sound.played())
            if (name != "msgSound")
                out.push_back(std::string(kSoundFolder) + name + ".wav");
        return out;
    }
};

struct RecordedQuad {
    float minX = 0, minY = 0, maxX = 0, maxY = 0;
    Color4 color;
    float u = 0, v = 0;  // the first corner's texture place
};

// Installs itself as the 2-D batch's draw hook and keeps every quad's box.
class QuadRecorder {
public:
    QuadRecorder()
    {
        spriteBatch().discard();
        spriteBatch().setScreenSize(4000.0f, 4000.0f);
        spriteBatch().setDrawHook([this](std::span<const SpriteVertex> v, const Texture2D*, const ClipRect&) {
            for (std::size_t i = 0; i + 3 < v.size(); i += 4) {
                RecordedQuad q{v[i].x, v[i].y, v[i].x, v[i].y, v[i].color, v[i].u, v[i].v};
                for (std::size_t k = i; k < i + 4; ++k) {
                    q.minX = std::min(q.minX, v[k].x);
                    q.maxX = std::max(q.maxX, v[k].x);
                    q.minY = std::min(q.minY, v[k].y);
                    q.maxY = std::max(q.maxY, v[k].y);
                }
                quads.push_back(q);
            }
        });
    }
    ~QuadRecorder() { spriteBatch().setDrawHook(nullptr); }
    const std::vector<RecordedQuad>& take()
    {
        spriteBatch().flush();
        return quads;
    }
    std::vector<RecordedQuad> quads;
};

#include "menus/settings/AudioMenuFrame.h"

#include "platform/Log.h"
#include "platform/ScreenMetrics.h"
#include "platform/Settings.h"
#include "render/2d/CSprite.h"
#include "render/2d/SpriteSets.h"
#include "screens/GameScreen.h"
#include "screens/Screens.h"
#include "sound/Sound.h"
#include "sound/SoundTable.h"
#include "ui/widgets/MenuPanel.h"
#include "ui/widgets/SpriteCheckbox.h"
#include "ui/widgets/SpriteLabel.h"
#include "ui/widgets/SpriteSlider.h"

#include <algorithm>

namespace {
// The thumb where the position puts it; the value stays exactly the stored
// one, so leaving the page does not round what was saved.
void placeSlider(SpriteSlider& slider, float position)
{
    slider.setValue(position);
    slider.value = std::clamp(position, 0.0f, 1.0f);
}

constexpr int kRowWidthFrame = 145, kSwitchWidthFrame = 142;

SoundSourceStreamed* musicSource()
{
    return globalSources().music;
}

void enableSlider(SpriteSlider& slider, bool on)
{
    slider.sliderEnabled = on;
    slider.enabled = on;
}
}  // namespace

AudioMenuFrame::AudioMenuFrame()
{
    gameScreenCurrent = [] { return currentScreen() == &gameScreen(); };
    if (titleLabel) {
        titleLabel->stringId = kTitleString;
        titleLabel->updateSize();
    }
    if (bottomPanel) {
        bottomPanel->visible = false;
        bottomPanel->enabled = false;
    }
    CSprite* art = getSprite(7);
    for (int row = 0; row < 2; ++row) {
        auto* panel = new MenuPanel(art, row == 0 ? kSoundOffFrame + 1 : kMusicOffFrame + 1, kLayoutStacked);
        panel->anchorMode = kAnchorAbsolute;
        panel->fixedSize = true;
        panel->touchMode = kTouchInside;
        panel->width = static_cast<int>(art->frameRect(kRowWidthFrame).w);
        panel->height = static_cast<int>(art->frameRect(kRowWidthFrame).h);
        auto* slider = new SpriteSlider();
        slider->anchorMode = kAnchorParent;
        slider->focusable = true;
        panel->addItem(slider);
        auto* box = new SpriteCheckbox();
        box->anchorMode = kAnchorAbsolute;
        box->focusable = true;
        addItem(panel);
        addItem(box);
        if (row == 0) {
            soundRow = panel;
            soundVolume = slider;
            soundSwitch = box;
            slider->onChange = [this] { onSoundVolume(soundVolume->value); };
            box->onCheck = [this] { onSoundOn(); };
            box->onUncheck = [this] { onSoundOff(); };
        } else {
            musicRow = panel;
            musicVolume = slider;
            musicSwitch = box;
            slider->onChange = [this] { onMusicVolume(musicVolume->value); };
            box->onCheck = [this] { onMusicOn(); };
            box->onUncheck = [this] { onMusicOff(); };
        }
    }
    relayout();
}

void AudioMenuFrame::relayout()
{
    const ScreenMetrics& m = screenMetrics();
    const float s = m.uiScale;
    const int switchWidth = static_cast<int>(getSprite(7)->frameRect(kSwitchWidthFrame).w);
    const int gap = static_cast<int>(20 * s);
    const int blockWidth = soundRow->width + gap + switchWidth;
    const int blockHeight = 2 * soundRow->height + gap;
    const int left = (m.screenWidth - blockWidth) / 2;
    int top = (m.screenHeight - blockHeight) / 2;
    for (MenuPanel* row : {soundRow, musicRow}) {
        row->offsetX = static_cast<float>(left);
        row->offsetY = static_cast<float>(top);
        SpriteSlider* slider = row == soundRow ? soundVolume : musicVolume;
        slider->offsetX = (row->width - slider->width) / 2.0f;
        slider->offsetY = (row->height - slider->height) / 2.0f;
        SpriteCheckbox* box = row == soundRow ? soundSwitch : musicSwitch;
        box->offsetX = static_cast<float>(left + row->width + gap);
        box->offsetY = top + (row->height - box->height) / 2.0f;
        top += row->height + gap;
    }
    layout(absX, absY);
}

void AudioMenuFrame::setRowFrames()
{
    const Settings& record = settings();
    soundRow->backgroundFrame = kSoundOffFrame + (record.soundOn ? 1 : 0);
    musicRow->backgroundFrame = kMusicOffFrame + (record.musicOn ? 1 : 0);
}

void AudioMenuFrame::onSoundOn()
{
    Settings& record = settings();
    record.soundOn = 1;
    enableSlider(*soundVolume, true);
    setRowFrames();
    Sound::setMasterVolume(record.soundVolume);
    relayout();
    record.save();
}

void AudioMenuFrame::onSoundOff()
{
    Settings& record = settings();
    record.soundOn = 0;
    enableSlider(*soundVolume, false);
    setRowFrames();
    // The stored volume stays for when sound comes back.
    Sound::setMasterVolume(0.0f);
    relayout();
    record.save();
}

void AudioMenuFrame::onMusicOn()
{
    Settings& record = settings();
    record.musicOn = 1;
    enableSlider(*musicVolume, true);
    setRowFrames();
    relayout();
    if (SoundSourceStreamed* music = musicSource()) {
        music->setVolume(record.musicVolume);
        if (!gameScreenCurrent || !gameScreenCurrent())
            music->open(kMenuMusic);
    }
    record.save();
}

void AudioMenuFrame::onMusicOff()
{
    Settings& record = settings();
    record.musicOn = 0;
    enableSlider(*musicVolume, false);
    setRowFrames();
    if (SoundSourceStreamed* music = musicSource())
        music->stop();
    relayout();
    record.save();
}

void AudioMenuFrame::onSoundVolume(float value)
{
    settings().soundVolume = value;
    Sound::setMasterVolume(value);
}

void AudioMenuFrame::onMusicVolume(float value)
{
    settings().musicVolume = value;
    if (SoundSourceStreamed* music = musicSource())
        music->setVolume(value);
}

void AudioMenuFrame::onShow()
{
    FilledMenuFrame::onShow();
    if (bottomPanel) {
        bottomPanel->visible = false;
        bottomPanel->enabled = false;
    }
    const Settings& record = settings();
    soundSwitch->checked = record.soundOn != 0;
    musicSwitch->checked = record.musicOn != 0;
    placeSlider(*soundVolume, record.soundVolume);
    placeSlider(*musicVolume, record.musicVolume);
    enableSlider(*soundVolume, record.soundOn != 0);
    enableSlider(*musicVolume, record.musicOn != 0);
    setRowFrames();
    relayout();
    rebuildConnectorLines();
    rebuildFocusLinks();
}

void AudioMenuFrame::onHide()
{
    const Settings& record = settings();
    record.save();
    logInfo("menus", "sound saved: sound %d volume %.2f, music %d volume %.2f", record.soundOn, record.soundVolume,
            record.musicOn, record.musicVolume);
    FilledMenuFrame::onHide();
}

void AudioMenuFrame::rebuildConnectorLines()
{
    connectorLines.clear();
    if (!titleLabel)
        return;
    const int titleBottom = titleLabel->absY + titleLabel->height;
    const int rowTop = static_cast<int>(soundRow->offsetY);
    const int rowLeft = static_cast<int>(soundRow->offsetX);
    const int rowRight = rowLeft + soundRow->width;
    connectorLines.push_back({titleLabel->absX, titleBottom, rowLeft, rowTop, true, 0});
    connectorLines.push_back({titleLabel->absX + titleLabel->width, titleBottom, rowRight, rowTop, true, 0});
    const int midX = rowLeft + soundRow->width / 2;
    connectorLines.push_back({midX, rowTop + soundRow->height, midX, static_cast<int>(musicRow->offsetY), true, 0});
    for (MenuPanel* row : {soundRow, musicRow}) {
        const SpriteCheckbox* box = row == soundRow ? soundSwitch : musicSwitch;
        const int y = static_cast<int>(row->offsetY) + row->height / 2;
        connectorLines.push_back({rowLeft + row->width, y, static_cast<int>(box->offsetX), y, true, 0});
    }
}

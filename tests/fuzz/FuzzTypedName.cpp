// Typed text: any bytes go through the typed-character queue into the
// on-screen keyboard, are accepted into an edit box with the name rules, and
// are cleaned by sanitizeNameText into buffers of every small size.
#include "FuzzTarget.h"

#include "platform/Input.h"
#include "ui/widgets/SpriteEditBox.h"
#include "ui/widgets/SpriteKeyboard.h"

#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::silenceLog();
    const std::string_view text = fuzz::text(data, size);
    SpriteEditBox box(u"Pilot", nullptr);
    box.nameRules = size % 2 == 0;
    int changes = 0;
    box.onChange = [&changes](std::u16string_view) { ++changes; };
    SpriteKeyboard& keyboard = SpriteKeyboard::instance();
    box.openKeyboard();
    // Feed it in event-sized pieces, a frame each, as the event pump would.
    for (std::size_t at = 0; at < text.size() && keyboard.modalOpen(); at += 31) {
        input().textInput(text.substr(at, 31));
        keyboard.update();
        FUZZ_CHECK(keyboard.editText().size() <= 19);
        FUZZ_CHECK(keyboard.caret >= 0 && keyboard.caret <= static_cast<int>(keyboard.editText().size()));
    }
    if (keyboard.modalOpen())
        keyboard.cancel();
    keyboard.update();
    keyboard.update();
    FUZZ_CHECK(changes == 1);
    FUZZ_CHECK(box.maskText().size() == box.text().size());
    keyboard.listener = nullptr;

    std::u16string wide;
    for (unsigned char c : text)
        wide.push_back(static_cast<char16_t>(c));
    for (std::size_t room = 0; room < 70; room += 7) {
        std::vector<char16_t> out(room + 1, u'#');
        const std::size_t n = sanitizeNameText(std::span<char16_t>(out.data(), room), wide);
        FUZZ_CHECK(room == 0 ? n == 0 : n < room && out[n] == u'\0');
        FUZZ_CHECK(out[room] == u'#');
    }
    return 0;
}

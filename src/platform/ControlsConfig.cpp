// "controls.cfg": the bindings of schemes 0..2 and the axis flags of both
// joystick slots, as XML:
//   <controls version="1">
//     <scheme index="0"><action name="Roll_Left" kind1="4" code1="10" kind2="4" code2="73"/> ...</scheme>
//     <joystick slot="0"><axis index="4" trigger="1" inverted="0"/> ...</joystick>
//   </controls>
// Pairs and shown flags come from the default tables and are not saved.
#include "platform/Controls.h"
#include "platform/Log.h"

#include "platform/File.h"
#include "platform/Input.h"
#include "platform/SaveNotices.h"
#include "platform/Settings.h"

#include <tinyxml2.h>

#include <cstdio>
#include <vector>

namespace {
constexpr int kFormatVersion = 1;

bool readFlag(const tinyxml2::XMLElement& element, const char* name, std::uint8_t& out)
{
    int value = 0;
    if (element.QueryIntAttribute(name, &value) != tinyxml2::XML_SUCCESS || (value != 0 && value != 1))
        return false;
    out = static_cast<std::uint8_t>(value);
    return true;
}

bool readBinding(const tinyxml2::XMLElement& element, int action, const char* kindName, const char* codeName,
                 BindingKind& kind, int& code)
{
    int kindValue = 0;
    if (element.QueryIntAttribute(kindName, &kindValue) != tinyxml2::XML_SUCCESS ||
        element.QueryIntAttribute(codeName, &code) != tinyxml2::XML_SUCCESS || kindValue < -1 || kindValue > 5)
        return false;
    kind = static_cast<BindingKind>(kindValue);
    return validBinding(action, kind, code);
}
}  // namespace

void Controls::setAllDefaults()
{
    for (int scheme = 0; scheme < kSchemeCount; ++scheme)
        setDefaults(scheme);
    for (int slot = 0; slot < Input::kJoystickSlots; ++slot)
        m_input.joystick(slot).setDefaultAxisFlags();
}

bool Controls::loadFromText(std::string_view xml)
{
    setAllDefaults();

    tinyxml2::XMLDocument document;
    if (document.Parse(xml.data(), xml.size()) != tinyxml2::XML_SUCCESS)
        return false;
    const tinyxml2::XMLElement* root = document.FirstChildElement("controls");
    if (!root)
        return false;

    for (auto* scheme = root->FirstChildElement("scheme"); scheme; scheme = scheme->NextSiblingElement("scheme")) {
        int schemeIndex = -1;
        if (scheme->QueryIntAttribute("index", &schemeIndex) != tinyxml2::XML_SUCCESS || schemeIndex < 0 ||
            schemeIndex >= kSavedSchemes)
            continue;
        for (auto* entry = scheme->FirstChildElement("action"); entry; entry = entry->NextSiblingElement("action")) {
            const char* name = entry->Attribute("name");
            const int action = name ? controlActionByName(name) : -1;
            if (action < 0)
                continue;
            // A bad binding leaves the whole action at its default.
            ActionBinding read = m_schemes[schemeIndex][action];
            if (!readBinding(*entry, action, "kind1", "code1", read.kind1, read.code1) ||
                !readBinding(*entry, action, "kind2", "code2", read.kind2, read.code2))
                continue;
            m_schemes[schemeIndex][action] = read;
        }
    }
    for (auto* joystick = root->FirstChildElement("joystick"); joystick;
         joystick = joystick->NextSiblingElement("joystick")) {
        int slot = -1;
        if (joystick->QueryIntAttribute("slot", &slot) != tinyxml2::XML_SUCCESS || slot < 0 ||
            slot >= Input::kJoystickSlots)
            continue;
        JoystickDevice& device = m_input.joystick(slot);
        for (auto* axis = joystick->FirstChildElement("axis"); axis; axis = axis->NextSiblingElement("axis")) {
            int axisIndex = -1;
            std::uint8_t trigger = 0, inverted = 0;
            if (axis->QueryIntAttribute("index", &axisIndex) != tinyxml2::XML_SUCCESS || axisIndex < 0 ||
                axisIndex >= JoystickDevice::kMaxAxes || !readFlag(*axis, "trigger", trigger) ||
                !readFlag(*axis, "inverted", inverted))
                continue;
            device.triggerAxis[axisIndex] = trigger;
            device.invertedAxis[axisIndex] = inverted;
        }
    }
    return true;
}

std::string Controls::toText() const
{
    tinyxml2::XMLDocument document;
    tinyxml2::XMLElement* root = document.NewElement("controls");
    root->SetAttribute("version", kFormatVersion);
    document.InsertEndChild(root);
    for (int schemeIndex = 0; schemeIndex < kSavedSchemes; ++schemeIndex) {
        tinyxml2::XMLElement* scheme = root->InsertNewChildElement("scheme");
        scheme->SetAttribute("index", schemeIndex);
        for (int action = 0; action < kControlActionCount; ++action) {
            const ActionBinding& b = m_schemes[schemeIndex][action];
            tinyxml2::XMLElement* entry = scheme->InsertNewChildElement("action");
            entry->SetAttribute("name", std::string(controlActionName(action)).c_str());
            entry->SetAttribute("kind1", static_cast<int>(b.kind1));
            entry->SetAttribute("code1", b.code1);
            entry->SetAttribute("kind2", static_cast<int>(b.kind2));
            entry->SetAttribute("code2", b.code2);
        }
    }
    for (int slot = 0; slot < Input::kJoystickSlots; ++slot) {
        const JoystickDevice& device = m_input.joystick(slot);
        tinyxml2::XMLElement* joystick = root->InsertNewChildElement("joystick");
        joystick->SetAttribute("slot", slot);
        for (int axisIndex = 0; axisIndex < JoystickDevice::kMaxAxes; ++axisIndex) {
            tinyxml2::XMLElement* axis = joystick->InsertNewChildElement("axis");
            axis->SetAttribute("index", axisIndex);
            axis->SetAttribute("trigger", int{device.triggerAxis[axisIndex]});
            axis->SetAttribute("inverted", int{device.invertedAxis[axisIndex]});
        }
    }
    tinyxml2::XMLPrinter printer;
    document.Print(&printer);
    return std::string(printer.CStr(), static_cast<std::size_t>(printer.CStrSize() > 0 ? printer.CStrSize() - 1 : 0));
}

bool Controls::load()
{
    setCurrentScheme(m_settings.controlDevice);
    std::vector<std::uint8_t> bytes;
    if (!readSaveFile(kFileName, kMaxFileBytes, bytes)) {
        setAllDefaults();
        // Too large or unreadable: shut-down would write the defaults over it.
        setAsideUnreadSaveFile(kFileName, kDamagedFileName, "the default bindings apply", SaveNotice::ControlsReset);
        return false;
    }
    if (!loadFromText(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()))) {
        // Shut-down writes the defaults over it: keep the player's file first.
        std::string kept;
        const KeptSaveFile result = keepDamagedSaveFile(kFileName, kDamagedFileName, bytes, kept);
        logWarning("platform", "%s: not readable XML; the default bindings apply%s%s", kFileName,
                   keptFileNote(result), kept.c_str());
        raiseSaveNotice(SaveNotice::ControlsReset);
        return false;
    }
    return true;
}

void Controls::save() const
{
    if (!writeSaveFileAtomic(kFileName, toText()))
        logWarning("platform", "%s: could not be written", kFileName);
}

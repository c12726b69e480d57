#include "platform/sys/InputDevices.h"

#include "platform/Input.h"

#include <SDL.h>

InputDevices::~InputDevices()
{
    closeAll();
}

void InputDevices::openAll()
{
    const int count = SDL_NumJoysticks();
    for (int index = 0; index < count; ++index)
        open(index);
}

void InputDevices::closeAll()
{
    while (!m_devices.empty())
        close(m_devices.back().instanceId);
}

bool InputDevices::isOpen(int instanceId) const
{
    for (const Device& device : m_devices)
        if (device.instanceId == instanceId)
            return true;
    return false;
}

void InputDevices::open(int deviceIndex)
{
    // SDL reports a device both at start and in its first added event.
    const int instanceId = SDL_JoystickGetDeviceInstanceID(deviceIndex);
    if (instanceId < 0 || isOpen(instanceId))
        return;
    Device device;
    device.instanceId = instanceId;
    int slot = -1;
    if (SDL_IsGameController(deviceIndex)) {
        device.controller = SDL_GameControllerOpen(deviceIndex);
        if (!device.controller)
            return;
        const char* name = SDL_GameControllerName(device.controller);
        slot = m_input.controllerAdded(instanceId, name ? name : "Controller", SDL_CONTROLLER_AXIS_MAX,
                                       SDL_CONTROLLER_BUTTON_MAX, true);
    } else {
        device.joystick = SDL_JoystickOpen(deviceIndex);
        if (!device.joystick)
            return;
        const char* name = SDL_JoystickName(device.joystick);
        slot = m_input.controllerAdded(instanceId, name ? name : "Joystick", SDL_JoystickNumAxes(device.joystick),
                                       SDL_JoystickNumButtons(device.joystick), false);
    }
    m_devices.push_back(device);
    if (slot < 0)
        close(instanceId);  // both slots are taken
}

void InputDevices::close(int instanceId)
{
    for (auto it = m_devices.begin(); it != m_devices.end(); ++it) {
        if (it->instanceId != instanceId)
            continue;
        if (it->controller)
            SDL_GameControllerClose(it->controller);
        if (it->joystick)
            SDL_JoystickClose(it->joystick);
        m_devices.erase(it);
        break;
    }
    m_input.controllerRemoved(instanceId);
}

void InputDevices::handle(const SDL_Event& event)
{
    switch (event.type) {
    case SDL_CONTROLLERDEVICEADDED:
    case SDL_JOYDEVICEADDED:
        open(event.jdevice.which);  // a device index here
        break;
    case SDL_CONTROLLERDEVICEREMOVED:
    case SDL_JOYDEVICEREMOVED:
        close(event.jdevice.which);  // an instance id here
        break;
    case SDL_CONTROLLERAXISMOTION:
        m_input.joystickAxis(event.caxis.which, event.caxis.axis, event.caxis.value);
        break;
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP:
        m_input.joystickButton(event.cbutton.which, event.cbutton.button, event.type == SDL_CONTROLLERBUTTONDOWN);
        break;
    // A game controller sends these too, in its raw numbering: only plain joysticks count.
    case SDL_JOYAXISMOTION:
        if (!SDL_GameControllerFromInstanceID(event.jaxis.which))
            m_input.joystickAxis(event.jaxis.which, event.jaxis.axis, event.jaxis.value);
        break;
    case SDL_JOYBUTTONDOWN:
    case SDL_JOYBUTTONUP:
        if (!SDL_GameControllerFromInstanceID(event.jbutton.which))
            m_input.joystickButton(event.jbutton.which, event.jbutton.button, event.type == SDL_JOYBUTTONDOWN);
        break;
    default:
        break;
    }
}

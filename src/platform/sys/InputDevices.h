#pragma once
#include <vector>

class Input;
struct _SDL_GameController;
struct _SDL_Joystick;
union SDL_Event;

// Opens SDL's joysticks and game controllers into the input state's two slots
// and hands it their buttons and axes. A device that is also a game controller
// is opened as one (fixed button names); devices beyond the two slots are closed again.
class InputDevices {
public:
    explicit InputDevices(Input& input) : m_input(input) {}
    ~InputDevices();
    InputDevices(const InputDevices&) = delete;
    InputDevices& operator=(const InputDevices&) = delete;

    // Every device attached now; SDL's joystick and controller layers must be started.
    void openAll();
    // Hot-plug, axis and button events; other events are ignored.
    void handle(const SDL_Event& event);
    void closeAll();

private:
    struct Device {
        int instanceId = -1;
        _SDL_GameController* controller = nullptr;
        _SDL_Joystick* joystick = nullptr;   // only for a device that is no game controller
    };
    void open(int deviceIndex);
    void close(int instanceId);
    bool isOpen(int instanceId) const;

    Input& m_input;
    std::vector<Device> m_devices;
};

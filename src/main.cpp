#include "platform/App.h"

#include <utility>

int main(int argc, char** argv)
{
    // The subsystems above the platform register their screens, sound and
    // overlays here as they join the game; until then the loop shows the empty screen.
    AppHooks hooks;
    App app(std::move(hooks));
    return app.run(argc, argv);
}

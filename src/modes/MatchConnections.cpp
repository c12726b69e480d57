#include "modes/MatchConnections.h"

#include <cxxabi.h>

#include <cstdlib>
#include <memory>
#include <typeinfo>

namespace {
IModeHud g_noHud;
IModeCamera g_noCamera;
IModeProgress g_noProgress;
IModeScores g_noScores;
ITutorialHud g_noTutorial;
IModeScene g_noScene;
IModeMessages g_noMessages;
IModeOverlays g_noOverlays;
IModeEndPages g_noEndPages;

std::string className(const std::type_info& type)
{
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> name(abi::__cxa_demangle(type.name(), nullptr, nullptr, &status),
                                                std::free);
    return status == 0 && name ? std::string(name.get()) : std::string(type.name());
}

template <typename T>
void describeOne(std::string& out, const char* name, const T* connection)
{
    if (!out.empty())
        out += ' ';
    out += name;
    out += '=';
    out += connection ? className(typeid(*connection)) : std::string("-");
}
}  // namespace

NoNetwork& noNetwork()
{
    static NoNetwork none;
    return none;
}

MatchConnections MatchConnections::none()
{
    MatchConnections c;
    c.hooks = ModeHooks{&g_noHud, &g_noCamera, &g_noProgress, &g_noScores, &g_noTutorial};
    c.services = ModeServices{&g_noScene, &g_noMessages, &g_noOverlays, &g_noEndPages};
    c.network = &noNetwork();
    return c;
}

std::vector<std::string> MatchConnections::missing() const
{
    std::vector<std::string> names;
    const auto check = [&names](const void* connection, const char* name) {
        if (!connection)
            names.emplace_back(name);
    };
    check(hooks.hud, "hud");
    check(hooks.camera, "camera");
    check(hooks.progress, "progress");
    check(hooks.scores, "scores");
    check(hooks.tutorial, "tutorial");
    check(services.scene, "scene");
    check(services.messages, "messages");
    check(services.overlays, "overlays");
    check(services.endPages, "endPages");
    check(network, "network");
    return names;
}

std::string MatchConnections::describe() const
{
    std::string out;
    describeOne(out, "hud", hooks.hud);
    describeOne(out, "camera", hooks.camera);
    describeOne(out, "progress", hooks.progress);
    describeOne(out, "scores", hooks.scores);
    describeOne(out, "tutorial", hooks.tutorial);
    describeOne(out, "scene", services.scene);
    describeOne(out, "messages", services.messages);
    describeOne(out, "overlays", services.overlays);
    describeOne(out, "endPages", services.endPages);
    describeOne(out, "network", network);
    return out;
}

#include "menus/MenuFrameRegistry.h"

#include "ui/MenuFrame.h"

#include <array>

namespace {
std::array<MenuFrame*, static_cast<size_t>(MenuFrameRegistry::Page::Count)> g_pages{};
}  // namespace

MenuFrame*& MenuFrameRegistry::entry(Page page)
{
    return g_pages[static_cast<size_t>(page)];
}

void MenuFrameRegistry::deleteAll()
{
    for (size_t i = 0; i < static_cast<size_t>(Page::KeptPages); ++i) {
        delete g_pages[i];
        g_pages[i] = nullptr;
    }
}

#include "screens/MenuTouchRouter.h"

#include "ui/MenuNavigation.h"

void MenuTouchRouter::down(int id, int x, int y)
{
    if (m_touchId != 0)
        return;
    m_touchId = id;
    dispatchTouchDown(x, y);
}

void MenuTouchRouter::up(int id, int x, int y)
{
    if (id != m_touchId)
        return;
    m_touchId = 0;
    dispatchTouchUp(x, y);
}

void MenuTouchRouter::move(int id, int x, int y)
{
    if (id == m_touchId)
        dispatchTouchMove(x, y);
}

void MenuTouchRouter::cancel(int id)
{
    if (id != m_touchId)
        return;
    m_touchId = 0;
    dispatchTouchCancel();
}

#pragma once

// Touches for the menu pages, as the menu and pause screens pass them on: one
// finger at a time, the first touch followed until it ends or is cancelled.
class MenuTouchRouter {
public:
    void down(int id, int x, int y);
    void up(int id, int x, int y);
    void move(int id, int x, int y);
    void cancel(int id);
    void reset() { m_touchId = 0; }
    int tracked() const { return m_touchId; }   // 0: none

private:
    int m_touchId = 0;
};

#pragma once

// The 35 bindable actions; the numbers are the bits of Controls::enabledActions
// and the rows of the key set-up page.
enum class ControlAction : int {
    Roll_Left = 0, Roll_Right = 1, Pitch_Up = 2, Pitch_Down = 3, Yaw_Left = 4, Yaw_Right = 5,
    Accelerate = 6, Brake = 7, Weapon_1 = 8, Weapon_2 = 9, Weapon_3 = 10, Radar = 11, Camera = 12,
    Eject = 13, Autopilot = 14, Hide_HUD = 15, Squadron_Cmd = 16, Squadron_CmdA = 17,
    Squadron_CmdD = 18, Squadron_CmdF = 19, Boost = 20, Link_Weapons = 21, Chat = 22, Scores = 23,
    Menu = 24, Console = 25, Zoom = 26, Look = 27, FastForward = 28, Menu_Up = 29, Menu_Down = 30,
    Menu_Left = 31, Menu_Right = 32, Menu_Select = 33, Menu_Back = 34,
};
constexpr int kControlActionCount = 35;

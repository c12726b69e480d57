#pragma once

class Texture2D;

// High-detail rain: the frame drawn so far is copied, then the lens drops and
// the falling streaks are drawn bending that picture through the drop normal
// map. Vertices are 24 bytes (position, colour, u v), drops first, under the
// caller's matrices; premultiplied blending without depth. False, with
// nothing drawn, when the device has no rain programs or cannot copy its
// target (the caller then draws the plain additive rain).
bool drawRainRefraction(const void* vertices, int dropQuads, int streakQuads, const Texture2D* normalMap);
// The copy of the frame goes (leaving the screen, a lost context).
void releaseRainRefraction();

// Fog by eye distance, shared by every fogged program. fogRange = (start, end)
// in world units: 0 before the start, 1 at and past the end. An inverted range,
// or one narrower than 1 unit, fogs every point past the start instead of
// dividing by a tiny or negative span.
float fogFactor(float distance, vec2 fogRange)
{
    if (fogRange.y <= fogRange.x + 1.0)
        return distance > fogRange.x ? 1.0 : 0.0;
    return clamp((distance - fogRange.x) / (fogRange.y - fogRange.x), 0.0, 1.0);
}

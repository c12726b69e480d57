#pragma once

// The renderer's end, called by the device's owner while the window's context
// is still current: drops every cache and registry, shuts the device and its
// extensions down and frees the GL names of every object still holding one,
// wherever it lives. Afterwards no destructor of a render object calls GL, and
// graphics() is null until a device is started again.
void shutdownRenderer();

// Drops every cache and registry of the renderer (models, textures, sprite
// sets, post-process and shadow targets, world programs) as at start-up; the
// device stays. For tests between cases; a live context frees the GL names at once.
void resetRenderGlobals();

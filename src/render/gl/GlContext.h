#pragma once

// What the current context supports, read once by GraphicsES20::init.
struct GlContextInfo {
    bool desktop = false;
    int version = 0;                 // 20 for 2.0, 30 for 3.0 ...
    bool occlusionQuery = false;
    bool queryIsExtension = false;   // ES 2.0 with EXT_occlusion_query_boolean
    unsigned int queryTarget = 0;    // samples passed (desktop) or any samples passed (ES)
    bool packedDepthStencil = false;
    bool fullNonPowerOfTwo = false;  // mip levels and repeat on any size
    bool textureMaxLevel = false;    // partial mip chains
};
GlContextInfo& glContextInfo();

// Drops every error GL has recorded so far, so that a check after the next
// calls sees only their own faults, not one left by an unrelated earlier call.
void clearGlErrors();

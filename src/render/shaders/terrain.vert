// Terrain: the overview picture over the whole field by world x, z divided by
// the shader terrain size (never below 1), a tiled detail grain, sun and fog.
// The grain fades out between u_detailFade.x and .y from the eye: past that it
// is finer than a pixel and, drawn without mip levels, would only shimmer.
// Patches wholly past the fade, or out of the shadow map's reach, are drawn by
// programs built without that work (NO_DETAIL, NO_SHADOW_LOOKUP defined;
// NO_CLIP and NO_UNDERWATER as in terrain.frag).
#include "fog.glsl"
uniform mat4 u_worldViewProj;
uniform mat4 u_worldView;
uniform vec3 u_lightDirection;
uniform vec3 u_lightDiffuse;
uniform vec2 u_fogRange;
uniform float u_terrainSize;
uniform vec2 u_detailFade;
attribute vec3 a_position;
attribute vec3 a_normal;
varying mediump vec2 v_overview;
varying lowp vec3 v_sun;
varying lowp float v_fog;
#ifndef NO_DETAIL
varying mediump vec2 v_detail;
varying lowp float v_grain;
#endif
#if !defined(NO_CLIP) || !defined(NO_UNDERWATER)
varying highp float v_height;
#endif
#ifndef NO_SHADOW_LOOKUP
uniform mat4 u_shadowMatrix;
varying highp vec3 v_shadow;
#endif
void main()
{
    float eyeDistance = length((u_worldView * vec4(a_position, 1.0)).xyz);
    v_overview = a_position.xz / max(u_terrainSize, 1.0) + 0.5;
#ifndef NO_DETAIL
    v_detail = a_position.xz * (1.0 / 96.0);
    v_grain = 0.8 * (1.0 - smoothstep(u_detailFade.x, u_detailFade.y, eyeDistance));
#endif
    v_sun = u_lightDiffuse * max(dot(a_normal, u_lightDirection), 0.0);
    v_fog = fogFactor(eyeDistance, u_fogRange);
#if !defined(NO_CLIP) || !defined(NO_UNDERWATER)
    v_height = a_position.y;
#endif
#ifndef NO_SHADOW_LOOKUP
    v_shadow = (u_shadowMatrix * vec4(a_position, 1.0)).xyz;
#endif
    gl_Position = u_worldViewProj * vec4(a_position, 1.0);
}

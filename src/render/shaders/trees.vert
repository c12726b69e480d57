// Trees: crossed quads lit as if facing up-sun.
#include "fog.glsl"
uniform mat4 u_worldViewProj;
uniform mat4 u_worldView;
uniform vec3 u_lightDirection;
uniform vec3 u_lightAmbient;
uniform vec3 u_lightDiffuse;
uniform vec2 u_fogRange;
attribute vec3 a_position;
attribute vec2 a_texCoord0;
varying mediump vec2 v_texCoord;
varying lowp vec3 v_light;
varying lowp float v_fog;
varying lowp float v_cut;
void main()
{
    v_texCoord = a_texCoord0;
    v_light = min(u_lightAmbient + u_lightDiffuse * (0.35 + 0.65 * max(u_lightDirection.y, 0.0)), vec3(1.0));
    float distance = length((u_worldView * vec4(a_position, 1.0)).xyz);
    v_fog = fogFactor(distance, u_fogRange);
    // Averaged with the clear texels around it a far crown's alpha drops
    // under one half: it would vanish where it should still show.
    v_cut = mix(0.5, 0.12, clamp((distance - 300.0) / 2500.0, 0.0, 1.0));
    gl_Position = u_worldViewProj * vec4(a_position, 1.0);
}

// Cloud puffs fade out over one and a half times the fog range.
#include "fog.glsl"
uniform mat4 u_worldViewProj;
uniform mat4 u_worldView;
uniform vec2 u_fogRange;
attribute vec3 a_position;
attribute vec4 a_color;
attribute vec2 a_texCoord0;
varying lowp vec4 v_color;
varying mediump vec2 v_texCoord;
void main()
{
    v_color = a_color;
    float fog = fogFactor(length((u_worldView * vec4(a_position, 1.0)).xyz), u_fogRange * 1.5);
    v_color.a *= 1.0 - fog;
    v_texCoord = a_texCoord0;
    gl_Position = u_worldViewProj * vec4(a_position, 1.0);
}

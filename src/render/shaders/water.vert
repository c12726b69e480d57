#include "fog.glsl"
uniform mat4 u_worldViewProj;
uniform mat4 u_worldView;
uniform vec2 u_fogRange;
uniform vec3 u_eye;
attribute vec3 a_position;
#ifndef NO_PICTURES
varying highp vec4 v_clip;
#endif
varying highp vec3 v_toEye;
varying highp vec2 v_world;
varying lowp float v_fog;
void main()
{
    v_toEye = u_eye - a_position;
    v_world = a_position.xz;
    v_fog = fogFactor(length((u_worldView * vec4(a_position, 1.0)).xyz), u_fogRange);
    gl_Position = u_worldViewProj * vec4(a_position, 1.0);
#ifndef NO_PICTURES
    v_clip = gl_Position;
#endif
}

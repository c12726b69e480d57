// Static props: the lit model vertex with the sun shadow.
#include "fog.glsl"
uniform mat4 u_shadowMatrix;
varying highp vec3 v_shadow;
uniform mat4 u_worldViewProj;
uniform mat4 u_worldView;
uniform vec3 u_lightDirection;
uniform vec3 u_lightDiffuse;
uniform vec2 u_fogRange;
attribute vec3 a_position;
attribute vec3 a_normal;
attribute vec2 a_texCoord0;
varying mediump vec2 v_texCoord;
varying lowp vec3 v_sun;
varying lowp float v_fog;
void main()
{
    v_texCoord = a_texCoord0;
    v_sun = u_lightDiffuse * max(dot(a_normal, u_lightDirection), 0.0);
    v_fog = fogFactor(length((u_worldView * vec4(a_position, 1.0)).xyz), u_fogRange);
    v_shadow = (u_shadowMatrix * vec4(a_position, 1.0)).xyz;
    gl_Position = u_worldViewProj * vec4(a_position, 1.0);
}

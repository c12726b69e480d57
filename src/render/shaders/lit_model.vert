// One directional sun light and distance fog, both per vertex. The normal
// matrix is the world matrix: model nodes carry no non-uniform scale.
#include "fog.glsl"
uniform mat4 u_worldViewProj;
uniform mat4 u_worldView;
uniform mat4 u_world;
uniform vec3 u_lightDirection;
uniform vec3 u_lightAmbient;
uniform vec3 u_lightDiffuse;
uniform vec2 u_fogRange;
attribute vec3 a_position;
attribute vec3 a_normal;
attribute vec4 a_color;
attribute vec2 a_texCoord0;
varying lowp vec4 v_color;
varying mediump vec2 v_texCoord;
varying lowp float v_fog;
void main()
{
    vec3 normal = normalize(mat3(u_world) * a_normal);
    float sun = max(dot(normal, u_lightDirection), 0.0);
    vec3 light = min(u_lightAmbient + u_lightDiffuse * sun, vec3(1.0));
    v_color = vec4(a_color.rgb * light, a_color.a);
    v_texCoord = a_texCoord0;
    v_fog = fogFactor(length((u_worldView * vec4(a_position, 1.0)).xyz), u_fogRange);
    gl_Position = u_worldViewProj * vec4(a_position, 1.0);
}

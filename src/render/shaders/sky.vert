// Sky dome: colors computed on the CPU per vertex; pinned to the far plane.
uniform mat4 u_worldViewProj;
attribute vec3 a_position;
attribute vec4 a_color;
attribute vec2 a_texCoord0;
varying lowp vec4 v_color;
#ifndef NO_TEXTURE
varying mediump vec2 v_texCoord;
#endif
#ifndef NO_SUN
varying highp vec3 v_direction;
#endif
void main()
{
    v_color = a_color;
#ifndef NO_TEXTURE
    v_texCoord = a_texCoord0;
#endif
#ifndef NO_SUN
    v_direction = a_position;
#endif
    gl_Position = (u_worldViewProj * vec4(a_position, 1.0)).xyww;
}

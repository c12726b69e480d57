// Position, color and one texture coordinate: sprites and effects.
uniform mat4 u_worldViewProj;
attribute vec3 a_position;
attribute vec4 a_color;
attribute vec2 a_texCoord0;
varying lowp vec4 v_color;
varying mediump vec2 v_texCoord;
void main()
{
    v_color = a_color;
    v_texCoord = a_texCoord0;
    gl_Position = u_worldViewProj * vec4(a_position, 1.0);
}

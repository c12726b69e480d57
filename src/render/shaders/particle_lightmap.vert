// High-detail particle vertex: position, color, sheet coordinate and the
// lightmap coordinate.
uniform mat4 u_worldViewProj;
attribute vec3 a_position;
attribute vec4 a_color;
attribute vec2 a_texCoord0;
attribute vec2 a_texCoord1;
varying lowp vec4 v_color;
varying mediump vec2 v_texCoord;
varying mediump vec2 v_lightCoord;
void main()
{
    v_color = a_color;
    v_texCoord = a_texCoord0;
    v_lightCoord = a_texCoord1;
    gl_Position = u_worldViewProj * vec4(a_position, 1.0);
}

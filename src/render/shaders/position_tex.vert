// Position and texture coordinate: the 20-byte haze quads and the 16-byte
// full-screen quad.
uniform mat4 u_worldViewProj;
attribute vec3 a_position;
attribute vec2 a_texCoord0;
varying mediump vec2 v_texCoord;
void main()
{
    v_texCoord = a_texCoord0;
    gl_Position = u_worldViewProj * vec4(a_position, 1.0);
}

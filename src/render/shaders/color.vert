// Vertex color only, untextured.
uniform mat4 u_worldViewProj;
attribute vec3 a_position;
attribute vec4 a_color;
varying lowp vec4 v_color;
void main()
{
    v_color = a_color;
    gl_Position = u_worldViewProj * vec4(a_position, 1.0);
}

// Depth of the sun's view.
uniform mat4 u_worldViewProj;
attribute vec3 a_position;
varying highp float v_depth;
void main()
{
    gl_Position = u_worldViewProj * vec4(a_position, 1.0);
    v_depth = gl_Position.z / gl_Position.w * 0.5 + 0.5;
}

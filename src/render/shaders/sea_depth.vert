// The sea plane's depth alone, pushed back by u_depthBias (clip-space z over
// w) so that the surface drawn later at the same height always passes.
uniform mat4 u_worldViewProj;
uniform float u_depthBias;
attribute vec3 a_position;
void main()
{
    gl_Position = u_worldViewProj * vec4(a_position, 1.0);
    gl_Position.z += u_depthBias * gl_Position.w;
}

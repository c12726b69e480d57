uniform mat4 u_worldViewProj;
uniform mat4 u_worldView;
attribute vec3 a_position;
attribute vec3 a_normal;
varying mediump vec2 v_normal;
void main()
{
    v_normal = normalize(mat3(u_worldView) * a_normal).xy;
    gl_Position = u_worldViewProj * vec4(a_position, 1.0);
}

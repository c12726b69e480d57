// Offsets are stored around 0.5 so that a cleared target (0.5, 0.5) means none.
uniform float u_strength;
varying mediump vec2 v_normal;
void main()
{
    gl_FragColor = vec4(clamp(vec2(0.5) + v_normal * u_strength, 0.0, 1.0), 0.0, 1.0);
}

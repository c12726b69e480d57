// Heat haze faked with the glow alpha alone.
#include "haze_strength.glsl"
void main()
{
    vec2 ripple;
    float a = hazeStrength(ripple) * (0.12 + 2.0 * length(ripple));
    gl_FragColor = vec4(vec3(a * 0.8), a);
}

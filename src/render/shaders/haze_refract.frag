// Heat haze refracting the haze target's picture (u_texture1); u_screenSize in pixels.
#include "haze_strength.glsl"
uniform sampler2D u_texture1;
uniform vec2 u_screenSize;
void main()
{
    vec2 ripple;
    float a = hazeStrength(ripple);
    vec2 at = gl_FragCoord.xy / u_screenSize + ripple * a * 0.5;
    gl_FragColor = vec4(texture2D(u_texture1, at).rgb * a, a);
}

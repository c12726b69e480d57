// Water: tinted and fogged at every tier; from tier 2 the reflection and
// refraction pictures (screen space, rippled by two scrolling waves) blend by
// a fresnel term. The waves (300 to 600 units long) flatten out where a pixel
// covers a good part of one, about distance^2 / eye height / 400 units at a
// grazing view, since finer waves alias into rings and checks. A program
// built with NO_PICTURES defined is the lower tiers' (u_pictures always 0);
// one with NO_GLINT leaves the sun's glint out (its mirror image far out of view).
#ifndef NO_PICTURES
uniform sampler2D u_texture0;
uniform sampler2D u_texture1;
uniform float u_pictures;
varying highp vec4 v_clip;
#endif
uniform vec3 u_fogColor;
uniform vec3 u_waterColor;
uniform vec3 u_skyColor;
uniform vec3 u_sunDirection;
uniform vec3 u_sunColor;
uniform float u_time;
varying highp vec3 v_toEye;
varying highp vec2 v_world;
varying lowp float v_fog;
// A wave's sine by a parabola refined once (within 0.001 of sin): the
// software renderer's sin() costs several times as much, and four are taken
// at every pixel.
float waveSin(float phase)
{
    float t = fract(phase * 0.15915494 + 0.5) * 2.0 - 1.0;  // phase as -1..1 of a half turn
    float y = 4.0 * t * (1.0 - abs(t));
    return y + 0.225 * (y * abs(y) - y);
}
void main()
{
    float inverseDistance = inversesqrt(dot(v_toEye, v_toEye));
    vec3 view = v_toEye * inverseDistance;
    vec2 wave = vec2(waveSin(v_world.x * 0.013 + u_time * 1.1) + waveSin(v_world.y * 0.021 - u_time * 0.7),
                     waveSin(v_world.y * 0.017 + u_time * 0.9 + 1.5707963) +
                         waveSin(v_world.x * 0.011 + u_time * 1.3 + 1.5707963));
    float footprint = 1.0 / (inverseDistance * max(view.y, 0.001)) * (1.0 / 400.0);
    wave *= 0.04 * (1.0 - smoothstep(30.0, 90.0, footprint));
    // The waves tilt the normal by under 0.1: 1 - w^2 / 2 is its length's
    // inverse to within 1e-5.
    vec3 normal = vec3(wave.x, 1.0, wave.y) * (1.0 - 0.5 * dot(wave, wave));
    // Powers by products: far cheaper than pow() on a software renderer.
    float facing = 1.0 - max(dot(view, normal), 0.0);
    float facing2 = facing * facing;
    float fresnel = 0.02 + 0.98 * facing2 * facing2 * facing;
    vec3 reflected = u_skyColor;
    vec3 below = u_waterColor;
#ifndef NO_PICTURES
    if (u_pictures > 0.5) {
        vec2 screen = v_clip.xy / v_clip.w * 0.5 + 0.5 + normal.xz * 0.02;
        reflected = texture2D(u_texture0, screen).rgb;
        below = mix(texture2D(u_texture1, screen).rgb, u_waterColor, 0.55);
    }
#endif
    vec3 color = mix(below, reflected, fresnel);
#ifndef NO_GLINT
    vec3 halfway = view + u_sunDirection;
    float s = max(dot(normal, halfway), 0.0) * inversesqrt(dot(halfway, halfway));
    float s8 = s * s;
    s8 *= s8;
    s8 *= s8;
    float s64 = s8 * s8;
    s64 *= s64;
    s64 *= s64;
    color += u_sunColor * (s64 * s64 * s64 * s8) * 0.6;  // s^200
#endif
    gl_FragColor = vec4(mix(color, u_fogColor, v_fog), 1.0);
}

// Water: tinted and fogged at every tier; from tier 2 the reflection and
// refraction pictures (screen space, rippled by two scrolling waves) blend by
// a fresnel term. The waves (300 to 600 units long) flatten out where a pixel
// covers a good part of one, about distance^2 / eye height / 400 units at a
// grazing view, since finer waves alias into rings and checks. A program
// built with NO_PICTURES defined is the lower tiers' (u_pictures always 0).
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
void main()
{
    float eyeDistance = length(v_toEye);
    vec3 view = v_toEye / eyeDistance;
    vec2 wave = vec2(sin(v_world.x * 0.013 + u_time * 1.1) + sin(v_world.y * 0.021 - u_time * 0.7),
                     cos(v_world.y * 0.017 + u_time * 0.9) + cos(v_world.x * 0.011 + u_time * 1.3));
    float footprint = eyeDistance / max(view.y, 0.001) * (1.0 / 400.0);
    wave *= 0.04 * (1.0 - smoothstep(30.0, 90.0, footprint));
    vec3 normal = normalize(vec3(wave.x, 1.0, wave.y));
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
    vec3 halfway = normalize(view + u_sunDirection);
    float s = max(dot(normal, halfway), 0.0);
    float s8 = s * s;
    s8 *= s8;
    s8 *= s8;
    float s64 = s8 * s8;
    s64 *= s64;
    s64 *= s64;
    color += u_sunColor * (s64 * s64 * s64 * s8) * 0.6;  // s^200
    gl_FragColor = vec4(mix(color, u_fogColor, v_fog), 1.0);
}

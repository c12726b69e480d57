// u_clip discards ground above or below the water for its reflection and
// refraction (u_clip.y 1 keeps y >= u_clip.x, -1 keeps y <= u_clip.x, 0 keeps
// all). For the refraction u_underwater holds the water color and 1 / the
// depth at which the ground is lost in it (0 otherwise): the ground then fades
// into the water instead of the fog, which the water surface adds.
// Programs built with NO_CLIP and NO_UNDERWATER defined leave that out: the
// main pass then has no discard, so hidden ground is rejected before shading.
#include "shadow_lookup.glsl"
uniform sampler2D u_texture0;
uniform vec3 u_lightAmbient;
uniform vec3 u_fogColor;
uniform vec3 u_groundTint;
varying mediump vec2 v_overview;
varying lowp vec3 v_sun;
varying lowp float v_fog;
#ifndef NO_DETAIL
uniform sampler2D u_texture1;
uniform float u_detailScale;
varying mediump vec2 v_detail;
varying lowp float v_grain;
#endif
#if !defined(NO_CLIP) || !defined(NO_UNDERWATER)
varying highp float v_height;
#endif
#ifndef NO_CLIP
uniform vec2 u_clip;
#endif
#ifndef NO_UNDERWATER
uniform vec4 u_underwater;
#endif
void main()
{
#ifndef NO_CLIP
    if (u_clip.y * (v_height - u_clip.x) < 0.0)
        discard;
#endif
    vec3 ground = texture2D(u_texture0, v_overview).rgb * u_groundTint;
#ifndef NO_DETAIL
    ground *= mix(1.0, texture2D(u_texture1, v_detail).r * u_detailScale, v_grain);
#endif
    vec3 color = ground * min(u_lightAmbient + v_sun * sunVisible(), vec3(1.0));
#ifndef NO_UNDERWATER
    if (u_underwater.a > 0.0)
        gl_FragColor = vec4(mix(color, u_underwater.rgb, clamp(-v_height * u_underwater.a, 0.0, 1.0)), 1.0);
    else
#endif
        gl_FragColor = vec4(mix(color, u_fogColor, v_fog), 1.0);
}

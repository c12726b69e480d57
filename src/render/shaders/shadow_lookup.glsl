// The shadow-map lookup of the lit world programs: depth packed into red and
// green of an RGBA8 target (ES 2.0 has no depth textures everywhere). The
// vertex stage fills v_shadow from u_shadowMatrix. A program built with
// NO_SHADOW_LOOKUP defined is for ground the map does not reach: always lit.
#ifdef NO_SHADOW_LOOKUP
float sunVisible()
{
    return 1.0;
}
#else
uniform sampler2D u_shadowMap;
uniform float u_shadowOn;
uniform highp float u_shadowBias;
varying highp vec3 v_shadow;
float sunVisible()
{
    if (u_shadowOn < 0.5 || v_shadow.x <= 0.0 || v_shadow.x >= 1.0 || v_shadow.y <= 0.0 ||
        v_shadow.y >= 1.0 || v_shadow.z >= 1.0)
        return 1.0;
    vec4 texel = texture2D(u_shadowMap, v_shadow.xy);
    float stored = texel.r + texel.g / 255.0;
    return v_shadow.z - u_shadowBias > stored ? 0.0 : 1.0;
}
#endif

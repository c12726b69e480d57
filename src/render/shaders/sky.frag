// An optional horizon band of high cloud laid over, and a sun disc. Programs
// built with NO_TEXTURE (none loaded) or NO_SUN (the disc out of view, or set)
// defined leave that part out.
varying lowp vec4 v_color;
#ifndef NO_TEXTURE
uniform sampler2D u_texture0;
varying mediump vec2 v_texCoord;
#endif
#ifndef NO_SUN
uniform vec3 u_sunDirection;
uniform vec3 u_sunColor;
varying highp vec3 v_direction;
#endif
void main()
{
    vec3 color = v_color.rgb;
#ifndef NO_TEXTURE
    // Premultiplied streaks, lit by the sky around them: nearly white by day,
    // warm at sunset, dim at night.
    vec4 band = texture2D(u_texture0, v_texCoord);
    float peak = max(color.r, max(color.g, color.b));
    vec3 light = min(mix(color, vec3(peak), 0.75) * 1.1, vec3(1.0));
    color = color * (1.0 - band.a) + band.rgb * light;
#endif
#ifndef NO_SUN
    float toward = dot(normalize(v_direction), u_sunDirection);
    color += u_sunColor * smoothstep(0.9990, 0.9996, toward);
#endif
    gl_FragColor = vec4(min(color, vec3(1.0)), 1.0);
}

// An optional horizon texture multiplied in, and a sun disc. Programs built
// with NO_TEXTURE (none loaded) or NO_SUN (the disc out of view, or set)
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
    color *= texture2D(u_texture0, v_texCoord).rgb;
#endif
#ifndef NO_SUN
    float toward = dot(normalize(v_direction), u_sunDirection);
    color += u_sunColor * smoothstep(0.9990, 0.9996, toward);
#endif
    gl_FragColor = vec4(min(color, vec3(1.0)), 1.0);
}

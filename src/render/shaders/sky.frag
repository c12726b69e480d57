// An optional horizon texture multiplied in, and a sun disc.
uniform sampler2D u_texture0;
uniform vec3 u_sunDirection;
uniform vec3 u_sunColor;
varying lowp vec4 v_color;
varying mediump vec2 v_texCoord;
varying highp vec3 v_direction;
void main()
{
    vec3 color = v_color.rgb * texture2D(u_texture0, v_texCoord).rgb;
    float toward = dot(normalize(v_direction), u_sunDirection);
    color += u_sunColor * smoothstep(0.9990, 0.9996, toward);
    gl_FragColor = vec4(min(color, vec3(1.0)), 1.0);
}

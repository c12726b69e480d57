// The atlas's luminance shades the puff color; output premultiplied.
uniform sampler2D u_texture0;
varying lowp vec4 v_color;
varying mediump vec2 v_texCoord;
void main()
{
    vec4 texel = texture2D(u_texture0, v_texCoord);
    float alpha = texel.a * v_color.a;
    gl_FragColor = vec4(v_color.rgb * (0.6 + 0.4 * texel.r) * alpha, alpha);
}

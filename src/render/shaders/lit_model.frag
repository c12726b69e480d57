// Colors are premultiplied, so the fog color is scaled by alpha as well.
// Paint: the mask's red marks where the first paint color covers the
// texture, its green the second; each paint's alpha scales its cover.
// Built with NO_PAINT defined for models that carry no paint: one texture
// lookup a pixel instead of two.
uniform sampler2D u_texture0;
#ifndef NO_PAINT
uniform sampler2D u_texture1;
uniform vec4 u_paint0;
uniform vec4 u_paint1;
#endif
uniform vec3 u_fogColor;
varying lowp vec4 v_color;
varying mediump vec2 v_texCoord;
varying lowp float v_fog;
void main()
{
    vec4 texel = texture2D(u_texture0, v_texCoord);
#ifndef NO_PAINT
    vec2 mask = texture2D(u_texture1, v_texCoord).rg;
    texel.rgb = mix(texel.rgb, u_paint0.rgb * texel.a, mask.r * u_paint0.a);
    texel.rgb = mix(texel.rgb, u_paint1.rgb * texel.a, mask.g * u_paint1.a);
#endif
    vec4 color = texel * v_color;
    gl_FragColor = vec4(mix(color.rgb, u_fogColor * color.a, v_fog), color.a);
}

// The alpha cut out; lower far away, where the small mip levels thin the crowns.
uniform sampler2D u_texture0;
uniform vec3 u_fogColor;
varying mediump vec2 v_texCoord;
varying lowp vec3 v_light;
varying lowp float v_fog;
varying lowp float v_cut;
void main()
{
    vec4 texel = texture2D(u_texture0, v_texCoord);
    if (texel.a < v_cut)
        discard;
    gl_FragColor = vec4(mix(texel.rgb / texel.a * v_light, u_fogColor, v_fog), 1.0);
}

// The alpha cut out.
uniform sampler2D u_texture0;
uniform vec3 u_fogColor;
varying mediump vec2 v_texCoord;
varying lowp vec3 v_light;
varying lowp float v_fog;
void main()
{
    vec4 texel = texture2D(u_texture0, v_texCoord);
    if (texel.a < 0.5)
        discard;
    gl_FragColor = vec4(mix(texel.rgb / texel.a * v_light, u_fogColor, v_fog), 1.0);
}

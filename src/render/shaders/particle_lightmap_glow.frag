// The particle color and the tinted lightmap texel ("light"), or none where
// the coordinate is negative. Colors are premultiplied, so scaling rgb keeps
// them valid.
// Additive particles: brightened by the light.
uniform sampler2D u_texture0;
uniform sampler2D u_texture1;
uniform vec3 u_lightTint;
varying lowp vec4 v_color;
varying mediump vec2 v_texCoord;
varying mediump vec2 v_lightCoord;
void main()
{
    vec4 color = texture2D(u_texture0, v_texCoord) * v_color;
    bool lit = v_lightCoord.x >= 0.0;
    vec3 light = lit ? texture2D(u_texture1, v_lightCoord).rgb * u_lightTint : vec3(0.0);
    gl_FragColor = vec4(color.rgb * (vec3(1.0) + light), color.a);
}

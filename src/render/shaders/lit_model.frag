// Colors are premultiplied, so the fog color is scaled by alpha as well.
uniform sampler2D u_texture0;
uniform vec3 u_fogColor;
varying lowp vec4 v_color;
varying mediump vec2 v_texCoord;
varying lowp float v_fog;
void main()
{
    vec4 color = texture2D(u_texture0, v_texCoord) * v_color;
    gl_FragColor = vec4(mix(color.rgb, u_fogColor * color.a, v_fog), color.a);
}

// Texture x vertex color x the 2-D global color factor.
uniform sampler2D u_texture0;
uniform vec4 u_colorFactor;
varying lowp vec4 v_color;
varying mediump vec2 v_texCoord;
void main()
{
    gl_FragColor = texture2D(u_texture0, v_texCoord) * v_color * u_colorFactor;
}

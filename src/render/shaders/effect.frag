// Texture x vertex color (3-D effects).
uniform sampler2D u_texture0;
varying lowp vec4 v_color;
varying mediump vec2 v_texCoord;
void main()
{
    gl_FragColor = texture2D(u_texture0, v_texCoord) * v_color;
}

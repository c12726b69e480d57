// Redraws a picture displaced by the distortion target.
uniform sampler2D u_texture0;
uniform sampler2D u_texture1;
varying mediump vec2 v_texCoord;
void main()
{
    vec2 offset = texture2D(u_texture1, v_texCoord).rg - vec2(0.5);
    gl_FragColor = texture2D(u_texture0, v_texCoord + offset);
}

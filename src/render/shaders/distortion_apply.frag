// Redraws a picture displaced by the distortion target. Offsets are stored
// around 0.5; where none was drawn the pixel is left as it is, so the pass
// changes nothing but what lies behind hot air.
uniform sampler2D u_texture0;
uniform sampler2D u_texture1;
uniform vec2 u_pictureScale;
varying mediump vec2 v_texCoord;
void main()
{
    vec2 offset = texture2D(u_texture1, v_texCoord).rg - vec2(0.5);
    if (abs(offset.x) < 0.003 && abs(offset.y) < 0.003)
        discard;
    gl_FragColor = texture2D(u_texture0, clamp(v_texCoord + offset, 0.0, 1.0) * u_pictureScale);
}

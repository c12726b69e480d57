// The scene plus the shafts tinted by the sun color times their strength;
// with strength 0 the picture passes unchanged.
uniform sampler2D u_texture0;
uniform sampler2D u_texture1;
uniform vec3 u_shaftColor;
varying mediump vec2 v_texCoord;
void main()
{
    vec4 scene = texture2D(u_texture0, v_texCoord);
    vec3 shafts = texture2D(u_texture1, v_texCoord).rgb * u_shaftColor;
    gl_FragColor = vec4(min(scene.rgb + shafts, vec3(1.0)), 1.0);
}

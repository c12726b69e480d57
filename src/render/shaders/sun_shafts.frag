// u_sun: the sun's position on the picture (0..1); only the bright parts
// (above u_threshold) are smeared towards it.
uniform sampler2D u_texture0;
uniform vec2 u_sun;
uniform float u_threshold;
varying mediump vec2 v_texCoord;
void main()
{
    vec2 step = (u_sun - v_texCoord) / 12.0;
    vec2 at = v_texCoord;
    vec3 sum = vec3(0.0);
    float weight = 1.0;
    for (int i = 0; i < 12; ++i) {
        sum += max(texture2D(u_texture0, at).rgb - vec3(u_threshold), vec3(0.0)) * weight;
        weight *= 0.92;
        at += step;
    }
    gl_FragColor = vec4(sum / 12.0, 1.0);
}

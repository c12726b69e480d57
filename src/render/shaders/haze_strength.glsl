// u_time: the two wrapped scene-time values (slow drift, fast ripple).
// The wobbled glow alpha is the haze's strength at a point.
uniform sampler2D u_texture0;
uniform vec2 u_time;
uniform float u_intensity;
varying mediump vec2 v_texCoord;
float hazeStrength(out vec2 ripple)
{
    float phase = (v_texCoord.y + u_time.x) * 25.1327;
    ripple = vec2(sin(phase + u_time.y), cos(phase * 0.7 - u_time.y)) * 0.02;
    return texture2D(u_texture0, v_texCoord + ripple).a * u_intensity;
}

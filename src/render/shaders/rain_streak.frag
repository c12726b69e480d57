// A falling rain streak: the copied frame (u_texture1) shifted a little along
// the streak's normal map (u_texture0) and lightened, so rain reads as moving
// water rather than grey lines.
uniform sampler2D u_texture0;
uniform sampler2D u_texture1;
uniform vec2 u_screenSize;
uniform vec2 u_pictureScale;
uniform float u_strength;
varying lowp vec4 v_color;
varying mediump vec2 v_texCoord;
void main()
{
    vec4 streak = texture2D(u_texture0, v_texCoord);
    vec2 at = clamp(gl_FragCoord.xy / u_screenSize + (streak.rg * 2.0 - 1.0) * u_strength * 0.35, 0.0, 1.0);
    vec3 seen = texture2D(u_texture1, at * u_pictureScale).rgb;
    float a = streak.a * v_color.a;
    gl_FragColor = vec4((seen + v_color.rgb * 0.6) * a, a);
}

// A raindrop on the lens: the picture behind it (u_texture1, the copied
// frame) seen bent through the drop's normal map (u_texture0: x and y of the
// normal in red and green, the drop in alpha). u_screenSize: the frame's
// pixels over the copy's size; u_strength: how far the drop bends.
uniform sampler2D u_texture0;
uniform sampler2D u_texture1;
uniform vec2 u_screenSize;
uniform vec2 u_pictureScale;
uniform float u_strength;
varying lowp vec4 v_color;
varying mediump vec2 v_texCoord;
void main()
{
    vec4 drop = texture2D(u_texture0, v_texCoord);
    vec2 bend = (drop.rg * 2.0 - 1.0) * u_strength;
    vec2 at = clamp(gl_FragCoord.xy / u_screenSize + bend, 0.0, 1.0) * u_pictureScale;
    // A drop lens is brighter at its rim than the sky behind it, with a glint
    // where its surface faces the light from above.
    vec2 n = drop.rg * 2.0 - 1.0;
    float glint = pow(clamp(dot(n, vec2(-0.45, 0.75)), 0.0, 1.0), 6.0);
    vec3 seen = texture2D(u_texture1, at).rgb * (1.0 + 0.45 * length(n)) + vec3(0.6 * glint);
    float a = drop.a * v_color.a;
    gl_FragColor = vec4(seen * a, a);
}

// Alpha-tested for the vegetation batch's cut-out leaves.
#include "shadow_lookup.glsl"
uniform sampler2D u_texture0;
uniform vec3 u_lightAmbient;
uniform vec3 u_fogColor;
varying mediump vec2 v_texCoord;
varying lowp vec3 v_sun;
varying lowp float v_fog;
void main()
{
    vec4 texel = texture2D(u_texture0, v_texCoord);
    if (texel.a < 0.5)
        discard;
    vec3 color = texel.rgb / texel.a * min(u_lightAmbient + v_sun * sunVisible(), vec3(1.0));
    gl_FragColor = vec4(mix(color, u_fogColor, v_fog), 1.0);
}

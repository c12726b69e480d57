// Depth packed into red and green.
varying highp float v_depth;
void main()
{
    highp float scaled = clamp(v_depth, 0.0, 1.0) * 255.0;
    gl_FragColor = vec4(floor(scaled) / 255.0, fract(scaled), 0.0, 1.0);
}

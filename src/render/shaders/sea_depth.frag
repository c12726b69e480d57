// Drawn with every color channel masked: only the depth counts.
void main()
{
    gl_FragColor = vec4(0.0);
}

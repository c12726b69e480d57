// The renderer object; filled in by the render core.

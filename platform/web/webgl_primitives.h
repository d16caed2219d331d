#pragma once
// Set-up of the WebGL drawing behind display/primitives.h, once the page's canvas has a
// current WebGL 1 context.

// Shader, vertex buffer, viewport over the 800 x 800 canvas and the white background; false
// when the shader cannot be built.
bool init_webgl_drawing();

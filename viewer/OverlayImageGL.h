#pragma once

class QImage;

// Draws an RGBA image (rows bottom-up, as OpenGL reads them) with its lower left corner at pixel
// (x, y) of the current draw buffer, over the frame: unlit, ignoring depth, blended by its alpha,
// and with its fully transparent pixels left out. Needs a current context.
void glDrawOverlayImage(const QImage& image, int x, int y);

// gif: GIF pictures through giflib's record-level reading interface.
//
// The first image of the file is drawn at its place on a canvas of the
// logical screen size (or its own size when the screen size is zero); the
// rest of the canvas and the transparent colour of its graphic control block
// are transparent black. Every giflib result is checked, and sizes are
// checked before any allocation, so a damaged file ends in false.
//
// Builds on: picture (the image record), giflib.
#pragma once
#include "images/picture.h"

bool decode_gif(byte_span data, rgba_image& out);   // false on damaged data or oversized pictures

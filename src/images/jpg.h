// jpg: JFIF JPEG pictures through libjpeg(-turbo).
//
// libjpeg reports fatal errors through a callback that must not return; ours
// longjmps back into the one function that called libjpeg, whose frame holds
// only plain data, so no C++ object is skipped. Warnings (damaged or truncated
// entropy data, which libjpeg would paint grey) stop decoding at once and
// reject the picture.
// Nothing is printed.
//
// Builds on: picture (the image record), libjpeg.
#pragma once
#include "images/picture.h"

bool decode_jpeg(byte_span data, rgba_image& out);  // false on damaged data or oversized pictures

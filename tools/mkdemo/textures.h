// textures: the demo installation's texture images, painted procedurally and
// written in every format the texture loader accepts.
//
// Builds on: imgwrite (encoders).
#pragma once
#include <string>

// Writes every demo texture below root + "/Textures"; the folders must exist.
void write_demo_textures(const std::string& root);

// The stand-in for builds without libpng (the Windows program): no PNG can be made.
#include "formats/png_encoder.h"

bool PngEncoderAvailable() { return false; }

bool EncodePng(const PixelView&, std::vector<uint8_t>* png) {
  png->clear();
  return false;
}

// The weight table of an image filter: the out-of-line members of AGG's
// image_filter_lut, compiled with the library's own flags so that every
// processor computes the same weights. The arithmetic follows AGG 2.4
// operation for operation.
#include <agg_image_filters.h>

namespace agg {

void image_filter_lut::realloc_lut(double radius) {
  m_radius = radius;
  m_diameter = uceil(radius) * 2;
  m_start = -int(m_diameter / 2 - 1);
  unsigned size = m_diameter << image_subpixel_shift;
  if (size > m_weight_array.size()) m_weight_array.resize(size);
}

// Makes the weights of every subpixel phase sum to exactly one
// (image_filter_scale): scale them, then spread the rounding error one unit at
// a time outwards from the centre, alternating sides.
void image_filter_lut::normalize() {
  int flip = 1;
  for (unsigned i = 0; i < image_subpixel_scale; i++) {
    for (;;) {
      int sum = 0;
      unsigned j;
      for (j = 0; j < m_diameter; j++) sum += m_weight_array[j * image_subpixel_scale + i];
      if (sum == image_filter_scale) break;

      double k = double(image_filter_scale) / double(sum);
      sum = 0;
      for (j = 0; j < m_diameter; j++) {
        sum += m_weight_array[j * image_subpixel_scale + i] =
            int16(iround(m_weight_array[j * image_subpixel_scale + i] * k));
      }

      sum -= image_filter_scale;
      int inc = (sum > 0) ? -1 : 1;
      for (j = 0; j < m_diameter && sum; j++) {
        flip ^= 1;
        unsigned idx = flip ? m_diameter / 2 + j / 2 : m_diameter / 2 - j / 2;
        int v = m_weight_array[idx * image_subpixel_scale + i];
        if (v < image_filter_scale) {
          m_weight_array[idx * image_subpixel_scale + i] =
              int16(m_weight_array[idx * image_subpixel_scale + i] + inc);
          sum += inc;
        }
      }
    }
  }

  unsigned pivot = m_diameter << (image_subpixel_shift - 1);
  for (unsigned i = 0; i < pivot; i++) m_weight_array[pivot + i] = m_weight_array[pivot - i];
  unsigned end = (diameter() << image_subpixel_shift) - 1;
  m_weight_array[0] = m_weight_array[end];
}

}  // namespace agg

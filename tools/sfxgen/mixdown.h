#pragma once

#include <vector>

#include "sound_params.h"

namespace sfxgen {

// The finished sound in [-1, 1]: all layers summed, faded in and out so it
// starts and ends without a click, and scaled so its peak sits at peak_db.
std::vector<double> render_sound(const sound_params& sound, int sample_rate = sample_rate);

}  // namespace sfxgen

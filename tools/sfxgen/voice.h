#pragma once

#include <vector>

#include "noise_source.h"
#include "sound_params.h"

namespace sfxgen {

// Renders one layer, delay and repeats included, from the start of the sound.
std::vector<double> render_layer(const layer_params& layer, noise_source& noise, int sample_rate);

}  // namespace sfxgen

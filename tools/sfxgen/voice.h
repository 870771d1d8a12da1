#pragma once

#include <vector>

#include "noise_source.h"
#include "sound_params.h"

namespace sfxgen {

// Renders one layer, delay and repeats included, from the start of the sound.
std::vector<double> render_layer(const LayerParams& layer, NoiseSource& noise, int sample_rate);

}  // namespace sfxgen

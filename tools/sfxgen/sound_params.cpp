#include "sound_params.h"

namespace sfxgen {

double note_length(const layer_params& layer) { return layer.attack + layer.sustain + layer.decay; }

double layer_length(const layer_params& layer) {
    const double late = layer.repeat_count > 1 ? layer.repeat_jitter : 0.0;
    const double last_start = (layer.repeat_count - 1 + late) * layer.repeat_every;
    return layer.delay + last_start + note_length(layer);
}

}  // namespace sfxgen

#include "state/direction_tables.h"

#include <cmath>

float sin_table[361];
float cos_table[361];

// Degrees to radians as the game stores it, one unit in the last place above pi/180.
static const double degree = 0.0174532925199433;

void fill_direction_tables() {
    for (int i = 0; i <= 360; ++i) {
        const long double angle = static_cast<long double>(i) * static_cast<long double>(degree);
        sin_table[i] = static_cast<float>(std::sin(angle) * 5.0L);
        cos_table[i] = static_cast<float>(std::cos(angle) * 4.0L);
    }
}

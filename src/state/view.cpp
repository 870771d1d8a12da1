// The view's state (view.h).
#include "state/view.h"

std::int32_t work_page = 1;
std::int32_t visible_page = 0;
std::int32_t scroll_x, scroll_y;
std::int32_t background_index;
std::int32_t band_phase;

const std::int32_t band_rows[8][7] = {
    {0, 1, 3, 7, 12, 21, 37}, {0, 2, 4, 7, 13, 23, 40}, {0, 2, 4, 8, 14, 25, 43}, {0, 1, 2, 4, 8, 15, 26},
    {0, 1, 2, 5, 9, 16, 28},  {0, 1, 2, 5, 10, 17, 30}, {0, 1, 3, 6, 10, 19, 33}, {0, 1, 3, 6, 11, 20, 35},
};

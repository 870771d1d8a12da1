// The program's state (program_state.h).
#include "state/program_state.h"

std::int32_t hi_score;
std::int32_t quit_requested;
std::int32_t keyboard_control;
std::int32_t calm_mode;
std::int32_t part_on_show = part_title;

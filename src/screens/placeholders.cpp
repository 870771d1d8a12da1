// Screens still to come: for now the opening and the results pass straight
// through, and the pause dialog answers "play on" once the pausing input is
// released.
#include "screens/screens.h"

void opening_sequence() {}

void results_screen() {}

void pause_screen(std::int32_t& outcome) {
    wait_release();
    outcome = 0;
}

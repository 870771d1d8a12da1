#pragma once
// A recording played through once, quickly and out of sight, before it is
// watched: its length, where its games start, and what a jump must draw.
#include <vector>

#include "present/input_script.h"
#include "present/replay_timeline.h"

// Plays the events on the headless platform without drawing, as korvane-headless
// --input would (the best score kept apart as the caller has set it), with
// the game's command line argv (argc words), and leaves the game's state,
// drawing and platform as they were at start-up.
replay_timeline survey_replay(const std::vector<script_event>& events, int argc, char** argv);

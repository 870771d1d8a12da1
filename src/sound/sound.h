#pragma once
// The six sound samples: set up at start-up, played by index on a channel.
#include <cstdint>
#include <string>
#include <vector>

enum sample_index : int { sample_laser, sample_explosion, sample_munch, sample_exp_energy, sample_fall, sample_boom };
inline constexpr int sample_count = sample_boom + 1;

// Decides from the command line (the program's name first) whether there is
// sound, and loads the samples.
void sound_setup(const std::vector<std::string>& command_line);
// volume 0..255, or -1 to keep the sample's current default volume.
void play_sample(int index, int channel, int volume);
// Closes the sound at program exit; registered by sound_setup.
void sound_shutdown();
// The sample's name ("laser" for 0), for people reading what played.
const char* sample_name(int index);

#pragma once
// What the parts of the combat pass call of each other.
#include <cstdint>

void run_squid_pass();
void draw_exploding_squids();
void run_carrier_pass();
void run_drop_pass();
void draw_exploding_drops();

void draw_shot();
void run_banner_slots();
void draw_chain_line();
void run_popup();
void draw_status();

// Adds points, never past the score's ceiling.
void add_score(std::int32_t points);
// Heals by 10, never past full energy.
void heal();
// A random palette index 0..n from rnd() * n taken to the nearest integer.
std::int32_t random_colour(int n);
// Rounds to the nearest integer (ties to even), then down to a multiple of 8.
std::int32_t to_pixel_cell(double value);

#pragma once
// The directions a squid is launched in: 5 sin and 4 cos of the whole degrees
// 0..360, stored as 32-bit floats. Filled once at start-up, read by the squids.
void fill_direction_tables();
extern float sin_table[361];
extern float cos_table[361];

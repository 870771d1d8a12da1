#pragma once
#include "present/platform.h"

// The standard VGA 256-colour palette that the screen starts with.
void fill_default_palette(rgb palette[256]);

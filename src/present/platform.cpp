#include "present/platform.h"

namespace {
platform* installed = nullptr;
}

void install_platform(platform* p) { installed = p; }
platform* current_platform() { return installed; }

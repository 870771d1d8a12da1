#pragma once
// The seam between the game's presentation service and the machine: a window
// system (SDL) or the deterministic headless platform of tests and replays.
// Everything above this interface is plain C++ with no knowledge of either.
#include <cstdint>

struct rgb {
    std::uint8_t r, g, b;
};

class platform {
public:
    virtual ~platform() = default;

    // Opens the display; false (with a reason in failure_reason()) when
    // neither a window nor full screen can be had.
    virtual bool open_display(bool full_screen) = 0;
    virtual const char* failure_reason() const { return ""; }

    // Shows a 640x480 page of palette indices through the palette.
    virtual void present(const std::uint8_t* pixels, const rgb* palette) = 0;

    // Collects pending input and delivers it through input_events.h.
    virtual void pump_events() = 0;

    // Milliseconds since start-up: real time, or the headless virtual time.
    virtual std::uint64_t now_ms() = 0;
    // The game's own clock: the sum of the sleeps it asked for, and where a
    // script drives it, the jumps to its next event. Recordings are stamped
    // with it, and it is what korvane-headless counts.
    virtual std::uint64_t virtual_ms() = 0;
    // A sleep of the game begins (ms long) and ends. Input is handed to the
    // game while time passes, so that a recording replays at the same moments.
    virtual void sleep_begins(int) {}
    virtual void sleep_ends() {}
    // When a sleep of ms that begins now ends, in now_ms() time.
    virtual std::uint64_t wake_time(int ms) { return now_ms() + static_cast<std::uint64_t>(ms); }
    // Lets time pass without busy-waiting, at most longest_wait_ms() at a time,
    // so that input and the display are looked at in between.
    virtual void wait_ms(int ms) = 0;
    virtual int longest_wait_ms() const { return 4; }
    // The game keeps polling input without sleeping: yield the processor, or
    // in virtual time jump ahead to the next moment when input can change.
    virtual void idle() = 0;

    // The game shows its title (a game, if any, is over), and leaves it.
    virtual void title_shown() {}
    virtual void title_left() {}

    virtual void warp_pointer(int x, int y) = 0;
    virtual void show_pointer(bool shown) = 0;
    virtual void confine_pointer(bool confined) = 0;
};

// The platform in use; set once by the program before the game starts.
void install_platform(platform* p);
platform* current_platform();

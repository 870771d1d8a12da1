#include "autoplay/autoplay.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <random>

#include "autoplay/aiming.h"
#include "combat/combat.h"
#include "flow/flow.h"
#include "present/headless_platform.h"
#include "present/keys.h"
#include "state/play_state.h"
#include "state/program_state.h"

namespace {

// How long a tap holds a key or a button down.
constexpr std::uint64_t tap_ms = 80;

class autoplayer {
public:
    autoplayer(headless_platform& platform, std::uint32_t seed, int games)
        : platform_(platform), random_(seed), games_(games) {}

    // The game begins to sleep and looks at the input again at wake.
    void decide(std::uint64_t wake) {
        if (part_on_show != part_) enter(static_cast<program_part>(part_on_show), wake);
        if (wake < busy_until_) return;
        switch (part_) {
            case part_title: on_title(wake); break;
            case part_opening:
            case part_instructions:
            case part_ending:
                if (skip_at_ != 0 && wake >= skip_at_) {
                    skip_at_ = 0;
                    chance(2) ? tap_key("esc", wake) : click(2, wake);
                }
                break;
            case part_play: on_play_frame(wake); break;
            case part_pause: on_pause(wake); break;
            case part_results: break;
        }
    }

private:
    bool chance(std::uint32_t one_in) { return random_() % one_in == 0; }
    std::uint64_t between(std::uint64_t low, std::uint64_t high) { return low + random_() % (high - low + 1); }

    void enter(program_part part, std::uint64_t wake) {
        part_ = part;
        skip_at_ = 0;
        // Play is over with the fire button down: let go of it.
        if (part != part_play && shooter_ == phase::pressed) {
            button(0, false, std::max(wake, busy_until_));
            shooter_ = phase::waiting;
        }
        switch (part) {
            case part_title: act_at_ = wake + between(300, 1500); break;
            case part_opening:
            case part_instructions:
            case part_ending:
                if (chance(2)) skip_at_ = wake + between(300, 4000);
                break;
            case part_pause: act_at_ = wake + between(400, 2500); break;
            case part_play:
                if (games_started() != game_) {
                    game_ = games_started();
                    tiring_stage_ = static_cast<int>(between(3, 9));
                    shooter_ = phase::looking;
                }
                break;
            default: break;
        }
    }

    void add(script_event e, std::uint64_t ms) {
        e.ms = ms;
        platform_.add_event(e);
        busy_until_ = std::max(busy_until_, ms + 1);
    }
    void key(const char* name, bool down, std::uint64_t ms) {
        const named_key* k = find_script_key(name);
        script_event e{};
        e.action = down ? script_action::key_down : script_action::key_up;
        e.scan_code = static_cast<std::uint8_t>(k->scan_code);
        if (down) e.set_key_press(k->press);
        add(e, ms);
    }
    void tap_key(const char* name, std::uint64_t ms) {
        key(name, true, ms);
        key(name, false, ms + tap_ms);
    }
    void button(int bit, bool down, std::uint64_t ms) {
        script_event e{};
        e.action = down ? script_action::press : script_action::release;
        e.button_bit = static_cast<std::uint8_t>(bit);
        add(e, ms);
    }
    void click(int bit, std::uint64_t ms) {
        button(bit, true, ms);
        button(bit, false, ms + tap_ms);
    }
    void move(int x, int y, std::uint64_t ms) {
        script_event e{};
        e.action = script_action::move;
        e.x = static_cast<std::int16_t>(x);
        e.y = static_cast<std::int16_t>(y);
        add(e, ms);
    }
    void focus(bool in, std::uint64_t ms) {
        script_event e{};
        e.action = in ? script_action::focus_in : script_action::focus_out;
        add(e, ms);
    }

    void on_title(std::uint64_t wake) {
        if (wake < act_at_) return;
        act_at_ = UINT64_MAX;
        if (games_started() >= games_)
            tap_key("esc", wake);  // done: leave the program
        else
            click(0, wake);
    }

    void on_pause(std::uint64_t wake) {
        if (wake < act_at_) return;
        act_at_ = UINT64_MAX;
        if (away_) {
            focus(true, wake);
            away_ = false;
            wake += tap_ms;
        }
        if (chance(12)) {
            tap_key("y", wake);  // gives the game up
            return;
        }
        switch (random_() % 4) {
            case 0: tap_key("n", wake); break;
            case 1: tap_key("esc", wake); break;
            case 2: click(2, wake); break;
            default:
                move(472, 176, wake);
                click(0, wake + tap_ms);
                break;
        }
    }

    void pause(std::uint64_t wake) {
        switch (random_() % 3) {
            case 0: tap_key("esc", wake); break;
            case 1: click(2, wake); break;
            default:
                focus(false, wake);
                away_ = true;
                break;
        }
    }

    void on_play_frame(std::uint64_t wake) {
        // A pause between shots, with no button held into the dialog.
        if (!defeated && shooter_ != phase::moved && shooter_ != phase::pressed && chance(2500)) {
            pause(wake);
            return;
        }
        switch (shooter_) {
            case phase::looking: look(wake); break;
            case phase::moved:
                button(0, true, wake);
                shooter_ = phase::pressed;
                break;
            case phase::pressed:
                button(0, false, wake);
                shooter_ = phase::waiting;
                break;
            case phase::waiting:
                if (!shot_active) shooter_ = phase::looking;
                break;
        }
    }

    void look(std::uint64_t wake) {
        if (shot_active || defeated) return;
        // Tired: a shot now and then, and the squids get through.
        if (stage >= tiring_stage_) {
            if (wake < rested_at_) return;
            rested_at_ = wake + between(1500, 4000);
        }
        aim chosen{};
        bool found = true;
        if (chain >= cash_in_chain_) {
            chosen = empty_corner();
            cash_in_chain_ = static_cast<int>(between(3, 9));
        } else {
            found = bonus_stage ? aim_at_drop(chosen) : aim_at_squid(chosen);
        }
        if (!found) return;
        move(chosen.cursor_x, chosen.cursor_y, wake);
        shooter_ = phase::moved;
    }

    headless_platform& platform_;
    std::mt19937 random_;
    const int games_;
    program_part part_ = static_cast<program_part>(-1);
    std::uint64_t busy_until_ = 0;  // events are planned until then
    std::uint64_t act_at_ = 0;      // on the title and in the pause dialog
    std::uint64_t skip_at_ = 0;     // in the story, 0: watch it all
    bool away_ = false;             // left the window to pause
    int game_ = 0;
    int tiring_stage_ = 0;
    std::uint64_t rested_at_ = 0;
    int cash_in_chain_ = 5;
    enum class phase { looking, moved, pressed, waiting } shooter_ = phase::looking;
};

}  // namespace

void play_by_itself(headless_platform& platform, std::uint32_t seed, int games) {
    auto player = std::make_shared<autoplayer>(platform, seed, games);
    platform.on_sleep([player](std::uint64_t wake) { player->decide(wake); });
}

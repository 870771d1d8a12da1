#pragma once
// An independent model of the first two stages of a game, written from the
// rules of play rather than from the game's code: when squids wait, launch
// (with which random draws), fly, escape and cost energy, what a shot landing
// at a given frame hits, the chain, and the change to stage 2 once the quota
// is shot. The game must agree with it frame by frame.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <sstream>
#include <vector>

class squid_model {
public:
    struct squid {
        int state = 0;  // 0 waiting, 1 launching, 2 flying, 3 exploding
        int timer = 0;
        int kind = 0, variety = 0, heading = 0, age = 0, blast = 0;
        float x = 0, y = 0, dx = 0, dy = 0;
    };
    struct shot {
        int landing_frame;
        int x, y;  // world pixels
    };

    squid_model() {
        std::stringstream words;
        std::uint32_t w = 0;
        words << w;
        for (int i = 1; i < 624; ++i) words << ' ' << (w = w * 1664525u + 1013904223u);
        words << ' ' << 624;
        words >> random_;
        const long double k = 0.0174532925199433;
        for (int d = 0; d <= 360; ++d) {
            sin5_[d] = static_cast<float>(std::sin(d * k) * 5.0L);
            cos4_[d] = static_cast<float>(std::cos(d * k) * 4.0L);
        }
        start_wave();
    }

    // Plays one more frame: shots landing in it are tested in squid order,
    // and every shot whose landing is still to come is in flight.
    void step(const std::vector<shot>& shots = {}) {
        ++frame;
        if (defeated) {  // the collapse draws its own random numbers; the model stops here
            ++collapse_frames;
            return;
        }
        if (accelerating && ++band_count >= band_period) {
            band_count = 0;
            band_period -= 2;
            if (band_period <= 0) accelerating = false;
        }
        bool impact = false, in_flight_shot = false;
        shot landing{};
        for (const shot& s : shots) {
            if (s.landing_frame == frame) {
                impact = true;
                landing = s;
            }
            in_flight_shot |= frame >= s.landing_frame - 8 && frame < s.landing_frame;
        }
        const bool landed = impact;
        last_hit = -1;
        for (int i = 0; i < squid_count; ++i) step_squid(i, impact, landing);
        if (!defeated && quota && in_flight == 0) next_stage();
        // Every exploding squid is drawn in a random colour, then the target
        // marker of a shot in flight (shown in stages 1 and 2) in another.
        for (int i = 0; i < squid_count; ++i)
            if (squids[i].state == 3) draw();
        if (in_flight_shot && stage < 3) draw();
        if (landed) {
            missed = last_hit < 0;
            if (!missed && squids[last_hit].kind == 0) {
                ++chain;
            } else if (missed && chain > 0) {
                score += 100 * chain;
                max_chain = std::max(max_chain, chain);
                chain = 0;
            }
        }
        if (banner_timer > 0) --banner_timer;
    }

    double draw() { return random_() / 4294967296.0; }

    squid squids[10];
    int frame = 0;
    int energy = 100;
    int score = 0;
    int kills_left = 6;
    int stage = 1;
    int squid_count = 3;
    int chain = 0, max_chain = 0;
    bool defeated = false;
    int defeat_frame = 0;
    int collapse_frames = 0;
    int last_hit = -1;
    bool missed = false;

private:
    void step_squid(int i, bool& impact, const shot& landing) {
        squid& s = squids[i];
        switch (s.state) {
            case 0:
                if (!defeated && banner_timer == 0 && !accelerating && !quota && --s.timer <= 0) {
                    s.timer = 0;
                    s.state = 1;
                }
                break;
            case 1: {
                ++in_flight;
                s.state = 2;
                s.kind = draw() <= 0.05 ? 1 : 0;
                s.variety = static_cast<int>(draw() * 3);
                s.x = 344;
                s.y = 280;
                s.heading = 150 + static_cast<int>(draw() * 65);
                const float side = draw() <= 0.5 ? -1.0f : 1.0f;
                s.dx = side * cos4_[s.heading];
                s.dy = sin5_[s.heading];
                s.age = 0;
                break;
            }
            case 2: {
                ++s.age;
                s.x += s.dx;
                s.y += s.dy;
                if (s.x <= -64 || s.x >= 752) {
                    --in_flight;
                    s.state = 0;
                    s.timer = 30;
                    if (s.kind == 0) {
                        if (energy == 0 && !defeated) {
                            defeated = true;
                            defeat_frame = frame;
                        } else if (energy > 0) {
                            energy -= 5;
                        }
                    }
                    break;
                }
                const double h = s.age / 2;
                if (impact && landing.x > s.x - h && landing.x < s.x + h && landing.y > s.y - h &&
                    landing.y < s.y + h + 4) {
                    impact = false;
                    last_hit = i;
                    s.state = 3;
                    s.blast = 0;
                    if (s.kind == 0) {
                        score += 500 - 100 * ((s.age / 14 + 2) / 2);
                        if (--kills_left <= 0) {
                            kills_left = 0;
                            quota = true;
                        }
                    } else {
                        score += 10;
                        energy = std::min(100, energy + 10);
                    }
                }
                break;
            }
            case 3:
                if (++s.blast >= 16) {
                    s.state = 0;
                    --in_flight;
                }
                break;
        }
    }

    void start_wave() {
        for (int i = 0; i < squid_count; ++i) {
            squids[i].state = 0;
            squids[i].timer = 30 * i + 10;
        }
    }

    // Stage 2 follows stage 1 with one squid more, a new quota and a banner;
    // its bands keep running as they are.
    void next_stage() {
        quota = false;
        ++stage;
        kills_left = 2 * stage + 4;
        ++squid_count;
        start_wave();
        in_flight = 0;
        banner_timer = 30;
    }

    bool quota = false;
    int in_flight = 0;
    std::mt19937 random_;
    float sin5_[361], cos4_[361];
    int banner_timer = 30;
    bool accelerating = true;
    int band_count = 0, band_period = 8;
};

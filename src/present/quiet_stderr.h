#pragma once
// Keeps what libraries print to standard error out of the player's terminal
// for as long as it lives: window-system and audio back ends complain there
// about missing devices, which the game handles on its own.
class quiet_stderr {
public:
    quiet_stderr();
    ~quiet_stderr();
    quiet_stderr(const quiet_stderr&) = delete;
    quiet_stderr& operator=(const quiet_stderr&) = delete;

private:
    int saved_;  // standard error as it was, or -1
};

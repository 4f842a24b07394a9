#pragma once

// Turns of a mouse wheel added up into whole notches: a fine-grained wheel
// (or a touchpad) acts once a notch's worth has come, and the rest waits for
// the next turn.
class WheelNotches {
public:
    static constexpr int Notch = 120; // Qt's angle of one notch, in eighths of a degree

    // Adds a turn (QWheelEvent::angleDelta().y()) and returns the whole
    // notches it completes: positive up, negative down.
    int add(int angleDelta)
    {
        turned_ += angleDelta;
        const int notches = turned_ / Notch;
        turned_ -= notches * Notch;
        return notches;
    }
    void reset() { turned_ = 0; }

private:
    int turned_ = 0;
};

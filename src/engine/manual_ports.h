#pragma once
// Ports for an engine that is driven step by step by its owner rather than
// by a clock: a timer that only records whether it runs, and a fixed bot
// speed. Both are final, so the engine, which recognises them when it is
// made, calls them directly instead of through the port's table.

#include "ports.h"

namespace vornel {

// A timer that only records its state; whoever owns it ticks the engine.
class ManualTimer final : public EngineTimer {
public:
    void start(int intervalMs) override {
        running_ = true;
        interval_ = intervalMs;
        ++starts_;
    }
    void stop() override { running_ = false; }
    bool running() const { return running_; }
    int interval() const { return interval_; }
    int starts() const { return starts_; }

private:
    bool running_ = false;
    int interval_ = 0;
    int starts_ = 0;
};

class FixedBotSpeed final : public BotSpeed {
public:
    explicit FixedBotSpeed(int ms) : ms_(ms) {}
    int milliseconds() const override { return ms_; }
    void set(int ms) { ms_ = ms; }

private:
    int ms_;
};

}  // namespace vornel

#pragma once
// A queue timer for a host or lobby core driven by hand: it only records
// whether it runs and how often it was started; whoever owns it turns the
// queue.

#include "net/host_core.h"

namespace vornel::net {

class ManualQueueTimer final : public QueueTimer {
public:
    void start() override {
        running = true;
        ++starts;
    }
    void stop() override { running = false; }
    bool active() const override { return running; }

    bool running = false;
    int starts = 0;
};

}  // namespace vornel::net

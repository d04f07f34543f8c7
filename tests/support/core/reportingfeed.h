// A change feed set by hand, for the tests of the front ends' tick loops.
#pragma once

#include "tracking/changefeed.h"

#include <chrono>
#include <functional>
#include <utility>

namespace dwellmark::testing {

/// A feed that reports changes by a descriptor, by calls, or not at all, as
/// the test sets it.
class ReportingFeed final : public ChangeFeed {
public:
    explicit ReportingFeed(bool byCalls = false) : calls(byCalls) {}

    int descriptor = -1;
    bool calls = false;
    bool queued = false;
    /// What readChanges() finds in the descriptor.
    bool news = true;
    std::chrono::milliseconds safety = std::chrono::seconds(1);
    std::function<void()> listener;

    /// Reports a change by a call, when the front end listens.
    void report() const {
        if (listener) {
            listener();
        }
    }
    bool listening() const { return static_cast<bool>(listener); }

    int changeDescriptor() const override { return descriptor; }
    bool readChanges() override { return news; }
    bool hasQueuedChanges() override { return queued; }
    std::chrono::milliseconds safetyTickInterval() const override { return safety; }
    bool setChangeListener(std::function<void()> call) override {
        listener = calls ? std::move(call) : nullptr;
        return static_cast<bool>(listener);
    }
};

} // namespace dwellmark::testing

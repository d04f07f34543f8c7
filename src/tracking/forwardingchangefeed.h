// A change feed that passes on the reports of another, adding what it overrides.
#pragma once

#include "changefeed.h"

#include <utility>

namespace dwellmark {

/// The base of a feed that stands in front of another: each call goes to the
/// other feed unless the derived class overrides it, so that a session lock
/// states only what it adds to its backend's reports. The other feed may be
/// replaced while the program runs, and must outlive this one.
class ForwardingChangeFeed : public ChangeFeed {
public:
    explicit ForwardingChangeFeed(ChangeFeed& inner) : m_inner(&inner) {}

    int changeDescriptor() const override { return m_inner->changeDescriptor(); }
    bool readChanges() override { return m_inner->readChanges(); }
    bool hasQueuedChanges() override { return m_inner->hasQueuedChanges(); }
    bool setChangeListener(std::function<void()> listener) override {
        return m_inner->setChangeListener(std::move(listener));
    }
    std::chrono::milliseconds safetyTickInterval() const override { return m_inner->safetyTickInterval(); }

protected:
    /// Calls go to inner from the next one on.
    void forwardTo(ChangeFeed& inner) { m_inner = &inner; }

private:
    ChangeFeed* m_inner;
};

} // namespace dwellmark

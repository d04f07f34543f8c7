// The front end's side of a backend's change reports.
#pragma once

namespace dwellmark {

/// Where a backend reports that its answers may have changed: the front end's
/// tick loop, which then ticks. See ChangeFeed::watchChanges().
class ChangeWatcher {
public:
    /// The answers may have changed. Called on the user-interface thread,
    /// possibly more than once per change; the watcher must not tick from
    /// inside the call.
    virtual void changeReported() = 0;

    /// Has the front end's event loop call changeReported() when the POSIX
    /// descriptor becomes readable and ChangeFeed::readChanges() finds
    /// something of interest in it. Returns false when the event loop cannot
    /// watch a descriptor. What is left in the descriptor stays readable until
    /// the next tick reads it, so the watcher may stop watching it until then.
    virtual bool watchDescriptor(int descriptor) = 0;

protected:
    ~ChangeWatcher() = default;
};

} // namespace dwellmark

#pragma once

#include <cstddef>

namespace dwellmark {

/// Hears of the changes to an ActivityTable, so that a view can follow it.
/// Row numbers are 1-based, as in the table; column 0 is the main text.
/// Each "about to" call is followed by its matching "done" call once the
/// table has changed.
class TableObserver {
public:
    virtual ~TableObserver() = default;

    virtual void rowAboutToBeAdded(std::size_t row) = 0;
    virtual void rowAdded(std::size_t row) = 0;
    virtual void cellChanged(std::size_t row, std::size_t column) = 0;
    virtual void rowAboutToBeRemoved(std::size_t row) = 0;
    virtual void rowRemoved(std::size_t row) = 0;
};

} // namespace dwellmark

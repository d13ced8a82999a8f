// The busy cursor for the length of a scope.
#pragma once

#include <QApplication>

namespace versweep {

/// Shows the busy cursor over the whole application until it goes out of scope.
class BusyCursor
{
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

} // namespace versweep

#pragma once

#include <QApplication>

// The wait cursor for the whole of a long action on the window thread (a level opened or saved, files
// written, movies moved), taken back however the scope is left.
class BusyCursor final
{
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

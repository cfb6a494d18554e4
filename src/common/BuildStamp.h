#pragma once

namespace ks3 {

// Date and time of the build as numbers: year (2015), month-day (612 for
// 12 June) and hour-minute (1430). Defined in a source the build writes.
struct BuildStamp {
    int year;
    int monthDay;
    int hourMinute;
};

BuildStamp buildStamp();

} // namespace ks3

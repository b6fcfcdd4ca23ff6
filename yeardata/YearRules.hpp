#pragma once

#include "yeardata/basUpdate.hpp"

namespace almanoria {

// The day records of any year from kFirstYear to kLastYear by the rules of the church year and
// the civil and Hebrew calendars: each day's colour, its names in their order, the note of its
// day of the church year. For 2012 they are the stored table but for January 5's colour, which
// the stored table has as "Normal".
YearTable YearByRule(int year);

}  // namespace almanoria

#pragma once
// Element identifiers that builders on several levels and the creator's sections name.

namespace Merrow {

// The identifier of the calendar element, which the calendar's commands are sent to.
inline constexpr const char* kCalendarCommandId = "CalendarCommand";

}  // namespace Merrow

#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "clocksync/CalendarTime.h"

// The UTC date and time a Daytime reply in the time services' fixed-position format
// carries ("\nJJJJJ YR-MO-DA HH:MM:SS TT L H msADV UTC(NIST) OTM."), or nothing when any
// part of it that the clock would be set from is missing, malformed, out of range, or
// flagged by the server: a pending leap second, or a server that is not healthy.
std::optional<UtcDateTime> ParseDaytimeReply(std::string_view reply);

// Whether the reply's health digit says the server is not healthy: such a server counts
// as one that failed, not only its reply.
bool DaytimeServerUnhealthy(std::string_view reply);

// The transfer delay's correction: half the request's elapsed time, in whole seconds.
int64_t DelayCorrection_s(int64_t elapsed_ms);

// The UTC time to set the clock to: the reply's time, corrected for the delay of a
// request that took elapsed_ms; nothing when the reply does not check out.
std::optional<UtcDateTime> ClockTimeFromReply(std::string_view reply, int64_t elapsed_ms);

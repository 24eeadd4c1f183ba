#pragma once

// Every drawing window's pace: a frame every 40 ms, 25 a second.
inline constexpr int kFrameInterval_ms = 40;

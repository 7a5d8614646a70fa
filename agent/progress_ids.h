#pragma once
// Control ids of the agent's progress window.

namespace progress_id {
inline constexpr int kBar = 1000;
}  // namespace progress_id

#pragma once
// The zoom of a view: one step up multiplies by 1.1, one step down by
// 0.9090909, each product rounded to a float, so a step down followed by a
// step up lands exactly on 1.0 again. Zooming in stops once 10.0 is passed,
// zooming out once 0.1 is passed (about 10.83 and 0.0923 from 1.0).

#include <algorithm>
#include <climits>

namespace zoom {

constexpr float kStepIn = 1.1f;
constexpr float kStepOut = 0.9090909f;
constexpr float kLargest = 10.0f;
constexpr float kSmallest = 0.1f;

inline float In(float factor) { return factor * kStepIn; }
inline float Out(float factor) { return factor * kStepOut; }
inline bool CanZoomIn(float factor) { return factor < kLargest; }
inline bool CanZoomOut(float factor) { return factor > kSmallest; }

// A length on screen: the float product truncated toward zero, kept within
// the range of an int.
inline int Scaled(int length, float factor) {
    const float product = static_cast<float>(length) * factor;
    return static_cast<int>(std::clamp(product, 0.0f, static_cast<float>(INT_MAX / 2)));
}

}  // namespace zoom

#pragma once
// The PC-speaker tone of an alarm: a short square wave from timer channel 2,
// rising through a scale of ten pitches from one alarm to the next.

namespace almanouk {

class Platform;

inline constexpr int kToneMilliseconds = 60;

// The next pitch of the scale: 456, 500, 558, ... 1356, then 456 again; 456 after any value below the scale.
int nextToneFrequency(int frequency);
// The timer divisor of a frequency, truncated to 16 bits as the port takes it.
int toneDivisor(int frequency);
// Sounds the tone through the speaker ports and returns when it has ended.
void speakerTone(Platform& platform, int frequency, int milliseconds);

}  // namespace almanouk

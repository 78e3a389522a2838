#pragma once
// The sleep time (idle light-off time) of image byte 8,
// FlashDataMap::StopCloseTime: the eleven times the mouse offers, in the
// order of the sleep-time boxes, as the code the byte stores (units of 10 s).

namespace SleepTime {

constexpr int kUnitSeconds = 10;
constexpr int kItemCount = 11;
constexpr int kCodes[kItemCount] = {1, 3, 6, 30, 60, 90, 120, 150, 180, 210, 240};
// A reset to defaults selects one minute.
constexpr int kDefaultItem = 2;

// The code of box item `item`; 0 for any other item.
constexpr int CodeOfItem(int item)
{
    return (item >= 0 && item < kItemCount) ? kCodes[item] : 0;
}

// The box item of a stored code; -1 when the mouse offers no such time.
constexpr int ItemOfCode(int code)
{
    for (int item = 0; item < kItemCount; ++item) {
        if (kCodes[item] == code)
            return item;
    }
    return -1;
}

constexpr int SecondsOfCode(int code)
{
    return code * kUnitSeconds;
}

// The box item of a time in seconds; -1 when the mouse offers no such time.
constexpr int ItemOfSeconds(int seconds)
{
    return seconds % kUnitSeconds == 0 ? ItemOfCode(seconds / kUnitSeconds) : -1;
}

}  // namespace SleepTime

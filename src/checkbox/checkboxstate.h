#pragma once

#include "exercise/value.h"

#include <array>

// The state of the check-box answer mode. Items are ticked in numbered sets;
// each verification judges the current set and adds to running totals whose
// difference is the score handed to the clipboard at the end.
constexpr int setCount = 101;       // sets 0 to 100
constexpr int itemsPerSet = 8;      // items 0 to 7
constexpr int checkStateCount = 9;  // check boxes 0 to 8

struct CheckBoxState
{
    // -1 unticked, 1 ticked; flipped in sign by each click. An element that
    // starts empty becomes 0 at its first click and stays 0.
    std::array<Value, checkStateCount> checkState;
    Value currentSet;
    std::array<Value, setCount> setItemCount;
    std::array<std::array<Value, itemsPerSet>, setCount> expectedCheck;
    std::array<std::array<Value, itemsPerSet>, setCount> itemText;
    std::array<Value, setCount> errorNotes; // wrongly ticked items, each after " ; "
    std::array<Value, setCount> missNotes;  // the other mismatched items
    std::array<Value, setCount> setComment;
    std::array<Value, setCount> setPassed;
    Value passedSetCount;
    Value totalHits;
    Value totalMisses;
};

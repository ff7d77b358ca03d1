#pragma once

#include "exercise/value.h"

#include <QList>
#include <QString>

#include <array>

// The state of the check-box answer mode. Items are ticked in numbered sets;
// each verification judges the current set and adds to running totals whose
// difference is the score handed to the clipboard at the end.
constexpr int setCount = 101;      // sets 0 to 100
constexpr int itemsPerSet = 8;     // items 0 to 7
constexpr int checkStateCount = 9; // check boxes 0 to 8

// What a window that uses the mode supplies for one set.
struct CheckBoxItem
{
    QString text;
    bool mustBeTicked = false;
};

struct CheckBoxSet
{
    QList<CheckBoxItem> items; // at most itemsPerSet
    QString comment;           // ends the message of a set not passed
};

struct CheckBoxState
{
    // -1 unticked, 1 ticked; flipped in sign by each click. An element that
    // starts empty becomes 0 at its first click and stays 0.
    std::array<Value, checkStateCount> checkState;
    Value currentSet;
    std::array<Value, setCount> setItemCount;
    std::array<std::array<Value, itemsPerSet>, setCount> expectedCheck; // 1 or -1
    std::array<std::array<Value, itemsPerSet>, setCount> itemText;
    std::array<Value, setCount> errorNotes; // wrongly ticked items, each after " ; "
    std::array<Value, setCount> missNotes;  // the other mismatched items
    std::array<Value, setCount> setComment;
    std::array<Value, setCount> setPassed;
    Value passedSetCount;
    Value totalHits;
    Value totalMisses;

    // A click on check box `index` (0 to 8) flips the sign of its state; the
    // tick mark itself is not read.
    void toggle(int index);

    // Puts a set's content in place. Refused (false) for a set number outside
    // 0 to 100 or more items than a set holds.
    bool supplySet(int set, const CheckBoxSet &content);
};

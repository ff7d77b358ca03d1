#pragma once

#include "checkbox/checkboxstate.h"

#include <QString>

#include <optional>

// The outcome of verifying one set, for the window to show.
struct Verification
{
    int hits = 0;
    int misses = 0;
    bool passed = false;
    QString hitsCaption;   // the running total of hits, for Label2(0)
    QString missesCaption; // the running total of misses, for Label2(1)
    QString picturePath;   // the feedback picture, as a "c:\..." path
    QString title;         // of the message box
    QString message;
};

// Judges the current set item by item against the expected states and adds
// to the running totals; a set without mismatches is marked passed. Moving
// on to the next set is left to the caller, after the pupil has read the
// message. Nothing happens (no value) when the current set number is outside
// 0 to 100.
std::optional<Verification> verifyCurrentSet(CheckBoxState &state);

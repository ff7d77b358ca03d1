#pragma once

#include "exercise/value.h"

#include <QString>

// What the clipboard receives at the end: the score in its signed-number
// form followed by "$" (" 0$", " 4$", "-2$").
QString clipboardScore(const Value &score);

#include "record/clipboardscore.h"

QString clipboardScore(const Value &score)
{
    return score.numberText() + u'$';
}

#pragma once

class QWidget;

// Where the question rows stand on the page: every exercise's, the built-in
// one's and a teacher's alike, by the design's rule. It is the one place
// that decides it, so that a layout made from an exercise's content can take
// its place.

// Moves the row's prompt and answer box to 100 twips below the bottom of the
// box above as it actually stands (the design forms the sum in twips, so
// the rows keep their spacing whatever the box's height).
void placeQuestionRow(QWidget &prompt, QWidget &box, const QWidget &boxAbove);

#pragma once

#include "classroom/classreport.h"

#include <QString>

// A class's results as a French table for a terminal: the pupils in French
// alphabetical order, each with the answers and score of their last
// attempt and their best score, then each idea with how many were right,
// then the mean score.
QString formatClassReport(const ClassReport &report);

#pragma once

#include <filesystem>

// The results log that every finished exercise appends to when no setting
// moves it: "c:\estest.txt", which is ~/estest.txt where there is no drive C.
std::filesystem::path resultsLogPath();

// Where a record goes when the results log cannot take it, so that it is
// not lost: morvel2/estest.txt in the user's data folder.
std::filesystem::path rescueLogPath();

#pragma once

#include <QString>

// Where a technician names the class's exercises folder on this system, in
// French, for the teacher to pass on: the group and key of the machine's
// setting file on Linux, the Policies key and value on Windows.
QString exercisesSettingPlace();

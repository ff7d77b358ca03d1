#include "app/sessionguard.h"

#include "saving/pendingrecord.h"

#include <QGuiApplication>
#include <QSessionManager>

#include <cstdlib>

namespace {

void rescueAndEnd()
{
    if (PendingRecord::sessionEnds(0) == PendingRecord::AtSessionEnd::Rescued)
        std::_Exit(1);
}

} // namespace

void guardSession()
{
    static bool guarded = false;
    if (guarded)
        return;
    guarded = true;

    std::atexit(rescueAndEnd);
    // A logout or a shutdown asks every program to save its data before it
    // is ended: the waiting record is rescued then.
    QObject::connect(qGuiApp, &QGuiApplication::commitDataRequest, qGuiApp,
                     [](QSessionManager &) { rescueAndEnd(); });
}

#include "app/consolestream.h"

#include <QFile>

#include <cstdio>

// Terminals, files and pipes all take UTF-8 here.
std::unique_ptr<QIODevice> openStandardStream(StandardStream stream)
{
    auto file = std::make_unique<QFile>();
    if (!file->open(stream == StandardStream::Output ? stdout : stderr, QIODevice::WriteOnly | QIODevice::Unbuffered))
        return nullptr;
    return file;
}

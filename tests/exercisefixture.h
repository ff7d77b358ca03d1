#pragma once

#include "window/morvel2.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// A home folder of its own for one test case. The results log, the rescue
// log and the feedback pictures are all looked for under the home folder, so
// each case starts from an empty one and leaves nothing behind.
class TemporaryHome
{
public:
    TemporaryHome()
    {
        qputenv("HOME", QFile::encodeName(m_dir.path()));
        qunsetenv("XDG_DATA_HOME");
    }

    bool isValid() const { return m_dir.isValid(); }
    QString path() const { return m_dir.path(); }
    QString filePath(const QString &name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
};

// A fresh exercise window, shown and active, as a pupil finds it; null when
// it never became active.
inline std::unique_ptr<Morvel2> shownWindow()
{
    auto window = std::make_unique<Morvel2>();
    window->show();
    if (!QTest::qWaitForWindowActive(window.get()))
        return nullptr;
    return window;
}

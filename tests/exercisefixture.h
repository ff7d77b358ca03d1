#pragma once

#include "app/applicationsetup.h"
#include "window/morvel2.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// The exercise window as a pupil finds it: set up as the program sets it up,
// shown and active, with its results log, its rescue log and the folder
// standing for drive C all in a temporary folder of the test case's own. The
// window is handed those places, so no setting or home folder of the
// machine's can change what a test sees, and nothing a test writes lands
// outside that folder.
class ExerciseWindowFixture : public QObject
{
    Q_OBJECT

protected:
    QString filePath(const QString &name) const { return m_folder->filePath(name); }
    QString logPath() const { return filePath(QStringLiteral("estest.txt")); }
    QString rescuePath() const { return filePath(QStringLiteral("rescue/morvel2/estest.txt")); }

    // The places above, and the real writers.
    WindowContext context() const
    {
        return {{QFile::encodeName(logPath()).toStdString(), QFile::encodeName(rescuePath()).toStdString()},
                {},
                QFile::encodeName(m_folder->path()).toStdString(),
                {},
                {},
                {}};
    }

    // A new run of the program in place of the current one; false when its
    // window never became active.
    bool restartWindow(WindowContext context)
    {
        m_window.reset();
        m_window = std::make_unique<Morvel2>(std::move(context));
        m_window->show();
        return QTest::qWaitForWindowActive(m_window.get());
    }

    template <typename T = QWidget> T *control(const QString &name) const
    {
        return m_window->findChild<T *>(name);
    }
    QLineEdit *box(int row) const { return control<QLineEdit>(QStringLiteral("Text1(%1)").arg(row)); }
    // Keys typed into the answer box of `row`, Enter written "\r".
    void type(int row, const QString &keys) const { QTest::keyClicks(box(row), keys); }

    static QByteArray contents(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    QByteArray resultsLog() const { return contents(logPath()); }

    std::unique_ptr<Morvel2> m_window;

private slots:
    void init()
    {
        setUpApplication();
        m_folder = std::make_unique<QTemporaryDir>();
        QVERIFY(m_folder->isValid());
        QVERIFY(restartWindow(context()));
    }

    void cleanup()
    {
        m_window.reset();
        QVERIFY(QApplication::topLevelWidgets().isEmpty());
        m_folder.reset();
    }

private:
    std::unique_ptr<QTemporaryDir> m_folder;
};

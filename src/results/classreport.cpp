#include "results/classreport.h"

#include <QCollator>
#include <QHash>
#include <QLocale>

#include <algorithm>

namespace {

constexpr int questionCount = Content::questionCount;

QString promptWithoutMark(int row)
{
    QString prompt = Content::prompt(row);
    if (prompt.endsWith(QStringLiteral("N°")))
        prompt.chop(2);
    return prompt.trimmed();
}

// An answer with its mark: "3 ✓", "1 ✗", "– ✗" for none.
QString markedAnswer(const ReadRecord &record, std::size_t row)
{
    const QString answer = record.answers[row].isEmpty() ? QStringLiteral("–") : record.answers[row];
    return answer + (record.right[row] ? QStringLiteral(" ✓") : QStringLiteral(" ✗"));
}

// Rows of cells laid out in columns, each as wide as its widest cell; a
// character counts as one column, accented or not.
QString columns(const QList<QStringList> &rows, const QList<bool> &alignRight)
{
    QList<qsizetype> widths;
    for (const QStringList &row : rows)
        for (qsizetype i = 0; i < row.size(); ++i) {
            if (widths.size() <= i)
                widths.append(0);
            widths[i] = std::max(widths[i], row[i].size());
        }
    QString text;
    for (const QStringList &row : rows) {
        QString line;
        for (qsizetype i = 0; i < row.size(); ++i) {
            if (i > 0)
                line += QStringLiteral("  ");
            const bool right = alignRight.value(i, false);
            line += right ? row[i].rightJustified(widths[i]) : row[i].leftJustified(widths[i]);
        }
        while (line.endsWith(u' '))
            line.chop(1);
        text += line + u'\n';
    }
    return text;
}

QString plural(qint64 count, const QString &one, const QString &many)
{
    return QStringLiteral("%1 %2").arg(count).arg(count > 1 ? many : one);
}

// "2 (3 élèves)", or "2 ou 4 (3 élèves chacune)" when tied; "–" for none.
QString commonestWrong(const QuestionSummary &question)
{
    if (question.commonestWrong.isEmpty())
        return QStringLiteral("–");
    const QString pupils = plural(question.commonestCount, QStringLiteral("élève"), QStringLiteral("élèves"));
    if (question.commonestWrong.size() == 1)
        return QStringLiteral("%1 (%2)").arg(question.commonestWrong.first(), pupils);
    return QStringLiteral("%1 (%2 chacune)").arg(question.commonestWrong.join(QStringLiteral(" ou ")), pupils);
}

} // namespace

QCollator frenchOrder()
{
    QCollator order(QLocale(QLocale::French, QLocale::France));
    order.setNumericMode(true);
    order.setCaseSensitivity(Qt::CaseInsensitive);
    return order;
}

void ClassReport::beginPupil(const QString &name)
{
    const auto found = std::find_if(m_pupils.cbegin(), m_pupils.cend(),
                                    [&name](const PupilSummary &pupil) { return pupil.name == name; });
    if (found != m_pupils.cend()) {
        m_current = found - m_pupils.cbegin();
        return;
    }
    m_pupils.append({name, 0, {}, 0});
    m_current = m_pupils.size() - 1;
}

void ClassReport::addAttempt(const ReadRecord &record)
{
    if (m_current < 0)
        beginPupil(QString());
    PupilSummary &pupil = m_pupils[m_current];
    ++pupil.attempts;
    pupil.last = record;
    pupil.best = std::max(pupil.best, record.score());
}

int ClassReport::attempts() const
{
    int total = 0;
    for (const PupilSummary &pupil : m_pupils)
        total += pupil.attempts;
    return total;
}

QList<QuestionSummary> ClassReport::questions() const
{
    QList<QuestionSummary> questions;
    for (int row = 0; row < questionCount; ++row) {
        const auto index = static_cast<std::size_t>(row);
        QuestionSummary question{promptWithoutMark(row), Content::expectedAnswer(row), 0, 0, 0, {}, 0};
        QHash<QString, int> wrong;
        for (const PupilSummary &pupil : m_pupils) {
            if (pupil.attempts == 0)
                continue;
            ++question.pupils;
            const QString &answer = pupil.last.answers[index];
            if (pupil.last.right[index])
                ++question.right;
            else if (answer.isEmpty())
                ++question.blank;
            else
                ++wrong[answer];
        }
        for (auto it = wrong.cbegin(); it != wrong.cend(); ++it) {
            if (it.value() > question.commonestCount) {
                question.commonestCount = it.value();
                question.commonestWrong = {it.key()};
            } else if (it.value() == question.commonestCount) {
                question.commonestWrong.append(it.key());
            }
        }
        std::sort(question.commonestWrong.begin(), question.commonestWrong.end(), frenchOrder());
        questions.append(question);
    }
    return questions;
}

double ClassReport::meanScore() const
{
    int pupils = 0;
    int scores = 0;
    for (const PupilSummary &pupil : m_pupils) {
        if (pupil.attempts == 0)
            continue;
        ++pupils;
        scores += pupil.last.score();
    }
    return pupils > 0 ? double(scores) / pupils : 0.0;
}

QString formatClassReport(const ClassReport &report)
{
    const QString ignored = report.ignoredLines() == 0
                                ? QStringLiteral("Aucune ligne ignorée.\n")
                                : plural(report.ignoredLines(), QStringLiteral("ligne ignorée"),
                                         QStringLiteral("lignes ignorées"))
                                      + QStringLiteral(".\n");
    if (report.attempts() == 0)
        return QStringLiteral("Aucun résultat de cet exercice.\n") + ignored;

    QString text = QStringLiteral("Bilan : %1, %2\n\n")
                       .arg(plural(report.pupils().size(), QStringLiteral("élève"), QStringLiteral("élèves")),
                            plural(report.attempts(), QStringLiteral("essai"), QStringLiteral("essais")));
    text += QStringLiteral("Réponses et score du dernier essai, meilleur score de tous les essais :\n");
    QList<QStringList> pupils{{QStringLiteral("élève"), QStringLiteral("essais"), QStringLiteral("idée 1"),
                               QStringLiteral("idée 2"), QStringLiteral("idée 3"), QStringLiteral("idée 4"),
                               QStringLiteral("score"), QStringLiteral("meilleur")}};
    QList<PupilSummary> byName = report.pupils();
    const QCollator order = frenchOrder();
    std::stable_sort(byName.begin(), byName.end(),
                     [&order](const PupilSummary &a, const PupilSummary &b) { return order(a.name, b.name); });
    for (const PupilSummary &pupil : std::as_const(byName)) {
        QStringList row{pupil.name, QString::number(pupil.attempts)};
        for (std::size_t question = 0; question < std::size_t(questionCount); ++question)
            row.append(pupil.attempts > 0 ? markedAnswer(pupil.last, question) : QString());
        row.append(pupil.attempts > 0 ? QStringLiteral("%1/4").arg(pupil.last.score()) : QStringLiteral("–"));
        row.append(pupil.attempts > 0 ? QStringLiteral("%1/4").arg(pupil.best) : QStringLiteral("–"));
        pupils.append(row);
    }
    text += columns(pupils, {false, true, false, false, false, false, true, true});

    QList<QStringList> questions{{QStringLiteral("idée"), QStringLiteral("question"), QStringLiteral("paragraphe"),
                                  QStringLiteral("justes"), QStringLiteral("sans réponse"),
                                  QStringLiteral("erreur la plus fréquente")}};
    int number = 0;
    for (const QuestionSummary &question : report.questions())
        questions.append({QString::number(++number), question.prompt, question.expected,
                          QStringLiteral("%1/%2").arg(question.right).arg(question.pupils),
                          QString::number(question.blank), commonestWrong(question)});
    text += u'\n' + columns(questions, {true, false, true, true, true, false});

    const QLocale french(QLocale::French, QLocale::France);
    text += QStringLiteral("\nScore moyen au dernier essai : %1/4\n").arg(french.toString(report.meanScore(), 'f', 1));
    return text + ignored;
}

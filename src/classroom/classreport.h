#pragma once

#include "record/recordreader.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <array>

// A class's results at a glance: what each pupil did at the last attempt,
// how the class answered each idea, the mean score. Built from records in
// log order (classroom/logreader.h reads them); laid out as a French table
// for a terminal by classroom/texttable.h and shown by the teacher's window.
//
// Its rows are pupils, one per log of a class folder; or, for a single file
// (a log the class shares, the default log), attempts, one per record:
// such a file may mix several pupils, and summarising it as one would let
// its last line stand for everyone.

enum class ReportRows { Pupils, Attempts };

// Said of a log read from a share where files' owners cannot be seen: a
// classmate may have planted it.
inline constexpr const char *ownerUnverifiedNote = "propriétaire non vérifié";

struct PupilSummary
{
    QString name;
    int attempts = 0;
    ReadRecord last; // meaningful once there is an attempt
    int best = 0;
    QDateTime lastChanged;          // when the pupil's log last changed; invalid when unknown
    bool ownerUnverified = false;   // the log's owner could not be seen (a network share)
    QList<qint32> history;          // every attempt in order (ClassReport::record), when kept
};

// Where an answer at the last attempt falls: a paragraph, none, or
// something else (a number no paragraph has, what no box lets in).
enum class AnswerChoice { Paragraph1, Paragraph2, Paragraph3, Paragraph4, Blank, Other };
inline constexpr int answerChoiceCount = 6;
inline constexpr std::array<AnswerChoice, 4> paragraphChoices{AnswerChoice::Paragraph1, AnswerChoice::Paragraph2,
                                                              AnswerChoice::Paragraph3, AnswerChoice::Paragraph4};
AnswerChoice answerChoiceOf(const QString &answer);
// The paragraph a choice stands for, from 1; 0 for none or another answer.
int paragraphNumber(AnswerChoice choice);

struct QuestionSummary
{
    QString prompt;   // as the window shows it, without its "N°"
    QString expected; // the paragraph that is right
    int right = 0;    // rows right at their last attempt
    int blank = 0;    // rows that left it empty at their last attempt
    int pupils = 0;   // rows with an attempt
    // How many rows gave each choice at their last attempt (right ones included).
    std::array<int, answerChoiceCount> spread{};
    // The wrong answers given most often at the last attempt, several when
    // tied, in numeric order; and by how many rows each.
    QStringList commonestWrong;
    int commonestCount = 0;

    int wrong() const { return pupils - right; }
};

// Whether `choice` is the paragraph `question` expects.
bool isExpectedChoice(const QuestionSummary &question, AnswerChoice choice);

class ClassReport
{
public:
    // `keepHistory`: remember every attempt (the window lists a pupil's);
    // without it memory stays bounded by the pupils, not their attempts.
    explicit ClassReport(ReportRows rows = ReportRows::Pupils, bool keepHistory = false);

    // The records that follow are this pupil's; a name met again (the same
    // file name in two folders) goes on with the same pupil. Nothing in
    // attempt rows.
    void beginPupil(const QString &name);
    void addAttempt(const ReadRecord &record);
    // What the last log read tells of the current pupil (of the whole file,
    // in attempt rows): when it last changed (the latest of a pupil's logs
    // is kept), and whether its owner could not be seen.
    void noteLog(const QDateTime &changed, bool ownerUnverified);
    void addIgnoredLines(qint64 lines) { m_ignoredLines += lines; }

    ReportRows rowKind() const { return m_rows; }
    qsizetype rowCount() const;
    // Row `index` as a pupil: in attempt rows, the attempt alone, named by its number.
    PupilSummary row(qsizetype index) const;
    // Parts of row `index`, without making the whole row: a big file's
    // rows are sorted by them hundreds of thousands of times.
    const ReadRecord &lastOf(qsizetype index) const;
    int attemptsOf(qsizetype index) const;
    int bestOf(qsizetype index) const;
    // The pupils, in pupil rows.
    const QList<PupilSummary> &pupils() const { return m_pupils; }
    const ReadRecord &record(qint32 id) const { return m_records.at(id); }

    QList<QuestionSummary> questions() const;
    // The rows whose last attempt gave `choice` for question `question`.
    QStringList whoChose(int question, AnswerChoice choice) const;
    int attempts() const { return m_attempts; }
    // The mean of the rows' last scores, out of 4; 0 without attempts.
    double meanScore() const;
    // Rows with an attempt.
    int rowsWithAttempt() const;
    qint64 ignoredLines() const { return m_ignoredLines; }
    // Whether some row's log had an owner that could not be seen.
    bool anyOwnerUnverified() const;

private:
    qint32 intern(const ReadRecord &record);
    // Counts a row's last attempt in, or (with -1) out of, the ideas' counts.
    void count(const ReadRecord &last, int sign);
    template<typename Visit>
    void forEachLast(Visit visit) const;

    ReportRows m_rows;
    bool m_keepHistory;
    QList<PupilSummary> m_pupils;
    QHash<QString, qsizetype> m_byName;
    qsizetype m_current = -1;
    int m_attempts = 0;
    qint64 m_ignoredLines = 0;
    // Each different record once: a class gives few different sets of
    // answers, and a big shared log holds hundreds of thousands of lines.
    QList<ReadRecord> m_records;
    // The ideas' counts over every row's last attempt, kept as attempts come
    // in: a big file's hundreds of thousands need not be gone through again.
    struct IdeaCounts
    {
        int right = 0;
        int blank = 0;
        std::array<int, answerChoiceCount> spread{};
        QHash<QString, int> wrong;
    };
    std::array<IdeaCounts, Content::questionCount> m_ideaCounts{};
    int m_rowsWithAttempt = 0;
    qint64 m_lastScores = 0;
    QHash<QString, qint32> m_recordIds;
    // Attempt rows: each attempt's record.
    QList<qint32> m_attemptRecords;
    bool m_fileUnverified = false;
};

// "élève"/"élèves" or "essai"/"essais", as the report's rows are.
QString rowNoun(const ClassReport &report, qint64 count);

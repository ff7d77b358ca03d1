#pragma once

#include "record/recordreader.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <array>

// A class's results at one exercise, at a glance: what each pupil did at
// the last attempt, how the class answered each idea, the mean score. Built
// from that exercise's records in log order (classroom/classresults.h sorts
// a class's records by exercise); laid out as a French table for a terminal
// by classroom/texttable.h and shown by the teacher's window. Of an
// exercise not known (its file is not at hand), only the scores are there.
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
    // When the pupil last tried this exercise, as their log's last change
    // tells it; invalid when unknown. When another exercise's record came
    // after it in that log, only that the attempt came before that time is
    // known: `lastChangedBound`.
    QDateTime lastChanged;
    bool lastChangedBound = false;
    bool ownerUnverified = false;   // the log's owner could not be seen (a network share)
    QList<qint32> history;          // every attempt in order (ClassReport::record), when kept
};

// Where an answer at the last attempt falls: a paragraph, none, or
// something else (a number no paragraph has, what no box lets in).
enum class AnswerChoice {
    Blank,
    Paragraph1, Paragraph2, Paragraph3, Paragraph4, Paragraph5, Paragraph6, Paragraph7, Paragraph8, Paragraph9,
    Other
};
// How many choices a spread counts, whatever the exercise's paragraphs.
inline constexpr int answerChoiceCount = 11;
// An exercise's choices in the order its tables show them: each of its
// paragraphs, then none, then another answer.
QList<AnswerChoice> answerChoices(int paragraphCount);
AnswerChoice answerChoiceOf(const QString &answer, int paragraphCount);
// The paragraph a choice stands for, from 1; 0 for none or another answer.
int paragraphNumber(AnswerChoice choice);

struct QuestionSummary
{
    QString prompt;   // as the window shows it, without its "N°"
    QString expected; // the paragraph that is right
    int right = 0;    // rows right at their last attempt
    int blank = 0;    // rows that left it empty at their last attempt
    int pupils = 0;   // rows with an attempt
    int paragraphCount = 4; // of its exercise
    // How many rows gave each choice at their last attempt (right ones included).
    std::array<int, answerChoiceCount> spread{};
    // The wrong answers given most often at the last attempt, several when
    // tied, in numeric order; and by how many rows each.
    QStringList commonestWrong;
    int commonestCount = 0;

    int wrong() const { return pupils - right; }
    int count(AnswerChoice choice) const { return spread[std::size_t(choice)]; }
};

// Whether `choice` is the paragraph `question` expects.
bool isExpectedChoice(const QuestionSummary &question, AnswerChoice choice);

// How a report names its exercise: by the code and label its records
// write, and whether its file was at hand.
struct ExerciseKey
{
    QString code;
    QString label;
    bool known = true;

    bool operator==(const ExerciseKey &) const = default;
};
size_t qHash(const ExerciseKey &key, size_t seed = 0);
ExerciseKey keyOf(const ReadRecord &record);

class ClassReport
{
public:
    // `keepHistory`: remember every attempt (the window lists a pupil's);
    // without it memory stays bounded by the pupils, not their attempts.
    // `exercise`: the records' exercise; one not known has a code and a
    // label alone.
    explicit ClassReport(ReportRows rows = ReportRows::Pupils, bool keepHistory = false,
                         const Exercise &exercise = builtInExercise(), bool known = true);

    const Exercise &exercise() const { return m_exercise; }
    ExerciseKey key() const { return {m_exercise.code, m_exercise.label, m_known}; }
    bool known() const { return m_known; }
    int ideaCount() const { return m_exercise.ideaCount(); }
    int paragraphCount() const { return m_exercise.paragraphCount(); }
    // What a score is out of: the ideas; 0 for an exercise not known.
    int outOf() const { return m_known ? ideaCount() : 0; }

    // The records that follow are this pupil's; a name met again (the same
    // file name in two folders) goes on with the same pupil. Nothing in
    // attempt rows.
    void beginPupil(const QString &name);
    // A record of this report's exercise.
    void addAttempt(const ReadRecord &record);
    // What the last log read tells of the current pupil (of the whole file,
    // in attempt rows): when it last changed (the latest of a pupil's logs
    // is kept), whether that is when this exercise was last tried
    // (`exact`) or only a time it was tried before, and whether its owner
    // could not be seen.
    void noteLog(const QDateTime &changed, bool ownerUnverified, bool exact = true);

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
    // The mean of the rows' last scores, out of outOf(); 0 without attempts.
    double meanScore() const;
    // Rows with an attempt.
    int rowsWithAttempt() const;
    // Whether some row's log had an owner that could not be seen.
    bool anyOwnerUnverified() const;

    // How recent its last attempt is, to put the latest exercise first: the
    // latest time known to be an attempt's, then the order records were read in.
    QDateTime latestAttempt() const { return m_latest; }
    qint64 lastRead() const { return m_lastRead; }
    void setLastRead(qint64 sequence) { m_lastRead = sequence; }

private:
    qint32 intern(const ReadRecord &record);
    // Counts a row's last attempt in, or (with -1) out of, the ideas' counts.
    void count(const ReadRecord &last, int sign);
    template<typename Visit>
    void forEachLast(Visit visit) const;

    ReportRows m_rows;
    bool m_keepHistory;
    Exercise m_exercise;
    bool m_known;
    QList<PupilSummary> m_pupils;
    QHash<QString, qsizetype> m_byName;
    qsizetype m_current = -1;
    int m_attempts = 0;
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
    QList<IdeaCounts> m_ideaCounts;
    int m_rowsWithAttempt = 0;
    qint64 m_lastScores = 0;
    QHash<QString, qint32> m_recordIds;
    // Attempt rows: each attempt's record.
    QList<qint32> m_attemptRecords;
    bool m_fileUnverified = false;
    QDateTime m_latest;
    bool m_latestExact = false;
    qint64 m_lastRead = 0;
};

// "élève"/"élèves" or "essai"/"essais", as the report's rows are.
QString rowNoun(const ClassReport &report, qint64 count);

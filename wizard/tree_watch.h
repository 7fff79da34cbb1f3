// What the output folder holds and what Finish would do there: the tree's
// record, read off the user-interface thread whenever the output or Boost
// path changes, and Skeld --check, asked in the background once all three
// paths exist. A newer question replaces an older one; a check that takes
// too long is given up.
#ifndef TREE_WATCH_H
#define TREE_WATCH_H

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <functional>

#include "skeld_lines.h"

class QProcess;

class TreeWatch : public QObject {
    Q_OBJECT

public:
    // Sets a process up to run Skeld with these options and paths.
    using PrepareSkeld = std::function<void(QProcess&, const QStringList& options, const QStringList& paths)>;

    TreeWatch(PrepareSkeld prepare, QObject* parent);
    ~TreeWatch() override;

    // The paths as they stand; complete when all three exist.
    void setPaths(const QString& personality, const QString& boost, const QString& output, bool complete);
    // The tree may have changed under the same paths (a run ended).
    void refresh();
    // Ends every check at once and waits for it: --check locks the
    // personality that a run or removal is about to take.
    void stop();

    // The line under the output field.
    QString line() const;
    // A tree whose record may be trusted, its personality and files.
    bool holdsTree() const { return record.outcome == RecordView::Trusted; }
    QString treePersonality() const { return record.personality; }
    qsizetype treeFileCount() const { return record.files; }

    // How long a check may take before it is given up.
    int checkTimeoutMs = 30000;

signals:
    void changed();

private:
    struct RecordView {
        enum Outcome { None, Trusted, Untrusted } outcome = None;
        QString head;        // what the tree was made for
        QString recordLine;  // that, and whether the Boost above is another
        QString personality;
        qsizetype files = 0;
    };
    enum class CheckState { None, Asking, Answered, GivenUp, Unknown };

    void readRecord();
    void startCheck();
    void checkEnded(QProcess* process);
    void abandon(QProcess* process);

    PrepareSkeld prepare;
    QString personalityPath, boostPath, outputPath;
    bool complete = false;
    QString recordKey, checkKey;
    quint64 recordTicket = 0;
    RecordView record;
    CheckState checkState = CheckState::None;
    CheckAnswer answer;
    QProcess* check = nullptr;
    QTimer settle;   // typing settles before a check starts
    QTimer timeout;  // a slow check is given up
};

#endif

#include "tree_watch.h"

#include <QProcess>
#include <QThread>
#include <memory>

#include "skeld_path.h"
#include "tree_record.h"

TreeWatch::TreeWatch(PrepareSkeld prepareSkeld, QObject* parent) : QObject(parent), prepare(std::move(prepareSkeld))
{
    settle.setSingleShot(true);
    settle.setInterval(200);
    connect(&settle, &QTimer::timeout, this, &TreeWatch::startCheck);
    timeout.setSingleShot(true);
    connect(&timeout, &QTimer::timeout, this, [this] {
        abandon(check);
        check = nullptr;
        checkState = CheckState::GivenUp;
        emit changed();
    });
}

TreeWatch::~TreeWatch()
{
    stop();
    // A record being read still writes to what it was given.
    const auto readers = findChildren<QThread*>(Qt::FindDirectChildrenOnly);
    for (QThread* reader : readers)
        reader->wait();
}

void TreeWatch::setPaths(const QString& personality, const QString& boost, const QString& output, bool allExist)
{
    personalityPath = personality;
    boostPath = boost;
    outputPath = output;
    complete = allExist;
    // Read again only when a path changed: a tree's record lists every file.
    if (output + QChar(0) + boost != recordKey)
        readRecord();
    const QString key = complete ? personality + QChar(0) + boost + QChar(0) + output : QString();
    if (key == checkKey)
        return;
    checkKey = key;
    abandon(check);
    check = nullptr;
    timeout.stop();
    checkState = complete ? CheckState::Asking : CheckState::None;
    if (complete)
        settle.start();
    else
        settle.stop();
    emit changed();
}

void TreeWatch::refresh()
{
    recordKey.clear();
    checkKey = QStringLiteral("\n");  // matches no key
    setPaths(personalityPath, boostPath, outputPath, complete);
}

void TreeWatch::stop()
{
    settle.stop();
    timeout.stop();
    const auto processes = findChildren<QProcess*>(Qt::FindDirectChildrenOnly);
    for (QProcess* process : processes) {
        process->disconnect(this);
        process->kill();
        process->waitForFinished(5000);
        delete process;
    }
    check = nullptr;
    if (checkState == CheckState::Asking) {
        checkState = CheckState::Unknown;
        checkKey = QStringLiteral("\n");  // asked again when the page is back
    }
}

void TreeWatch::readRecord()
{
    recordKey = outputPath + QChar(0) + boostPath;
    const quint64 ticket = ++recordTicket;
    if (outputPath.isEmpty()) {
        record = {};
        return;
    }
    auto view = std::make_shared<RecordView>();
    const std::string output = toSkeldPath(outputPath);
    const std::string boost = toSkeldPath(boostPath);
    QThread* reader = QThread::create([view, output, boost] {
        const record_lookup lookup = read_record(output);
        view->recordLine = fromSkeldPath(tree_status_line(lookup, boost, version_of_boost(boost)));
        if (lookup.outcome == record_lookup::status::untrusted) {
            view->outcome = RecordView::Untrusted;
            view->head = QStringLiteral("Holds a tree whose record cannot be trusted");
        } else if (lookup.outcome == record_lookup::status::ok) {
            const tree_record& r = lookup.record;
            view->outcome = RecordView::Trusted;
            view->head = QStringLiteral("Holds a tree for Boost %1 (%2)")
                             .arg(r.boost_version.empty() ? QStringLiteral("(version unknown)")
                                                          : QString::fromStdString(r.boost_version),
                                  fromSkeldPath(r.boost_folder));
            // Resolved: the spelling may be relative to another folder.
            view->personality = fromSkeldPath(r.personality_file.empty() ? r.personality : r.personality_file);
            view->files = qsizetype(r.files.size());
        }
    });
    reader->setParent(this);
    connect(reader, &QThread::finished, this, [this, reader, view, ticket] {
        reader->deleteLater();
        if (ticket != recordTicket)
            return;  // a newer path is being read
        record = *view;
        emit changed();
    });
    reader->start();
}

void TreeWatch::startCheck()
{
    check = new QProcess(this);
    prepare(*check, {QStringLiteral("--check")}, {personalityPath, boostPath, outputPath});
    QProcess* process = check;
    connect(process, &QProcess::finished, this, [this, process] { checkEnded(process); });
    connect(process, &QProcess::errorOccurred, this, [this, process](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            checkEnded(process);
    });
    process->start();
    timeout.start(checkTimeoutMs);
}

void TreeWatch::checkEnded(QProcess* process)
{
    if (process != check)
        return;
    timeout.stop();
    // Only the fixed last line: the lines before it are for people.
    const QList<QByteArray> lines = process->readAllStandardOutput().trimmed().split('\n');
    const std::optional<CheckAnswer> parsed = parseCheckLine(QString::fromUtf8(lines.last().trimmed()));
    checkState = parsed ? CheckState::Answered : CheckState::Unknown;
    if (parsed)
        answer = *parsed;
    check = nullptr;
    process->deleteLater();
    emit changed();
}

void TreeWatch::abandon(QProcess* process)
{
    // Not waited for: typing goes on. Its answer no longer counts.
    if (!process)
        return;
    process->disconnect(this);
    connect(process, &QProcess::finished, process, &QObject::deleteLater);
    process->kill();
}

QString TreeWatch::line() const
{
    QString what;
    switch (checkState) {
    case CheckState::None: return record.recordLine;
    case CheckState::Asking: what = QStringLiteral("Checking what Finish would do ..."); break;
    case CheckState::Answered: what = finishWouldText(answer, record.personality); break;
    case CheckState::GivenUp: what = QStringLiteral("Could not tell what Finish would do: the check took too long."); break;
    case CheckState::Unknown: what = QStringLiteral("Could not tell what Finish would do."); break;
    }
    return record.head.isEmpty() ? what : record.head + QStringLiteral(". ") + what;
}

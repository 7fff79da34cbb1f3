#include "skeld_lines.h"

#include <QStringList>

namespace {

QString counted(qint64 n, const char* what)
{
    return QStringLiteral("%1 %2%3").arg(n).arg(QLatin1String(what)).arg(n == 1 ? "" : "s");
}

}  // namespace

std::optional<ProgressLine> parseProgressLine(const QString& line)
{
    const QStringList parts = line.split(QLatin1Char(' '));
    if (parts.size() != 4 || parts[0] != QLatin1String("Progress:"))
        return std::nullopt;
    ProgressLine progress{parts[1], 0, 0};
    bool doneOk = false;
    bool totalOk = false;
    progress.done = parts[2].toLongLong(&doneOk);
    progress.total = parts[3].toLongLong(&totalOk);
    if (!doneOk || !totalOk || progress.step.isEmpty() || progress.done < 0 || progress.done > progress.total)
        return std::nullopt;
    return progress;
}

QString stepText(const QString& step)
{
    if (step == QLatin1String("headers"))
        return QStringLiteral("Boost headers");
    if (step == QLatin1String("stubs"))
        return QStringLiteral("System stubs");
    if (step == QLatin1String("done"))
        return QStringLiteral("Done");
    return step;  // a step of a later Skeld: its own word
}

std::optional<CheckAnswer> parseCheckLine(const QString& line)
{
    // Keys in their fixed order, one space apart, nothing after the last.
    static const char* const keys[] = {"status", "write", "remove", "add", "record", "refuse"};
    const QStringList parts = line.split(QLatin1Char(' '));
    if (parts.size() != 7 || parts[0] != QLatin1String("Check:"))
        return std::nullopt;
    QString values[6];
    for (int i = 0; i < 6; ++i) {
        const QString prefix = QLatin1String(keys[i]) + QLatin1Char('=');
        if (!parts[i + 1].startsWith(prefix))
            return std::nullopt;
        values[i] = parts[i + 1].mid(prefix.size());
    }
    CheckAnswer answer;
    bool ok[5] = {};
    answer.status = values[0].toInt(&ok[0]);
    answer.write = values[1].toLongLong(&ok[1]);
    answer.remove = values[2].toLongLong(&ok[2]);
    answer.add = values[3].toLongLong(&ok[3]);
    answer.record = values[4].toInt(&ok[4]) == 1;
    answer.refuse = values[5];
    for (bool b : ok)
        if (!b)
            return std::nullopt;
    if (answer.status < 0 || answer.status > 2 || answer.refuse.isEmpty())
        return std::nullopt;
    return answer;
}

QString finishWouldText(const CheckAnswer& answer, const QString& owner)
{
    if (answer.status == 2) {
        if (answer.refuse == QLatin1String("other-personality"))
            return owner.isEmpty() ? QStringLiteral("Finish would stop: the tree belongs to another personality.")
                                   : QStringLiteral("Finish would stop: the tree belongs to another personality, %1.")
                                         .arg(owner);
        if (answer.refuse == QLatin1String("in-use"))
            return QStringLiteral("Finish would stop: another run is using this output.");
        return QStringLiteral("Finish would stop with an error; the log then says which.");
    }
    if (answer.status == 0)
        return QStringLiteral("Up to date.");
    const QString lines = counted(answer.add, "line") + QStringLiteral(" to the personality");
    if (answer.write || answer.remove)
        return QStringLiteral("Finish writes %1 and removes %2%3.")
            .arg(counted(answer.write, "file"), QString::number(answer.remove),
                 answer.add ? QStringLiteral(", and adds ") + lines : QString());
    if (answer.add)
        return QStringLiteral("Finish adds ") + lines + QLatin1Char('.');
    return QStringLiteral("Its files are up to date; Finish renews its record.");
}

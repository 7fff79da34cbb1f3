// The lines Skeld prints for a program rather than a person: how far a run
// is (with --progress), and what a run would do (--check's last line).
#pragma once

#include <QString>
#include <optional>

// "Progress: STEP DONE TOTAL"
struct ProgressLine {
    QString step;
    qint64 done = 0;
    qint64 total = 0;
};
std::optional<ProgressLine> parseProgressLine(const QString& line);
// The step as velk shows it beside the bar.
QString stepText(const QString& step);

// "Check: status=S write=W remove=R add=A record=C refuse=WHY"
struct CheckAnswer {
    int status = 0;
    qint64 write = 0;
    qint64 remove = 0;
    qint64 add = 0;
    bool record = false;
    QString refuse;
};
std::optional<CheckAnswer> parseCheckLine(const QString& line);
// What Finish would do, in a sentence; owner: the personality the tree's
// record names, for a tree that belongs to another.
QString finishWouldText(const CheckAnswer& answer, const QString& owner);

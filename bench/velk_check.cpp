// velk's background check, timed as the wizard runs it: a TreeWatch that
// starts Skeld through the wizard's own preparation (Skeld found beside this
// program, run where it reads its data) once all three paths are given, and
// answers with the line shown under the output field. Prints the seconds from
// the moment the check is started to the moment velk has its answer, then
// that line. The wait for typing to settle comes before the start and is not
// counted: the clock starts when TreeWatch prepares the process.
//
//   velk_check <personality> <Boost> <output>
//
// Status 0 when velk says the tree is up to date; 1 when it says anything
// else, when the check gave no answer, or when velk hands Skeld a job count
// (the check leaves the threads to Skeld's default).

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTimer>
#include <cstdio>

#include "boostforwardheader.h"
#include "skeld_lines.h"
#include "tree_watch.h"

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList paths = app.arguments().mid(1);
    if (paths.size() != 3) {
        std::fprintf(stderr, "usage: velk_check <personality> <Boost> <output>\n");
        return 2;
    }

    QElapsedTimer clock;
    bool started = false, ended = false;
    QStringList arguments;
    const auto prepare = [&](QProcess& process, const QStringList& options, const QStringList& given) {
        BoostForwardHeader::prepareSkeld(process, options, given);
        arguments = process.arguments();
        started = true;
        // Connected before TreeWatch's own slots, so it is set by the time
        // TreeWatch reports the answer.
        QObject::connect(&process, &QProcess::finished, &process, [&] { ended = true; });
        QObject::connect(&process, &QProcess::errorOccurred, &process, [&] { ended = true; });
        clock.start();
    };

    TreeWatch watch(prepare, nullptr);
    // The benchmark's own limit below decides; velk's would hide a slow check.
    watch.checkTimeoutMs = 600000;
    double seconds = -1;
    QObject::connect(&watch, &TreeWatch::changed, &app, [&] {
        if (!ended)
            return;  // the record read, or the check still asking
        seconds = double(clock.nsecsElapsed()) / 1e9;
        app.quit();
    });
    QTimer::singleShot(600000, &app, [&] { app.quit(); });
    watch.setPaths(paths[0], paths[1], paths[2], true);
    app.exec();

    if (!started || seconds < 0) {
        std::fprintf(stderr, "velk_check: velk's check gave no answer for %s\n", qPrintable(paths[2]));
        return 1;
    }
    const QString line = watch.line();
    std::printf("%.3f %s\n", seconds, qPrintable(line));
    for (const QString& argument : arguments) {
        if (argument == QLatin1String("--jobs") || argument.startsWith(QLatin1String("--jobs="))) {
            std::fprintf(stderr, "velk_check: velk passes %s to Skeld's check of %s\n", qPrintable(argument),
                         qPrintable(paths[2]));
            return 1;
        }
    }
    // The sentence for a check that found nothing to do, whatever record
    // head comes before it.
    return line.endsWith(finishWouldText(CheckAnswer{}, QString())) ? 0 : 1;
}

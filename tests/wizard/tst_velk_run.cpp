// Runs of the generator against the stand-in "Skeld" that sits beside this test.
#include <QAbstractButton>
#include <QAccessible>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QtTest>

#include "boostforwardheader.h"
#include "dialogwatcher.h"
#include "platform.h"
#include "tree_record.h"
#include "tree_watch.h"

namespace {

const QString startLine = QStringLiteral("Initialising Boost Configuration Generation ...\n");
const QString successLine = QStringLiteral("Boost Configuration Generated Successfully!\n");
const QString failureText =
    QStringLiteral("Boost Configuration Generation Failed!\nPlease check the details on screen and try again.");

}  // namespace

#define RUN_TO_END(w)                                                                                                  \
    do {                                                                                                               \
        runToEnd(w);                                                                                                   \
        if (QTest::currentTestFailed())                                                                                \
            return;                                                                                                    \
    } while (false)

class TestVelkRun : public QObject {
    Q_OBJECT

private:
    QTemporaryDir tmp;
    QString boostDir, outDir, personality, gate;
    QString defaultCancelText;

    // Fills Page0, goes to Page1 and leaves the wizard ready for Finish.
    void prepare(BoostForwardHeader& w)
    {
        w.show();
        // Pasted, as keyClicks cannot type 'ä'; the key release runs the check.
        w.OrigLibLocEdit->setText(boostDir);
        w.ConfigLocEdit->setText(outDir);
        w.CmpPersonEdit->setText(personality);
        QTest::keyClick(w.CmpPersonEdit, Qt::Key_End);
        QVERIFY(w.button(QWizard::NextButton)->isEnabled());
        w.button(QWizard::NextButton)->click();
        QCOMPARE(w.currentPage(), w.Page1);
        QVERIFY(w.button(QWizard::FinishButton)->isEnabled());
    }
    QProcess* latestProcess(BoostForwardHeader& w)
    {
        const auto all = w.findChildren<QProcess*>();
        return all.isEmpty() ? nullptr : all.last();
    }
    // Presses Finish and waits until the child has ended and been judged.
    void runToEnd(BoostForwardHeader& w)
    {
        w.button(QWizard::FinishButton)->click();
        QProcess* p = latestProcess(w);
        QVERIFY(p);
        QTRY_COMPARE_WITH_TIMEOUT(p->state(), QProcess::NotRunning, 20000);
        QCoreApplication::processEvents();
    }
    QString pane(BoostForwardHeader& w) { return w.DetailsText->toPlainText(); }
    QString cancelText(BoostForwardHeader& w) { return w.button(QWizard::CancelButton)->text(); }

private slots:
    void initTestCase()
    {
        QVERIFY(tmp.isValid());
        QVERIFY(QFileInfo(QCoreApplication::applicationDirPath() + "/Skeld").isExecutable() ||
                QFileInfo(QCoreApplication::applicationDirPath() + "/Skeld.exe").exists());
        // Spaces and a non-ASCII letter in every path.
        boostDir = tmp.filePath(QStringLiteral("my libs/boost"));
        outDir = tmp.filePath(QStringLiteral("Ausgabe ä"));
        personality = tmp.filePath(QStringLiteral("co msc.p_c"));
        gate = tmp.filePath(QStringLiteral("gate"));
        QVERIFY(QDir().mkpath(boostDir));
        QVERIFY(QDir().mkpath(outDir));
        QFile f(personality);
        QVERIFY(f.open(QIODevice::WriteOnly));
        qputenv("VELK_FAKE_SKELD_GATE", QFile::encodeName(gate));
        BoostForwardHeader w;
        defaultCancelText = cancelText(w);
    }
    void init() { QFile::remove(gate); }
    void cleanup() { QFile(gate).open(QIODevice::WriteOnly); }  // never leave a child waiting

    void success_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("output");
        QTest::newRow("full run") << "ok"
                                  << "Creating compiler header Files ...\n"
                                     "Creating boost substitute header files ...\n"
                                     "Creating compiler/platform substitute header files ...\n"
                                     "Modifying Compiler Personality...\n"
                                     "Please add the following directory to your analyser personality or as the first "
                                     "include path in your CPPFLAGS or equivalent variable in your makefile:\n" +
                                         outDir + "\n";
        QTest::newRow("no configuration needed") << "noconfig"
                                                 << "Creating compiler header Files ...\n"
                                                    "No need for configuration, boost should work successfully." +
                                                        personality + "\n";
    }
    void success()
    {
        QFETCH(QString, mode);
        QFETCH(QString, output);
        qputenv("VELK_FAKE_SKELD", mode.toLatin1());
        BoostForwardHeader w;
        prepare(w);
        DialogWatcher watcher;
        RUN_TO_END(w);
        // How far it got went to the bar, not to the log.
        QCOMPARE(pane(w), startLine + output + successLine);
        QVERIFY(w.RunProgressBar->isVisible());
        QCOMPARE(w.RunProgressBar->value(), w.RunProgressBar->maximum());
        QCOMPARE(w.RunStepLabel->text(), QStringLiteral("Done"));
        QCOMPARE(watcher.count(), 0);
        QVERIFY(w.SaveLogBtn->isEnabled());
        QCOMPARE(cancelText(w), QStringLiteral("Close"));
        QVERIFY(!w.button(QWizard::FinishButton)->isEnabled());
        QVERIFY(w.button(QWizard::BackButton)->isEnabled());
        QVERIFY(w.isVisible());
    }

    void argumentsReachSkeldWhole()
    {
        qputenv("VELK_FAKE_SKELD", "args");
        BoostForwardHeader w;
        prepare(w);
        RUN_TO_END(w);
        QCOMPARE(pane(w),
                 startLine + "1=[--progress]\n2=[" + personality + "]\n3=[" + boostDir + "]\n4=[" + outDir + "]\n" +
                     successLine);
    }

    void failureShowsMessageBoxOnce_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("output");
        QTest::newRow("exit status 1") << "fail"
                                       << "Original location of boost must end with the .../boost subdirectory\n";
        // Mend: a crash is a failure too, not silence, and the pane says which.
        QTest::newRow("crash") << "crash"
                               << "Creating compiler header Files ...\n"
                                  "Skeld ended abnormally (crashed or was killed).\n";
    }
    void failureShowsMessageBoxOnce()
    {
        QFETCH(QString, mode);
        QFETCH(QString, output);
        qputenv("VELK_FAKE_SKELD", mode.toLatin1());
        BoostForwardHeader w;
        prepare(w);
        // What the user sees while the box is open.
        QString paneAtBox;
        bool busyAtBox = true;
        DialogWatcher watcher([&](QDialog* box) {
            paneAtBox = pane(w);
            busyAtBox = w.button(QWizard::BackButton)->isEnabled() == false;
            box->reject();
        });
        RUN_TO_END(w);
        QTRY_COMPARE(watcher.count(), 1);
        QCOMPARE(paneAtBox, startLine + output);
        QVERIFY(!busyAtBox);
        const auto box = watcher.seen().first();
        QCOMPARE(box.className, QStringLiteral("QMessageBox"));
        QCOMPARE(box.title, QStringLiteral("Boost Configuration Wizard"));
        QCOMPARE(box.text, failureText);
        QCOMPARE(box.parent, nullptr);
        QCOMPARE(pane(w), startLine + output);
        QVERIFY(w.SaveLogBtn->isEnabled());
        QCOMPARE(cancelText(w), defaultCancelText);
        QVERIFY(!w.button(QWizard::FinishButton)->isEnabled());
        QVERIFY(w.button(QWizard::BackButton)->isEnabled());
        QCoreApplication::processEvents();
        QCOMPARE(watcher.count(), 1);
    }

    // Mend: a line that arrives in two reads is one line, decoded as the
    // UTF-8 Skeld prints even when the cut falls inside a character.
    void splitOutputIsJoined()
    {
        qputenv("VELK_FAKE_SKELD", "split");
        qputenv("VELK_FAKE_SKELD_WORD", QStringLiteral("Größe").toUtf8());
        BoostForwardHeader w;
        prepare(w);
        w.button(QWizard::FinishButton)->click();
        QProcess* p = latestProcess(w);
        QVERIFY(p);
        QSignalSpy reads(p, &QProcess::readyReadStandardOutput);
        // The first half is in: the pane shows the whole lines only.
        QTRY_VERIFY_WITH_TIMEOUT(!reads.isEmpty() && p->bytesAvailable() > 0, 20000);
        QCOMPARE(pane(w), startLine + "Creating compiler header Files ...\n");
        QFile(gate).open(QIODevice::WriteOnly);
        QTRY_COMPARE_WITH_TIMEOUT(p->state(), QProcess::NotRunning, 20000);
        QVERIFY(reads.size() >= 2);
        QCOMPARE(pane(w), startLine +
                              QString::fromUtf8("Creating compiler header Files ...\n"
                                                "Path: /tmp/Größe <b>&amp;</b>\n"
                                                "\n"
                                                "Done\n") +
                              successLine);
        QCOMPARE(w.DetailsText->document()->blockCount(), 7);  // six lines and the cursor's
    }

    // Mend: no second run can start while one is going; the bar shows how far it is.
    void backIsDisabledWhileRunning()
    {
        qputenv("VELK_FAKE_SKELD", "gate");
        BoostForwardHeader w;
        prepare(w);
        QAbstractButton* back = w.button(QWizard::BackButton);
        QVERIFY(back->isEnabled());
        QVERIFY(!w.RunProgressBar->isVisible());
        w.button(QWizard::FinishButton)->click();
        QProcess* p = latestProcess(w);
        QVERIFY(p);
        QVERIFY(w.RunProgressBar->isVisible());
        QVERIFY(!back->isEnabled());
        QVERIFY(!w.button(QWizard::FinishButton)->isEnabled());
        QTRY_COMPARE_WITH_TIMEOUT(w.RunProgressBar->value(), 3, 20000);
        QCOMPARE(w.RunProgressBar->maximum(), 10);
        QCOMPARE(w.RunStepLabel->text(), QStringLiteral("Boost headers"));
        QCOMPARE(QAccessible::queryAccessibleInterface(w.RunProgressBar)->text(QAccessible::Description),
                 QStringLiteral("Boost headers: 3 of 10 files"));
        QVERIFY(!back->isEnabled());
        QFile(gate).open(QIODevice::WriteOnly);
        QTRY_VERIFY_WITH_TIMEOUT(back->isEnabled(), 20000);
        QVERIFY(pane(w).endsWith(successLine));
        QCOMPARE(w.RunProgressBar->value(), 10);
    }

    // Skeld runs where its data files are, by Skeld's own rule (its table is
    // the generator's unit test); here what velk hands that rule: its own
    // folder, and the folder of the Skeld it starts.
    void generatorWorkingDirectory_data()
    {
        QTest::addColumn<QStringList>("holders");
        QTest::addColumn<QString>("chosen");
        QTest::newRow("own folder has them") << QStringList{"own", "bin"} << "own";
        QTest::newRow("only Skeld's folder has them") << QStringList{"bin"} << "bin";
        // Windows keeps the data files beside the program: it has no such folder.
        QTest::newRow("only the installed data folder")
            << QStringList{"share/headwright"} << (*platform::installed_data_folder ? "share/headwright" : "own");
        QTest::newRow("none: Skeld names every place") << QStringList{} << "own";
    }
    void generatorWorkingDirectory()
    {
        QFETCH(QStringList, holders);
        QFETCH(QString, chosen);
        QTemporaryDir dirs;
        for (const QString& sub : {QStringLiteral("own"), QStringLiteral("bin"), QStringLiteral("share/headwright")})
            QVERIFY(QDir(dirs.path()).mkpath(sub));
        QVERIFY(QFile(dirs.filePath("bin/Skeld")).open(QIODevice::WriteOnly));
        for (const QString& holder : holders)
            QVERIFY(QFile(dirs.filePath(holder + "/possible_defines.txt")).open(QIODevice::WriteOnly));
        QCOMPARE(BoostForwardHeader::generatorWorkingDirectory(dirs.filePath("bin/Skeld"), dirs.filePath("own")),
                 dirs.filePath(chosen));
    }

    // A Skeld reached through a link reads the data beside the file it leads
    // to, and velk agrees.
    void generatorWorkingDirectoryFollowsALinkedSkeld()
    {
        QTemporaryDir dirs;
        for (const QString& sub : {QStringLiteral("own"), QStringLiteral("bin"), QStringLiteral("opt")})
            QVERIFY(QDir(dirs.path()).mkpath(sub));
        QVERIFY(QFile(dirs.filePath("opt/Skeld")).open(QIODevice::WriteOnly));
        QVERIFY(QFile(dirs.filePath("opt/possible_defines.txt")).open(QIODevice::WriteOnly));
        QVERIFY(QFile::link(dirs.filePath("opt/Skeld"), dirs.filePath("bin/Skeld")));
        if (!QFileInfo(dirs.filePath("bin/Skeld")).isSymbolicLink())
            QSKIP("QFile::link makes a shortcut here, not a link a program runs through");
        QCOMPARE(BoostForwardHeader::generatorWorkingDirectory(dirs.filePath("bin/Skeld"), dirs.filePath("own")),
                 dirs.filePath("opt"));
    }

    // Cancel during a run stops Skeld and keeps the wizard open to say what
    // that leaves; Finish may run again; a second Cancel closes.
    void cancelDuringRunStopsChild()
    {
        qputenv("VELK_FAKE_SKELD", "hang");
        BoostForwardHeader w;
        prepare(w);
        DialogWatcher watcher;
        w.button(QWizard::FinishButton)->click();
        QProcess* p = latestProcess(w);
        QVERIFY(p);
        QSignalSpy finished(p, &QProcess::finished);
        QTRY_VERIFY_WITH_TIMEOUT(pane(w).contains("Creating compiler header Files"), 20000);
        QSignalSpy rejected(&w, &QDialog::rejected);
        w.button(QWizard::CancelButton)->click();
        QCOMPARE(rejected.size(), 0);
        QVERIFY(w.isVisible());
        // Killed, not left to sleep out its minute.
        QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, 5000);
        QCoreApplication::processEvents();
        QCOMPARE(watcher.count(), 0);
        QCOMPARE(pane(w), startLine + "Creating compiler header Files ...\n"
                                      "Stopped. The files Skeld wrote so far stay; the next run (Finish) brings the "
                                      "tree up to date.\n");
        QCOMPARE(w.RunStepLabel->text(), QStringLiteral("Stopped"));
        QVERIFY(w.button(QWizard::FinishButton)->isEnabled());
        QVERIFY(w.button(QWizard::BackButton)->isEnabled());
        w.button(QWizard::CancelButton)->click();
        QCOMPARE(rejected.size(), 1);
        QVERIFY(!w.isVisible());
    }

    // The line under the output field for each answer of Skeld --check, and
    // the summary that says the same.
    void finishWouldDo_data()
    {
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<QString>("line");
        QTest::newRow("0") << QByteArray("Check: status=0 write=0 remove=0 add=0 record=0 refuse=none")
                           << "Up to date.";
        QTest::newRow("1: files") << QByteArray("Check: status=1 write=14211 remove=2 add=0 record=1 refuse=none")
                                  << "Finish writes 14211 files and removes 2.";
        QTest::newRow("1: a first run")
            << QByteArray("Check: status=1 write=1 remove=0 add=3 record=1 refuse=none")
            << "Finish writes 1 file and removes 0, and adds 3 lines to the personality.";
        QTest::newRow("1: lines only") << QByteArray("Check: status=1 write=0 remove=0 add=1 record=1 refuse=none")
                                       << "Finish adds 1 line to the personality.";
        QTest::newRow("1: the record only") << QByteArray("Check: status=1 write=0 remove=0 add=0 record=1 refuse=none")
                                            << "Its files are up to date; Finish renews its record.";
        QTest::newRow("2: in use") << QByteArray("Check: status=2 write=0 remove=0 add=0 record=0 refuse=in-use")
                                   << "Finish would stop: another run is using this output.";
        QTest::newRow("2: error") << QByteArray("Check: status=2 write=0 remove=0 add=0 record=0 refuse=error")
                                  << "Finish would stop with an error; the log then says which.";
        QTest::newRow("2: another personality's tree")
            << QByteArray("Check: status=2 write=0 remove=0 add=0 record=0 refuse=other-personality")
            << "Holds a tree for Boost 1.74.0 (%1). Finish would stop: the tree belongs to another personality, %2.";
        QTest::newRow("not the fixed line") << QByteArray("Check: status=1 write=3") << "Could not tell what Finish would do.";
        QTest::newRow("given up") << QByteArray("hang")
                                  << "Could not tell what Finish would do: the check took too long.";
    }
    void finishWouldDo()
    {
        QFETCH(QByteArray, answer);
        QFETCH(QString, line);
        qputenv("VELK_FAKE_CHECK", answer);
        QTemporaryDir out;
        const QString other = tmp.filePath("other.p_c");
        if (line.contains("%1")) {
            tree_record record;
            record.boost_folder = "/b/boost";
            record.boost_version = "1.74.0";
            record.personality = QFile::encodeName(other).toStdString();
            QFile file(out.filePath(QString::fromLatin1(record_name)));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(QByteArray::fromStdString(record_text(record)));
            line = line.arg("/b/boost", other);
        }
        BoostForwardHeader w;
        w.treeWatch()->checkTimeoutMs = 500;
        w.show();
        w.OrigLibLocEdit->setText(boostDir);
        w.CmpPersonEdit->setText(personality);
        w.ConfigLocEdit->setText(out.path());
        QTest::keyClick(w.ConfigLocEdit, Qt::Key_End);
        QTRY_COMPARE_WITH_TIMEOUT(w.TreeStatusLabel->text(), line, 20000);
        if (line.contains(other)) {
            // Remove names the tree's own personality and says it is not the one above.
            QVERIFY(w.RemoveTreeBtn->isVisible());
            DialogWatcher watcher;
            w.RemoveTreeBtn->click();
            QCOMPARE(watcher.count(), 1);
            QVERIFY(watcher.seen().first().text.contains("from the personality " + other + ".\n\nThat is the "
                                                         "personality the tree's record names, not the one above."));
            QCOMPARE(w.currentPage(), w.Page0);
        }
        w.button(QWizard::NextButton)->click();
        QVERIFY(pane(w).endsWith("Output Folder:\n" + line + "\n\n"));
        qunsetenv("VELK_FAKE_CHECK");
    }

    // A newer question replaces an older one, and Finish ends the check
    // before its run takes the personality.
    void newerCheckReplacesOlderAndFinishStopsIt()
    {
        qputenv("VELK_FAKE_CHECK", "hang");
        qputenv("VELK_FAKE_SKELD", "ok");
        BoostForwardHeader w;
        prepare(w);
        const auto checks = [&] { return w.treeWatch()->findChildren<QProcess*>(); };
        QTRY_COMPARE_WITH_TIMEOUT(checks().size(), 1, 20000);
        QCOMPARE(w.TreeStatusLabel->text(), QStringLiteral("Checking what Finish would do ..."));
        w.button(QWizard::FinishButton)->click();
        QVERIFY(checks().isEmpty());
        RUN_TO_END(w);

        w.button(QWizard::BackButton)->click();
        QTRY_COMPARE_WITH_TIMEOUT(checks().size(), 1, 20000);  // asked again: the tree may have changed
        QProcess* older = checks().first();
        qputenv("VELK_FAKE_CHECK", "Check: status=0 write=0 remove=0 add=0 record=0 refuse=none");
        QTest::keyClick(w.ConfigLocEdit, Qt::Key_Slash);
        QTRY_COMPARE_WITH_TIMEOUT(w.TreeStatusLabel->text(), QStringLiteral("Up to date."), 20000);
        QVERIFY(!checks().contains(older) || older->state() == QProcess::NotRunning);
        qunsetenv("VELK_FAKE_CHECK");
    }

    void escapeAlsoCloses()
    {
        BoostForwardHeader w;
        w.show();
        QSignalSpy rejected(&w, &QDialog::rejected);
        QTest::keyClick(&w, Qt::Key_Escape);
        QCOMPARE(rejected.size(), 1);
        QVERIFY(!w.isVisible());
    }

    void secondRunStartsAfresh()
    {
        qputenv("VELK_FAKE_SKELD", "ok");
        BoostForwardHeader w;
        prepare(w);
        RUN_TO_END(w);
        QProcess* first = latestProcess(w);

        w.button(QWizard::BackButton)->click();
        QCOMPARE(w.currentPage(), w.Page0);
        w.button(QWizard::NextButton)->click();
        QVERIFY(pane(w).startsWith("Original Boost Location:\n"));
        QVERIFY(w.button(QWizard::FinishButton)->isEnabled());
        // Kept from the first run: Save Log and the "Close" caption.
        QVERIFY(w.SaveLogBtn->isEnabled());
        QCOMPARE(cancelText(w), QStringLiteral("Close"));

        qputenv("VELK_FAKE_SKELD", "fail");
        DialogWatcher watcher;
        RUN_TO_END(w);
        QTRY_COMPARE(watcher.count(), 1);
        QCOMPARE(w.findChildren<QProcess*>().size(), 2);
        QVERIFY(latestProcess(w) != first);
        QVERIFY(pane(w).startsWith(startLine + "Original location"));
        QCOMPARE(cancelText(w), QStringLiteral("Close"));
    }

    void saveLog_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("written");
        QTest::newRow("chosen") << "choose" << true;
        QTest::newRow("cancelled") << "cancel" << false;
        QTest::newRow("cannot be created") << "bad" << false;
    }
    void saveLog()
    {
        QFETCH(QString, answer);
        QFETCH(bool, written);
        qputenv("VELK_FAKE_SKELD", "ok");
        BoostForwardHeader w;
        prepare(w);
        RUN_TO_END(w);
        QVERIFY(w.SaveLogBtn->isEnabled());

        const QString logFile = tmp.filePath("run " + answer + ".log");
        const QString target = answer == "bad" ? tmp.filePath("no such dir/run.log") : logFile;
        DialogWatcher watcher(answer == "cancel" ? DialogWatcher::Answer(DialogWatcher::closeDialog)
                                                 : DialogWatcher::choose(target));
        w.SaveLogBtn->click();
        QCoreApplication::processEvents();
        QVERIFY(watcher.count() >= 1);
        const auto dialog = watcher.seen().first();
        QCOMPARE(dialog.objectName, QStringLiteral("save log dialog"));
        QCOMPARE(dialog.title, QStringLiteral("Save Log File as .."));
        QCOMPARE(dialog.filters, QStringList{QStringLiteral("Log Files (*.txt *.log)")});
        QCOMPARE(dialog.parent, &w);
        if (answer != "bad")  // the file dialog itself may warn about a missing folder
            QCOMPARE(watcher.count(), 1);

        QFile f(logFile);
        QCOMPARE(f.exists(), written);
        QVERIFY(!QFile::exists(tmp.filePath("no such dir")));
        if (written) {
            QVERIFY(f.open(QIODevice::ReadOnly));
            const QByteArray bytes = f.readAll();
            QCOMPARE(bytes, pane(w).toUtf8());
            QVERIFY(bytes.startsWith(startLine.toLatin1() + "Creating compiler header Files ...\n"));
            QVERIFY(bytes.endsWith(outDir.toUtf8() + "\n" + successLine.toLatin1()));
        }
    }
};

QTEST_MAIN(TestVelkRun)
#include "tst_velk_run.moc"

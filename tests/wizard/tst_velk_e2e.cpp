// The wizard against the real Skeld, over a small Boost tree.
#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QtTest>

#include "boostforwardheader.h"
#include "dialogwatcher.h"
#include "tree_watch.h"

namespace {

bool writeFile(const QString& path, const QByteArray& content)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(content) == content.size();
}

// Line ends as text: the command-line suites check the build's own.
QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll().replace("\r\n", "\n") : QByteArray();
}

// Presses the button of a message box that carries this text.
DialogWatcher::Answer press(const QString& text)
{
    return [text](QDialog* dialog) {
        if (auto* box = qobject_cast<QMessageBox*>(dialog))
            for (QAbstractButton* button : box->buttons())
                if (button->text() == text)
                    return button->click();
        dialog->reject();
    };
}

}  // namespace

class TestVelkEndToEnd : public QObject {
    Q_OBJECT

private slots:
    void generatesTheSubstituteTree()
    {
        // Started away from the data files, as from a shortcut without a
        // start folder; Skeld is the one beside it or on PATH.
        QVERIFY2(!QFile::exists("possible_defines.txt"), qPrintable(QDir::currentPath()));
        QVERIFY(QFileInfo(BoostForwardHeader::generatorProgram()).isAbsolute());
        QTemporaryDir tmp;
        QVERIFY(tmp.isValid());
        // Typed as the platform writes paths.
        const QString libs = QDir::toNativeSeparators(tmp.filePath("libs"));
        const QString boost = QDir::toNativeSeparators(tmp.filePath("libs/boost"));
        const QString out = QDir::toNativeSeparators(tmp.filePath("out"));
        // In velk's folder, typed relative to it; Skeld runs elsewhere.
        const QString personality = QStringLiteral("velk-e2e.p_c");
        struct Remove {
            ~Remove() { QFile::remove(QStringLiteral("velk-e2e.p_c")); }
        } removeLater;
        QVERIFY(writeFile(boost + "/version.hpp", "#define BOOST_VERSION 104000\n"));
        QVERIFY(writeFile(boost + "/detail/workaround.hpp", "#include <cstddef>\n"));
        QVERIFY(writeFile(boost + "/config/compiler/visualc.hpp", "// compiler\n"));
        QVERIFY(writeFile(boost + "/config/platform/win32.hpp", "// platform\n"));
        QVERIFY(QDir().mkpath(out));
        QVERIFY(writeFile(personality, "-si\"" + libs.toUtf8() + "\"\n-sd _MSC_VER=1310\n-sd _WIN32\n"));

        BoostForwardHeader w;
        w.show();
        QTest::keyClicks(w.OrigLibLocEdit, boost);
        QTest::keyClicks(w.ConfigLocEdit, out);
        QTest::keyClicks(w.CmpPersonEdit, personality);
        QVERIFY(w.button(QWizard::NextButton)->isEnabled());
        w.button(QWizard::NextButton)->click();

        DialogWatcher watcher;
        w.button(QWizard::FinishButton)->click();
        QProcess* p = w.findChild<QProcess*>();
        QVERIFY(p);
        QTRY_COMPARE_WITH_TIMEOUT(p->state(), QProcess::NotRunning, 60000);
        QCoreApplication::processEvents();

        const QString log = w.DetailsText->toPlainText();
        QCOMPARE(watcher.count(), 0);
        // The progress lines in order; the walk may add its own lines between
        // them (exclusion entries that name nothing in this small tree).
        const QStringList progress = {
            "Initialising Boost Configuration Generation ...\n", "\nCreating compiler header Files ...\n",
            "\nCreating boost substitute header files ...\n",
            "\nCreating compiler/platform substitute header files ...\n", "\nModifying Compiler Personality...\n"};
        qsizetype at = 0;
        for (const QString& line : progress) {
            at = log.indexOf(line, at);
            QVERIFY2(at >= 0, qPrintable(line + " missing in:\n" + log));
        }
        QVERIFY(log.startsWith(progress.first()));
        QVERIFY2(log.endsWith("Boost Configuration Generated Successfully!\n"), qPrintable(log));
        QVERIFY(!log.contains("\n\n"));
        QCOMPARE(w.button(QWizard::CancelButton)->text(), QStringLiteral("Close"));
        QVERIFY(w.SaveLogBtn->isEnabled());

        // _WIN32 names the target, not the compiler: the shipped data leaves it standing.
        QCOMPARE(readFile(out + "/RemoveAllCompilerFlags.h"), QByteArray("#undef _MSC_VER\n#define LONG_LONG long long\n"));
        QCOMPARE(readFile(out + "/AddAllCompilerFlags.h"), QByteArray("#define _MSC_VER 1310\n#undef LONG_LONG\n"));
        for (const char* header :
             {"version.hpp", "detail/workaround.hpp", "config/compiler/visualc.hpp", "config/platform/win32.hpp"})
            QVERIFY2(readFile(out + "/boost/" + header).contains("#include_next"), header);
        QVERIFY(QFile::exists(out + "/boost/config/compiler/orvo++.hpp"));
        QVERIFY(QFile::exists(out + "/boost/config/platform/orvo++.hpp"));
        const QByteArray edited = readFile(personality);
        QVERIFY2(edited.contains(out.toUtf8()), edited.constData());
        QVERIFY2(edited.contains("BOOST_COMPILER_CONFIG"), edited.constData());
    }

    // A tree made on the command line with paths relative to its project
    // folder: Remove takes it away although velk runs Skeld elsewhere.
    void removesATreeMadeWithRelativePaths()
    {
        QTemporaryDir tmp;
        QVERIFY(tmp.isValid());
        QVERIFY(writeFile(tmp.filePath("lib/boost/version.hpp"), "#define BOOST_VERSION 107400\n"));
        QVERIFY(writeFile(tmp.filePath("lib/boost/config/compiler/gcc.hpp"), "// compiler\n"));
        QVERIFY(writeFile(tmp.filePath("lib/boost/config/platform/linux.hpp"), "// platform\n"));
        QVERIFY(QDir().mkpath(tmp.filePath("out")));
        const QByteArray original = "-sd _MSC_VER=1310\n";
        QVERIFY(writeFile(tmp.filePath("p.p_c"), original));
        QProcess skeld;
        skeld.setWorkingDirectory(tmp.path());
        skeld.start(BoostForwardHeader::generatorProgram(),
                    {QStringLiteral("p.p_c"), QDir::toNativeSeparators(QStringLiteral("lib/boost")),
                     QStringLiteral("out")});
        QVERIFY(skeld.waitForFinished(60000));
        QCOMPARE(skeld.exitCode(), 0);
        QVERIFY(readFile(tmp.filePath("p.p_c")) != original);

        BoostForwardHeader w;
        w.show();
        w.OrigLibLocEdit->setText(QDir::toNativeSeparators(tmp.filePath("lib/boost")));
        w.ConfigLocEdit->setText(QDir::toNativeSeparators(tmp.filePath("out")));
        QTest::keyClick(w.ConfigLocEdit, Qt::Key_End);  // the fields are read as keys are let go
        QTRY_VERIFY2_WITH_TIMEOUT(w.RemoveTreeBtn->isVisible(), qPrintable(w.TreeStatusLabel->text()), 20000);
        DialogWatcher watcher;
        watcher.setAnswer(press(QStringLiteral("&Remove")));
        w.RemoveTreeBtn->click();
        QTRY_COMPARE(watcher.count(), 1);
        QProcess* p = w.findChildren<QProcess*>(Qt::FindDirectChildrenOnly).last();
        QTRY_COMPARE_WITH_TIMEOUT(p->state(), QProcess::NotRunning, 60000);
        QCoreApplication::processEvents();
        const QString log = w.DetailsText->toPlainText();
        QVERIFY2(log.endsWith("Tree Removed Successfully!\n"), qPrintable(log));
        QCOMPARE(readFile(tmp.filePath("p.p_c")), original);
        QVERIFY(!QFile::exists(tmp.filePath("out/skeld-record.txt")));
    }

    // A whole tree over the Boost this system has: the bar measures the run;
    // a run stopped part way is made whole by the next; Remove takes the
    // tree away after a confirmation, asked by keys alone.
    void progressStopAndRemoveOverARealBoost()
    {
        const QString boost = QDir::toNativeSeparators(QDir(QStringLiteral("/usr/include/boost")).absolutePath());
        if (!QFile::exists(boost + QStringLiteral("/version.hpp")))
            QFAIL("no Boost in /usr/include: scripts/install-deps.sh installs libboost-dev");
        QTemporaryDir tmp;
        const QString out = QDir::toNativeSeparators(tmp.filePath("out"));
        const QString personality = QDir::toNativeSeparators(tmp.filePath("p.p_c"));
        QVERIFY(QDir().mkpath(out));
        const QByteArray original =
            "-si \"" + QDir::toNativeSeparators(QDir(boost + "/..").absolutePath()).toUtf8() + "\"\n-sd _MSC_VER=1310\n";
        QVERIFY(writeFile(personality, original));

        BoostForwardHeader w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTest::keyClicks(w.OrigLibLocEdit, boost);
        QTest::keyClicks(w.ConfigLocEdit, out);
        QTest::keyClicks(w.CmpPersonEdit, personality);
        w.button(QWizard::NextButton)->click();
        QProgressBar* bar = w.RunProgressBar;
        QAbstractButton* finish = w.button(QWizard::FinishButton);
        DialogWatcher watcher;

        // Stopped once the headers are under way.
        finish->click();
        QTRY_VERIFY_WITH_TIMEOUT(bar->value() > 0, 60000);
        QVERIFY(bar->value() < bar->maximum());
        w.button(QWizard::CancelButton)->click();
        QTRY_VERIFY_WITH_TIMEOUT(w.DetailsText->toPlainText().contains("Stopped."), 20000);
        QVERIFY(w.isVisible());

        // Run again: the bar rises to its end as the run does.
        QList<int> shares;  // per mille, as the maximum grows with later steps
        connect(bar, &QProgressBar::valueChanged, this,
                [&](int value) { shares << int(qint64(value) * 1000 / qMax(1, bar->maximum())); });
        QVERIFY(finish->isEnabled());
        finish->click();
        QProcess* p = w.findChildren<QProcess*>(Qt::FindDirectChildrenOnly).last();
        QTRY_COMPARE_WITH_TIMEOUT(p->state(), QProcess::NotRunning, 120000);
        QCoreApplication::processEvents();
        QVERIFY2(w.DetailsText->toPlainText().endsWith("Boost Configuration Generated Successfully!\n"),
                 qPrintable(w.DetailsText->toPlainText()));
        QVERIFY(!w.DetailsText->toPlainText().contains("Progress:"));
        QCOMPARE(bar->value(), bar->maximum());
        QVERIFY(bar->maximum() > 10000);
        QVERIFY2(shares.size() > 50, qPrintable(QString::number(shares.size())));
        for (qsizetype i = 1; i < shares.size(); ++i)
            QVERIFY2(shares[i] >= shares[i - 1] - 50, qPrintable(QString::number(i)));  // a step may grow the end a little
        QCOMPARE(shares.last(), 1000);
        QCOMPARE(watcher.count(), 0);

        // Converged: Skeld finds nothing left to do.
        QProcess check;
        BoostForwardHeader::prepareSkeld(check, {QStringLiteral("--check")}, {personality, boost, out});
        check.start();
        QVERIFY(check.waitForFinished(120000));
        QCOMPARE(check.exitCode(), 0);

        // Remove, declined then confirmed, from the keyboard.
        w.button(QWizard::BackButton)->click();
        QTRY_VERIFY_WITH_TIMEOUT(w.RemoveTreeBtn->isVisible(), 20000);
        const qsizetype files = w.treeWatch()->treeFileCount();
        QVERIFY(files > 10000);
        watcher.setAnswer(DialogWatcher::closeDialog);
        QTest::keyClick(&w, Qt::Key_R, Qt::AltModifier);
        QTRY_COMPARE(watcher.count(), 1);
        QCOMPARE(watcher.seen().last().text,
                 QStringLiteral("Remove the tree Skeld made in %1?\n\nIts %2 files go, and its entries go from the "
                                "personality %3.")
                     .arg(out)
                     .arg(files)
                     .arg(personality));
        QCOMPARE(w.currentPage(), w.Page0);
        QVERIFY(QFile::exists(out + "/skeld-record.txt"));

        watcher.setAnswer(press(QStringLiteral("&Remove")));
        w.activateWindow();  // back from the box
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QTest::keyClick(&w, Qt::Key_R, Qt::AltModifier);
        QTRY_COMPARE(watcher.count(), 2);
        QCOMPARE(w.currentPage(), w.Page1);
        p = w.findChildren<QProcess*>(Qt::FindDirectChildrenOnly).last();
        QTRY_COMPARE_WITH_TIMEOUT(p->state(), QProcess::NotRunning, 120000);
        QCoreApplication::processEvents();
        const QString log = w.DetailsText->toPlainText();
        QVERIFY2(log.startsWith("Removing the tree Skeld made in " + out + " ...\n") &&
                     log.endsWith("Tree Removed Successfully!\n"),
                 qPrintable(log));
        QCOMPARE(w.button(QWizard::CancelButton)->text(), QStringLiteral("Close"));
        QVERIFY(w.SaveLogBtn->isEnabled());
        QVERIFY(!QFile::exists(out + "/skeld-record.txt"));
        QVERIFY(!readFile(personality).contains(out.toUtf8()));
        QCOMPARE(watcher.count(), 2);
    }
};

QTEST_MAIN(TestVelkEndToEnd)
#include "tst_velk_e2e.moc"

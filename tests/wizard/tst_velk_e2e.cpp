// The wizard against the real Skeld, over a small Boost tree.
#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QtTest>

#include "boostforwardheader.h"
#include "dialogwatcher.h"

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
};

QTEST_MAIN(TestVelkEndToEnd)
#include "tst_velk_e2e.moc"

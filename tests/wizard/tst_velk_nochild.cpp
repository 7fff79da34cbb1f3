// A wizard with no Skeld beside it nor on PATH.
#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QtTest>

#include "boostforwardheader.h"
#include "dialogwatcher.h"

class TestVelkNoChild : public QObject {
    Q_OBJECT

private slots:
    void missingSkeldIsReportedInThePane()
    {
        QTemporaryDir tmp;
        QVERIFY(tmp.isValid());
        const QString boostDir = tmp.filePath("boost");
        QVERIFY(QDir().mkpath(boostDir));
        QFile(tmp.filePath("p.p_c")).open(QIODevice::WriteOnly);
        QCOMPARE(BoostForwardHeader::generatorProgram(), QStringLiteral("Skeld"));

        BoostForwardHeader w;
        w.show();
        QTest::keyClicks(w.OrigLibLocEdit, boostDir);
        QTest::keyClicks(w.ConfigLocEdit, tmp.path());
        QTest::keyClicks(w.CmpPersonEdit, tmp.filePath("p.p_c"));
        w.button(QWizard::NextButton)->click();
        const QString cancelText = w.button(QWizard::CancelButton)->text();

        DialogWatcher watcher;
        w.button(QWizard::FinishButton)->click();
        const QString expected = QStringLiteral("Initialising Boost Configuration Generation ...\n"
                                                "Boost Configuration Generation could not be executed: Please contact "
                                                "support@korval.example.\n");
        QTRY_COMPARE(w.DetailsText->toPlainText(), expected);
        QProcess* p = w.findChild<QProcess*>();
        QVERIFY(p);
        QCOMPARE(p->error(), QProcess::FailedToStart);

        // Nothing else follows: no end-of-run handling, no message box.
        QCoreApplication::processEvents();
        QCOMPARE(w.DetailsText->toPlainText(), expected);
        QCOMPARE(watcher.count(), 0);
        QVERIFY(!w.SaveLogBtn->isEnabled());
        QVERIFY(!w.RunProgressBar->isVisible());
        QVERIFY(!w.button(QWizard::FinishButton)->isEnabled());
        QCOMPARE(w.button(QWizard::CancelButton)->text(), cancelText);
        // The start failed, so a new run may be set up.
        QVERIFY(w.button(QWizard::BackButton)->isEnabled());
        w.button(QWizard::BackButton)->click();
        w.button(QWizard::NextButton)->click();
        QVERIFY(w.button(QWizard::FinishButton)->isEnabled());
    }
};

QTEST_MAIN(TestVelkNoChild)
#include "tst_velk_nochild.moc"

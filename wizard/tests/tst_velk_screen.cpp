// The wizard at scale factor 2 on a 1024x768 screen: 512x384 logical pixels,
// less than one page of the form.
#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QtTest>

#include "boostforwardheader.h"

class TestVelkScreen : public QObject
{
    Q_OBJECT

private:
    // Every shown wizard button lies on screen, inside the window, clear of the page.
    static void checkButtons(BoostForwardHeader &w, const QRect &screen)
    {
        const QRect page(w.currentPage()->mapToGlobal(QPoint(0, 0)), w.currentPage()->size());
        int shown = 0;
        for (auto which : {QWizard::BackButton, QWizard::NextButton, QWizard::FinishButton,
                           QWizard::CancelButton}) {
            QAbstractButton *b = w.button(which);
            if (!b->isVisible())
                continue;
            ++shown;
            const QRect at(b->mapToGlobal(QPoint(0, 0)), b->size());
            QVERIFY2(screen.contains(at), qPrintable(b->text()));
            QVERIFY2(w.geometry().contains(at), qPrintable(b->text()));
            QVERIFY2(!page.intersects(at), qPrintable(b->text()));
        }
        QCOMPARE(shown, 3);
    }

    // The page scrolls, and scrolling brings its last widget into view.
    static void checkScrollsTo(QScrollArea *scroll, QWidget *last)
    {
        const bool scrolls = scroll->horizontalScrollBar()->maximum() > 0
                             || scroll->verticalScrollBar()->maximum() > 0;
        QVERIFY(scrolls);
        scroll->ensureWidgetVisible(last, 0, 0);
        const QRect inViewport(last->mapTo(scroll->viewport(), QPoint(0, 0)), last->size());
        QVERIFY(scroll->viewport()->rect().contains(inViewport));
    }

private slots:
    void fitsTheScreen()
    {
        BoostForwardHeader w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const QRect screen = w.screen()->availableGeometry();
        QCOMPARE(screen.size(), QSize(512, 384));
        QVERIFY2(screen.contains(w.frameGeometry()),
                 qPrintable(QString::asprintf("%d,%d %dx%d", w.frameGeometry().x(),
                                              w.frameGeometry().y(), w.frameGeometry().width(),
                                              w.frameGeometry().height())));
        checkButtons(w, screen);
        checkScrollsTo(w.Page0Scroll, w.CmpPersonBtn);

        QTemporaryDir tmp;
        QVERIFY(QDir().mkpath(tmp.filePath("boost")));
        QVERIFY(QFile(tmp.filePath("p.p_c")).open(QIODevice::WriteOnly));
        w.OrigLibLocEdit->setText(tmp.filePath("boost"));
        w.ConfigLocEdit->setText(tmp.path());
        w.CmpPersonEdit->setText(tmp.filePath("p.p_c"));
        QTest::keyClick(w.CmpPersonEdit, Qt::Key_End);
        w.button(QWizard::NextButton)->click();
        QCOMPARE(w.currentPage(), w.Page1);
        checkButtons(w, screen);
        checkScrollsTo(w.Page1Scroll, w.SaveLogBtn);
    }
};

int main(int argc, char *argv[])
{
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    BoostForwardHeader::setUpApplicationLook();
    TestVelkScreen test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_velk_screen.moc"

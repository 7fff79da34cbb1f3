// Scale factor 2 on a 1024x768 screen leaves 512x384 logical pixels, less
// than one page of the form: the window fits, the pages scroll.
#include <QAbstractButton>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QtTest>

#include "boostforwardheader.h"

class TestVelkScreen : public QObject {
    Q_OBJECT

private slots:
    void fitsTheScreen()
    {
        BoostForwardHeader w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const QRect screen = w.screen()->availableGeometry();
        QCOMPARE(screen.size(), QSize(512, 384));
        QVERIFY(screen.contains(w.frameGeometry()));
        const QRect page(w.Page0->mapToGlobal(QPoint(0, 0)), w.Page0->size());
        for (auto which : {QWizard::BackButton, QWizard::NextButton, QWizard::CancelButton}) {
            QAbstractButton* b = w.button(which);
            const QRect at(b->mapToGlobal(QPoint(0, 0)), b->size());
            QVERIFY2(b->isVisible() && screen.contains(at) && !page.intersects(at), qPrintable(b->text()));
        }
        // The last row comes into view by scrolling.
        w.Page0Scroll->ensureWidgetVisible(w.CmpPersonBtn, 0, 0);
        const QPoint at = w.CmpPersonBtn->mapTo(w.Page0Scroll->viewport(), QPoint(0, 0));
        QVERIFY(w.Page0Scroll->viewport()->rect().contains(QRect(at, w.CmpPersonBtn->size())));
    }
};

int main(int argc, char* argv[])
{
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    BoostForwardHeader::setUpApplicationLook();
    TestVelkScreen test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_velk_screen.moc"

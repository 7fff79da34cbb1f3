// Takes the documentation's screenshots of both pages from the screen, as the
// user sees them (window frame, the platform's fonts, page 2 after a real run,
// page 1 after it, with the line under the output field naming the tree):
//   velk_grab_pages <page0.png> <page1.png> <boost dir> <output dir> <personality> [<mid-run.png>]
// Run it on a real display (scripts/screenshots.sh uses Xvfb); it starts
// whichever Skeld velk would.
#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QLabel>
#include <QPixmap>
#include <QProcess>
#include <QProgressBar>
#include <QScreen>
#include <QTest>

#include "boostforwardheader.h"

namespace {

bool shoot(BoostForwardHeader& wizard, const QString& file)
{
    QTest::qWait(500);  // the window manager draws the frame in its own time
    const QRect frame = wizard.frameGeometry();
    const QPixmap shot = wizard.screen()->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height());
    return !shot.isNull() && shot.save(file);
}

}  // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    BoostForwardHeader::setUpApplicationLook();
    const QStringList args = app.arguments();
    if (args.size() != 6 && args.size() != 7)
        return 2;

    BoostForwardHeader wizard;
    wizard.show();
    // Qt's Windows platform under Wine reports no exposure: the window is
    // there all the same, and shoot() waits for the frame.
    (void)QTest::qWaitForWindowExposed(&wizard, 3000);
    wizard.OrigLibLocEdit->setText(args[3]);
    wizard.ConfigLocEdit->setText(args[4]);
    wizard.CmpPersonEdit->setText(args[5]);
    if (!wizard.button(QWizard::NextButton)->isEnabled())
        return 1;

    wizard.button(QWizard::NextButton)->click();
    wizard.button(QWizard::FinishButton)->click();
    auto* proc = wizard.findChild<QProcess*>(QString(), Qt::FindDirectChildrenOnly);
    if (!proc)
        return 1;
    if (args.size() == 7) {
        // Mid-run: the bar a quarter of the way or further.
        QProgressBar* bar = wizard.RunProgressBar;
        if (!QTest::qWaitFor([&] { return bar->value() * 4 >= bar->maximum() && bar->maximum() > 1; }, 120000))
            return 1;
        const QPixmap shot = wizard.screen()->grabWindow(0, wizard.frameGeometry().x(), wizard.frameGeometry().y(),
                                                         wizard.frameGeometry().width(),
                                                         wizard.frameGeometry().height());
        if (shot.isNull() || !shot.save(args[6]))
            return 1;
    }
    if (!QTest::qWaitFor([&] { return proc->state() == QProcess::NotRunning; }, 120000))
        return 1;
    QTest::qWait(100);
    if (!shoot(wizard, args[2]))
        return 1;

    // Page 1 again, where the line under the output field now names the
    // tree just made, once Skeld --check has answered.
    wizard.button(QWizard::BackButton)->click();
    const bool answered = QTest::qWaitFor(
        [&] {
            const QString line = wizard.TreeStatusLabel->text();
            return line.startsWith(QLatin1String("Holds a tree")) && !line.contains(QLatin1String("Checking"));
        },
        60000);
    return answered && shoot(wizard, args[1]) ? 0 : 1;
}

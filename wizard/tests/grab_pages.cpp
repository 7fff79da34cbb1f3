// Draws both wizard pages into PNG files for the documentation:
//   velk_grab_pages <page0.png> <page1.png> <boost dir> <output dir> <personality>
// Built beside the stand-in Skeld, so page 1 shows a finished run.
#include <QAbstractButton>
#include <QApplication>
#include <QFont>
#include <QLineEdit>
#include <QProcess>
#include <QStyleFactory>
#include <QTest>

#include "boostforwardheader.h"

int main(int argc, char *argv[])
{
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Windows")));
    // The dialog font on Windows has Arial's metrics; the form is laid out for it.
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPointSize(8);
    QApplication::setFont(font);
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 6)
        return 2;

    BoostForwardHeader wizard;
    wizard.show();
    wizard.OrigLibLocEdit->setText(args[3]);
    wizard.ConfigLocEdit->setText(args[4]);
    wizard.CmpPersonEdit->setText(args[5] + QStringLiteral(".missing"));
    QTest::keyClick(wizard.CmpPersonEdit, Qt::Key_End); // shows one path in red
    QTest::qWait(50);
    if (!wizard.grab().save(args[1]))
        return 1;

    wizard.CmpPersonEdit->setText(args[5]);
    QTest::keyClick(wizard.CmpPersonEdit, Qt::Key_End);
    wizard.button(QWizard::NextButton)->click();
    wizard.button(QWizard::FinishButton)->click();
    auto *proc = wizard.findChild<QProcess *>();
    if (!proc || !proc->waitForFinished(10000))
        return 1;
    QTest::qWait(100);
    return wizard.grab().save(args[2]) ? 0 : 1;
}

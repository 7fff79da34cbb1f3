#include <QApplication>
#include <QLocale>
#include <QTranslator>

#include "boostforwardheader.h"

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    // After the application object: the platform's UI font comes from it.
    BoostForwardHeader::setUpApplicationLook();

    // Missing translations are fine: the texts then show as written.
    const QString dir = QCoreApplication::applicationDirPath();
    const QString locale = QLocale::system().name();
    QTranslator qtTranslator;
    (void)qtTranslator.load(QStringLiteral("qt_") + locale, dir);
    QCoreApplication::installTranslator(&qtTranslator);
    QTranslator velkTranslator;
    (void)velkTranslator.load(QStringLiteral("velk_") + locale, dir);
    QCoreApplication::installTranslator(&velkTranslator);

    BoostForwardHeader wizard;
    wizard.show();
    return app.exec();
}

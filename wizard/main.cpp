#include <QApplication>
#include <QFont>
#include <QLocale>
#include <QStyleFactory>
#include <QTranslator>

#include "boostforwardheader.h"

int main(int argc, char *argv[])
{
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Windows")));
    QFont font;
    font.setPointSize(8);
    QApplication::setFont(font);

    QApplication app(argc, argv);

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

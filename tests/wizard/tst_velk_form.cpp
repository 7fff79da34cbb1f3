// The form as built, and the path input of the first page.
#include <QAbstractButton>
#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QDir>
#include <QFile>
#include <QGlyphRun>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextLayout>
#include <QTextBrowser>
#include <QtTest>

#include "boostforwardheader.h"
#include "dialogwatcher.h"
#include "skeld_path.h"
#include "tree_record.h"

namespace {

QColor textColour(QLineEdit* field)
{
    return field->palette().color(field->foregroundRole());
}

const QColor red(255, 0, 0);
const QColor black(0, 0, 0);

}  // namespace

class TestVelkForm : public QObject {
    Q_OBJECT

private:
    QTemporaryDir tmp;
    QString boostDir, outDir, personality;

    QAbstractButton* nextButton(BoostForwardHeader& w) { return w.button(QWizard::NextButton); }
    // A tree's record in out, trusted unless tail spoils it.
    static bool writeRecord(const QString& out, const QString& boost, const char* version, const std::string& tail = {})
    {
        tree_record record;
        record.boost_folder = toSkeldPath(boost);
        record.boost_version = version;
        QFile file(out + QStringLiteral("/skeld-record.txt"));
        return QDir().mkpath(out) && file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
               file.write(QByteArray::fromStdString(record_text(record) + tail)) > 0;
    }
    void typeAll(BoostForwardHeader& w, const QString& boost, const QString& out, const QString& person)
    {
        QTest::keyClicks(w.OrigLibLocEdit, boost);
        QTest::keyClicks(w.ConfigLocEdit, out);
        QTest::keyClicks(w.CmpPersonEdit, person);
    }

private slots:
    void initTestCase()
    {
        BoostForwardHeader::setUpApplicationLook();
        QVERIFY(tmp.isValid());
        boostDir = tmp.filePath(QStringLiteral("libs/boost"));
        outDir = tmp.filePath(QStringLiteral("out dir"));
        personality = tmp.filePath(QStringLiteral("co-msc.p_c"));
        QVERIFY(QDir().mkpath(boostDir));
        QVERIFY(QDir().mkpath(outDir));
        QFile f(personality);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("-sd _MSC_VER=1310\n");
    }

    void startsOnPage0WithNextDisabled()
    {
        BoostForwardHeader w;
        w.show();
        QCOMPARE(w.objectName(), QStringLiteral("BoostForwardHeaderBase"));
        QCOMPARE(w.windowTitle(), QStringLiteral("Headwright 1.7"));
        QCOMPARE(w.currentPage(), w.Page0);
        QVERIFY(!nextButton(w)->isEnabled());
        QVERIFY(!w.button(QWizard::HelpButton)->isVisible());
        QVERIFY(!w.SaveLogBtn->isEnabled());
        QVERIFY(w.Page0->title().isEmpty());
        QVERIFY(w.Page1->title().isEmpty());
        QCOMPARE(w.pageIds().size(), 2);
        QCOMPARE(w.page(w.pageIds().last())->objectName(), QStringLiteral("Page1"));
        QVERIFY(w.width() >= 543 && w.height() >= 455);
        // The first window shows the whole page and every wizard button, in
        // the one wizard style velk keeps on every platform.
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(w.wizardStyle(), QWizard::ModernStyle);
        QVERIFY(w.Page0Scroll->viewport()->rect().contains(QRect(QPoint(0, 0), w.Page0Content->size())));
        const QRect page(w.Page0->mapTo(&w, QPoint(0, 0)), w.Page0->size());
        for (auto which : {QWizard::BackButton, QWizard::NextButton, QWizard::CancelButton}) {
            QAbstractButton* b = w.button(which);
            const QRect at(b->mapTo(&w, QPoint(0, 0)), b->size());
            QVERIFY2(b->isVisible() && w.rect().contains(at) && !page.intersects(at), qPrintable(b->text()));
        }
        QCOMPARE(w.sizePolicy(), QSizePolicy(QSizePolicy::Minimum, QSizePolicy::Minimum));
        QVERIFY(!w.windowIcon().isNull());
        QCOMPARE(w.windowIcon().availableSizes().value(0), QSize(32, 32));
        // Before any check, the fields show the form's own look.
        for (QLineEdit* field : {w.OrigLibLocEdit, w.ConfigLocEdit, w.CmpPersonEdit}) {
            QVERIFY(field->text().isEmpty());
            QCOMPARE(textColour(field), black);
        }
    }

    // The form's own texts: captions, button labels and tool tips.
    void texts()
    {
        const std::pair<const char*, QString> texts[] = {
            {"textLabel1_3", "Welcome to the KORVAL :: Headwright"},
            {"textLabel2", "This wizard will take you through the steps required to create a confguration for ORVO++ "
                           "and Boost. To begin, simply select the location of your current boost library (ie "
                           "C:\\boost_1_40_0\\boost) and provide the output directory for where configuration should "
                           "be placed. Please also navigate to the current Compiler Personality being used when "
                           "analysing your project."},
            {"textLabel1_2_2", "Current Compiler Personality"},
            {"textLabel1", "Boost Library Location"},
            {"textLabel1_2", "Configuration Output Location"},
            {"CmpPersonBtn", "Browse"},
            {"OrigLibLocBtn", "Browse"},
            {"ConfigLocBtn", "Browse"},
            {"SaveLogBtn", "Save Log"},
            {"ConfigLocEdit", "Output location for boost configuration."},
            {"OrigLibLocEdit", "Location of Boost library (ie C:\\boost_1_33_1\\boost)"},
            {"CmpPersonEdit", "Path to current compiler personality."},
        };
        BoostForwardHeader w;
        for (const auto& [object, text] : texts) {
            QWidget* widget = w.findChild<QWidget*>(QLatin1String(object));
            QVERIFY2(widget, object);
            if (auto* label = qobject_cast<QLabel*>(widget))
                QCOMPARE(label->text(), text);
            else if (auto* button = qobject_cast<QAbstractButton*>(widget))
                QCOMPARE(button->text(), text);
            else
                QCOMPARE(widget->toolTip(), text);
        }
    }

    // What a screen reader says for each control, read through the same
    // interface the platform bridges (AT-SPI, UI Automation) read: every
    // control on both pages and every wizard button has a name, none shared
    // with another control of its kind (three bare "Browse" buttons), and
    // those velk names itself say what they do.
    void accessibleNames()
    {
        BoostForwardHeader w;
        w.show();
        const QHash<QString, QString> named = {
            {"OrigLibLocEdit", "Boost Library Location"},
            {"ConfigLocEdit", "Configuration Output Location"},
            {"CmpPersonEdit", "Current Compiler Personality"},
            {"OrigLibLocBtn", "Browse for the Boost library location"},
            {"ConfigLocBtn", "Browse for the configuration output location"},
            {"CmpPersonBtn", "Browse for the current compiler personality"},
            {"RemoveTreeBtn", "Remove the tree in the output folder"},
            {"TreeStatusLabel", "State of the output folder"},
            {"DetailsText", "Summary and log"},
            {"RunProgressBar", "Progress of the run"},
        };
        QList<QWidget*> controls = w.Page0Content->findChildren<QWidget*>() + w.Page1Content->findChildren<QWidget*>();
        for (int which = QWizard::BackButton; which <= QWizard::HelpButton; ++which)
            controls << w.button(QWizard::WizardButton(which));
        QSet<QPair<QAccessible::Role, QString>> seen;
        qsizetype checked = 0;
        for (QWidget* control : controls) {
            QAccessibleInterface* face = QAccessible::queryAccessibleInterface(control);
            QVERIFY2(face, qPrintable(control->objectName()));
            // Images, decorative lines, scroll bars and viewports are not controls.
            if (!QList{QAccessible::PushButton, QAccessible::EditableText, QAccessible::StaticText,
                       QAccessible::ProgressBar, QAccessible::CheckBox, QAccessible::ComboBox}
                     .contains(face->role()))
                continue;
            // A label with no text yet (the run's step before a run) has nothing to say.
            if (auto* label = qobject_cast<QLabel*>(control); label && label->text().isEmpty() &&
                                                              label->accessibleName().isEmpty())
                continue;
            const QString name = face->text(QAccessible::Name);
            QVERIFY2(!name.isEmpty(), qPrintable(control->objectName()));
            QVERIFY2(!seen.contains({face->role(), name}), qPrintable(name));
            seen.insert({face->role(), name});
            if (named.contains(control->objectName())) {
                QCOMPARE(name, named.value(control->objectName()));
                ++checked;
            }
        }
        QCOMPARE(checked, named.size());
        // The bar says how far the run is.
        w.RunProgressBar->setRange(0, 200);
        w.RunProgressBar->setValue(50);
        QAccessibleInterface* bar = QAccessible::queryAccessibleInterface(w.RunProgressBar);
        QCOMPARE(bar->valueInterface()->currentValue().toInt(), 50);
        QCOMPARE(bar->valueInterface()->maximumValue().toInt(), 200);
    }

    // "fi" and "fl" drawn as two letters each: Wine's Tahoma has ligatures
    // that leave the i out ("header fles"), in the log pane as in the labels.
    void noLigatures()
    {
        BoostForwardHeader w;
        for (QWidget* widget : {static_cast<QWidget*>(w.textLabel2), static_cast<QWidget*>(w.DetailsText)}) {
            QTextLayout layout(QStringLiteral("files fl"), widget->font());
            layout.beginLayout();
            layout.createLine();
            layout.endLayout();
            qsizetype glyphs = 0;
            for (const QGlyphRun& run : layout.glyphRuns())
                glyphs += run.glyphIndexes().size();
            QCOMPARE(glyphs, 8);
        }
    }

    void imagesAndColours()
    {
        BoostForwardHeader w;
        w.show();
        // Where the screen has room, the window shows the page whole.
        const QSize content = w.Page0Content->size();
        QVERIFY(content.width() >= 532 && content.height() >= 380);
        QCOMPARE(w.Page0Scroll->maximumViewportSize().expandedTo(content), w.Page0Scroll->maximumViewportSize());
        QCOMPARE(w.palette().color(QPalette::Inactive, QPalette::Highlight), QColor(212, 208, 200));
        QCOMPARE(w.palette().color(QPalette::Disabled, QPalette::Text), QColor(106, 104, 100));
        for (QPushButton* b : {w.CmpPersonBtn, w.OrigLibLocBtn, w.ConfigLocBtn, w.SaveLogBtn}) {
            QCOMPARE(b->palette().color(b->backgroundRole()), QColor(Qt::white));
            QCOMPARE(b->palette().color(QPalette::Button), QColor(Qt::white));
        }
        // Images: stretched to their labels.
        const struct {
            QLabel* label;
            QSize size;
        } images[] = {
            {w.pixmapLabel3, {532, 36}},         {w.pixmapLabel3_4_2_3, {532, 36}}, {w.pixmapLabel3_3, {532, 19}},
            {w.pixmapLabel3_3_3_2_3, {532, 19}}, {w.pixmapLabel5, {169, 54}},
        };
        for (const auto& img : images) {
            QVERIFY(img.label->hasScaledContents());
            QCOMPARE(img.label->pixmap().size(), img.size);
        }
        // The wizard's own buttons are white.
        for (auto which : {QWizard::NextButton, QWizard::BackButton, QWizard::CancelButton, QWizard::FinishButton}) {
            QCOMPARE(w.button(which)->palette().color(QPalette::Button), QColor(Qt::white));
            QCOMPARE(w.button(which)->palette().color(QPalette::Window), QColor(Qt::white));
        }
    }

    // Every text shows whole, whatever font the platform gives: widgets
    // grow where the form's sizes are too small, and none then overlap.
    void everyTextFitsItsWidget_data()
    {
        QTest::addColumn<QFont>("font");
        QTest::newRow("platform font, 8 pt") << QApplication::font();
        QTest::newRow("serif, 8 pt") << QFont(QStringLiteral("DejaVu Serif"), 8);
        QTest::newRow("wide, 10 pt") << QFont(QStringLiteral("DejaVu Sans Mono"), 10);
        QTest::newRow("large, 12 pt") << QFont(QStringLiteral("DejaVu Sans"), 12);
    }
    void everyTextFitsItsWidget()
    {
        QFETCH(QFont, font);
        const QFont shipped = QApplication::font();
        QApplication::setFont(font);
        BoostForwardHeader w;
        QApplication::setFont(shipped);
        w.show();

        // Labels and buttons hold their text; siblings (the decorative
        // lines aside) neither overlap nor leave their parent.
        QList<QWidget*> widgets = w.Page0Content->findChildren<QWidget*>(Qt::FindDirectChildrenOnly) +
                                  w.groupBox1->findChildren<QWidget*>(Qt::FindDirectChildrenOnly) +
                                  w.Page1Content->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
        auto isLine = [](QWidget* widget) {
            auto* frame = qobject_cast<QFrame*>(widget);
            return frame && frame->frameShape() == QFrame::VLine;
        };
        for (QWidget* widget : widgets) {
            const QString name = widget->objectName();
            const QFontMetrics fm = widget->fontMetrics();
            if (auto* label = qobject_cast<QLabel*>(widget); label && !label->text().isEmpty()) {
                QVERIFY2(label->wordWrap()
                             ? label->heightForWidth(label->width()) <= label->height()
                             : fm.horizontalAdvance(label->text()) <= label->width() && fm.height() <= label->height(),
                         qPrintable(name));
            }
            if (auto* button = qobject_cast<QPushButton*>(widget))
                QVERIFY2(fm.horizontalAdvance(button->text()) + 8 <= button->width(), qPrintable(name));
            if (isLine(widget))
                continue;
            QVERIFY2(widget->parentWidget()->rect().contains(widget->geometry()), qPrintable(name));
            for (QWidget* other : widgets) {
                QVERIFY2(other == widget || other->parentWidget() != widget->parentWidget() || isLine(other) ||
                             !other->geometry().intersects(widget->geometry()),
                         qPrintable(name + " / " + other->objectName()));
            }
        }
        QVERIFY(w.ConfigLocEdit->width() >= 150);
    }

    // Mend: the log pane wraps at its own width; no sideways scrolling.
    void logPaneWraps()
    {
        BoostForwardHeader w;
        w.show();
        typeAll(w, boostDir, outDir, personality);
        nextButton(w)->click();
        w.DetailsText->append(QStringLiteral("/very/long").repeated(40));
        QCoreApplication::processEvents();
        QVERIFY(!w.DetailsText->horizontalScrollBar()->isVisible());
        QVERIFY(w.DetailsText->document()->lastBlock().layout()->lineCount() > 1);
    }

    // The keyboard as a Windows user drives it: the first page opens in the
    // Boost field; Tab visits each page in reading order, then the wizard's
    // buttons that can act, and comes round again; Enter goes on when Next
    // can. (Only some of the page's widgets were in the form's chain.)
    void keyboard()
    {
        BoostForwardHeader w;
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QCOMPARE(QApplication::focusWidget(), w.OrigLibLocEdit);
        auto tabsThrough = [](const QList<QWidget*>& chain) {
            QList<QWidget*> seen;
            for (qsizetype i = 0; i < chain.size(); ++i) {
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
                seen << QApplication::focusWidget();
            }
            return seen == chain.mid(1) + chain.mid(0, 1);
        };
        QAbstractButton* back = w.button(QWizard::BackButton);
        QAbstractButton* cancel = w.button(QWizard::CancelButton);
        QVERIFY(tabsThrough({w.OrigLibLocEdit, w.OrigLibLocBtn, w.ConfigLocEdit, w.ConfigLocBtn, w.CmpPersonEdit,
                             w.CmpPersonBtn, cancel}));

        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);  // Next disabled: nothing
        QCOMPARE(w.currentPage(), w.Page0);
        typeAll(w, boostDir, outDir, personality);
        QVERIFY(tabsThrough({w.OrigLibLocEdit, w.OrigLibLocBtn, w.ConfigLocEdit, w.ConfigLocBtn, w.CmpPersonEdit,
                             w.CmpPersonBtn, nextButton(w), cancel}));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(w.currentPage(), w.Page1);

        QCOMPARE(QApplication::focusWidget(), w.DetailsText);
        w.SaveLogBtn->setEnabled(true);  // as after a run
        QVERIFY(tabsThrough({w.DetailsText, w.SaveLogBtn, back, w.button(QWizard::FinishButton), cancel}));
    }

    // Path check: each field is judged on its own; Next needs all three.
    void pathCheck_data()
    {
        QTest::addColumn<QString>("boost");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("person");
        QTest::addColumn<bool>("boostOk");
        QTest::addColumn<bool>("outOk");
        QTest::addColumn<bool>("personOk");
        const QString missing = tmp.filePath(QStringLiteral("nothing here"));
        QTest::newRow("all exist") << boostDir << outDir << personality << true << true << true;
        QTest::newRow("boost missing") << missing << outDir << personality << false << true << true;
        QTest::newRow("output missing") << boostDir << missing << personality << true << false << true;
        QTest::newRow("personality missing") << boostDir << outDir << missing << true << true << false;
        QTest::newRow("all missing") << missing << missing << missing << false << false << false;
        QTest::newRow("file as directory, directory as personality")
            << personality << personality << outDir << true << true << true;
        QTest::newRow("trailing separator passes") << boostDir + "/" << outDir << personality << true << true << true;
        // Where the file system tells case apart (not Windows').
        if (!QFileInfo::exists(tmp.filePath(QStringLiteral("LIBS"))))
            QTest::newRow("case matters") << tmp.filePath(QStringLiteral("libs/BOOST")) << outDir << personality
                                          << false << true << true;
        QTest::newRow("one empty") << boostDir << outDir << QString() << true << true << false;
    }
    void pathCheck()
    {
        QFETCH(QString, boost);
        QFETCH(QString, out);
        QFETCH(QString, person);
        QFETCH(bool, boostOk);
        QFETCH(bool, outOk);
        QFETCH(bool, personOk);
        BoostForwardHeader w;
        w.show();
        typeAll(w, boost, out, person);
        if (person.isEmpty())  // a key that types nothing still runs the check
            QTest::keyClick(w.CmpPersonEdit, Qt::Key_Shift);

        const struct {
            QLineEdit* field;
            bool ok;
            QString pass, fail;
        } expect[] = {
            {w.OrigLibLocEdit, boostOk, "Location of Boost library (ie C:\\boost_1_39_0\\boost)",
             "Directory does not exist. Please try again."},
            {w.ConfigLocEdit, outOk, "Output location for boost configuration.",
             "Directory does not exist. Please try again."},
            {w.CmpPersonEdit, personOk, "Path to current compiler personality.",
             "Compiler Personality does not exist. Please try again."},
        };
        for (const auto& e : expect) {
            QCOMPARE(textColour(e.field), e.ok ? black : red);
            QCOMPARE(e.field->toolTip(), e.ok ? e.pass : e.fail);
        }
        // Typed paths are kept as typed.
        QCOMPARE(w.OrigLibLocEdit->text(), boost);
        QCOMPARE(nextButton(w)->isEnabled(), boostOk && outOk && personOk);
    }

    void nextFollowsEveryKeyRelease()
    {
        BoostForwardHeader w;
        w.show();
        QTest::keyClicks(w.OrigLibLocEdit, boostDir);
        QTest::keyClicks(w.ConfigLocEdit, outDir);
        QTest::keyClicks(w.CmpPersonEdit, personality.chopped(1));
        QVERIFY(!nextButton(w)->isEnabled());
        QCOMPARE(textColour(w.CmpPersonEdit), red);
        QTest::keyClicks(w.CmpPersonEdit, personality.right(1));
        QVERIFY(nextButton(w)->isEnabled());
        QCOMPARE(textColour(w.CmpPersonEdit), black);

        // Breaking any field disables Next again, the others stay black.
        QTest::keyClick(w.ConfigLocEdit, Qt::Key_Backspace);
        QVERIFY(!nextButton(w)->isEnabled());
        QCOMPARE(textColour(w.ConfigLocEdit), red);
        QCOMPARE(textColour(w.OrigLibLocEdit), black);

        // A path that comes into existence is noticed at the next key release,
        // even of a key that changes nothing.
        const QString late = outDir.chopped(1);
        QVERIFY(QDir().mkpath(late));
        QVERIFY(!nextButton(w)->isEnabled());
        QTest::keyClick(w.ConfigLocEdit, Qt::Key_Left);
        QVERIFY(nextButton(w)->isEnabled());
        QVERIFY(QDir(late).removeRecursively());

        // Text set without a key (pasted or dropped by mouse) is checked at once.
        w.OrigLibLocEdit->setText(tmp.filePath(QStringLiteral("gone")));
        QVERIFY(!nextButton(w)->isEnabled());
    }

    // Voice control and dictation set a field's text through the
    // accessibility interface, never pressing a key: the check runs all the
    // same, and the tree line and Remove follow.
    void textSetThroughAccessibility_data()
    {
        QTest::addColumn<int>("how");
        QTest::newRow("replaceText (AT-SPI SetTextContents)") << 0;
        QTest::newRow("insertText") << 1;
        QTest::newRow("setText of the value") << 2;
    }
    void textSetThroughAccessibility()
    {
        QFETCH(int, how);
        const QString out = tmp.filePath(QStringLiteral("spoken"));
        QVERIFY(writeRecord(out, QDir::toNativeSeparators(boostDir), "1.74.0"));

        BoostForwardHeader w;
        w.show();
        for (auto [field, text] : {std::pair{w.OrigLibLocEdit, boostDir}, std::pair{w.ConfigLocEdit, out},
                                   std::pair{w.CmpPersonEdit, personality}}) {
            QVERIFY(!nextButton(w)->isEnabled());
            QAccessibleInterface* face = QAccessible::queryAccessibleInterface(field);
            if (how == 2) {
                face->setText(QAccessible::Value, text);
            } else {
                QAccessibleEditableTextInterface* edit = face->editableTextInterface();
                QVERIFY(edit);
                if (how == 0)
                    edit->replaceText(0, face->textInterface()->characterCount(), text);
                else
                    edit->insertText(0, text);
            }
            QCOMPARE(field->text(), text);
        }
        QVERIFY(nextButton(w)->isEnabled());
        QTRY_VERIFY(w.TreeStatusLabel->text().startsWith(QStringLiteral("Holds a tree for Boost 1.74.0")));
        QVERIFY(w.RemoveTreeBtn->isVisible());
        // What a screen reader is told of the line, beside the label's name.
        QCOMPARE(QAccessible::queryAccessibleInterface(w.TreeStatusLabel)->text(QAccessible::Description),
                 w.TreeStatusLabel->text());
    }

    // The line under the output field shows whole, however long the Boost
    // path it names: the page makes room, the window grows with it. Run at
    // scale 1 and, by ctest, at QT_SCALE_FACTOR 1.5.
    void treeLineShowsWhole_data()
    {
        QTest::addColumn<QString>("boost");
        const QString windows =
            QStringLiteral("C:\\Users\\someone\\Documents\\Projects\\Headwright\\third-party\\libraries\\boost_1_92_0\\boost");
        QTest::newRow("Windows path, no spaces") << windows + QString(100 - windows.size(), QLatin1Char('x'));
        const QString posix = QStringLiteral("/home/someone/projects/headwright/third-party/libraries/boost_1_92_0/");
        QTest::newRow("POSIX path, no spaces") << posix + QString(100 - posix.size(), QLatin1Char('y'));
        QTest::newRow("path with spaces")
            << QStringLiteral("C:\\Program Files\\Some Vendor\\Boost Libraries\\Version One Point Ninety Two\\boost_1_92_0\\include\\boost");
    }
    void treeLineShowsWhole()
    {
        QFETCH(QString, boost);
        QVERIFY(boost.size() >= 95);
        const QString out = tmp.filePath(QStringLiteral("line ") + QString::number(qHash(boost)));
        QVERIFY(writeRecord(out, boost, "1.92.0"));

        BoostForwardHeader w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        // The scale the run was asked for is the one the window has.
        QCOMPARE(w.devicePixelRatio(), qEnvironmentVariable("QT_SCALE_FACTOR", QStringLiteral("1")).toDouble());
        w.ConfigLocEdit->setText(out);
        QLabel* line = w.TreeStatusLabel;
        QTRY_VERIFY(line->text().contains(boost));

        QVERIFY(line->height() >= 2 * line->fontMetrics().lineSpacing());
        QVERIFY(line->heightForWidth(line->width()) <= line->height());
        // Laid out at its width (wrapped, a path broken where it must be), the text fits.
        QVERIFY(line->fontMetrics().boundingRect(QRect(0, 0, line->width(), 1000), Qt::TextWordWrap, line->text())
                    .height() <= line->height());
        // Nothing on the page covers it, and the page is shown whole.
        for (QWidget* other : w.Page0Content->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            auto* frame = qobject_cast<QFrame*>(other);
            if (other != line && !(frame && frame->frameShape() == QFrame::VLine))
                QVERIFY2(!other->geometry().intersects(line->geometry()), qPrintable(other->objectName()));
        }
        QTRY_VERIFY(w.Page0Scroll->viewport()->rect().contains(QRect(QPoint(0, 0), w.Page0Content->size())));
    }

    // Under the output field, before all three paths exist: which Boost a
    // tree there was made for, read again only when a path changes.
    void treeStatusLine()
    {
        // Under a name no 8-bit code page holds whole: velk hands the shared code UTF-8 on Windows.
        const QString out = tmp.filePath(QStringLiteral("tree ä Проект 数据"));
        QVERIFY(QDir().mkpath(out));
        QFile version(boostDir + QStringLiteral("/version.hpp"));
        QVERIFY(version.open(QIODevice::WriteOnly));
        version.write("#define BOOST_VERSION 107400\n");
        version.close();
        const QString boost = QDir::toNativeSeparators(boostDir);
        const QString made = QStringLiteral("Holds a tree for Boost 1.74.0 (%1)").arg(boost);
        BoostForwardHeader w;
        w.show();
        QTest::keyClicks(w.OrigLibLocEdit, boost);
        w.ConfigLocEdit->setText(QDir::toNativeSeparators(out));
        QTest::keyClick(w.ConfigLocEdit, Qt::Key_End);
        QCOMPARE(w.TreeStatusLabel->text(), QString());

        QVERIFY(writeRecord(out, boost, "1.74.0"));
        w.ConfigLocEdit->clear();  // a path that changes is read again
        QTest::keyClick(w.ConfigLocEdit, Qt::Key_End);
        w.ConfigLocEdit->setText(QDir::toNativeSeparators(out));  // keyClicks types ASCII only
        QTest::keyClick(w.ConfigLocEdit, Qt::Key_End);
        QTRY_COMPARE(w.TreeStatusLabel->text(), made + QStringLiteral(": Finish brings it up to date."));
        QVERIFY(w.RemoveTreeBtn->isVisible());
        QCOMPARE(w.ConfigLocBtn->nextInFocusChain(), w.RemoveTreeBtn);  // Tab reaches it after the output row
        w.OrigLibLocEdit->clear();
        QTest::keyClicks(w.OrigLibLocEdit, boost + QStringLiteral("x"));
        QTRY_COMPARE(w.TreeStatusLabel->text(),
                     made + QStringLiteral(", not the Boost above: Finish remakes it for that one."));

        QVERIFY(writeRecord(out, boost, "1.74.0", "File: 0 x\n"));
        QTest::keyClick(w.OrigLibLocEdit, Qt::Key_Left);  // no path changed: not read again
        QTest::qWait(100);
        QVERIFY(w.TreeStatusLabel->text().startsWith(made));
        QTest::keyClick(w.OrigLibLocEdit, Qt::Key_End);
        QTest::keyClick(w.OrigLibLocEdit, Qt::Key_Backspace);
        QTRY_COMPARE(w.TreeStatusLabel->text(),
                     QStringLiteral("Holds a tree whose record cannot be trusted: Finish writes it anew."));
        QVERIFY(!w.RemoveTreeBtn->isVisible());
        QVERIFY(QFile::remove(boostDir + QStringLiteral("/version.hpp")));
    }

    void nextWritesSummaryAndBackKeepsPage0()
    {
        BoostForwardHeader w;
        w.show();
        typeAll(w, boostDir, outDir, personality);
        QVERIFY(nextButton(w)->isEnabled());
        nextButton(w)->click();
        QCOMPARE(w.currentPage(), w.Page1);
        auto summary = [&](const QString& out) {
            return "Original Boost Location:\n" + boostDir + "\n\nConfiguration Output Location:\n" + out +
                   "\n\nCurrent Compiler Personality:\n" + personality + "\n\n";
        };
        QVERIFY(w.DetailsText->toPlainText().startsWith(summary(outDir)));
        QVERIFY(w.button(QWizard::FinishButton)->isEnabled());
        QVERIFY(w.button(QWizard::FinishButton)->isVisible());
        QVERIFY(w.button(QWizard::BackButton)->isEnabled());
        QVERIFY(!w.SaveLogBtn->isEnabled());

        w.button(QWizard::BackButton)->click();
        QCOMPARE(w.currentPage(), w.Page0);
        QVERIFY(nextButton(w)->isEnabled());
        QCOMPARE(w.CmpPersonEdit->toolTip(), QStringLiteral("Path to current compiler personality."));

        // The summary follows the fields; it is rebuilt, not appended.
        QTest::keyClicks(w.ConfigLocEdit, QStringLiteral("/"));
        QVERIFY(nextButton(w)->isEnabled());
        nextButton(w)->click();
        QVERIFY(w.DetailsText->toPlainText().startsWith(summary(outDir + "/")));
    }

    void markupInPathsIsShownAsTyped()
    {
        // Entities rather than tags: Windows allows no '<' in a name.
        const QString odd = tmp.filePath(QStringLiteral("&lt;b&gt; &amp;"));
        QVERIFY(QDir().mkpath(odd));
        BoostForwardHeader w;
        w.show();
        typeAll(w, odd, outDir, personality);
        nextButton(w)->click();
        QVERIFY(w.DetailsText->toPlainText().contains(odd + "\n\n"));
    }

    // Browse: which dialog opens, and what lands in the field.
    void browse()
    {
        BoostForwardHeader w;
        w.show();
        const struct {
            QPushButton* button;
            QLineEdit* edit;
            QString dialogName, caption, filter, pick;
        } cases[] = {
            {w.OrigLibLocBtn, w.OrigLibLocEdit, "get existing directory",
             "Select the Boost library directory (ie C:\\Boost_1_33_1\\boost)", QString(), boostDir},
            {w.ConfigLocBtn, w.ConfigLocEdit, "get existing directory", "Select the configuration output directory",
             QString(), outDir},
            {w.CmpPersonBtn, w.CmpPersonEdit, "open file dialog", "Select current compiler personality",
             "Compiler Personalities (*.p_c)", personality},
        };
        for (const auto& c : cases) {
            DialogWatcher watcher(DialogWatcher::choose(c.pick));
            c.button->click();
            QCOMPARE(watcher.count(), 1);
            const auto seen = watcher.seen().first();
            QCOMPARE(seen.objectName, c.dialogName);
            QCOMPARE(seen.title, c.caption);
            QCOMPARE(seen.parent, &w);
            if (!c.filter.isEmpty())
                QCOMPARE(seen.filters, QStringList{c.filter});
            QCOMPARE(c.edit->text(), QDir::toNativeSeparators(c.pick));
            QCOMPARE(textColour(c.edit), black);

            // A cancelled dialog empties the field, which the check then flags.
            watcher.setAnswer(DialogWatcher::closeDialog);
            c.button->click();
            QCOMPARE(watcher.count(), 2);
            QVERIFY(c.edit->text().isEmpty());
            QVERIFY(c.edit->toolTip().endsWith(QLatin1String("does not exist. Please try again.")));
            QVERIFY(!nextButton(w)->isEnabled());
        }
    }

    void browsingAllThreeEnablesNext()
    {
        BoostForwardHeader w;
        w.show();
        DialogWatcher watcher;
        for (auto [btn, path] : {std::pair{w.OrigLibLocBtn, boostDir}, std::pair{w.ConfigLocBtn, outDir},
                                 std::pair{w.CmpPersonBtn, personality}}) {
            QVERIFY(!nextButton(w)->isEnabled());
            watcher.setAnswer(DialogWatcher::choose(path));
            btn->click();
        }
        QVERIFY(nextButton(w)->isEnabled());
    }
};

QTEST_MAIN(TestVelkForm)
#include "tst_velk_form.moc"

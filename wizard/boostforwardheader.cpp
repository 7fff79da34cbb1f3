#include "boostforwardheader.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPalette>
#include <QStandardPaths>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextStream>

#include "data_folder.h"
#include "tree_record.h"

namespace {

const char startLine[] = "Initialising Boost Configuration Generation ...\n";
const char notExecutedLine[] =
    "Boost Configuration Generation could not be executed: Please contact support@korval.example.";
const char successLine[] = "Boost Configuration Generated Successfully!";
const char abnormalEndLine[] = "Skeld ended abnormally (crashed or was killed).";
const char failureTitle[] = "Boost Configuration Wizard";
const char failureText[] = "Boost Configuration Generation Failed!\nPlease check the details on screen and try again.";

}  // namespace

BoostForwardHeader::BoostForwardHeader(QWidget* parent, const char* name, bool modal, Qt::WindowFlags fl)
    : BoostForwardHeaderBase(parent, name, modal, fl)
{
    dirNotFoundText = QCoreApplication::translate("QObject", "Directory does not exist. Please try again.");
    personalityNotFoundText =
        QCoreApplication::translate("QObject", "Compiler Personality does not exist. Please try again.");
    boostLocTip = QCoreApplication::translate("QObject", "Location of Boost library (ie C:\\boost_1_39_0\\boost)");
    configLocTip = QCoreApplication::translate("QObject", "Output location for boost configuration.");
    personalityTip = QCoreApplication::translate("QObject", "Path to current compiler personality.");

    Page0->setComplete(false);
    setOption(QWizard::HaveHelpButton, false);

    connect(OrigLibLocBtn, &QPushButton::clicked, this, &BoostForwardHeader::OrigLibLocBtn_clicked);
    connect(ConfigLocBtn, &QPushButton::clicked, this, &BoostForwardHeader::ConfigLocBtn_clicked);
    connect(CmpPersonBtn, &QPushButton::clicked, this, &BoostForwardHeader::CmpPersonBtn_clicked);
    connect(SaveLogBtn, &QPushButton::clicked, this, &BoostForwardHeader::SaveLogBtn_clicked);

    // A new page or a changed Finish state makes QWizard re-enable Back.
    connect(this, &QWizard::currentIdChanged, this, &BoostForwardHeader::updateBackButton);
    connect(Page1, &QWizardPage::completeChanged, this, &BoostForwardHeader::updateBackButton);

    OrigLibLocEdit->installEventFilter(this);
    ConfigLocEdit->installEventFilter(this);
    CmpPersonEdit->installEventFilter(this);

    proc = nullptr;
    SetPalettesAndLoadImages();
}

BoostForwardHeader::~BoostForwardHeader()
{
    // Children outlive this destructor: keep their signals off a half-destroyed wizard.
    const auto processes = findChildren<QProcess*>(Qt::FindDirectChildrenOnly);
    for (QProcess* process : processes) {
        process->disconnect(this);
        if (process->state() != QProcess::NotRunning) {
            process->kill();
            process->waitForFinished();
        }
    }
}

QString BoostForwardHeader::generatorProgram()
{
    // findExecutable adds the platform's program suffix (.exe) itself.
    const QString name = QStringLiteral("Skeld");
    QString found = QStandardPaths::findExecutable(name, {QCoreApplication::applicationDirPath()});
    if (found.isEmpty())
        found = QStandardPaths::findExecutable(name);
    // A bare name that cannot be found still lets QProcess report FailedToStart.
    return found.isEmpty() ? name : found;
}

QString BoostForwardHeader::generatorWorkingDirectory(const QString& program, const QString& ownDir)
{
    // Skeld's own rule, asked with the folder Skeld itself sees: the one that
    // holds the program file, links resolved.
    const QString resolved = QFileInfo(program).isAbsolute() ? QFileInfo(program).canonicalFilePath() : QString();
    const QString programDir = resolved.isEmpty() ? QString() : QFileInfo(resolved).absolutePath();
    const auto local = [](const QString& path) { return QDir::toNativeSeparators(path).toLocal8Bit().toStdString(); };
    const data_folder_choice choice =
        choose_data_folder(local(ownDir), programDir.isEmpty() ? std::string() : local(programDir));
    // None: Skeld's own error then names every place it looked in.
    if (choice.folder.empty() || choice.in_working_folder())
        return ownDir;
    return QDir::fromNativeSeparators(QString::fromLocal8Bit(choice.folder));
}

QString BoostForwardHeader::toBackslashes(const QString& path)
{
    if (path.isEmpty())
        return QString(QLatin1String(""));
    return QDir::toNativeSeparators(path);
}

bool BoostForwardHeader::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyRelease &&
        (watched == OrigLibLocEdit || watched == ConfigLocEdit || watched == CmpPersonEdit)) {
        Page0LineEdit_textchanged(QString());
        return false;
    }
    return BoostForwardHeaderBase::eventFilter(watched, event);
}

QString BoostForwardHeader::chooseDirectory(const QString& caption)
{
    QFileDialog dialog(this, caption, QDir::rootPath());
    dialog.setObjectName(QStringLiteral("get existing directory"));
    dialog.setModal(true);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    return dialog.selectedFiles().value(0);
}

void BoostForwardHeader::OrigLibLocBtn_clicked()
{
    const QString dir =
        chooseDirectory(QStringLiteral("Select the Boost library directory (ie C:\\Boost_1_33_1\\boost)"));
    // A cancelled dialog empties the field on purpose; the check then flags it.
    OrigLibLocEdit->setText(toBackslashes(dir));
    Page0LineEdit_textchanged(OrigLibLocEdit->text());
}

void BoostForwardHeader::ConfigLocBtn_clicked()
{
    const QString dir = chooseDirectory(QStringLiteral("Select the configuration output directory"));
    ConfigLocEdit->setText(toBackslashes(dir));
    Page0LineEdit_textchanged(ConfigLocEdit->text());
}

void BoostForwardHeader::CmpPersonBtn_clicked()
{
    QFileDialog dialog(this, QStringLiteral("Select current compiler personality"), QDir::rootPath(),
                       QStringLiteral("Compiler Personalities (*.p_c)"));
    dialog.setObjectName(QStringLiteral("open file dialog"));
    dialog.setModal(true);
    dialog.setFileMode(QFileDialog::ExistingFile);
    const QString file = dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
    CmpPersonEdit->setText(toBackslashes(file));
    Page0LineEdit_textchanged(CmpPersonEdit->text());
}

bool BoostForwardHeader::markPath(QLineEdit* field, const QString& passTip, const QString& failTip)
{
    // Existence only: the dialogs decide what kind of entry is offered.
    const bool exists = QFileInfo::exists(field->text());
    QPalette pal = field->palette();
    pal.setColor(field->foregroundRole(), exists ? QColor(0, 0, 0) : QColor(255, 0, 0));
    field->setPalette(pal);
    field->setToolTip(exists ? passTip : failTip);
    return exists;
}

void BoostForwardHeader::Page0LineEdit_textchanged(const QString&)
{
    // Every field is marked, even after one has failed.
    bool ok = markPath(OrigLibLocEdit, boostLocTip, dirNotFoundText);
    ok = markPath(ConfigLocEdit, configLocTip, dirNotFoundText) && ok;
    ok = markPath(CmpPersonEdit, personalityTip, personalityNotFoundText) && ok;
    Page0->setComplete(ok);
    showTreeStatus();
}

void BoostForwardHeader::showTreeStatus()
{
    // Read again only when a path changed: a tree's record lists every file.
    const QString key = ConfigLocEdit->text() + QChar(0) + OrigLibLocEdit->text();
    if (key == treeStatusKey)
        return;
    treeStatusKey = key;
    const auto local = [](const QString& path) { return path.toLocal8Bit().toStdString(); };
    const std::string output = local(ConfigLocEdit->text());
    const std::string boost = local(OrigLibLocEdit->text());
    const std::string line =
        output.empty() ? std::string() : tree_status_line(read_record(output), boost, version_of_boost(boost));
    TreeStatusLabel->setText(QString::fromLocal8Bit(line));
    TreeStatusLabel->setToolTip(TreeStatusLabel->text());  // a long Boost path may not fit
}

void BoostForwardHeader::initializePage(int id)
{
    // QWizard calls this on every Next, so the summary follows the fields.
    if (page(id) == Page1) {
        DetailsText->setPlainText(QStringLiteral("Original Boost Location:\n") + OrigLibLocEdit->text() +
                                  QStringLiteral("\n\nConfiguration Output Location:\n") + ConfigLocEdit->text() +
                                  QStringLiteral("\n\nCurrent Compiler Personality:\n") + CmpPersonEdit->text() +
                                  QStringLiteral("\n\n"));
        Page1->setComplete(true);
    }
    BoostForwardHeaderBase::initializePage(id);
}

void BoostForwardHeader::accept()
{
    proc = new QProcess(this);
    const QString program = generatorProgram();
    const QString ownDir = QDir::currentPath();
    const QString workDir = generatorWorkingDirectory(program, ownDir);
    QStringList arguments = {CmpPersonEdit->text(), OrigLibLocEdit->text(), ConfigLocEdit->text()};
    if (workDir != ownDir) {
        // The fields were checked from velk's folder; keep them meaning the same.
        for (QString& argument : arguments) {
            if (QDir::isRelativePath(argument))
                argument = QDir::toNativeSeparators(QDir(ownDir).absoluteFilePath(argument));
        }
    }
    proc->setProgram(program);
    proc->setArguments(arguments);
    proc->setWorkingDirectory(workDir);
    // Skeld reports on stdout only.
    proc->setStandardErrorFile(QProcess::nullDevice());

    DetailsText->clear();
    DetailsText->setPlainText(QString::fromLatin1(startLine));

    connect(proc, &QProcess::readyReadStandardOutput, this, &BoostForwardHeader::readFromStdout);
    connect(proc, &QProcess::finished, this, &BoostForwardHeader::processExit);
    connect(proc, &QProcess::errorOccurred, this, &BoostForwardHeader::processError);

    proc->start();
    Page1->setComplete(false);
    setRunning(proc->state() != QProcess::NotRunning);
}

void BoostForwardHeader::processError(QProcess::ProcessError error)
{
    // Only a failed start is final; a crash still ends with finished().
    if (error != QProcess::FailedToStart)
        return;
    appendLine(QString::fromLatin1(notExecutedLine));
    setRunning(false);
}

void BoostForwardHeader::readFromStdout()
{
    // Whole lines only: the rest of a split line waits in the process buffer.
    while (proc->canReadLine())
        appendOutputLine(proc->readLine());
}

void BoostForwardHeader::processExit()
{
    readFromStdout();
    // Skeld's last message may lack a line break.
    const QByteArray rest = proc->readAllStandardOutput();
    if (!rest.isEmpty())
        appendOutputLine(rest);
    setRunning(false);

    SaveLogBtn->setEnabled(true);
    if (proc->exitStatus() != QProcess::NormalExit)
        appendLine(QString::fromLatin1(abnormalEndLine));
    if (proc->exitStatus() != QProcess::NormalExit || proc->exitCode() != 0) {
        QMessageBox::about(nullptr, QString::fromLatin1(failureTitle), QString::fromLatin1(failureText));
        return;
    }
    appendLine(QString::fromLatin1(successLine));
    setButtonText(QWizard::CancelButton, QStringLiteral("Close"));
}

void BoostForwardHeader::reject()
{
    if (proc) {
        // Closing is not a result: nothing more is reported for this child.
        proc->disconnect(this);
        proc->kill();
    }
    setRunning(false);
    BoostForwardHeaderBase::reject();
}

void BoostForwardHeader::SaveLogBtn_clicked()
{
    QFileDialog dialog(this, QStringLiteral("Save Log File as .."), QDir::rootPath(),
                       QStringLiteral("Log Files (*.txt *.log)"));
    dialog.setObjectName(QStringLiteral("save log dialog"));
    dialog.setModal(true);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    const QString name = dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();

    if (name.isEmpty())
        return;
    QFile file(name);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return;
    QTextStream out(&file);
    out.setEncoding(QStringConverter::System);
    out << DetailsText->toPlainText();
}

void BoostForwardHeader::SetPalettesAndLoadImages()
{
    for (QWizard::WizardButton which :
         {QWizard::NextButton, QWizard::BackButton, QWizard::CancelButton, QWizard::FinishButton}) {
        QAbstractButton* navButton = button(which);
        QPalette pal(QColor(Qt::white), QColor(Qt::white));
        pal.setColor(navButton->backgroundRole(), Qt::white);
        navButton->setPalette(pal);
    }
}

void BoostForwardHeader::appendOutputLine(QByteArray line)
{
    if (line.endsWith('\n'))
        line.chop(1);
    if (line.endsWith('\r'))
        line.chop(1);
    const qsizetype nul = line.indexOf('\0');
    if (nul >= 0)
        line.truncate(nul);
    // Skeld prints in the local 8-bit encoding.
    appendLine(QString::fromLocal8Bit(line));
}

void BoostForwardHeader::appendLine(const QString& line)
{
    // Plain text: Skeld's lines may hold '<' and '&'. Each line ends with a
    // line break, so the pane and the saved log hold one line per message.
    QTextCursor cursor(DetailsText->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(line + QLatin1Char('\n'));
    DetailsText->moveCursor(QTextCursor::End);
    DetailsText->ensureCursorVisible();
}

void BoostForwardHeader::setRunning(bool running)
{
    // A fixed place beside Save Log: showing it moves nothing else.
    RunBusyBar->setVisible(running);
    updateBackButton();
}

void BoostForwardHeader::updateBackButton()
{
    // No second run while one is going.
    const bool running = proc && proc->state() != QProcess::NotRunning;
    button(QWizard::BackButton)->setEnabled(!running && currentPage() != Page0);
}

#include "boostforwardheader.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPalette>
#include <QProgressBar>
#include <QPushButton>
#include <QStandardPaths>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextStream>
#include <climits>

#include "data_folder.h"
#include "skeld_lines.h"
#include "skeld_path.h"
#include "tree_watch.h"

namespace {

const char startLine[] = "Initialising Boost Configuration Generation ...\n";
const char notExecutedLine[] =
    "Boost Configuration Generation could not be executed: Please contact support@korval.example.";
const char successLine[] = "Boost Configuration Generated Successfully!";
const char abnormalEndLine[] = "Skeld ended abnormally (crashed or was killed).";
const char failureTitle[] = "Boost Configuration Wizard";
const char failureText[] = "Boost Configuration Generation Failed!\nPlease check the details on screen and try again.";
const char stoppedLine[] =
    "Stopped. The files Skeld wrote so far stay; the next run (Finish) brings the tree up to date.";
const char removalStoppedLine[] =
    "Stopped. Part of the tree may be left; Remove Tree... on the first page takes the rest.";
const char removeTitle[] = "Remove Tree";
const char removeFailureText[] = "Removing the tree failed!\nPlease check the details on screen and try again.";
const char removedLine[] = "Tree Removed Successfully!";

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

    // A key release checks the paths again even when the text stays (a
    // path may have come into existence meanwhile); any change of text does
    // too, however it came: a paste or drop by mouse, or a voice-control or
    // dictation tool setting it through the accessibility interface.
    for (QLineEdit* field : {OrigLibLocEdit, ConfigLocEdit, CmpPersonEdit}) {
        field->installEventFilter(this);
        connect(field, &QLineEdit::textChanged, this, &BoostForwardHeader::Page0LineEdit_textchanged);
    }

    // What a screen reader says: a field by its caption, a Browse button by
    // what it browses for.
    const struct {
        QLabel* caption;
        QLineEdit* field;
        QPushButton* browse;
        const char* browses;
    } rows[] = {
        {textLabel1, OrigLibLocEdit, OrigLibLocBtn, "Browse for the Boost library location"},
        {textLabel1_2, ConfigLocEdit, ConfigLocBtn, "Browse for the configuration output location"},
        {textLabel1_2_2, CmpPersonEdit, CmpPersonBtn, "Browse for the current compiler personality"},
    };
    for (const auto& row : rows) {
        row.field->setAccessibleName(row.caption->text());
        row.browse->setAccessibleName(QString::fromLatin1(row.browses));
    }
    TreeStatusLabel->setAccessibleName(QStringLiteral("State of the output folder"));
    RemoveTreeBtn->setAccessibleName(QStringLiteral("Remove the tree in the output folder"));
    DetailsText->setAccessibleName(QStringLiteral("Summary and log"));
    RunProgressBar->setAccessibleName(QStringLiteral("Progress of the run"));

    proc = nullptr;
    watch = new TreeWatch(&BoostForwardHeader::prepareSkeld, this);
    connect(watch, &TreeWatch::changed, this, &BoostForwardHeader::showTreeStatus);
    connect(RemoveTreeBtn, &QPushButton::clicked, this, &BoostForwardHeader::RemoveTreeBtn_clicked);
    // Back on the first page after a run: the tree may have changed.
    connect(this, &QWizard::currentIdChanged, this, [this] {
        if (currentPage() == Page0)
            watch->refresh();
    });
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
    const auto native = [](const QString& path) { return toSkeldPath(QDir::toNativeSeparators(path)); };
    const data_folder_choice choice =
        choose_data_folder(native(ownDir), programDir.isEmpty() ? std::string() : native(programDir));
    // None: Skeld's own error then names every place it looked in.
    if (choice.folder.empty() || choice.in_working_folder())
        return ownDir;
    return QDir::fromNativeSeparators(fromSkeldPath(choice.folder));
}

void BoostForwardHeader::prepareSkeld(QProcess& process, const QStringList& options, const QStringList& paths)
{
    const QString program = generatorProgram();
    const QString ownDir = QDir::currentPath();
    const QString workDir = generatorWorkingDirectory(program, ownDir);
    QStringList arguments = options;
    for (const QString& path : paths) {
        // The fields were checked from velk's folder; keep them meaning the same.
        arguments << (workDir != ownDir && QDir::isRelativePath(path)
                          ? QDir::toNativeSeparators(QDir(ownDir).absoluteFilePath(path))
                          : path);
    }
    process.setProgram(program);
    process.setArguments(arguments);
    process.setWorkingDirectory(workDir);
    // Skeld reports on stdout only.
    process.setStandardErrorFile(QProcess::nullDevice());
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
    watch->setPaths(CmpPersonEdit->text(), OrigLibLocEdit->text(), ConfigLocEdit->text(), ok);
}

void BoostForwardHeader::showTreeStatus()
{
    if (const QString line = watch->line(); line != TreeStatusLabel->text()) {
        TreeStatusLabel->setText(line);
        // What a screen reader reads of the label beside its name.
        TreeStatusLabel->setAccessibleDescription(line);
        fitTreeLine();
        // Qt 6.4 has no announcement event: a changed description is how
        // assistive tools learn that the line changed.
        QAccessibleEvent event(TreeStatusLabel, QAccessible::DescriptionChanged);
        QAccessible::updateAccessibility(&event);
    }
    RemoveTreeBtn->setVisible(watch->holdsTree());
    // The summary says the same while it is what the pane shows.
    if (currentPage() == Page1 && Page1->isComplete() && DetailsText->toPlainText() == shownSummary)
        DetailsText->setPlainText(shownSummary = runSummary());
}

QString BoostForwardHeader::runSummary() const
{
    const QString tree = TreeStatusLabel->text();
    return QStringLiteral("Original Boost Location:\n") + OrigLibLocEdit->text() +
           QStringLiteral("\n\nConfiguration Output Location:\n") + ConfigLocEdit->text() +
           QStringLiteral("\n\nCurrent Compiler Personality:\n") + CmpPersonEdit->text() + QStringLiteral("\n\n") +
           (tree.isEmpty() ? QString() : QStringLiteral("Output Folder:\n") + tree + QStringLiteral("\n\n"));
}

void BoostForwardHeader::initializePage(int id)
{
    // QWizard calls this on every Next, so the summary follows the fields.
    if (page(id) == Page1) {
        DetailsText->setPlainText(shownSummary = runSummary());
        Page1->setComplete(true);
    }
    BoostForwardHeaderBase::initializePage(id);
}

void BoostForwardHeader::accept()
{
    job = Job::Generate;
    startSkeld({QStringLiteral("--progress")}, {CmpPersonEdit->text(), OrigLibLocEdit->text(), ConfigLocEdit->text()},
               QString::fromLatin1(startLine));
}

void BoostForwardHeader::RemoveTreeBtn_clicked()
{
    const QString output = ConfigLocEdit->text();
    const QString owner = watch->treePersonality();
    QString text = QStringLiteral("Remove the tree Skeld made in %1?\n\nIts %2 files go, and its entries go from the "
                                  "personality %3.")
                       .arg(output)
                       .arg(watch->treeFileCount())
                       .arg(owner);
    const QFileInfo field(CmpPersonEdit->text());
    const bool fieldIsOwner = field.exists() && field.canonicalFilePath() == QFileInfo(owner).canonicalFilePath();
    if (!CmpPersonEdit->text().isEmpty() && !fieldIsOwner)
        text += QStringLiteral("\n\nThat is the personality the tree's record names, not the one above.");
    QMessageBox box(QMessageBox::Question, QString::fromLatin1(removeTitle), text, QMessageBox::Cancel, this);
    QPushButton* remove = box.addButton(QStringLiteral("&Remove"), QMessageBox::DestructiveRole);
    box.setDefaultButton(QMessageBox::Cancel);
    box.exec();
    if (box.clickedButton() != remove)
        return;

    job = Job::Remove;
    next();  // the run page, where the log goes
    // The record's resolved file, or the field's spelling of that same file.
    startSkeld({QStringLiteral("--remove")}, {fieldIsOwner ? CmpPersonEdit->text() : owner, output},
               QStringLiteral("Removing the tree Skeld made in %1 ...\n").arg(output));
}

void BoostForwardHeader::startSkeld(const QStringList& options, const QStringList& paths, const QString& firstLine)
{
    // A check reads and locks the personality this child is about to take.
    watch->stop();
    stopped = false;
    proc = new QProcess(this);
    prepareSkeld(*proc, options, paths);

    DetailsText->clear();
    DetailsText->setPlainText(firstLine);
    // A removal says nothing of how far it is: the bar is busy.
    RunProgressBar->setRange(0, job == Job::Remove ? 0 : 1);
    RunProgressBar->setValue(0);
    RunStepLabel->setText(job == Job::Remove ? QStringLiteral("Removing") : QStringLiteral("Starting"));

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
    RunProgressBar->hide();
    RunStepLabel->hide();
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
    if (RunProgressBar->maximum() == 0)
        RunProgressBar->setRange(0, 1);  // a busy bar stops moving with the child

    SaveLogBtn->setEnabled(true);
    if (stopped) {
        // Stopped by the user: not a failure, and another run may start here.
        RunStepLabel->setText(QStringLiteral("Stopped"));
        appendLine(QString::fromLatin1(job == Job::Remove ? removalStoppedLine : stoppedLine));
        Page1->setComplete(job == Job::Generate);
        return;
    }
    if (proc->exitStatus() != QProcess::NormalExit)
        appendLine(QString::fromLatin1(abnormalEndLine));
    if (proc->exitStatus() != QProcess::NormalExit || proc->exitCode() != 0) {
        RunStepLabel->setText(QStringLiteral("Failed"));
        QMessageBox::about(nullptr, QString::fromLatin1(failureTitle),
                           QString::fromLatin1(job == Job::Remove ? removeFailureText : failureText));
        return;
    }
    RunProgressBar->setValue(RunProgressBar->maximum());
    RunStepLabel->setText(QStringLiteral("Done"));
    appendLine(QString::fromLatin1(job == Job::Remove ? removedLine : successLine));
    setButtonText(QWizard::CancelButton, QStringLiteral("Close"));
}

void BoostForwardHeader::reject()
{
    // During a run Cancel stops Skeld and keeps the wizard open, to say
    // what that leaves; a second Cancel closes it.
    if (proc && proc->state() != QProcess::NotRunning) {
        stopped = true;
        proc->kill();
        return;
    }
    if (proc)
        proc->disconnect(this);
    watch->stop();
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
    out.setEncoding(QStringConverter::Utf8);
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
    // Skeld prints UTF-8. How far it is goes to the bar, not the log.
    const QString text = QString::fromUtf8(line);
    if (const std::optional<ProgressLine> progress = parseProgressLine(text)) {
        RunProgressBar->setRange(0, int(qMin<qint64>(progress->total, INT_MAX)));
        RunProgressBar->setValue(int(qMin<qint64>(progress->done, INT_MAX)));
        RunStepLabel->setText(stepText(progress->step));
        RunProgressBar->setAccessibleDescription(
            QStringLiteral("%1: %2 of %3 files").arg(RunStepLabel->text()).arg(progress->done).arg(progress->total));
        return;
    }
    appendLine(text);
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
    // A fixed place beside Save Log: showing it moves nothing else. It
    // stays after the run, to show how far it got.
    if (running) {
        RunProgressBar->show();
        RunStepLabel->show();
    }
    updateBackButton();
}

void BoostForwardHeader::updateBackButton()
{
    // No second run while one is going.
    const bool running = proc && proc->state() != QProcess::NotRunning;
    button(QWizard::BackButton)->setEnabled(!running && currentPage() != Page0);
}

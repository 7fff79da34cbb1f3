#ifndef BOOSTFORWARDHEADER_H
#define BOOSTFORWARDHEADER_H

#include <QProcess>
#include <QString>

#include "boostforwardheaderbase.h"

class QLineEdit;
class TreeWatch;

// The wizard: checks the three paths, runs Skeld with them and keeps its log.
class BoostForwardHeader : public BoostForwardHeaderBase {
    Q_OBJECT

public:
    explicit BoostForwardHeader(QWidget* parent = nullptr, const char* name = nullptr, bool modal = false,
                                Qt::WindowFlags fl = {});
    ~BoostForwardHeader() override;

    bool eventFilter(QObject* watched, QEvent* event) override;

    // The program started for a run: Skeld beside velk, else on PATH.
    static QString generatorProgram();
    // Where Skeld runs, so that it finds its data files: the folder Skeld's
    // own rule (data_folder.h) picks with ownDir as the working folder, else
    // ownDir still.
    static QString generatorWorkingDirectory(const QString& program, const QString& ownDir);
    // Sets a process up to run that Skeld there with these options and
    // paths; relative paths keep naming what they name from velk's folder.
    static void prepareSkeld(QProcess& process, const QStringList& options, const QStringList& paths);

    // What the output holds and what Finish would do there.
    TreeWatch* treeWatch() const { return watch; }

public slots:
    void OrigLibLocBtn_clicked();
    void ConfigLocBtn_clicked();
    void CmpPersonBtn_clicked();
    void Page0LineEdit_textchanged(const QString&);
    void SaveLogBtn_clicked();
    void SetPalettesAndLoadImages();
    void readFromStdout();
    void processExit();
    void RemoveTreeBtn_clicked();

protected:
    void initializePage(int id) override;

protected slots:
    void accept() override;
    void reject() override;

private:
    static QString toBackslashes(const QString& path);
    QString chooseDirectory(const QString& caption);
    bool markPath(QLineEdit* field, const QString& passTip, const QString& failTip);
    void processError(QProcess::ProcessError error);
    void startSkeld(const QStringList& options, const QStringList& paths, const QString& firstLine);
    void appendOutputLine(QByteArray line);
    void appendLine(const QString& line);
    void updateBackButton();
    void setRunning(bool running);
    // The line under the output field, the Remove button and the summary.
    void showTreeStatus();
    QString runSummary() const;

    QProcess* proc;
    QString dirNotFoundText;
    QString personalityNotFoundText;
    QString boostLocTip;
    QString configLocTip;
    QString personalityTip;
    TreeWatch* watch;
    QString shownSummary;
    // What the latest child does: a run, or the removal of a tree.
    enum class Job { Generate, Remove } job = Job::Generate;
    // The user stopped the latest child.
    bool stopped = false;
};

#endif

#ifndef DIALOGWATCHER_H
#define DIALOGWATCHER_H

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QFileDialog>
#include <QList>
#include <QMessageBox>
#include <QPointer>
#include <functional>

// Answers the wizard's modal dialogs as they open and remembers what they showed.
// Modal dialogs run their own event loop, so the answer is queued into it.
class DialogWatcher : public QObject {
public:
    struct Seen {
        QString className;
        QString objectName;
        QString title;
        QString text;         // message box text
        QStringList filters;  // file dialog name filters
        QWidget* parent = nullptr;
    };

    using Answer = std::function<void(QDialog*)>;

    // A platform's native file dialog (Windows') is no QDialog it could answer.
    explicit DialogWatcher(Answer answer = closeDialog) : answer_(std::move(answer))
    {
        QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
        qApp->installEventFilter(this);
    }
    ~DialogWatcher() override { qApp->removeEventFilter(this); }

    void setAnswer(Answer answer) { answer_ = std::move(answer); }
    const QList<Seen>& seen() const { return seen_; }
    int count() const { return int(seen_.size()); }

    static void closeDialog(QDialog* dialog) { dialog->reject(); }

    // Picks a path in a file dialog and accepts it.
    static Answer choose(const QString& path)
    {
        return [path](QDialog* dialog) {
            if (auto* fileDialog = qobject_cast<QFileDialog*>(dialog)) {
                fileDialog->selectFile(path);
                static_cast<QDialog*>(fileDialog)->accept();  // runs QFileDialog's own accept
            } else {
                dialog->reject();
            }
        };
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* dialog = qobject_cast<QDialog*>(watched);
        if (event->type() == QEvent::Show && dialog && dialog->isWindow()) {
            Seen s;
            s.className = QString::fromLatin1(dialog->metaObject()->className());
            s.objectName = dialog->objectName();
            s.title = dialog->windowTitle();
            s.parent = dialog->parentWidget();
            if (auto* box = qobject_cast<QMessageBox*>(dialog))
                s.text = box->text();
            if (auto* fileDialog = qobject_cast<QFileDialog*>(dialog))
                s.filters = fileDialog->nameFilters();
            seen_.append(s);
            QPointer<QDialog> guard(dialog);
            Answer answer = answer_;
            QMetaObject::invokeMethod(
                this,
                [guard, answer] {
                    if (guard)
                        answer(guard);
                },
                Qt::QueuedConnection);
        }
        return false;
    }

private:
    Answer answer_;
    QList<Seen> seen_;
};

#endif

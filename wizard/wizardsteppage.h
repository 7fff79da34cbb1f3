#ifndef WIZARDSTEPPAGE_H
#define WIZARDSTEPPAGE_H

#include <QWizardPage>

// A wizard page whose Next/Finish button is gated by an explicit flag.
// QWizard recomputes its button states from isComplete() on every page
// change, so enabling a button directly would not stick.
class WizardStepPage : public QWizardPage {
    Q_OBJECT

public:
    explicit WizardStepPage(QWidget* parent = nullptr);

    bool isComplete() const override;
    void setComplete(bool complete);

private:
    bool complete_ = false;
};

#endif

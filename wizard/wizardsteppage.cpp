#include "wizardsteppage.h"

WizardStepPage::WizardStepPage(QWidget* parent) : QWizardPage(parent) {}

bool WizardStepPage::isComplete() const
{
    return complete_;
}

void WizardStepPage::setComplete(bool complete)
{
    if (complete_ == complete)
        return;
    complete_ = complete;
    emit completeChanged();
}

#ifndef BOOSTFORWARDHEADERBASE_H
#define BOOSTFORWARDHEADERBASE_H

#include <QWizard>

#include "ui_boostforwardheaderbase.h"

// The form: every widget of both pages, its palette, images and texts.
class BoostForwardHeaderBase : public QWizard, public Ui::BoostForwardHeaderBase
{
    Q_OBJECT

public:
    explicit BoostForwardHeaderBase(QWidget *parent = nullptr, const char *name = nullptr,
                                    bool modal = false, Qt::WindowFlags fl = {});
    ~BoostForwardHeaderBase() override;

    // The wizard's colours, colour group by colour group.
    static QPalette formPalette();

protected slots:
    virtual void languageChange();
};

#endif

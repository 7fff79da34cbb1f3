#ifndef BOOSTFORWARDHEADERBASE_H
#define BOOSTFORWARDHEADERBASE_H

#include <QWizard>

#include "ui_boostforwardheaderbase.h"

// The form: every widget of both pages, its palette, images and texts.
class BoostForwardHeaderBase : public QWizard, public Ui::BoostForwardHeaderBase {
    Q_OBJECT

public:
    explicit BoostForwardHeaderBase(QWidget* parent = nullptr, const char* name = nullptr, bool modal = false,
                                    Qt::WindowFlags fl = {});
    ~BoostForwardHeaderBase() override;

    // The wizard's colours, colour group by colour group.
    static QPalette formPalette();

    // The platform's general UI font at 8 pt and the classic style, for the
    // whole application; needs the application object.
    static void setUpApplicationLook();

protected:
    // Gives the line under the output field the height its text needs, two
    // lines at least, moving what lies below it down; the window grows with
    // the page where the screen has room.
    void fitTreeLine();

protected slots:
    virtual void languageChange();

private:
    void fitTextsToFont();
    QSize initialSize() const;
};

#endif

#include "boostforwardheaderbase.h"

#include <QColor>
#include <QPalette>
#include <QPushButton>

namespace {

struct PaletteRow
{
    QPalette::ColorRole role;
    QRgb active;
    QRgb inactive;
    QRgb disabled;
};

constexpr QRgb black = 0xff000000;
constexpr QRgb white = 0xffffffff;

constexpr PaletteRow paletteRows[] = {
    {QPalette::WindowText, black, black, qRgb(106, 104, 100)},
    {QPalette::Button, qRgb(212, 208, 200), qRgb(212, 208, 200), qRgb(212, 208, 200)},
    {QPalette::Light, white, white, white},
    {QPalette::Midlight, qRgb(233, 229, 220), qRgb(233, 229, 220), qRgb(233, 231, 227)},
    {QPalette::Dark, qRgb(128, 128, 128), qRgb(128, 128, 128), qRgb(128, 128, 128)},
    {QPalette::Mid, qRgb(141, 138, 133), qRgb(141, 138, 133), qRgb(141, 138, 133)},
    {QPalette::Text, black, black, qRgb(106, 104, 100)},
    {QPalette::BrightText, white, white, white},
    {QPalette::ButtonText, black, black, qRgb(106, 104, 100)},
    {QPalette::Base, white, white, white},
    {QPalette::Window, white, white, white},
    {QPalette::Shadow, qRgb(64, 64, 64), qRgb(64, 64, 64), black},
    {QPalette::Highlight, qRgb(10, 36, 106), qRgb(212, 208, 200), qRgb(10, 36, 106)},
    {QPalette::HighlightedText, white, black, white},
    {QPalette::Link, qRgb(0, 0, 255), qRgb(0, 0, 255), qRgb(0, 0, 255)},
    {QPalette::LinkVisited, qRgb(255, 0, 255), qRgb(255, 0, 255), qRgb(255, 0, 255)},
};

// A button's background is its Button role, not the window colour.
void setWhiteBackground(QWidget *widget)
{
    QPalette pal = widget->palette();
    pal.setColor(widget->backgroundRole(), Qt::white);
    widget->setPalette(pal);
}

} // namespace

BoostForwardHeaderBase::BoostForwardHeaderBase(QWidget *parent, const char *name, bool modal,
                                               Qt::WindowFlags fl)
    : QWizard(parent, fl)
{
    // The images live in this static library; make sure the linker keeps them.
    Q_INIT_RESOURCE(velk);

    setModal(modal);
    setupUi(this);
    if (name)
        setObjectName(QString::fromLatin1(name));
    setPalette(formPalette());

    for (QPushButton *button : {CmpPersonBtn, OrigLibLocBtn, ConfigLocBtn, SaveLogBtn})
        setWhiteBackground(button);

    languageChange();
    resize(QSize(543, 455).expandedTo(minimumSizeHint()));
}

BoostForwardHeaderBase::~BoostForwardHeaderBase() = default;

QPalette BoostForwardHeaderBase::formPalette()
{
    QPalette pal;
    for (const PaletteRow &row : paletteRows) {
        pal.setColor(QPalette::Active, row.role, QColor::fromRgb(row.active));
        pal.setColor(QPalette::Inactive, row.role, QColor::fromRgb(row.inactive));
        pal.setColor(QPalette::Disabled, row.role, QColor::fromRgb(row.disabled));
    }
    return pal;
}

void BoostForwardHeaderBase::languageChange()
{
    retranslateUi(this);
}

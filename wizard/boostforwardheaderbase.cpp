#include "boostforwardheaderbase.h"

#include <QApplication>
#include <QColor>
#include <QFontDatabase>
#include <QPalette>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QStyleFactory>

#include <algorithm>

namespace {

struct PaletteRow {
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
void setWhiteBackground(QWidget* widget)
{
    QPalette pal = widget->palette();
    pal.setColor(widget->backgroundRole(), Qt::white);
    widget->setPalette(pal);
}

// Moves what lies at or below fromY down by dy and stretches what spans it.
void growPageBelow(QWidget* content, int fromY, int dy)
{
    const auto children = content->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (QWidget* child : children) {
        QRect g = child->geometry();
        if (g.top() >= fromY)
            g.translate(0, dy);
        else if (g.bottom() >= fromY)
            g.setHeight(g.height() + dy);
        else
            continue;
        child->setGeometry(g);
    }
    content->resize(content->width(), content->height() + dy);
}

// Width a push button needs for its text in its own font and style.
int buttonWidthFor(const QPushButton* button)
{
    const QStyle* style = button->style();
    return button->fontMetrics().horizontalAdvance(button->text()) +
           2 * style->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button) +
           2 * style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, button);
}

// The form is laid out for this page size; anything larger came from the font.
constexpr QSize formPageSize(532, 380);
constexpr QSize formWindowSize(543, 455);

}  // namespace

BoostForwardHeaderBase::BoostForwardHeaderBase(QWidget* parent, const char* name, bool modal, Qt::WindowFlags fl)
    : QWizard(parent, fl)
{
    // The images live in this static library; make sure the linker keeps them.
    Q_INIT_RESOURCE(velk);

    setModal(modal);
    setupUi(this);
    // One wizard on every platform: Back, Next, Finish and Cancel in a row
    // under the page, the layout the pages and their own banner are drawn
    // for. Left to the platform, Windows would take its Aero style, with a
    // back arrow above the page and a taller button area.
    setWizardStyle(QWizard::ModernStyle);
    if (name)
        setObjectName(QString::fromLatin1(name));
    setPalette(formPalette());

    for (QPushButton* button : {CmpPersonBtn, OrigLibLocBtn, ConfigLocBtn, RemoveTreeBtn, SaveLogBtn})
        setWhiteBackground(button);

    // Tab goes through the page in reading order (the form's tab stops), then
    // the wizard's own buttons as they stand left to right; QWizard made them
    // before the pages, so they would come first.
    QWidget* previous = SaveLogBtn;
    for (WizardButton which : {BackButton, NextButton, CommitButton, FinishButton, CancelButton}) {
        setTabOrder(previous, button(which));
        previous = button(which);
    }

    languageChange();
    fitTextsToFont();
    resize(initialSize());
}

BoostForwardHeaderBase::~BoostForwardHeaderBase() = default;

QPalette BoostForwardHeaderBase::formPalette()
{
    QPalette pal;
    for (const PaletteRow& row : paletteRows) {
        pal.setColor(QPalette::Active, row.role, QColor::fromRgb(row.active));
        pal.setColor(QPalette::Inactive, row.role, QColor::fromRgb(row.inactive));
        pal.setColor(QPalette::Disabled, row.role, QColor::fromRgb(row.disabled));
    }
    return pal;
}

void BoostForwardHeaderBase::setUpApplicationLook()
{
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Windows")));
    // A bare QFont leaves the family to the font matcher, which may pick a
    // serif or even a symbol font; the platform's UI font is what users know.
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPointSize(8);
    // Where the platform names a UI font it does not have, a sans-serif one
    // stands in, not whatever family sorts first.
    font.setStyleHint(QFont::SansSerif);
    // Latin text needs no shaping; without it no font draws "fi" or "fl" as
    // one glyph, which Wine's Tahoma does without its i ("header fles").
    font.setStyleStrategy(QFont::PreferNoShaping);
    QApplication::setFont(font);
}

void BoostForwardHeaderBase::fitTextsToFont()
{
    // The geometries suit one particular font. Where the font in use needs
    // more room, the widget grows and whatever follows it moves along, so
    // the page keeps its layout and order.
    const int titleGrow = std::max(0, textLabel1_3->sizeHint().height() - textLabel1_3->height());
    const int titleRoom = groupBox1->contentsRect().right() - textLabel1_3->x();
    textLabel1_3->resize(std::max(textLabel1_3->width(), std::min(textLabel1_3->sizeHint().width(), titleRoom)),
                         textLabel1_3->height() + titleGrow);
    textLabel2->move(textLabel2->x(), textLabel2->y() + titleGrow);
    const int introGrow = std::max(0, textLabel2->heightForWidth(textLabel2->width()) - textLabel2->height());
    textLabel2->resize(textLabel2->width(), textLabel2->height() + introGrow);
    if (const int dy = titleGrow + introGrow; dy > 0) {
        const int below = groupBox1->geometry().bottom() + 1;
        growPageBelow(Page0Content, below, dy);
        growPageBelow(Page1Content, below, dy);
        groupBox1->resize(groupBox1->width(), groupBox1->height() + dy);
    }

    // Rows: wider captions push the path fields' left edge, wider Browse
    // buttons (right-aligned) their right edge.
    const struct {
        QLabel* caption;
        QLineEdit* field;
        QPushButton* browse;
    } rows[] = {
        {textLabel1, OrigLibLocEdit, OrigLibLocBtn},
        {textLabel1_2, ConfigLocEdit, ConfigLocBtn},
        {textLabel1_2_2, CmpPersonEdit, CmpPersonBtn},
    };
    int fieldLeft = 0;
    int fieldRight = Page0Content->width();
    for (const auto& row : rows) {
        // A caption that has to grow keeps a little gap to its field.
        const QSize need = row.caption->sizeHint();
        row.caption->resize(need.width() > row.caption->width() ? need.width() + 6 : row.caption->width(),
                            std::max(row.caption->height(), need.height()));
        fieldLeft = std::max(fieldLeft, row.caption->geometry().right() + 1);
        const QRect b = row.browse->geometry();
        const int width = std::max(b.width(), buttonWidthFor(row.browse));
        row.browse->setGeometry(b.right() + 1 - width, b.y(), width, b.height());
        fieldRight = std::min(fieldRight, row.browse->x() - 10);
    }
    for (const auto& row : rows) {
        const QRect f = row.field->geometry();
        const int left = std::max(f.left(), fieldLeft);
        const int right = std::min(f.right() + 1, fieldRight);
        row.field->setGeometry(left, f.y(), right - left, f.height());
    }
    // The line under the output field starts where the field does, or
    // after Remove beside it where that needs more room.
    RemoveTreeBtn->resize(buttonWidthFor(RemoveTreeBtn), RemoveTreeBtn->height());
    const int treeLeft = std::max(ConfigLocEdit->x(), RemoveTreeBtn->geometry().right() + 7);
    const QRect tree = TreeStatusLabel->geometry();
    TreeStatusLabel->setGeometry(treeLeft, tree.y(), ConfigLocBtn->geometry().right() + 1 - treeLeft, tree.height());
    fitTreeLine();
    SaveLogBtn->resize(std::max(SaveLogBtn->width(), buttonWidthFor(SaveLogBtn)), SaveLogBtn->height());
}

void BoostForwardHeaderBase::fitTreeLine()
{
    // Only ever taller: a page that shrank again would move the personality
    // row up and down under the pointer as the line changes while typing.
    const int need = std::max(2 * TreeStatusLabel->fontMetrics().lineSpacing(),
                              TreeStatusLabel->heightForWidth(TreeStatusLabel->width()));
    const int dy = need - TreeStatusLabel->height();
    if (dy <= 0)
        return;
    growPageBelow(Page0Content, TreeStatusLabel->geometry().bottom() + 1, dy);
    TreeStatusLabel->resize(TreeStatusLabel->width(), need);
    // The pages stay one size: the log pane takes the height, with what
    // stands beside and below it moving down.
    growPageBelow(Page1Content, DetailsText->y() + 1, dy);
    if (isVisible())
        resize(size().expandedTo(initialSize()));
}

QSize BoostForwardHeaderBase::initialSize() const
{
    // The whole page where the screen has room; the pages scroll where not.
    const QSize grown = Page0Content->size().expandedTo(Page1Content->size()) - formPageSize;
    QSize size = (formWindowSize + grown).expandedTo(minimumSizeHint());
    if (const QScreen* where = screen()) {
        // The window frame is unknown until the window is shown: leave room for one.
        size = size.boundedTo(where->availableGeometry().size() - QSize(16, 48));
    }
    return size;
}

void BoostForwardHeaderBase::languageChange()
{
    retranslateUi(this);
}

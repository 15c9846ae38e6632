// The window's housekeeping: the input fields' change handlers, emptying the
// fields, zeroing the calculation state, the locking of the staged model's
// fixed inputs and the mouse cursor.

#include <QCheckBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>

#include "tavrin.h"

using namespace tav;
namespace {

// A locked field takes the theme's button face, an editable one its window
// background. Only a locked field gets a colour of its own; an editable one
// keeps none, so that it follows the theme with its text colour. A colour
// copied from the theme would stay when the desktop switches theme, and a
// light background would be left under a dark theme's light text.
void paintField(QLineEdit* field) {
    QPalette palette;
    if (!field->isEnabled()) {
        palette.setColor(QPalette::Base, QGuiApplication::palette().color(QPalette::Button));
    }
    field->setPalette(palette);
}

}  // namespace

// The change handlers are the only code that enables Command1, once all three
// input fields hold text; they never disable it.
void tavrin::Text1_Change() {
    setDefaultCursor();
    if (!Text1->text().isEmpty() && !Text2->text().isEmpty() && !Text3->text().isEmpty()) {
        Command1->setEnabled(true);
    }
}

void tavrin::Text2_Change() {
    Text1_Change();
}

void tavrin::Text3_Change() {
    Text1_Change();
}

// Until the latch is set (modes 3, 4 and 5), emptying the fields also
// disables Command1; afterwards its state is left alone.
void tavrin::ClearFields() {
    if (Textleer == 0) {
        Command1->setEnabled(false);
    }
    Text1->setText(QString());
    Text2->setText(QString());
    Text3->setText(QString());
    Text4->setText(QString());
}

// Every calculation variable back to zero, the staged model's years included.
// The save target, the latch and the unit words stay; no control changes.
void tavrin::ResetState() {
    staged.reset();
    d = 0;
    e = 0;
    f = 0;
    g = 0;
    Ze = 0;
    erstes_i = 0;
    zweites_i = 0;
}

void tavrin::lockFixedInputs() {
    Text1->setEnabled(false);
    Text2->setEnabled(false);
    paintField(Text1);
    paintField(Text2);
}

void tavrin::unlockFixedInputs() {
    Text1->setEnabled(true);
    Text2->setEnabled(true);
    paintField(Text1);
    paintField(Text2);
}

// A change of the desktop's theme repaints the locked fields in its button face.
void tavrin::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange) {
        paintField(Text1);
        paintField(Text2);
    }
    QWidget::changeEvent(event);
}

// A staged entry that ends without its final capital leaves nothing behind:
// no stored years and no locked fields, so the next entry can begin.
void tavrin::endStagedEntry() {
    staged.reset();
    unlockFixedInputs();
}

// The cursor is set, not stacked: one override at most.
void tavrin::setWaitCursor() {
    if (QGuiApplication::overrideCursor()) {
        QGuiApplication::changeOverrideCursor(Qt::WaitCursor);
    } else {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    }
}

void tavrin::setDefaultCursor() {
    while (QGuiApplication::overrideCursor()) {
        QGuiApplication::restoreOverrideCursor();
    }
}
